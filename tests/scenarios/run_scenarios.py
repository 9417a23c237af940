#!/usr/bin/env python3
"""Runs each scenario folder (its *.reg files, else LAYOUTS/<folder>.reg; an
optional `cmdline`, {dir} standing for the folder's Windows path) through
singdump under Wine and fails on every fact of expected.json that the output
lacks or holds otherwise ("source" keys name where a person read the facts).

usage: run_scenarios.py WINE SINGDUMP SCENARIOS LAYOUTS"""
import glob
import json
import os
import subprocess
import sys


def win(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def differences(want, got, where):
    if isinstance(want, dict) and isinstance(got, dict):
        return [d for key, value in want.items() if key != "source"
                for d in (differences(value, got[key], f"{where}.{key}") if key in got
                          else [f"{where}.{key}: missing (expected {json.dumps(value)})"])]
    if want != got or type(want) is not type(got):
        return [f"{where}: expected {json.dumps(want)}, got {json.dumps(got)}"]
    return []


def run(wine, singdump, folder, layouts):
    name = os.path.basename(folder)
    regs = sorted(glob.glob(os.path.join(folder, "*.reg"))) or [os.path.join(layouts, name + ".reg")]
    cmd = [wine, singdump, "--json", "--registry"] + [win(r) for r in regs]
    if os.path.exists(os.path.join(folder, "cmdline")):
        with open(os.path.join(folder, "cmdline")) as f:
            cmd += ["--"] + f.read().replace("{dir}", win(folder)).split()
    with open(os.path.join(folder, "expected.json")) as f:
        want = json.load(f)
    if not want.get("source"):
        return [f"{name}: expected.json names no source"]
    p = subprocess.run(cmd, capture_output=True, timeout=120)
    if p.returncode != 0:
        return [f"{name}: singdump exit {p.returncode}: {p.stderr.decode(errors='replace')}"]
    got = json.loads(p.stdout.decode("utf-8"))
    got["gatherers"] = {g.get("name"): g for g in got["gatherers"]}
    return differences(want, got, name)


folders = sorted(d for d in glob.glob(os.path.join(sys.argv[3], "*")) if os.path.isdir(d))
failures = [line for folder in folders for line in run(*sys.argv[1:3], folder, sys.argv[4])]
for line in failures:
    print("FAIL " + line)
print(f"scenarios: {len(folders)} run, {len(failures)} differences")
sys.exit(1 if failures or not folders else 0)
