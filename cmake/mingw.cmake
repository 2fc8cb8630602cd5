# Cross toolchain for Windows.
# STARTLULL_ARCH: i686 for the shipped program (runs on Windows 98 SE, 2000, XP);
#   x86_64 for what runs under Wine here (this kind of machine cannot execute
#   32-bit code, so the same sources are built 64-bit to be tested for real).
# STARTLULL_THREADS: win32 for programs (imports only what Windows 98 SE has),
#   posix for the GoogleTest executables (std::mutex needs it).
if(NOT STARTLULL_ARCH)
  set(STARTLULL_ARCH i686)
endif()
if(NOT STARTLULL_THREADS)
  set(STARTLULL_THREADS win32)
endif()
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${STARTLULL_ARCH})
set(TRIPLE ${STARTLULL_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${TRIPLE}-gcc-${STARTLULL_THREADS})
set(CMAKE_CXX_COMPILER ${TRIPLE}-g++-${STARTLULL_THREADS})
set(CMAKE_RC_COMPILER ${TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
