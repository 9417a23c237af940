#!/usr/bin/env python3
"""Checks the shipped i386 binaries without running them: PE32 i386, export
tables, the bytes every return of every export removes from the stack,
imports (no runtime DLL, nothing Windows NT 4 lacks), version resources, and
the library's footprint (file size, runtime parts linked)."""
import argparse
import json
import os
import re
import subprocess
import sys

from checks import check, def_exports, finish

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.join(HERE, "..", "..")
SING_EXPORTS = def_exports(os.path.join(ROOT, "framework", "sing32.def"), "SING_")
# The companion's entry points are loaded by name: exported undecorated.
EXPORTS = {"SING32.DLL": set(SING_EXPORTS),
           "KMZSYS32.DLL": set(def_exports(os.path.join(ROOT, "companions", "kmzsys32", "kmzsys32.def"), "SINF_"))}
with open(os.path.join(HERE, "pe_rules.json")) as f:
    RULES = json.load(f)
LATER_ONLY = {dll: re.compile("|".join(f"(?:{p})" for p in pats) + "$")
              for dll, pats in RULES["later_than_nt4"].items()}
SYSTEM_DLLS, COMPANIONS = set(RULES["system_dlls"]), set(RULES["companions"])


def objdump(tool, *args):
    return subprocess.run([tool, *args], check=True, capture_output=True, text=True).stdout


def check_image(tool, path):
    out = objdump(tool, "-p", path)
    name = os.path.basename(path)
    check("file format pei-i386" in out and re.search(r"^Magic\s+010b", out, re.M), f"{name}: not a PE32 i386 image")
    imports, current = {}, None  # {dll (lower case): [names]}
    for line in out.split("The Import Tables")[-1].split("The Export Tables")[0].splitlines():
        if m := re.match(r"^\s+DLL Name: (\S+)", line):
            current = imports.setdefault(m.group(1).lower(), [])
        elif current is not None and (m := re.match(r"^\s+[0-9a-f]+\s+\d+\s+(\S+)$", line)):
            current.append(m.group(1))
    runtime = [d for d in imports if re.search(r"libgcc|libstdc\+\+|libwinpthread|mingw", d)]
    check(not runtime, f"{name}: imports the MinGW runtime {runtime}")
    later = sorted(f for dll, names in imports.items() if dll in LATER_ONLY for f in names if LATER_ONLY[dll].match(f))
    check(not later, f"{name}: imports what Windows NT 4 lacks: {', '.join(later)}")
    # The loader of Windows NT 4 refuses images that ask for a later system.
    for field in ("OSystem", "Subsystem"):
        m = re.search(rf"^Major{field}Version\s+(\d+)", out, re.M)
        check(m and int(m.group(1)) <= 4, f"{name}: Major{field}Version is {m.group(1) if m else 'missing'}")
    check(set(imports.get("sing32.dll", [])) <= EXPORTS["SING32.DLL"], f"{name}: imports unknown names from SING32.DLL")
    rsrc = objdump(tool, "-s", "-j", ".rsrc", path)
    raw = b"".join(bytes.fromhex("".join(line.split("  ")[0].split()[1:]))
                   for line in rsrc.splitlines() if re.match(r"^\s[0-9a-f]{4,} ", line))
    check("VS_VERSION_INFO".encode("utf-16-le") in raw, f"{name}: no version resource")
    if name in EXPORTS:
        found = set(re.findall(r"^\s+\[\s*\d+\] (\S+)$", out.split("[Ordinal/Name Pointer] Table")[-1], re.M))
        check(found == EXPORTS[name], f"{name} exports {sorted(found ^ EXPORTS[name])} differ")
    return imports


def check_library(tool, path, unstripped):
    imports = check_image(tool, path)
    check(COMPANIONS <= set(imports), f"SING32.DLL does not import {sorted(COMPANIONS - set(imports))}")
    others = sorted(set(imports) - SYSTEM_DLLS - COMPANIONS)
    check(not others, f"SING32.DLL imports {others}")
    # Every return of every export removes exactly its argument bytes; a tail
    # jump counts with the target's returns. The unstripped twin names them.
    current, rets, jumps = None, {}, {}
    for line in objdump(tool, "-d", "--no-show-raw-insn", unstripped).splitlines():
        if m := re.match(r"^[0-9a-f]+ <_?([A-Za-z0-9_]+?)(@\d+)?>:$", line):
            current = m.group(1)
        elif current and re.search(r"\sret\b", line):
            m = re.search(r"ret\s+\$0x([0-9a-f]+)", line)
            rets.setdefault(current, []).append(int(m.group(1), 16) if m else 0)
        elif current and (m := re.search(r"\sjmp\s+[0-9a-f]+ <_?([A-Za-z0-9_]+?)(@\d+)?>", line)):
            if m.group(1) != current:
                jumps.setdefault(current, []).append(m.group(1))

    def all_rets(fn, seen):
        seen.add(fn)
        return rets.get(fn, []) + [r for t in jumps.get(fn, []) if t not in seen for r in all_rets(t, seen)]

    for name, size in SING_EXPORTS.items():
        found = all_rets(name, set())
        check(found and all(r == size for r in found), f"{name}: returns remove {sorted(set(found))} bytes, not {size}")
    size = os.path.getsize(path)
    check(size <= RULES["max_library_bytes"], f"SING32.DLL is {size} bytes, more than {RULES['max_library_bytes']}")


def check_link_map(link_map):
    if not check(os.path.isfile(link_map), f"no link map at {link_map}"):
        return
    with open(link_map, encoding="utf-8", errors="replace") as f:
        text = f.read()
    heavy = sorted(m for m in set(re.findall(r"libstdc\+\+\.a\(([^)]+\.o)\)", text))
                   if any(part in m for part in RULES["heavy_runtime"]))
    check(not heavy, f"SING32.DLL links heavy C++ runtime parts: {', '.join(heavy)}")
    for pattern, what in RULES["exception_runtime"]:
        found = sorted({m.group(0) for m in re.finditer(pattern, text)})
        check(not found, f"SING32.DLL links {what}: {', '.join(found)}")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--objdump")
    ap.add_argument("--map", required=True, help="the library's link map, for the runtime-parts check")
    ap.add_argument("--symbols", help="folder with the unstripped SING32.DLL")
    ap.add_argument("--map-only", action="store_true", help="check only the link map (any architecture)")
    ap.add_argument("outdir", nargs="?")
    a = ap.parse_args()
    check_link_map(a.map)
    if a.map_only:
        return finish("link map")
    binaries = sorted(f for f in os.listdir(a.outdir) if f.lower().endswith((".dll", ".exe")))
    check("SING32.DLL" in binaries, "SING32.DLL is missing from the output folder")
    for f in binaries:
        if f == "SING32.DLL":
            unstripped = os.path.join(a.symbols, f)
            if check(os.path.isfile(unstripped), f"no unstripped SING32.DLL in {a.symbols}"):
                check_library(a.objdump, os.path.join(a.outdir, f), unstripped)
        else:
            check_image(a.objdump, os.path.join(a.outdir, f))
    return finish(f"{len(binaries)} binaries ({', '.join(binaries)})")


if __name__ == "__main__":
    sys.exit(main())
