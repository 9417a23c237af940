#!/usr/bin/env python3
"""The native singdecode command on real buffers (the fuzz seeds taken from a
run), a damaged one and files at and past its size limit: its output, error
texts and exit codes, as the rows of cli-cases.json. Which damage is refused
why is the decoders' own test."""
import json
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "static"))
from checks import check, finish, run  # noqa: E402

LIMIT = 1 << 20


def main():
    tool, corpus, work = sys.argv[1:4]
    os.makedirs(work, exist_ok=True)
    names = {f"real{i}": os.path.join(corpus, f"decode_{i}", "real-run.bin") for i in range(6)}
    names.update(work=work, limit=LIMIT)
    first = open(names["real0"], "rb").read()
    files = {"first": first, "version": first[:8] + b"\x02\x00\x00\x00" + first[12:],
             "at-limit": bytes(LIMIT), "past": bytes(LIMIT + 1)}
    for name, data in files.items():
        with open(os.path.join(work, name), "wb") as f:
            f.write(data)
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "cli-cases.json")) as f:
        cases = json.load(f)["cases"]
    for c in cases:
        args = [a.format(**names) for a in c["args"]]
        stdin = open(c["stdin"].format(**names), "rb").read() if "stdin" in c else b""
        err_start = c["stderr"].format(**names)
        rc, out, err = run([tool] + args, stdin)
        got = [f"{d['status']} {d.get('header', {}).get('packetId')}" for d in map(json.loads, out.splitlines())]
        check(rc == c["exit"] and c.get("stdout", got) == got and err.startswith(err_start) and (err_start or not err),
              f"{args[:3]}: exit {rc}, stdout {got}, stderr {err[:200]!r}")
    return finish(f"singdecode: {len(cases)} runs")


if __name__ == "__main__":
    sys.exit(main())
