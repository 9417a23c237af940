#!/usr/bin/env python3
"""Runs singdump under Wine as a user would: --save followed by the native
singdecode must give the objects singdump --json printed in the same run;
--gatherer takes an index, a name or a unique prefix in any case and lists
the registered gatherers when nothing matches; errors carry the system's
message text; a library it refuses is freed before it exits; --registry
reads registry export files (both formats, the control set mapped), says
so, refuses a malformed file with its line and leaves no scratch key.""" 
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


def check_registry(dump, work, layouts, machine_cards):
    """--registry: the layouts' facts, the source named, errors by file and line."""
    def facts(args):
        rc, out, err = run(dump + ["--json"] + args)
        check(rc == 0 and err == "", f"{args}: exit {rc}, stderr {err!r}")
        doc = json.loads(out) if rc == 0 else {"gatherers": [{}] * 6}
        return doc.get("registry", {}), doc["gatherers"][0], doc["gatherers"][1], doc["gatherers"][2]

    win10, win10up = ("Z:" + os.path.join(layouts, n + ".reg") for n in ("win10", "win10up"))
    source, user, ip, cards = facts(["--registry", win10])
    check(source.get("source") == "registry export files, not this machine's registry" and
          source.get("files") == [win10] and source.get("controlSet") is None, f"win10: registry {source}")
    check((user.get("owner"), user.get("organization"), user.get("computerName")) == ("Jana Novak", "", "DESKTOP-7Q2K9LM"),
          f"win10: identity {user}")
    check([ip.get(f"adapter{i}", {}).get("ipAddress") for i in range(4)] ==
          ["172.28.16.1", "192.168.56.1", "192.168.1.37", ""], f"win10: adapters {ip}")
    check(cards.get("cards") == machine_cards, f"win10: cards {cards.get('cards')} are not this machine's")
    # Two files; the second a REGEDIT4 export in code page 1252 that names
    # the owner last; ControlSet001 read as CurrentControlSet.
    regedit4 = os.path.join(work, "owner.reg")
    with open(regedit4, "wb") as f:
        f.write(b"REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion]\r\n"
                b"\"RegisteredOwner\"=\"J\xf6rg\"\r\n")
    source, user, ip, _ = facts(["--registry", win10up, "Z:" + regedit4])
    check(source.get("controlSet") == "ControlSet001", f"win10up: registry {source}")
    check((user.get("owner"), user.get("organization")) == ("J\u00f6rg", "Meier & Soehne KG"), f"win10up: identity {user}")
    check(ip.get("adapter2", {}).get("hostName") == "BUCHHALTUNG-PC", f"win10up: adapters {ip}")
    rc, out, err = run(dump + ["--gatherer", "0", "--registry", win10])
    check(rc == 0 and "registry export files, not this machine's registry" in out, f"text output: {out[:300]!r}")

    # Refused whole, with the file and line; a missing file with the system's text.
    bad = os.path.join(work, "bad.reg")
    with open(bad, "wb") as f:
        f.write(b"REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\A]\r\n\"Old\"=-\r\n")
    rc, out, err = run(dump + ["--registry", win10, "Z:" + bad])
    check(rc == 1 and out == "" and err.strip() == f"singdump: Z:{bad}:4: deleting a value (\"name\"=-) is not "
          "supported: export the values as they are", f"malformed export: exit {rc}, stderr {err!r}")
    rc, out, err = run(dump + ["--registry", "Z:" + os.path.join(work, "none.reg")])
    check(rc == 1 and re.search(r"none\.reg: cannot open the file \(error 2: \S[^)]*\)$", err.strip()),
          f"missing export: exit {rc}, stderr {err!r}")
    rc, out, err = run(dump[:1] + ["reg", "query", "HKCU\\Software\\SING32\\RegistryStandIn"])
    check("singdump" not in out.lower(), f"scratch keys left behind: {out!r}")


def main():
    wine, singdump, singdecode, work, fixture, layouts = sys.argv[1:7]
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

    check_registry(dump, work, layouts, gatherers[2].get("cards"))

    print(f"{0 if failures else 1} passed, {1 if failures else 0} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
