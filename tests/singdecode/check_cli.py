#!/usr/bin/env python3
"""Runs the native singdecode command on real buffers (the fuzz seeds taken
from a run), on damaged copies of them and on files at and past its size
limit, and checks its output, error messages and exit status."""
import json
import os
import struct
import subprocess
import sys

PACKETS = ["0xABACAB01", "0xABACAB02", "0xABACAB04", "0xABACAB05", "0xABACAB0A", "0xABACAB0B"]
MAX_BYTES = 1 << 20
failures = []


def check(cond, what):
    if not cond:
        failures.append(what)
        print("FAIL: " + what)


def run(tool, args, stdin=b""):
    p = subprocess.run([tool, *args], input=stdin, capture_output=True, timeout=60)
    return p.returncode, p.stdout.decode(), p.stderr.decode()


def main():
    tool, corpus, work = sys.argv[1:4]
    os.makedirs(work, exist_ok=True)
    real = [os.path.join(corpus, f"decode_{i}", "real-run.bin") for i in range(6)]

    # Every real buffer, one JSON object a line, in argument order.
    rc, out, err = run(tool, real)
    lines = out.splitlines()
    check(rc == 0 and err == "", f"real buffers: exit {rc}, stderr {err!r}")
    check(len(lines) == 6, f"real buffers: {len(lines)} lines of output, not 6")
    for line, packet in zip(lines, PACKETS):
        doc = json.loads(line)
        check(doc.get("status") == "ok" and doc.get("header", {}).get("packetId") == packet,
              f"real buffer {packet}: {line[:120]}")

    # Standard input gives the same as the file.
    with open(real[0], "rb") as f:
        first = f.read()
    rc, out, err = run(tool, ["-"], first)
    check(rc == 0 and out.splitlines() == lines[:1], f"standard input: exit {rc}, {out[:80]!r}")

    def damaged(name, data):
        path = os.path.join(work, name)
        with open(path, "wb") as f:
            f.write(data)
        return path

    user = bytearray(first)
    bad_length = bytearray(user)
    struct.pack_into("<I", bad_length, 0, len(user) + 1)
    unknown = bytearray(user)
    struct.pack_into("<I", unknown, 4, 0xABACAB03)
    outside = bytearray(user)
    struct.pack_into("<H", outside, 14, 0xFFFF)  # the user name's text offset
    version = bytearray(user)
    struct.pack_into("<I", version, 8, 2)
    cases = [
        ("truncated", user[:11], "header version: offset 8 + 4 lies past the buffer end (11 bytes)"),
        ("empty", b"", "header length: offset 0 + 4 lies past the buffer end (0 bytes)"),
        ("length-lies", bad_length, f"header length {len(user) + 1} differs from the buffer size {len(user)}"),
        ("unknown-packet", unknown, "no decoder for this packet id"),
        ("offset-outside", outside, "userName: offset 65535 + 1 lies past the buffer end"),
        ("version", version, "buffer version 2 is not the known version 1"),
    ]
    for name, data, reason in cases:
        path = damaged(name, data)
        rc, out, err = run(tool, [path])
        check(rc == 1, f"{name}: exit {rc}, not 1")
        check(err.startswith(f"singdecode: {path}: malformed buffer: ") and reason in err,
              f"{name}: stderr {err!r} does not give {reason!r}")
        doc = json.loads(out)
        check(doc["status"].startswith("malformed buffer: ") and reason in doc["status"],
              f"{name}: status {doc['status']!r}")

    # A bad file among good ones: all are decoded, only the bad one is named.
    rc, out, err = run(tool, [real[1], damaged("truncated", user[:11]), real[2]])
    check(rc == 1 and len(out.splitlines()) == 3 and err.count("singdecode: ") == 1 and "truncated" in err,
          f"mixed files: exit {rc}, {len(out.splitlines())} lines, stderr {err!r}")

    # The size limit, at the limit (read, then refused as a buffer) and past it.
    at_limit = damaged("at-limit", bytes(MAX_BYTES))
    rc, out, err = run(tool, [at_limit])
    check(rc == 1 and "differs from the buffer size 1048576" in err, f"at the limit: {err!r}")
    past = damaged("past-limit", bytes(MAX_BYTES + 1))
    rc, out, err = run(tool, [past])
    check(rc == 1 and out == "" and err == f"singdecode: {past}: larger than {MAX_BYTES} bytes: not a data buffer\n",
          f"past the limit: {err!r}")
    rc, out, err = run(tool, ["-"], bytes(MAX_BYTES + 1))
    check(rc == 1 and "standard input: larger than" in err, f"standard input past the limit: {err!r}")

    missing = os.path.join(work, "no-such-file")
    rc, out, err = run(tool, [missing])
    check(rc == 1 and err.startswith(f"singdecode: {missing}: cannot open: "), f"missing file: {err!r}")
    rc, out, err = run(tool, [])
    check(rc == 2 and err.startswith("usage: singdecode FILE..."), f"no arguments: exit {rc}")

    print(f"{len(failures)} failed" if failures else "all singdecode checks passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
