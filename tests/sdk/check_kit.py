#!/usr/bin/env python3
"""Checks the host developers' kit in a deploy folder: SING32.def and both
import libraries name the fifteen exports as the DLL exports them, and
sing32.h compiles cleanly in every language mode with MinGW and clang, its
calls importing the names with the argument bytes the DLL removes."""
import argparse
import os
import re
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "static"))
from checks import check, def_exports, finish, run  # noqa: E402


def main():
    ap = argparse.ArgumentParser()
    for opt in ("--def", "--cc", "--cxx", "--clang", "--llvm-nm", "--llvm-readobj"):
        ap.add_argument(opt, required=True)
    ap.add_argument("--arch", choices=["i386", "x64"], required=True)
    ap.add_argument("outdir")
    a = ap.parse_args()
    names = def_exports(getattr(a, "def"), "SING_")
    kit = lambda f: os.path.join(a.outdir, f)  # noqa: E731
    missing = [f for f in ("sing32.h", "SING32.def", "libsing32.a", "SING32.lib") if not os.path.isfile(kit(f))]
    if not check(len(names) == 15 and not missing, f"{len(names)} exports in the .def; missing {missing}"):
        return finish("kit")
    with open(kit("SING32.def")) as f:
        listed = re.findall(r"^\s+(\S+)\s*$", f.read(), re.M)
    check(sorted(listed) == sorted(names), f"SING32.def lists {listed}")

    # SING32.lib: one import member per export: on i386 the decorated symbol
    # imported by its plain name ("undecorate"), on x64 the plain name.
    i386 = a.arch == "i386"
    refs = {n: f"_{n}@{s}" if i386 else n for n, s in names.items()}
    _, out, _ = run([a.llvm_readobj, kit("SING32.lib")])
    members = sorted((re.search(r"Name type: (\S+)", b).group(1), re.findall(r"^Symbol: (\S+)", b, re.M))
                     for b in out.split("Format: COFF-import-file")[1:])
    want = sorted(("undecorate" if i386 else "name", [f"__imp_{r}", r]) for r in refs.values())
    check(members == want, f"SING32.lib members: {members}")
    # libsing32.a defines at least the called names.
    _, out, _ = run([a.llvm_nm, kit("libsing32.a")])
    defined = set(re.findall(r" T (\S+)$", out, re.M))
    check(set(refs.values()) <= defined, f"libsing32.a defines {sorted(defined)}")

    with tempfile.TemporaryDirectory() as work:
        unit = os.path.join(work, "calls.c")
        with open(unit, "w") as f:
            f.write('#include "sing32.h"\nvoid sing_calls(void);\nvoid sing_calls(void) {\n' +
                    "".join(f"    {n}({', '.join(['0'] * (s // 4))});\n" for n, s in names.items()) + "}\n")
        target = "--target=" + ("i686" if i386 else "x86_64") + "-w64-windows-gnu"
        strict = ["-Wall", "-Wextra", "-pedantic", "-Werror", "-I", a.outdir]
        modes = [([a.cc, f"-std={s}"], "c") for s in ("c89", "c99", "c17")]
        modes += [([a.cxx, f"-std={s}"], "c++") for s in ("c++98", "c++20")]
        modes += [([a.clang, target, f"-std={s}"], "c") for s in ("c89", "c99")]
        modes += [([a.clang, target, "-std=c++20"], "c++")]
        for k, (cc, lang) in enumerate(modes):
            obj = os.path.join(work, f"calls{k}.o")
            rc, out, err = run(cc + strict + ["-x", lang, "-c", unit, "-o", obj])
            if check(rc == 0 and out + err == "", f"{' '.join(cc)}: sing32.h does not compile cleanly: {err[:400]}"):
                _, out, _ = run([a.llvm_nm, "-u", obj])
                used = set(re.findall(r"U (\S+)$", out, re.M))
                check(used == {f"__imp_{r}" for r in refs.values()}, f"{' '.join(cc)}: calls import {sorted(used)}")
    return finish(f"kit in {a.outdir} ({a.arch}, {len(modes)} compile modes)")


if __name__ == "__main__":
    sys.exit(main())
