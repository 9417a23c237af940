# Shared by run-singdump.sh and run-tests.sh: install what is missing, build,
# and manage the project's own Wine prefixes and servers.
#
# Two builds of the same tree:
#   build/i386  the shipped 32-bit DLLs and programs (PE32, i386);
#   build/x64   the same code for 64-bit Windows.
# 32-bit Windows code needs a kernel that runs 32-bit processes (Wine's i386
# loader is a 32-bit Linux program). Where the kernel cannot, the Wine runs
# use the x64 build; the i386 build is still produced and checked statically.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_ROOT=${SING_BUILD_DIR:-$ROOT/build}
export WINEDEBUG=${WINEDEBUG:--all}
# Console programs only: no display, no Mono/Gecko installers.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
unset DISPLAY

sing_setup() {
  bash "$ROOT/tools/setup-debian.sh"
}

# True when this kernel itself runs 32-bit x86 processes (a user-mode
# emulator registered for i386 binaries does not count: Wine is far too slow
# under it to be useful).
sing_can_run_i386() {
  [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ] && return 1
  [ -x /lib/ld-linux.so.2 ] && /lib/ld-linux.so.2 --version >/dev/null 2>&1
}

# The architecture whose programs run under Wine here.
sing_run_arch() {
  if [ -n "${SING_RUN_ARCH:-}" ]; then echo "$SING_RUN_ARCH"
  elif sing_can_run_i386; then echo i386
  else echo x64
  fi
}

sing_build_dir() { echo "$BUILD_ROOT/$1"; }

# Architectures: i386 (the shipped build), i386-tests (the same code with the
# posix-threads compiler, which GoogleTest needs) and x64.
sing_build() {
  local arch=$1; shift
  local toolchain=mingw-i686.cmake extra=()
  [ "$arch" = x64 ] && toolchain=mingw-x86_64.cmake
  [ "$arch" = i386-tests ] && extra=(-DSING_MINGW_THREADS=posix -DSING_BUILD_TESTS=ON)
  local dir; dir=$(sing_build_dir "$arch")
  cmake -S "$ROOT" -B "$dir" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/$toolchain" "${extra[@]}" "$@" >/dev/null
  cmake --build "$dir" >&2
}

# Where the test programs run under Wine: the posix-threads i386 build where
# this kernel runs 32-bit processes, the x64 build otherwise.
sing_test_arch() {
  if [ "$(sing_run_arch)" = i386 ]; then echo i386-tests; else echo x64; fi
}

# The OS-independent code built natively with clang under the sanitizers,
# with its fuzz targets (each runs SING_FUZZ_SECONDS, default 30, in tests).
sing_build_native() {
  local dir; dir=$(sing_build_dir native)
  CC=clang CXX=clang++ cmake -S "$ROOT/native" -B "$dir" -G Ninja \
    -DSING_FUZZ_SECONDS="${SING_FUZZ_SECONDS:-30}" "$@" >/dev/null
  cmake --build "$dir" >&2
}

# Selects the prefix and loader for an architecture's Wine runs.
sing_wine_env() {
  local arch=$1
  export WINEPREFIX; WINEPREFIX=$(sing_build_dir "$arch")/wineprefix
  if [ "$arch" = x64 ]; then
    export WINEARCH=win64 WINE=/usr/lib/wine/wine64
  else
    export WINEARCH=win32 WINE=wine
  fi
}

# Starts a persistent wineserver and the prefix's services detached from our
# output, so that test programs start fast and nothing holds a pipe open.
sing_wine_start() {
  sing_wine_env "$1"
  mkdir -p "$WINEPREFIX"
  (wineserver -p </dev/null >/dev/null 2>&1 &)
  "$WINE" wineboot --init </dev/null >/dev/null 2>&1 || true
  trap sing_wine_stop EXIT
  sing_wait_for_network_cards
}

# Wine's network driver lists the machine's network cards in the registry
# some time after a new prefix has started its services (seen: over a
# minute); the card gatherer and its tests read that list, so wait for it.
sing_wait_for_network_cards() {
  local key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\NetworkCards'
  local i out
  for i in $(seq 1 180); do
    out=$("$WINE" reg query "$key" </dev/null 2>/dev/null || true)
    case "$out" in *'NetworkCards\'*) return 0 ;; esac
    [ "$i" = 1 ] && echo "waiting for Wine to list the network cards (new prefix)..." >&2
    sleep 1
  done
  echo "note: Wine listed no network cards within 3 minutes" >&2
}

sing_wine_stop() {
  wineserver -k >/dev/null 2>&1 || true
}
