#!/usr/bin/env python3
"""Runs examples/demo.qs (the help dialog's demonstration script) through quoll-run against the
virtual card and compares the whole output. Exits 77 (skipped) while the built-in functions it
calls (IntToStr, Copy) are not registered yet.

Usage: demo_test.py QUOLL_RUN DEMO_QS
"""

import subprocess
import sys

EXPECTED = [
    "Script is running.",
    "2",
    "Virtual PCD 00 00",
    "6109",
    "6F0783023F008201389000",
    "Script finished, no errors.",
]


def main():
    runner, demo = sys.argv[1], sys.argv[2]
    proc = subprocess.run([runner, demo], capture_output=True, text=True, timeout=60)
    lines = proc.stdout.splitlines()
    if lines and any(f"unknown identifier: {name}" in lines[-1] for name in ("INTTOSTR", "COPY")):
        print("skipped: the built-in functions IntToStr and Copy are not registered yet: " + lines[-1])
        return 77
    if lines != EXPECTED or proc.returncode != 0:
        print("expected:\n  " + "\n  ".join(EXPECTED))
        print(f"got (exit status {proc.returncode}):\n  " + "\n  ".join(lines))
        if proc.stderr.strip():
            print("stderr:\n  " + proc.stderr.strip())
        return 1
    print("demo output as expected")
    return 0


if __name__ == "__main__":
    sys.exit(main())
