# Cross build for 32-bit Windows with MinGW-w64, everything linked statically
# so that no MinGW runtime DLL has to travel with the binaries.
#
# SING_MINGW_THREADS picks the compiler's threading variant:
#   win32  (default) the shipped build. Its runtime needs nothing newer than
#          Windows 2000 (the posix variant's static winpthread imports
#          GetTickCount64, which Windows before Vista lacks).
#   posix  for test builds: GoogleTest needs std::mutex, which only the posix
#          variant has.
# 32-bit Windows code runs under Wine only where the kernel can execute
# 32-bit processes; mingw-x86_64.cmake builds the same tree for 64-bit Wine so
# that the tests run everywhere.
set(SING_MINGW_THREADS "win32" CACHE STRING "MinGW threading variant: win32 or posix")
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(CMAKE_C_COMPILER   i686-w64-mingw32-gcc-${SING_MINGW_THREADS})
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-${SING_MINGW_THREADS})
set(CMAKE_RC_COMPILER  i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
# The Wine loader that runs this build's programs (the scripts pass the one
# of the route in use, see tools/common.sh).
set(SING_WINE "wine" CACHE STRING "Wine loader for this build's programs")
set(CMAKE_CROSSCOMPILING_EMULATOR ${SING_WINE})
