#!/usr/bin/env python3
"""sdk/sing32.h is the one place the buffers' layouts are written, and it
writes the documented ones (tests/sdk/documented_layout.json). Fails when a
header number or profile key differs from them, when code spells a packet id
as a number, or when buffer code spells a header offset, size or count."""
import json
import os
import re
import sys

from checks import check, finish

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
NOT_PLACES = re.compile(r"_PACKET_ID$|_VERSION$|_TOKEN_RING$|_ETHERNET$|^SING_KMZUSER_(?!KEYS$|FIXED_SIZE$)")


def check_documented(header, defined, doc):
    keys = doc["profile_keys"]["LOCATION"] + doc["profile_keys"]["USER"]
    want = dict(doc["numbers"], **{f"SING_KMZUSER_{k}": i for i, k in enumerate(keys)})
    for n in set(want) | set(defined):
        check(defined.get(n) == want.get(n) or (n not in want and CHECK_RESULT.match(n)),
              f"{n} is {defined.get(n)}, documented {want.get(n)}")
    names = re.search(r"names\[SING_KMZUSER_KEYS\] = \{([^}]*)\}", header)
    check(names and re.findall(r'"(\w+)"', names.group(1)) == keys,
          "the profile key names are not the documented ones in the documented order")
    check("#define SING_KMZUSER_SLOT(key) (SING_HEADER_SIZE + 2u * (key))" in header,
          "SING_KMZUSER_SLOT is not the documented 12 + 2 * key")


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
    defined = {n: int(v, 0) for n, v in re.findall(r"^#define (SING_\w+) (0[xX][0-9A-Fa-f]+|\d+)u", header, re.M)}
    with open(os.path.join(root, "tests", "sdk", "documented_layout.json")) as f:
        check_documented(header, defined, json.load(f))
    layout = {}
    for name, number in defined.items():
        if not NOT_PLACES.search(name) and not CHECK_RESULT.match(name) and number > 4:
            layout.setdefault(number, []).append(name)
    for path in sources(root, PACKET_ID_DIRS):
        for n, line in code_lines(path):
            for m in PACKET_ID.finditer(line):
                check(False, f"{os.path.relpath(path, root)}:{n}: packet id {m.group(0)} spelled as a number")
    for path in (p for p in sources(root, LAYOUT_DIRS) if os.path.basename(p) not in NOT_LAYOUT):
        for n, line in code_lines(path):
            for m in (m for m in NUMBER.finditer(line) if int(m.group(1), 0) in layout):
                what = " or ".join(layout[int(m.group(1), 0)])
                check(False, f"{os.path.relpath(path, root)}:{n}: {m.group(0)} is {what}")
    return finish(f"{len(layout)} layout numbers of {HEADER}")


if __name__ == "__main__":
    sys.exit(main())
