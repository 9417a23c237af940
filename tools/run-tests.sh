#!/usr/bin/env bash
# Sets up everything, builds every architecture and the native sanitizer
# build, and runs every test: the static checks of the shipped i386
# binaries; all test programs under Wine, first from the i386 test build
# (the shipped code, posix threads for GoogleTest), then from the x64 one;
# the OS-independent code's unit tests under AddressSanitizer and
# UndefinedBehaviorSanitizer; and bounded fuzz runs.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
sing_setup
route=$(sing_i386_route)
sing_build i386
[ "$route" != none ] && sing_build i386-tests
sing_build x64
sing_build x64-tests
sing_build_native

status=0
echo "== static checks of the i386 binaries"
ctest --test-dir "$(sing_build_dir i386)" --output-on-failure -L static || status=1

sing_wine_start x64
if [ "$route" != none ]; then
  echo "== test programs under Wine: i386 ($route)"
  ctest --test-dir "$(sing_build_dir i386-tests)" --output-on-failure -j2 -LE static || status=1
else
  echo "== NOT RUN: i386 test programs (this machine cannot run 32-bit Windows code); x64 only"
  # CI sets SING_REQUIRE_I386=1: there the shipped build must have run.
  [ "${SING_REQUIRE_I386:-0}" = 1 ] && status=1
fi
echo "== test programs under Wine: x64"
ctest --test-dir "$(sing_build_dir x64-tests)" --output-on-failure -j2 -LE static || status=1
sing_wine_stop

echo "== native build under sanitizers: unit tests and bounded fuzz runs"
ctest --test-dir "$(sing_build_dir native)" --output-on-failure -j2 || status=1
exit $status
