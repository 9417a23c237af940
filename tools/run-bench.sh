#!/usr/bin/env bash
# Builds and runs the measuring tools under Wine:
#   run-bench.sh bench [--reps N] [--wmi-reps M]     timings against WMI
#   run-bench.sh soak  [--cycles N] [--dmi M] [--loads K] ...
# With no options the soak is the full one (100000 cycles, 10000 DMI calls,
# 1000 load/unload cycles). Both print tables that can be pasted into README.
# They measure the shipped i386 build (SING_RUN_ARCH=x64 picks the x64 one);
# under emulation the client side costs more, so compare ratios within a run.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
case "${1:-}" in
  bench|soak) tool=sing_$1; shift ;;
  *) echo "usage: $0 bench|soak [options]" >&2; exit 2 ;;
esac
sing_setup
arch=$(sing_run_arch)
[ "$arch" = x64 ] && [ "$(sing_i386_route)" = none ] && echo "note: no 32-bit Windows code runs here; measuring the x64 build" >&2
sing_build "$arch"
dir=$(sing_build_dir "$arch")
sing_wine_start "$arch"
# Wine's version from the plain loader: with WINELOADERNOEXEC set (emulated
# route) a loader takes "--version" for a program to start.
echo "machine: $(nproc) CPU, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'); $(env -u WINELOADERNOEXEC /usr/lib/wine/wine64 --version); $arch build ($(sing_i386_route) i386 route); $(date -u +%Y-%m-%d)"
WINEPATH="Z:$dir/out" "$WINE" "$dir/bench/$tool.exe" "$@"
