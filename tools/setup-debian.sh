#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12: the MinGW-w64 cross
# compilers (i686 and x86-64), CMake/Ninja, GoogleTest sources, clang (native
# sanitizer and fuzz builds), LLVM's tools (the MSVC import library, its
# checks), locales (a ja_JP locale for the double-byte test process) and Wine
# (32- and 64-bit).
#
# What it changes on the machine: it adds the i386 architecture to dpkg (Wine's
# 32-bit half needs it) and installs the packages below. Nothing else: no apt
# preferences, sources or services. Safe to run again: it installs only what is
# missing. apt's output goes to a log; one line per step goes to standard error.
set -uo pipefail

log=${SING_SETUP_LOG:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/logs/setup.log}
mkdir -p "$(dirname "$log")"

SUDO=
[ "$(id -u)" -ne 0 ] && SUDO=sudo

# An earlier version of this script pinned the security suite below the main
# suite for every package; that pin must not outlive us.
pin=/etc/apt/preferences.d/sing32-wine-pin; if [ -e $pin ]; then $SUDO rm -f $pin && echo "set-up: removed the apt pin an earlier set-up left ($pin)" >&2; fi

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
for p in cmake ninja-build python3 g++-mingw-w64-i686 binutils-mingw-w64-i686 \
         g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 googletest \
         clang libclang-rt-14-dev llvm-14 locales wine wine32:i386 wine64; do
  have "$p" || need+=("$p")
done
if [ ${#need[@]} -eq 0 ]; then
  echo "set-up: packages present" >&2
  exit 0
fi
echo "set-up: installing ${#need[@]} packages (log: $log)" >&2
: >"$log"

fail() { echo "set-up: FAILED: $1 (log: $log)" >&2; tail -n 5 "$log" | sed 's/^/    /' >&2; exit 1; }

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386 >>"$log" 2>&1 || fail "dpkg --add-architecture i386"
fi

# One index of the security suite (its i386 half) has been seen out of step
# with the rest during a mirror sync; a later try usually finds it whole.
updated=0
for try in 1 2 3; do
  if $SUDO apt-get update >>"$log" 2>&1; then updated=1; break; fi
  echo "set-up: apt-get update failed (try $try of 3)" >>"$log"
  sleep $((try * 5))
done
[ $updated = 1 ] || echo "set-up: apt-get update failed three times; installing from the indexes at hand" >&2

install() {
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$@" "${need[@]}" >>"$log" 2>&1
}
if ! install; then
  # Where the i386 and amd64 indexes of one suite still disagree, take the
  # main suite's versions for this one command (a target release, not a pin:
  # nothing is written, later installs and upgrades are unaffected).
  echo "set-up: install failed; retrying with target release bookworm for this command" >>"$log"
  install -t bookworm || fail "apt-get install ${need[*]}"
fi
echo "set-up: packages installed" >&2
