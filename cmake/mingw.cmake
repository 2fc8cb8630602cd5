# Cross toolchain for Windows.
# STARTLULL_ARCH: i686 for the shipped program (runs on Windows 98 SE, 2000, XP)
#   and, where the machine can execute 32-bit code, for the end-to-end driver
#   that tests it in a 32-bit Wine prefix; x86_64 for what runs under 64-bit
#   Wine, which every machine of this project can run (some cannot run 32-bit
#   programs at all: scripts/wine-env.sh finds out).
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
