#!/usr/bin/env bash
# Sets up everything, builds, and runs singdump under Wine: the shipped i386
# build wherever 32-bit Windows code can run here, else the x64 build.
# Arguments are passed to singdump (for example --json, --hex, --gatherer IPInfo).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
sing_setup
arch=$(sing_run_arch)
sing_build i386 -DSING_BUILD_TESTS=OFF
[ "$arch" = x64 ] && sing_build x64 -DSING_BUILD_TESTS=OFF
dir=$(sing_build_dir "$arch")/out
echo "running $dir/singdump.exe ($arch build, $(sing_i386_route) i386 route)" >&2
sing_wine_start "$arch"
"$WINE" "$dir/singdump.exe" "$@"
