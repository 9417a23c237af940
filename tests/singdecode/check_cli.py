#!/usr/bin/env python3
"""The native singdecode command on real buffers (the fuzz seeds taken from a
run), a damaged one and files at and past its size limit: its output, error
texts and exit codes. Which damage is refused why is the decoders' own test."""
import json
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "static"))
from checks import check, finish, run  # noqa: E402

PACKETS = ["0xABACAB01", "0xABACAB02", "0xABACAB04", "0xABACAB05", "0xABACAB0A", "0xABACAB0B"]
LIMIT = 1 << 20


def main():
    tool, corpus, work = sys.argv[1:4]
    os.makedirs(work, exist_ok=True)
    real = [os.path.join(corpus, f"decode_{i}", "real-run.bin") for i in range(6)]

    def file(name, data):
        path = os.path.join(work, name)
        with open(path, "wb") as f:
            f.write(data)
        return path

    # Every real buffer, one JSON object a line, in argument order; standard
    # input gives the same as the file.
    rc, out, err = run([tool] + real)
    docs = [json.loads(line) for line in out.splitlines()]
    check(rc == 0 and err == "" and [(d["status"], d["header"]["packetId"]) for d in docs] == [("ok", p) for p in PACKETS],
          f"real buffers: exit {rc}, stderr {err!r}, {out[:300]!r}")
    with open(real[0], "rb") as f:
        first = f.read()
    rc, out2, _ = run([tool, "-"], first)
    check(rc == 0 and out2.splitlines() == out.splitlines()[:1], f"standard input: exit {rc}, {out2[:80]!r}")

    # A bad file among good ones: all are decoded, only the bad one is named,
    # its object says why; the exit code is 1.
    bad = file("version", first[:8] + b"\x02\x00\x00\x00" + first[12:])
    rc, out, err = run([tool, real[1], bad, real[2]])
    lines = out.splitlines()
    why = "buffer version 2 is not the known version 1"
    check(rc == 1 and len(lines) == 3 and err == f"singdecode: {bad}: malformed buffer: {why}\n" and
          json.loads(lines[1])["status"] == f"malformed buffer: {why}", f"mixed files: exit {rc}, stderr {err!r}, {out!r}")

    # The size limit: at the limit the file is read (and refused as a buffer),
    # one byte past it is not read at all; from standard input too.
    rc, out, err = run([tool, file("at-limit", bytes(LIMIT))])
    check(rc == 1 and f"header length 0 differs from the buffer size {LIMIT}" in err, f"at the limit: {err!r}")
    past = file("past-limit", bytes(LIMIT + 1))
    cases = [
        ([past], b"", 1, f"singdecode: {past}: larger than {LIMIT} bytes: not a data buffer\n"),
        (["-"], bytes(LIMIT + 1), 1, f"singdecode: standard input: larger than {LIMIT} bytes: not a data buffer\n"),
        ([os.path.join(work, "none")], b"", 1, f"singdecode: {os.path.join(work, 'none')}: cannot open: "),
        ([], b"", 2, "usage: singdecode FILE..."),
    ]
    for args, stdin, code, text in cases:
        rc, out, err = run([tool] + args, stdin)
        check(rc == code and out == "" and err.startswith(text), f"{args}: exit {rc}, stdout {out[:80]!r}, stderr {err!r}")
    return finish("singdecode")


if __name__ == "__main__":
    sys.exit(main())
