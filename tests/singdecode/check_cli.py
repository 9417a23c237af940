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
    first = open(real[0], "rb").read()
    files = {"version": first[:8] + b"\x02\x00\x00\x00" + first[12:], "at-limit": bytes(LIMIT), "past": bytes(LIMIT + 1)}
    for name, data in files.items():
        with open(os.path.join(work, name), "wb") as f:
            f.write(data)
    bad, past, none = (os.path.join(work, n) for n in ("version", "past", "none"))
    why = "buffer version 2 is not the known version 1"
    # (arguments, standard input, exit code, first lines of standard output, standard error starts with)
    cases = [
        (real, b"", 0, [("ok", p) for p in PACKETS], ""),
        (["-"], first, 0, [("ok", PACKETS[0])], ""),
        # a bad file among good ones: all decoded, only the bad one named
        ([real[1], bad, real[2]], b"", 1, [("ok", PACKETS[1]), ("malformed buffer: " + why, PACKETS[0]),
                                          ("ok", PACKETS[2])], f"singdecode: {bad}: malformed buffer: {why}\n"),
        # at the limit the file is read (and refused as a buffer), one byte past it is not read at all
        ([os.path.join(work, "at-limit")], b"", 1, None, f"singdecode: {os.path.join(work, 'at-limit')}: malformed "
                                                        f"buffer: header length 0 differs from the buffer size {LIMIT}"),
        ([past], b"", 1, [], f"singdecode: {past}: larger than {LIMIT} bytes: not a data buffer\n"),
        (["-"], bytes(LIMIT + 1), 1, [], f"singdecode: standard input: larger than {LIMIT} bytes: not a data buffer\n"),
        ([none], b"", 1, [], f"singdecode: {none}: cannot open: "),
        ([], b"", 2, [], "usage: singdecode FILE..."),
    ]
    for args, stdin, code, docs, err_start in cases:
        rc, out, err = run([tool] + args, stdin)
        got = [(d["status"], d.get("header", {}).get("packetId")) for d in map(json.loads, out.splitlines())]
        check(rc == code and (docs is None or got == docs) and err.startswith(err_start) and (err_start or not err),
              f"{args[:3]}: exit {rc}, stdout {got}, stderr {err[:200]!r}")
    return finish("singdecode")


if __name__ == "__main__":
    sys.exit(main())
