#!/usr/bin/env bash
# The set-up installs packages and changes nothing else on the machine: no
# script writes apt preferences, binfmt entries or services, and a second
# run of the set-up (the test command has just run it) says one quiet line.
root=$(cd "$(dirname "$0")/../.." && pwd)
status=0
# The only mention of apt preferences allowed is the removal of the pin an
# earlier set-up left.
changes='/etc/apt/(preferences|sources|apt\.conf)|binfmt_misc/register'
changes+='|systemctl +(enable|start)|update-binfmts +--(install|enable)'
hits=$(grep -nE "$changes" "$root"/tools/*.sh "$root"/.ci/run |
       grep -vE 'rm -f|^[^:]+:[0-9]+:\s*#')
if [ -n "$hits" ]; then
  echo "scripts that change the machine's configuration:"; echo "$hits"; status=1
fi
if [ -e /etc/apt/preferences.d/sing32-wine-pin ]; then
  echo "the apt pin of an earlier set-up is still there"; status=1
fi
out=$(bash "$root/tools/setup-debian.sh" 2>&1 </dev/null); rc=$?
if [ $rc -ne 0 ] || [ "$out" != "set-up: packages present" ]; then
  echo "a second set-up run (exit $rc) said:"; echo "$out"; status=1
fi
exit $status
