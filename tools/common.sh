# Shared by the run-*.sh scripts: install what is missing, build, and manage
# the project's Wine prefix and server.
#
# Builds of the same tree:
#   build/i386        the shipped 32-bit DLLs and programs (PE32, i386);
#   build/x64         the same code for 64-bit Windows, shipped too;
#   build/*-tests     the same code with its test programs (posix threads,
#                     which GoogleTest needs); their soaks measure the
#                     shipped build's DLLs.
# 32-bit Windows code runs on the route sing_i386_route picks (the kernel's
# own 32-bit support, or Wine's i386 loader under qemu-i386 user mode); where
# neither works, only the x64 build runs and the scripts say so loudly.
# Sourced by the scripts: it sets no shell options of its own (each script
# sets its own). Tools' output goes to logs under build/logs; each step
# prints one line, and the log's path when it fails.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_ROOT=${SING_BUILD_DIR:-$ROOT/build}
SING_LOG_DIR=$BUILD_ROOT/logs
mkdir -p "$SING_LOG_DIR"
export WINEDEBUG=${WINEDEBUG:--all}
# Console programs only: no display, no Mono/Gecko installers.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
unset DISPLAY

# Runs a step's command with its output in build/logs/NAME.log; prints one
# line, and on failure the log's path and its last lines.
sing_step() {
  local name=$1 log=$SING_LOG_DIR/$1.log; shift
  if "$@" >"$log" 2>&1; then
    echo "$name: ok" >&2
  else
    echo "$name: FAILED (log: $log)" >&2
    tail -n 40 "$log" | sed 's/^/    /' >&2
    return 1
  fi
}

sing_setup() {
  SING_SETUP_LOG=$SING_LOG_DIR/setup.log bash "$ROOT/tools/setup-debian.sh" || return 1
  sing_i386_route >/dev/null || return 1
  case $SING_I386_ROUTE in
    native) echo "i386 route: native (the kernel runs 32-bit processes)" >&2 ;;
    emulated) echo "i386 route: emulated (Wine's i386 loader in $("$SING_EMU_DIR/qemu-i386" --version | head -n1))" >&2 ;;
    none) echo "i386 route: none: this machine cannot run 32-bit Windows code (its kernel runs no 32-bit processes and no qemu-i386 >= 8.1 could be had): only the x64 build runs" >&2 ;;
  esac
}

# How 32-bit Windows code runs here (SING_I386_ROUTE overrides the choice):
#   native    the kernel runs 32-bit processes: Wine's own i386 loader;
#   emulated  it does not (IA-32 emulation switched off): the i386 loader
#             runs under qemu-i386 user mode (>= 8.1) from a private loader
#             tree, served by the native 64-bit wineserver of a WoW64 prefix;
#   none      neither works: only the x64 build runs, and the scripts say so.
sing_i386_route() {
  if [ -z "${SING_I386_ROUTE:-}" ]; then
    if sing_can_run_i386; then SING_I386_ROUTE=native
    elif sing_prepare_emulated_route; then SING_I386_ROUTE=emulated
    else SING_I386_ROUTE=none
    fi
    export SING_I386_ROUTE SING_I386_ROUTE_READY=1
  elif [ "$SING_I386_ROUTE" = emulated ] && [ -z "${SING_I386_ROUTE_READY:-}" ]; then
    # Chosen by the caller: set it up here, or refuse.
    sing_prepare_emulated_route || { echo "error: the emulated i386 route cannot be set up" >&2; return 1; }
    export SING_I386_ROUTE_READY=1
  fi
  echo "$SING_I386_ROUTE"
}

# True when this kernel itself runs 32-bit x86 processes (a user-mode
# emulator registered for i386 binaries does not count).
sing_can_run_i386() {
  [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ] && return 1
  [ -x /lib/ld-linux.so.2 ] && /lib/ld-linux.so.2 --version >/dev/null 2>&1
}

SING_EMU_DIR=$BUILD_ROOT/emu
SING_LOADER_TREE=$BUILD_ROOT/wine-i386

# qemu-i386 of version 8.1 or later: the system's when it is new enough,
# else Debian 12 backports' qemu-user, downloaded and unpacked into the build
# tree (nothing is installed system-wide, no binfmt entry is registered).
# Older versions ignore MAP_FIXED_NOREPLACE and take a minute per process.
sing_qemu_ok() {
  local v; v=$("$1" --version 2>/dev/null | sed -n 's/^qemu-i386 version \([0-9]*\)\.\([0-9]*\).*/\1 \2/p')
  [ -n "$v" ] || return 1
  set -- $v
  [ "$1" -gt 8 ] || { [ "$1" -eq 8 ] && [ "$2" -ge 1 ]; }
}

sing_fetch_qemu() {
  local q=$SING_EMU_DIR/qemu-i386
  sing_qemu_ok "$q" && return 0
  local sys; sys=$(command -v qemu-i386 || true)
  if [ -n "$sys" ] && sing_qemu_ok "$sys"; then
    mkdir -p "$SING_EMU_DIR"; ln -sf "$sys" "$q"; return 0
  fi
  echo "i386 route: fetching qemu-user from bookworm-backports into $SING_EMU_DIR (log: $SING_LOG_DIR/qemu.log)" >&2
  local apt=$SING_EMU_DIR/apt
  # Its own configuration folder (sources, no preferences), lists and cache:
  # the machine's APT set-up is neither read nor changed.
  rm -rf "$apt"; mkdir -p "$apt"/{lists/partial,cache/archives/partial,etc,deb}
  echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm-backports main" \
    >"$apt/etc/sources.list"
  cat >"$apt/apt.conf" <<CONF
Dir::Etc "$apt/etc";
Dir::Etc::Parts "$apt/etc";
Dir::Etc::PreferencesParts "$apt/etc";
Dir::State::Lists "$apt/lists";
Dir::Cache "$apt/cache";
APT::Architectures { "amd64"; };
APT::Sandbox::User "root";
CONF
  ( export APT_CONFIG=$apt/apt.conf
    apt-get -q update && cd "$apt/deb" && apt-get -q download qemu-user ) >"$SING_LOG_DIR/qemu.log" 2>&1 || return 1
  dpkg-deb -x "$apt"/deb/qemu-user_*.deb "$apt/x" || return 1
  cp "$apt/x/usr/bin/qemu-i386" "$q.new" && mv "$q.new" "$q"
  rm -rf "$apt"
  sing_qemu_ok "$q"
}

# A private copy of Wine's loaders: Wine starts every 32-bit process by
# exec'ing "wine" beside the running loader, so the tree holds a copy of the
# 64-bit loader, the i386 loader as wine32.elf and a "wine" shim that runs it
# under qemu (-0 keeps the shim as the loader's name, so 32-bit children come
# back through it). Links lead to the system's Wine libraries and data.
sing_make_loader_tree() {
  local t=$SING_LOADER_TREE w=$SING_LOADER_TREE/lib/wine
  [ -x "$w/wine" ] && cmp -s /usr/lib/wine/wine64 "$w/wine64" && cmp -s /usr/lib/wine/wine "$w/wine32.elf" && return 0
  rm -rf "$t"
  mkdir -p "$w" "$t/lib/x86_64-linux-gnu" "$t/lib/i386-linux-gnu" "$t/share"
  cp /usr/lib/wine/wine64 "$w/wine64"
  cp /usr/lib/wine/wine "$w/wine32.elf"
  printf '#!/bin/sh\nexec "%s" -0 "$0" "%s" "$@"\n' "$SING_EMU_DIR/qemu-i386" "$w/wine32.elf" >"$w/wine"
  chmod +x "$w/wine"
  ln -s /usr/lib/wine/wineserver64 "$w/wineserver"
  ln -s /usr/lib/x86_64-linux-gnu/wine "$t/lib/x86_64-linux-gnu/wine"
  ln -s /usr/lib/i386-linux-gnu/wine "$t/lib/i386-linux-gnu/wine"
  ln -s /usr/share/wine "$t/share/wine"
  [ -d /usr/share/fonts ] && ln -s /usr/share/fonts "$t/share/fonts"
  return 0
}

sing_prepare_emulated_route() {
  [ -x /usr/lib/wine/wine ] && [ -x /usr/lib/wine/wine64 ] && [ -x /lib/ld-linux.so.2 ] || return 1
  sing_fetch_qemu || { echo "note: no qemu-i386 of version 8.1 or later could be had" >&2; return 1; }
  "$SING_EMU_DIR/qemu-i386" /lib/ld-linux.so.2 --version >/dev/null 2>&1 || return 1
  sing_make_loader_tree
}

# The architecture singdump, the bench and the soak run from: the shipped
# i386 build wherever 32-bit Windows code runs.
sing_run_arch() {
  if [ -n "${SING_RUN_ARCH:-}" ]; then echo "$SING_RUN_ARCH"
  elif [ "$(sing_i386_route)" != none ]; then echo i386
  else echo x64
  fi
}

sing_build_dir() { echo "$BUILD_ROOT/$1"; }

# The Wine loader that runs an architecture's programs.
sing_wine_loader() {
  case "$1:$(sing_i386_route)" in
    x64:emulated) echo "$SING_LOADER_TREE/lib/wine/wine64" ;;
    x64:*) echo /usr/lib/wine/wine64 ;;
    *:emulated) echo "$SING_LOADER_TREE/lib/wine/wine" ;;
    *) echo /usr/lib/wine/wine ;;
  esac
}

# One WoW64 prefix (WINEARCH=win64) serves every build's runs: 64-bit and
# 32-bit programs alike.
SING_WINEPREFIX=$BUILD_ROOT/wineprefix

# Configures and builds one build folder: sing_cmake DIR CMAKE-ARGS...
sing_cmake() { local d=$1; shift; cmake -B "$d" "$@" && cmake --build "$d"; }

# Builds: i386 and x64 (shipped, win32 threads), i386-tests and x64-tests.
sing_build() {
  local arch=$1; shift
  local base=${arch%-tests} toolchain=mingw-i686.cmake extra=()
  [ "$base" = x64 ] && toolchain=mingw-x86_64.cmake
  [ "$arch" != "$base" ] && extra=(-DSING_MINGW_THREADS=posix -DSING_BUILD_TESTS=ON
    -DSING_SHIPPED_BUILD="$(sing_build_dir "$base")")
  local env=""
  [ "$(sing_i386_route)" = emulated ] && env="WINELOADERNOEXEC=1"
  local dir; dir=$(sing_build_dir "$arch")
  sing_step "build-$arch" sing_cmake "$dir" -S "$ROOT" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/$toolchain" -DSING_WINE="$(sing_wine_loader "$base")" \
    -DSING_WINEPREFIX="$SING_WINEPREFIX" -DSING_WINE_ENV="$env" "${extra[@]}" "$@"
}

# The OS-independent code built natively with clang under the sanitizers,
# with its fuzz targets (each runs SING_FUZZ_SECONDS, default 30, in tests).
sing_build_native() {
  local dir; dir=$(sing_build_dir native)
  CC=clang CXX=clang++ sing_step build-native sing_cmake "$dir" -S "$ROOT/native" -G Ninja \
    -DSING_FUZZ_SECONDS="${SING_FUZZ_SECONDS:-30}" "$@"
}

# Selects the prefix and loader for an architecture's Wine runs: $WINE.
sing_wine_env() {
  export WINEPREFIX=$SING_WINEPREFIX WINEARCH=win64
  WINE=$(sing_wine_loader "$1")
  [ "$(sing_i386_route)" = emulated ] && export WINELOADERNOEXEC=1
  return 0
}

# Creates the prefix through the 64-bit loader of the route in use, so that
# its 32-bit half (syswow64) is set up too. A prefix made without it (every
# 32-bit program then fails with "could not load kernel32.dll") is made anew.
sing_wine_prefix() {
  local wine64; wine64=$(sing_wine_loader x64)
  local wow=$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll
  if [ -d "$WINEPREFIX" ] && [ "$(sing_i386_route)" != none ] && [ ! -e "$wow" ]; then
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
  fi
  if [ ! -e "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    sing_step wine-prefix "$wine64" wineboot --init </dev/null || return 1
  fi
  if [ "$(sing_i386_route)" != none ] && [ ! -e "$wow" ]; then
    echo "error: the Wine prefix has no 32-bit half ($wow missing)" >&2
    return 1
  fi
}

# Starts a persistent wineserver and the prefix's services detached from our
# output, so that test programs start fast and nothing holds a pipe open.
sing_wine_start() {
  sing_wine_env "$1"
  sing_wine_prefix
  (wineserver -p </dev/null >/dev/null 2>&1 &)
  "$(sing_wine_loader x64)" wineboot </dev/null >/dev/null 2>&1 || true
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
