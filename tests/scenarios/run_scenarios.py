#!/usr/bin/env python3
"""Runs every scenario folder through singdump under Wine and compares the
facts with the folder's expected.json.

A scenario is a machine's registry (the folder's *.reg files, else the
layout export LAYOUTS/<folder>.reg), optionally a profile file and a host
command line (`cmdline`, with {dir} standing for the folder's Windows
path). singdump loads the exports through its registry stand-in, runs every
gatherer's host cycle and prints the decoded buffers; each fact that
expected.json states must be there with that value ("source" keys name
where a person read the facts and are not compared). Facts the machine
under test decides (its cards, IPX, time zone) are simply not stated; a
layout's cards.txt (the card list with chosen driver answers) is read by
test_network, where the device calls can be answered.

usage: run_scenarios.py WINE SINGDUMP SCENARIOS LAYOUTS"""
import glob
import json
import os
import subprocess
import sys


def win(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def differences(want, got, where):
    """The stated facts of `want` that `got` lacks or holds otherwise."""
    if isinstance(want, dict):
        if not isinstance(got, dict):
            return [f"{where}: expected an object, got {json.dumps(got)}"]
        out = []
        for key, value in want.items():
            if key == "source":
                continue
            if key not in got:
                out.append(f"{where}.{key}: missing (expected {json.dumps(value)})")
            else:
                out += differences(value, got[key], f"{where}.{key}")
        return out
    if want != got or type(want) is not type(got):
        return [f"{where}: expected {json.dumps(want)}, got {json.dumps(got)}"]
    return []


def run(wine, singdump, folder, layouts):
    name = os.path.basename(folder)
    regs = sorted(glob.glob(os.path.join(folder, "*.reg"))) or [os.path.join(layouts, name + ".reg")]
    cmd = [wine, singdump, "--json", "--registry"] + [win(r) for r in regs]
    cmdline = os.path.join(folder, "cmdline")
    if os.path.exists(cmdline):
        with open(cmdline) as f:
            cmd += ["--"] + f.read().replace("{dir}", win(folder)).split()
    with open(os.path.join(folder, "expected.json")) as f:
        want = json.load(f)
    if not want.get("source"):
        return [f"{name}: expected.json names no source"]
    p = subprocess.run(cmd, capture_output=True, timeout=120)
    if p.returncode != 0:
        return [f"{name}: singdump exit {p.returncode}: {p.stderr.decode(errors='replace')}"]
    got = json.loads(p.stdout.decode("utf-8"))
    # Gatherers by name, as expected.json lists them.
    got["gatherers"] = {g.get("name"): g for g in got["gatherers"]}
    return differences(want, got, name)


def main():
    wine, singdump, scenarios, layouts = sys.argv[1:5]
    folders = sorted(d for d in glob.glob(os.path.join(scenarios, "*")) if os.path.isdir(d))
    failures = []
    for folder in folders:
        failures += run(wine, singdump, folder, layouts)
    for line in failures:
        print("FAIL " + line)
    print(f"scenarios: {len(folders)} run, {len(failures)} differences")
    return 1 if failures or not folders else 0


if __name__ == "__main__":
    sys.exit(main())
