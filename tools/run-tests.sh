#!/usr/bin/env bash
# Sets up everything, builds both architectures and the native sanitizer
# build, and runs every test: the static checks of the shipped i386
# binaries, all test programs under Wine (an i386 build where this kernel runs
# 32-bit processes, x64 otherwise), the OS-independent code's unit tests under
# AddressSanitizer/UndefinedBehaviorSanitizer, and bounded fuzz runs.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
sing_setup
arch=$(sing_test_arch)
sing_build i386
sing_build "$arch"
sing_build_native

status=0
echo "== static checks of the i386 binaries"
ctest --test-dir "$(sing_build_dir i386)" --output-on-failure -L static || status=1

echo "== test programs under Wine ($arch)"
sing_wine_start "$arch"
ctest --test-dir "$(sing_build_dir "$arch")" --output-on-failure -j2 -LE static || status=1
sing_wine_stop

echo "== native build under sanitizers: unit tests and bounded fuzz runs"
ctest --test-dir "$(sing_build_dir native)" --output-on-failure -j2 || status=1
exit $status
