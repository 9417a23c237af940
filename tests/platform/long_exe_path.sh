#!/usr/bin/env bash
# Runs the command-line probe from a folder whose path is longer than
# MAX_PATH (Wine's CreateProcess does not start such a program, its loader
# does) and checks the executable's folder the probe reports in full.
# Usage: long_exe_path.sh WINE PROBE.EXE
set -euo pipefail
wine=$1 probe=$2
base=$(mktemp -d)
trap 'rm -rf "$base"' EXIT
dir=$base
for c in a b c d e f g; do dir=$dir/$(printf "$c%.0s" $(seq 40)); done
mkdir -p "$dir"
cp "$probe" "$dir/probe.exe"
out=$(cd "$dir" && "$wine" ./probe.exe /S:long </dev/null 2>/dev/null | tr -d '\r')
want="module=Z:${dir//\//\\}\\"
fail=0
grep -qxF "$want" <<<"$out" || { echo "expected: $want"; fail=1; }
grep -qxF "data=${want#module=}" <<<"$out" || { echo "dataDir differs"; fail=1; }
grep -qxF "S=long" <<<"$out" || { echo "S missing"; fail=1; }
[ "$fail" = 0 ] || { echo "probe said:"; echo "$out"; exit 1; }
echo "moduleDir of ${#dir} characters reported in full"
