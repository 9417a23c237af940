#!/usr/bin/env python3
"""singdump under Wine as a user runs it: --save followed by the native
singdecode gives the objects --json printed in the same run; --gatherer
takes an index, a name or a unique prefix in any case; errors carry the
system's message text and exit 1; a library it refuses is freed before it
exits; --registry reads export files, says so, refuses a malformed one with
its line and leaves no scratch key."""
import json
import os
import re
import shutil
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "static"))
from checks import check, finish, run  # noqa: E402

NAMES = ["WindowsUserInfo", "IPInfo", "NETBIOSInfo", "KMZUserInfo", "IPX Data", "Regional Data"]
# What singdump adds to a gatherer's object from the calls of its run.
RUN_KEYS = {"index", "name", "packetId", "init", "update", "dataBufLen", "fill"}


def main():
    wine, singdump, singdecode, work, fixture, layouts = sys.argv[1:7]
    if not check(os.path.isfile(singdecode), f"no native singdecode at {singdecode}: build native first"):
        return finish("singdump")
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    dump = [wine, singdump]
    z = lambda *p: "Z:" + os.path.join(*p)  # noqa: E731

    # One run: the JSON document and the raw buffers of the same cycle.
    saved = os.path.join(work, "saved")
    rc, out, err = run(dump + ["--json", "--save", z(saved)])
    gatherers = json.loads(out)["gatherers"] if check(rc == 0 and err == "", f"--save: exit {rc}, {err!r}") else []
    files = [f"{i}-{n.replace(' ', '_')}.bin" for i, n in enumerate(NAMES)]
    check(sorted(os.listdir(saved)) == sorted(files), f"saved files: {sorted(os.listdir(saved))}")
    rc, out, err = run([singdecode] + [os.path.join(saved, f) for f in files])
    decoded = [json.loads(line) for line in out.splitlines()]
    check(rc == 0 and len(decoded) == len(gatherers) == 6, f"singdecode: exit {rc}, {len(decoded)} decoded, {err!r}")
    for g, d in zip(gatherers, decoded):
        check({k: v for k, v in g.items() if k not in RUN_KEYS} == d, f"gatherer {g['index']}: singdecode differs")
        check(os.path.getsize(os.path.join(saved, files[g["index"]])) == g["dataBufLen"], f"{g['index']}: size")

    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "cli-cases.json")) as f:
        cases = json.load(f)
    for wanted, index in cases["select"]:
        rc, out, err = run(dump + ["--json", "--gatherer", wanted])
        got = [g["index"] for g in json.loads(out)["gatherers"]] if rc == 0 else None
        check(got == [index], f"--gatherer {wanted!r}: exit {rc}, gatherers {got}, stderr {err!r}")

    names = {"work": z(work), "layouts": z(layouts), "fixture": z(fixture),
             "listing": ", ".join(f'{i} "{n}"' for i, n in enumerate(NAMES))}
    with open(os.path.join(work, "bad.reg"), "wb") as f:
        f.write(b"REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\A]\r\n\"Old\"=-\r\n")
    detach_log = os.path.join(work, "detach.log")
    os.environ["SING_FIXTURE_DETACH_LOG"] = z(detach_log)
    for c in cases["refusals"]:
        args = [a.format(**names) for a in c["args"]]
        why = re.escape(c["says"].format(**names)) if "says" in c else c["matches"]
        rc, out, err = run(dump + args)
        check(rc == 1 and out == "" and re.fullmatch("singdump: " + why, err.strip()), f"{args}: exit {rc}, {err!r}")
    how = open(detach_log).read() if os.path.exists(detach_log) else "(no detach)"
    check(how == "free", f"the library without the exports was unloaded by {how!r}, not freed")

    # --registry: the facts come from the files (the second a REGEDIT4 export
    # in code page 1252), the control set named by Select is mapped, and the
    # output names the source.
    owner = os.path.join(work, "owner.reg")
    with open(owner, "wb") as f:
        f.write(b"REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion]\r\n"
                b"\"RegisteredOwner\"=\"J\xf6rg\"\r\n")
    rc, out, err = run(dump + ["--json", "--registry", z(layouts, "win10up.reg"), z(owner)])
    doc = json.loads(out) if rc == 0 else {"registry": {}, "gatherers": [{}, {}, {}]}
    check({k: doc["registry"].get(k) for k in ("source", "files", "controlSet")} ==
          {"source": "registry export files, not this machine's registry",
           "files": [z(layouts, "win10up.reg"), z(owner)], "controlSet": "ControlSet001"},
          f"--registry: exit {rc}, {err!r}")
    got = [doc["gatherers"][0].get("owner"), doc["gatherers"][1].get("adapter2", {}).get("hostName"),
           doc["gatherers"][2].get("cards")]  # the cards stay this machine's
    check(got == ["J\u00f6rg", "BUCHHALTUNG-PC", gatherers[2]["cards"]], f"--registry: {got}")
    rc, out, err = run(dump + ["--gatherer", "0", "--registry", z(layouts, "win10.reg")])
    check(rc == 0 and "registry export files, not this machine's registry" in out, f"text output: {out[:300]!r}")
    rc, out, err = run([wine, "reg", "query", "HKCU\\Software\\SING32\\RegistryStandIn"])
    check("singdump" not in out.lower(), f"scratch keys left behind: {out!r}")
    return finish("singdump")


if __name__ == "__main__":
    sys.exit(main())
