#!/usr/bin/env bash
# Sets up everything, builds both architectures, and runs every test: the
# static checks of the shipped i386 binaries, and all test programs under
# Wine (i386 where this kernel runs 32-bit processes, x64 otherwise).
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
sing_setup
arch=$(sing_run_arch)
sing_build i386
[ "$arch" = x64 ] && sing_build x64

echo "== static checks of the i386 binaries"
ctest --test-dir "$(sing_build_dir i386)" --output-on-failure -L static

echo "== test programs under Wine ($arch)"
sing_wine_start "$arch"
ctest --test-dir "$(sing_build_dir "$arch")" --output-on-failure -j2 -LE static
