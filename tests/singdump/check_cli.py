#!/usr/bin/env python3
"""Runs singdump under Wine as a user would: --save followed by the native
singdecode must give the objects singdump --json printed in the same run;
--gatherer takes an index, a name or a unique prefix in any case and lists
the registered gatherers when nothing matches; errors carry the system's
message text; a library it refuses is freed before it exits."""
import json
import os
import re
import shutil
import subprocess
import sys

NAMES = ["WindowsUserInfo", "IPInfo", "NETBIOSInfo", "KMZUserInfo", "IPX Data", "Regional Data"]
# What singdump adds to a gatherer's object from the calls of its run.
RUN_KEYS = {"index", "name", "packetId", "init", "update", "dataBufLen", "fill"}
failures = []


def check(cond, what):
    if not cond:
        failures.append(what)
        print("FAIL: " + what)
    return cond


def run(cmd):
    p = subprocess.run(cmd, capture_output=True, timeout=120)
    return p.returncode, p.stdout.decode(errors="replace"), p.stderr.decode(errors="replace")


def main():
    wine, singdump, singdecode, work, fixture = sys.argv[1:6]
    if not check(os.path.isfile(singdecode), f"no native singdecode at {singdecode}: build native first"):
        return 1
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    saved = os.path.join(work, "saved")
    dump = [wine, singdump]

    # One run: the JSON document and the raw buffers of the same cycle.
    rc, out, err = run(dump + ["--json", "--save", "Z:" + saved])
    check(rc == 0 and err == "", f"--json --save: exit {rc}, stderr {err!r}")
    doc = json.loads(out)
    gatherers = doc["gatherers"]
    files = [f"{i}-{n.replace(' ', '_')}.bin" for i, n in enumerate(NAMES)]
    check(sorted(os.listdir(saved)) == sorted(files), f"saved files: {sorted(os.listdir(saved))}")
    rc, out, err = run([singdecode] + [os.path.join(saved, f) for f in files])
    check(rc == 0 and err == "", f"singdecode of the saved buffers: exit {rc}, stderr {err!r}")
    decoded = [json.loads(line) for line in out.splitlines()]
    check(len(decoded) == len(gatherers) == 6, f"{len(decoded)} decoded, {len(gatherers)} in the document")
    for g, d in zip(gatherers, decoded):
        check({k: v for k, v in g.items() if k not in RUN_KEYS} == d,
              f"gatherer {g['index']}: singdecode {json.dumps(d)[:200]} differs from singdump {json.dumps(g)[:200]}")
        check(os.path.getsize(os.path.join(saved, files[g["index"]])) == g["dataBufLen"],
              f"gatherer {g['index']}: saved size differs from dataBufLen {g['dataBufLen']}")

    # --gatherer: index, exact name, unique prefix in any case.
    for wanted, index in [("4", 4), ("IPX Data", 4), ("IPX", 4), ("ipx", 4), ("regional", 5), ("w", 0)]:
        rc, out, err = run(dump + ["--json", "--gatherer", wanted])
        got = [g["index"] for g in json.loads(out)["gatherers"]] if rc == 0 else None
        check(got == [index], f"--gatherer {wanted!r}: exit {rc}, gatherers {got}, stderr {err!r}")
    listing = ", ".join(f'{i} "{n}"' for i, n in enumerate(NAMES))
    for wanted in ["IPXX", "6", "nosuch", "Data"]:
        rc, out, err = run(dump + ["--gatherer", wanted])
        check(rc == 1 and out == "" and err.strip() == f"singdump: no gatherer matches '{wanted}'; registered: {listing}",
              f"--gatherer {wanted!r}: exit {rc}, stderr {err!r}")
    rc, out, err = run(dump + ["--gatherer", "ip"])
    check(rc == 1 and err.strip() == "singdump: 'ip' is ambiguous: it starts 1 \"IPInfo\", 4 \"IPX Data\"",
          f"--gatherer 'ip': exit {rc}, stderr {err!r}")

    # Errors name the number and the system's text for it.
    rc, out, err = run(dump + ["--dll", "Z:" + os.path.join(work, "none", "SING32.DLL")])
    check(rc == 1 and re.search(r"cannot load .*SING32\.DLL \(error 126: \S[^)]*\)$", err.strip()),
          f"missing library: exit {rc}, stderr {err!r}")
    rc, out, err = run(dump + ["--save", "Z:" + os.path.join(work, "none", "deeper")])
    check(rc == 1 and re.search(r"cannot create .*deeper \(error 3: \S[^)]*\)$", err.strip()),
          f"--save into a missing folder: exit {rc}, stderr {err!r}")

    # A library without the exports is refused and freed, not left loaded
    # until the process ends.
    detach_log = os.path.join(work, "detach.log")
    os.environ["SING_FIXTURE_DETACH_LOG"] = "Z:" + detach_log
    rc, out, err = run(dump + ["--dll", "Z:" + fixture])
    del os.environ["SING_FIXTURE_DETACH_LOG"]
    how = open(detach_log).read() if os.path.exists(detach_log) else "(no detach)"
    check(rc == 1 and err.strip() == "singdump: the library does not export SING_NumGatherers" and how == "free",
          f"library without the exports: exit {rc}, stderr {err!r}, unloaded by {how!r}")

    print(f"{0 if failures else 1} passed, {1 if failures else 0} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
