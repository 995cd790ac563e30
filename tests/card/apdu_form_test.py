#!/usr/bin/env python3
"""Runs examples/apdu_form.qs through quoll-run on the offscreen platform against the virtual card:
the form opens, its first command (SELECT of the master file) reaches the card and the response
is listed. The form then waits for its user, so the test ends the run once the exchange is seen.

Usage: apdu_form_test.py QUOLL_RUN APDU_FORM_QS
"""

import os
import subprocess
import sys
import threading

EXPECTED = [
    "Script is running.",
    "Reader: Virtual PCD 00 00",
    "> 00 A4 00 00 02 3F 00",
    "< 6109",
]
TIMEOUT_SECONDS = 30


def main():
    runner, script = sys.argv[1], sys.argv[2]
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    proc = subprocess.Popen([runner, script], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, env=env)
    timer = threading.Timer(TIMEOUT_SECONDS, proc.kill)
    timer.start()
    lines = []
    try:
        for line in proc.stdout:
            lines.append(line.rstrip("\n"))
            if len(lines) == len(EXPECTED) or line.startswith("Error in "):
                break
    finally:
        timer.cancel()
        proc.kill()
        proc.wait()
    if lines != EXPECTED:
        print("expected:\n  " + "\n  ".join(EXPECTED))
        print("got:\n  " + "\n  ".join(lines))
        return 1
    print("the form's first exchange as expected")
    return 0


if __name__ == "__main__":
    sys.exit(main())
