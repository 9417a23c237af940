# Cross build for 64-bit Windows with MinGW-w64, everything linked statically
# so that no MinGW runtime DLL has to travel with the binaries.
#
# SING_MINGW_THREADS picks the compiler's threading variant, as for i386:
#   win32  (default) the shipped build;
#   posix  for test builds: GoogleTest needs std::mutex.
set(SING_MINGW_THREADS "win32" CACHE STRING "MinGW threading variant: win32 or posix")
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(CMAKE_C_COMPILER   x86_64-w64-mingw32-gcc-${SING_MINGW_THREADS})
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-${SING_MINGW_THREADS})
set(CMAKE_RC_COMPILER  x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
# The Wine loader that runs this build's programs (the scripts pass the one
# of the route in use, see tools/common.sh).
set(SING_WINE "/usr/lib/wine/wine64" CACHE STRING "Wine loader for this build's programs")
set(CMAKE_CROSSCOMPILING_EMULATOR ${SING_WINE})
