#!/usr/bin/env bash
# Sets up everything, builds, and runs singdump under Wine. Arguments are
# passed to singdump (for example --json, --hex, --gatherer IPInfo).
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
sing_setup
arch=$(sing_run_arch)
sing_build i386 -DSING_BUILD_TESTS=OFF
[ "$arch" = x64 ] && sing_build x64 -DSING_BUILD_TESTS=OFF
if [ "$arch" = x64 ]; then
  echo "note: this kernel cannot run 32-bit processes; running the x64 build of singdump" >&2
fi
sing_wine_start "$arch"
"$WINE" "$(sing_build_dir "$arch")/out/singdump.exe" "$@"
