# The product toolchain: 32-bit Windows through MinGW-w64. The product runs one thread and uses
# no C++ threads, so it takes the Win32 thread model, which brings no threading runtime into
# the image. The 32-bit test suite takes the POSIX model (NQ_MINGW_THREADS), since GoogleTest
# needs std::mutex: the same compiler and flags, another C++ runtime library.
if(NOT NQ_MINGW_THREADS)
  set(NQ_MINGW_THREADS win32)
endif()
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-${NQ_MINGW_THREADS})
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-${NQ_MINGW_THREADS})
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
