#!/usr/bin/env python3
"""The virtual card taken out of its reader and put back while pcscd runs, as scripts meet it
through quoll-run: no card to connect to while it is out, a connection made before the removal
fails on its next command, and the card put back answers as after a reset with its files kept.
Runs against the stack that `pcsc_stack.py start` recorded, and leaves the card inserted.

Usage: card_presence_test.py STATE_FILE QUOLL_RUN
"""

import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pcsc_stack  # noqa: E402

TIMEOUT_SECONDS = 60


def run_script(runner, text, stdin=""):
    """Runs `text` through quoll-run; (exit status, output lines)."""
    with tempfile.NamedTemporaryFile("w", suffix=".qs", delete=False) as f:
        f.write(text)
    try:
        proc = subprocess.run([runner, f.name], input=stdin, capture_output=True, text=True,
                              timeout=TIMEOUT_SECONDS)
        return proc.returncode, proc.stdout.splitlines()
    finally:
        os.remove(f.name)


def start_script(runner, text):
    """Starts `text` through quoll-run with a pipe on its standard input; (process, script path)."""
    with tempfile.NamedTemporaryFile("w", suffix=".qs", delete=False) as f:
        f.write(text)
    proc = subprocess.Popen([runner, f.name], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, text=True)
    return proc, f.name


class Checks:
    def __init__(self):
        self.failures = []

    def expect(self, what, got, expected):
        if got != expected:
            self.failures.append(f"{what}:\n  expected {expected!r}\n  got      {got!r}")


OPEN_AND_SELECT = """begin
  OpenReader(1);
  Writeln(SendAPDU(1, '00 A4 00 00 02 3F 00'));
end.
"""

# Writes two bytes at offset 10 of EF 0003, waits for a line on stdin, then reads them back.
WRITE_WAIT_READ = """var line: string;
begin
  OpenReader(1);
  Writeln(SendAPDU(1, '00 A4 00 0C 02 00 03'));
  Writeln(SendAPDU(1, '00 D6 00 10 02 AB CD'));
  line := Readln('Card', 'Go on?');
  Writeln(SendAPDU(1, '00 B0 00 10 02'));
end.
"""

# After a reset no file is selected, so READ BINARY has no current EF; the written bytes stayed.
AFTER_REINSERTION = """begin
  OpenReader(1);
  Writeln(SendAPDU(1, '00 B0 00 10 02'));
  Writeln(SendAPDU(1, '00 A4 00 0C 02 00 03'));
  Writeln(SendAPDU(1, '00 B0 00 10 02'));
  Writeln(SendAPDU(1, '00 D6 00 10 02 00 00'));
end.
"""


def removal_seen_by_an_open_connection(runner, state, checks):
    """A script holding a connection when the card goes: its next command fails, it does not hang."""
    proc, path = start_script(runner, WRITE_WAIT_READ)
    try:
        first = [proc.stdout.readline().rstrip("\n") for _ in range(3)]
        checks.expect("before the removal", first, ["Script is running.", "9000", "9000"])
        pcsc_stack.remove_card(state)
        out, _ = proc.communicate("\n", timeout=TIMEOUT_SECONDS)
        lines = out.splitlines()
        checks.expect("the command after the removal (exit status)", proc.returncode, 1)
        checks.expect("the command after the removal", bool(lines) and lines[-1].endswith(" SCardTransmit error!"),
                      True)
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.wait()
        os.remove(path)


def main():
    state_file, runner = sys.argv[1], sys.argv[2]
    state = pcsc_stack.read_state(state_file)
    checks = Checks()
    pcsc = pcsc_stack.load_pcsc()
    try:
        removal_seen_by_an_open_connection(runner, state, checks)
        status, lines = run_script(runner, OPEN_AND_SELECT)
        checks.expect("no card in the reader", (status, lines[-1:]),
                      (1, ["Error in MAIN(22) SCardConnect error!"]))
        pcsc_stack.insert_card(state)

        status, lines = run_script(runner, AFTER_REINSERTION)
        checks.expect("the card put back", (status, lines),
                      (0, ["Script is running.", "6986", "9000", "ABCD9000", "9000", "Script finished, no errors."]))

        # A second round trip: removal and insertion keep working.
        pcsc_stack.remove_card(state)
        pcsc_stack.insert_card(state)
        status, lines = run_script(runner, OPEN_AND_SELECT)
        checks.expect("after a second removal", (status, lines),
                      (0, ["Script is running.", "6109", "Script finished, no errors."]))
    finally:
        # The other card tests share this card: it goes back whatever failed.
        if pcsc_stack.reader_is_empty(pcsc):
            pcsc_stack.insert_card(state)

    if checks.failures:
        print("\n".join(checks.failures))
        return 1
    print("card removal and insertion as expected")
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except (RuntimeError, subprocess.TimeoutExpired) as e:
        print(f"card_presence_test.py: {e}", file=sys.stderr)
        sys.exit(1)
