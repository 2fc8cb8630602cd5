# Cross toolchain for i686 Windows. STARTLULL_THREADS picks the compiler flavour:
# "win32" for the program (imports only what Windows 98 SE has),
# "posix" for the GoogleTest executables (std::mutex needs it).
if(NOT STARTLULL_THREADS)
  set(STARTLULL_THREADS win32)
endif()
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-${STARTLULL_THREADS})
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-${STARTLULL_THREADS})
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
