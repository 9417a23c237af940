#!/usr/bin/env python3
"""The public header sdk/sing32.h is the one place the data buffers' layouts
are written. Fails when library, tool or decoder code spells a packet id as
a number, or when the code that writes or reads the buffers (gatherers/,
framework/, singdump/decode/) spells one of the header's offsets, sizes or
counts as a number instead of using the header's name for it."""
import os
import re
import sys

HEADER = os.path.join("sdk", "sing32.h")
# The library, its companions, the host side and the decoders, the example.
PACKET_ID_DIRS = ("framework", "text", "gatherers", "probes", "dmi", "platform", "companions", "client",
                  "singdump", "singdecode", "examples")
# Where buffers are written and read.
LAYOUT_DIRS = ("gatherers", "framework", os.path.join("singdump", "decode"))
# Not buffer code: the bag file's own format, the rendering of decoded
# fields, the bounds-checked reading primitives.
NOT_LAYOUT = {"DmiBag.cpp", "DmiBag.h", "Node.cpp", "Node.h", "Reader.cpp", "Reader.h"}
SOURCE = (".c", ".cpp", ".h")
PACKET_ID = re.compile(r"0[xX]ABACAB[0-9A-Fa-f]{2}")
NUMBER = re.compile(r"(?<![\w.])(0[xX][0-9A-Fa-f]+|\d+)[uUlL]*(?![\w.])")


def header_numbers(root):
    """{value: [names]} of the header's offsets, sizes and counts."""
    values = {}
    with open(os.path.join(root, HEADER), encoding="utf-8") as f:
        for name, number in re.findall(r"^#define (SING_\w+) (0[xX][0-9A-Fa-f]+|\d+)u", f.read(), re.M):
            # Packet ids are checked everywhere; versions, adapter type values,
            # the profile key indices and the header-check results are not
            # places in a buffer.
            if re.search(r"_PACKET_ID$|_VERSION$|^SING_HEADER_[A-Z_]*(OK|SHORT|BAD|UNKNOWN)|_TOKEN_RING$|_ETHERNET$",
                         name) or (name.startswith("SING_KMZUSER_") and name not in
                                   ("SING_KMZUSER_KEYS", "SING_KMZUSER_FIXED_SIZE")):
                continue
            value = int(number, 0)
            # 0 and 4 (header offsets) are also every element width and index
            # step; they cannot be told apart in code.
            if value > 4:
                values.setdefault(value, []).append(name)
    return values


def code_only(text):
    """The text without comments, string and character literals, shift
    counts and array subscripts or sizes (`name[16]`), line breaks kept."""
    out = re.sub(r"//[^\n]*|/\*.*?\*/|\"(?:\\.|[^\"\\\n])*\"|'(?:\\.|[^'\\\n])*'",
                 lambda m: "\n" * m.group(0).count("\n"), text, flags=re.S)
    out = re.sub(r"(<<|>>)\s*\(?\s*\d+", r"\1", out)
    return re.sub(r"(\w)\s*\[\s*\d+\s*\]", r"\1[]", out)


def sources(root, dirs):
    for d in dirs:
        for dirpath, _, files in os.walk(os.path.join(root, d)):
            for name in sorted(files):
                if name.endswith(SOURCE):
                    yield os.path.join(dirpath, name)


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..")
    layout = header_numbers(root)
    if not layout:
        print(f"FAIL: no layout numbers found in {HEADER}")
        return 1
    failures = []
    for path in sources(root, PACKET_ID_DIRS):
        text = code_only(open(path, encoding="utf-8", errors="replace").read())
        for n, line in enumerate(text.splitlines(), 1):
            for m in PACKET_ID.finditer(line):
                failures.append(f"{os.path.relpath(path, root)}:{n}: packet id {m.group(0)} spelled as a number")
    for path in sources(root, LAYOUT_DIRS):
        if os.path.basename(path) in NOT_LAYOUT:
            continue
        text = code_only(open(path, encoding="utf-8", errors="replace").read())
        for n, line in enumerate(text.splitlines(), 1):
            for m in NUMBER.finditer(line):
                value = int(m.group(1), 0)
                if value in layout:
                    failures.append(f"{os.path.relpath(path, root)}:{n}: {m.group(0)} is "
                                    f"{' or '.join(layout[value])} of {HEADER}")
    for f in failures:
        print("FAIL: " + f)
    print(f"{len(layout)} layout numbers of {HEADER}; {len(failures)} spelled elsewhere")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
