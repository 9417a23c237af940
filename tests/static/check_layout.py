#!/usr/bin/env python3
"""The public header sdk/sing32.h is the one place the data buffers' layouts
are written, and it writes the documented ones (tests/sdk/documented_layout
.json, written out apart from it). Fails when a header number or profile key
differs from the documented layout, when library, tool or decoder code spells
a packet id as a number, or when the code that writes or reads the buffers
spells one of the header's offsets, sizes or counts instead of its name."""
import json
import os
import re
import sys

HEADER = os.path.join("sdk", "sing32.h")
# The library, its companions, the host side and the decoders, the example.
PACKET_ID_DIRS = ("framework", "text", "gatherers", "probes", "dmi", "platform", "companions", "client",
                  "singdump", "singdecode", "examples")
# Where buffers are written and read; not buffer code: the bag file's own
# format, the rendering of decoded fields, the bounds-checked primitives.
LAYOUT_DIRS = ("gatherers", "framework", os.path.join("singdump", "decode"))
NOT_LAYOUT = {"DmiBag.cpp", "DmiBag.h", "Node.cpp", "Node.h", "Reader.cpp", "Reader.h"}
CHECK_RESULT = re.compile(r"SING_HEADER_(OK|SHORT|BAD_\w+|UNKNOWN_FORMAT)$")
PACKET_ID = re.compile(r"0[xX]ABACAB[0-9A-Fa-f]{2}")
NUMBER = re.compile(r"(?<![\w.])(0[xX][0-9A-Fa-f]+|\d+)[uUlL]*(?![\w.])")
# Not places in a buffer: versions, adapter type values, profile key indices,
# header-check results; 0 to 4 are also every element width and index step.
NOT_PLACES = re.compile(r"_PACKET_ID$|_VERSION$|^SING_HEADER_(OK|SHORT|BAD_\w+|UNKNOWN_FORMAT)$|_TOKEN_RING$|_ETHERNET$|"
                        r"^SING_KMZUSER_(?!KEYS$|FIXED_SIZE$)")


def documented_differences(header, doc):
    defined = {n: int(v, 0) for n, v in re.findall(r"^#define (SING_\w+) (0[xX][0-9A-Fa-f]+|\d+)u", header, re.M)}
    keys = doc["profile_keys"]["LOCATION"] + doc["profile_keys"]["USER"]
    want = dict(doc["numbers"], **{f"SING_KMZUSER_{k}": i for i, k in enumerate(keys)})
    wrong = [f"{n} is {defined.get(n)}, documented {v}" for n, v in want.items() if defined.get(n) != v]
    wrong += [f"{n} is not documented" for n in defined if n not in want and not CHECK_RESULT.match(n)]
    names = re.search(r"names\[SING_KMZUSER_KEYS\] = \{([^}]*)\}", header)
    if not names or re.findall(r'"(\w+)"', names.group(1)) != keys:
        wrong.append("the profile key names are not the documented ones in the documented order")
    if "#define SING_KMZUSER_SLOT(key) (SING_HEADER_SIZE + 2u * (key))" not in header:
        wrong.append("SING_KMZUSER_SLOT is not the documented 12 + 2 * key")
    return wrong


def code_lines(path):
    """The file's lines without comments, literals, shift counts and array
    subscripts or sizes (`name[16]`)."""
    text = open(path, encoding="utf-8", errors="replace").read()
    out = re.sub(r"//[^\n]*|/\*.*?\*/|\"(?:\\.|[^\"\\\n])*\"|'(?:\\.|[^'\\\n])*'",
                 lambda m: "\n" * m.group(0).count("\n"), text, flags=re.S)
    out = re.sub(r"(<<|>>)\s*\(?\s*\d+", r"\1", out)
    return enumerate(re.sub(r"(\w)\s*\[\s*\d+\s*\]", r"\1[]", out).splitlines(), 1)


def sources(root, dirs):
    for d in dirs:
        for dirpath, _, files in os.walk(os.path.join(root, d)):
            yield from (os.path.join(dirpath, n) for n in sorted(files) if n.endswith((".c", ".cpp", ".h")))


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..")
    header = open(os.path.join(root, HEADER), encoding="utf-8").read()
    with open(os.path.join(root, "tests", "sdk", "documented_layout.json")) as f:
        failures = documented_differences(header, json.load(f))
    layout = {}
    for name, number in re.findall(r"^#define (SING_\w+) (0[xX][0-9A-Fa-f]+|\d+)u", header, re.M):
        if not NOT_PLACES.search(name) and int(number, 0) > 4:
            layout.setdefault(int(number, 0), []).append(name)
    for path in sources(root, PACKET_ID_DIRS):
        for n, line in code_lines(path):
            failures += [f"{os.path.relpath(path, root)}:{n}: packet id {m.group(0)} spelled as a number"
                         for m in PACKET_ID.finditer(line)]
    for path in (p for p in sources(root, LAYOUT_DIRS) if os.path.basename(p) not in NOT_LAYOUT):
        for n, line in code_lines(path):
            failures += [f"{os.path.relpath(path, root)}:{n}: {m.group(0)} is {' or '.join(layout[int(m.group(1), 0)])}"
                         for m in NUMBER.finditer(line) if int(m.group(1), 0) in layout]
    for f in failures:
        print("FAIL: " + f)
    print(f"{len(layout)} layout numbers of {HEADER}; {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
