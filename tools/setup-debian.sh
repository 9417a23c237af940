#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12: the MinGW-w64 cross
# compilers (i686 and x86-64), CMake/Ninja, GoogleTest sources, clang (native sanitizer and fuzz
# builds), LLVM's tools (the MSVC import library, its checks) and Wine (32- and 64-bit). Safe to run again: it installs only what is missing.
set -euo pipefail

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
for p in cmake ninja-build python3 g++-mingw-w64-i686 binutils-mingw-w64-i686 \
         g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 googletest \
         clang libclang-rt-14-dev llvm-14 wine wine32:i386 wine64; do
  have "$p" || need+=("$p")
done
# Locale sources: the tests compile a ja_JP locale so that Wine runs one test
# process with a double-byte ANSI code page.
have locales || need+=(locales)
[ ${#need[@]} -eq 0 ] && exit 0

SUDO=
[ "$(id -u)" -ne 0 ] && SUDO=sudo

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi

# The security suite's i386 index has been seen out of sync with amd64, which
# breaks the wine32 install on mismatched library versions. Prefer the main
# suite for this install; the pin is harmless when the index is fine.
pin=/etc/apt/preferences.d/sing32-wine-pin
if [ ! -f "$pin" ]; then
  printf 'Package: *\nPin: release l=Debian-Security\nPin-Priority: 100\n' | $SUDO tee "$pin" >/dev/null
fi

# An update may fail for one index (mirror sync); carry on with what we have.
$SUDO apt-get update || true
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${need[@]}"
