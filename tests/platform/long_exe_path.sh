#!/usr/bin/env bash
# Runs the command-line probe from a folder whose path is longer than
# MAX_PATH (Wine's CreateProcess does not start such a program, its loader
# does) and checks the executable's folder the probe reports in full.
# Usage: long_exe_path.sh WINE PROBE.EXE
set -euo pipefail
base=$(mktemp -d)
trap 'rm -rf "$base"' EXIT
dir=$base
for c in a b c d e f g; do dir=$dir/$(printf "$c%.0s" $(seq 40)); done
mkdir -p "$dir" && cp "$2" "$dir/probe.exe"
out=$(cd "$dir" && "$1" ./probe.exe /S:long </dev/null 2>/dev/null | tr -d '\r')
win="Z:${dir//\//\\}\\"
for want in "module=$win" "data=$win" "S=long"; do
  grep -qxF "$want" <<<"$out" || { echo "expected: $want"; echo "probe said:"; echo "$out"; exit 1; }
done
echo "moduleDir of ${#dir} characters reported in full"
