"""Shared by the test scripts: failures collected and printed as they come,
commands run, and the export tables read from the libraries' .def files."""
import re
import subprocess

failures = []


def check(cond, what):
    if not cond:
        failures.append(what)
        print("FAIL: " + what)
    return cond


def run(cmd, stdin=b"", timeout=120):
    """(exit code, stdout, stderr) of a command, texts decoded."""
    p = subprocess.run(cmd, input=stdin, capture_output=True, timeout=timeout)
    return p.returncode, p.stdout.decode(errors="replace"), p.stderr.decode(errors="replace")


def def_exports(def_path, prefix):
    """{name: argument bytes} of the decorated names (Name@N) in a .def file."""
    with open(def_path) as f:
        return {m.group(1): int(m.group(2)) for m in re.finditer(rf"^\s+({prefix}\w+)@(\d+)\s*$", f.read(), re.M)}


def finish(what):
    print(f"{what}: {len(failures)} failed" if failures else f"{what}: all passed")
    return 1 if failures else 0
