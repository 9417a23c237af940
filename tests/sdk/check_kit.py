#!/usr/bin/env python3
"""Checks the host developers' kit in a deploy folder: the files are there,
SING32.def and both import libraries name the fifteen exports as the DLL
exports them, and sing32.h compiles cleanly in every language mode with
MinGW and clang, its prototypes taking the argument bytes the DLL removes."""
import argparse
import os
import re
import subprocess
import sys
import tempfile

KIT = ["sing32.h", "SING32.def", "libsing32.a", "SING32.lib"]
failures = []


def check(cond, what):
    if not cond:
        failures.append(what)
        print("FAIL: " + what)
    return cond


def run(cmd):
    p = subprocess.run(cmd, capture_output=True, text=True, timeout=120)
    return p.returncode, p.stdout + p.stderr


def exports(def_path):
    """{name: argument bytes} from a .def file with decorated names."""
    with open(def_path) as f:
        return {m.group(1): int(m.group(2)) for m in re.finditer(r"^\s+(SING_\w+)@(\d+)\s*$", f.read(), re.M)}


def import_members(readobj, lib):
    """[(name type, [symbols])] of the short import members of a .lib."""
    rc, out = run([readobj, lib])
    check(rc == 0, f"{readobj} {lib}: {out[:200]}")
    members = []
    for block in out.split("Format: COFF-import-file")[1:]:
        kind = re.search(r"Name type: (\S+)", block)
        members.append((kind.group(1) if kind else "", re.findall(r"^Symbol: (\S+)", block, re.M)))
    return members


def call_unit(names):
    """C source that calls every export with zero arguments of its count."""
    calls = "".join(f"    {n}({', '.join(['0'] * (size // 4))});\n" for n, size in names.items())
    return '#include "sing32.h"\nvoid sing_calls(void);\nvoid sing_calls(void) {\n' + calls + "}\n"


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--arch", choices=["i386", "x64"], required=True)
    ap.add_argument("--def", dest="def_path", required=True, help="the library's decorated .def")
    ap.add_argument("--cc", required=True)
    ap.add_argument("--cxx", required=True)
    ap.add_argument("--clang", required=True)
    ap.add_argument("--llvm-nm", required=True)
    ap.add_argument("--llvm-readobj", required=True)
    ap.add_argument("outdir")
    a = ap.parse_args()
    names = exports(a.def_path)
    check(len(names) == 15, f"{a.def_path}: {len(names)} exports, not 15")
    for f in KIT:
        check(os.path.isfile(os.path.join(a.outdir, f)), f"{f} is missing from {a.outdir}")
    if failures:
        return 1
    header = os.path.join(a.outdir, "sing32.h")

    # SING32.def: exactly the fifteen names, undecorated.
    with open(os.path.join(a.outdir, "SING32.def")) as f:
        listed = re.findall(r"^\s+(\S+)\s*$", f.read(), re.M)
    check(sorted(listed) == sorted(names), f"SING32.def lists {listed}")

    # SING32.lib: one import member per export; on i386 the decorated
    # symbol with the "undecorate" name type (imported as SING_Name), on
    # x64 the plain name.
    members = import_members(a.llvm_readobj, os.path.join(a.outdir, "SING32.lib"))
    if a.arch == "i386":
        want = sorted(("undecorate", [f"__imp__{n}@{s}", f"_{n}@{s}"]) for n, s in names.items())
    else:
        want = sorted(("name", [f"__imp_{n}", n]) for n in names)
    check(sorted(members) == want, f"SING32.lib members: {sorted(members)}")
    refs = {n: (f"_{n}@{s}" if a.arch == "i386" else n) for n, s in names.items()}
    rc, out = run([a.llvm_nm, os.path.join(a.outdir, "SING32.lib")])
    defined = set(re.findall(r" T (\S+)$", out, re.M))
    check(defined == set(refs.values()) | {"__imp_" + r for r in refs.values()}, f"llvm-nm SING32.lib: {sorted(defined)}")

    # libsing32.a: the symbols that MinGW callers reference.
    rc, out = run([a.llvm_nm, os.path.join(a.outdir, "libsing32.a")])
    defined = set(re.findall(r" T (\S+)$", out, re.M))
    check(set(refs.values()) <= defined, f"libsing32.a lacks {sorted(set(refs.values()) - defined)}")

    with tempfile.TemporaryDirectory() as work:
        unit = os.path.join(work, "calls.c")
        with open(unit, "w") as f:
            f.write(call_unit(names))
        target = "i686-w64-windows-gnu" if a.arch == "i386" else "x86_64-w64-windows-gnu"
        strict = ["-Wall", "-Wextra", "-pedantic", "-Werror", "-I", a.outdir]
        modes = [([a.cc, f"-std={s}"], "c") for s in ("c89", "c99", "c17")]
        modes += [([a.cxx, f"-std={s}"], "c++") for s in ("c++98", "c++20")]
        modes += [([a.clang, f"--target={target}", f"-std={s}"], "c") for s in ("c89", "c99")]
        modes += [([a.clang, f"--target={target}", "-std=c++20"], "c++")]
        for k, (cc, lang) in enumerate(modes):
            obj = os.path.join(work, f"calls{k}.o")
            rc, out = run(cc + strict + ["-x", lang, "-c", unit, "-o", obj])
            if not check(rc == 0 and out == "", f"{' '.join(cc)}: sing32.h does not compile cleanly: {out[:400]}"):
                continue
            # Each call references the import with the stack bytes the DLL's
            # stdcall exports remove (name@N on i386).
            rc, out = run([a.llvm_nm, "-u", obj])
            used = set(re.findall(r"U (\S+)$", out, re.M))
            want = {f"__imp_{r}" for r in refs.values()}
            check(used == want, f"{' '.join(cc)}: calls import {sorted(used ^ want)} differently")

        # A prototype that disagrees with the header's is refused.
        bad = os.path.join(work, "bad.c")
        with open(bad, "w") as f:
            f.write('#include "sing32.h"\nSING_IMPORT sing_u32 SING_CALL SING_Update(sing_u32 index, void* p);\n')
        rc, out = run([a.cc, "-std=c99"] + strict + ["-c", bad, "-o", os.path.join(work, "bad.o")])
        check(rc != 0 and "SING_Update" in out, f"a conflicting prototype compiled: {out[:200]}")

    print(f"kit in {a.outdir} ({a.arch}): {len(modes)} compile modes")
    print(f"{1 if not failures else 0} passed, {1 if failures else 0} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
