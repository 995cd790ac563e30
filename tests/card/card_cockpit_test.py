#!/usr/bin/env python3
"""What quoll-run shows a card engineer, against pcscd, vpcd and quoll-vcard: the trace's lines
(fields, order, the line of each call) in a file and on stderr, automatic GET RESPONSE on and off
(61xx answered with GET RESPONSE, 6Cxx with the command resent), a card pulled mid-run (the
script's message as before, the service's reason after it and in the trace), pcscd stopped and
started during a run (a script retrying OpenReader recovers; only with a pcscd the fixture
started), and a card appearing in the second reader during a run.
Runs against the stack that `pcsc_stack.py start` recorded; leaves it as it found it.

Usage: card_cockpit_test.py STATE_FILE QUOLL_RUN
"""

import os
import re
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pcsc_stack  # noqa: E402

TIMEOUT_SECONDS = 60
TIME = re.compile(r"^\d\d:\d\d:\d\d\.\d\d\d$")
MS = re.compile(r"^\d+\.\d$")
READER = "Virtual PCD 00 00"


class Checks:
    def __init__(self):
        self.failures = []

    def expect(self, what, got, expected):
        if got != expected:
            self.failures.append(f"{what}:\n  expected {expected!r}\n  got      {got!r}")


def script_file(text):
    with tempfile.NamedTemporaryFile("w", suffix=".qs", delete=False) as f:
        f.write(text)
    return f.name


def run(runner, text, *options):
    """Runs `text`; (exit status, stdout lines, stderr lines)."""
    path = script_file(text)
    try:
        proc = subprocess.run([runner, *options, path], capture_output=True, text=True, timeout=TIMEOUT_SECONDS)
        return proc.returncode, proc.stdout.splitlines(), proc.stderr.splitlines()
    finally:
        os.remove(path)


def trace_lines(lines):
    """The trace lines among stderr's: the ones with tabs."""
    return [line for line in lines if "\t" in line]


def fields_without_time(line, checks):
    """A trace line's fields, the time and duration checked for their form and dropped."""
    fields = line.split("\t")
    if len(fields) != 12:
        checks.failures.append(f"a trace line without 12 fields: {line!r}")
        return fields
    if not TIME.match(fields[0]):
        checks.failures.append(f"time of day {fields[0]!r}")
    if not MS.match(fields[8]):
        checks.failures.append(f"duration {fields[8]!r}")
    return fields[1:8] + fields[9:]


EXCHANGES = """begin
  OpenReader(1);
  Writeln(SendAPDU(1, '00 A4 00 00 02 3F 00'));
  Writeln(SendAPDU(1, '00 84 00 00'));
  CloseReader(1);
end.
"""


def trace_fields_and_order(runner, checks):
    with tempfile.TemporaryDirectory() as folder:
        trace = os.path.join(folder, "trace.txt")
        status, out, err = run(runner, EXCHANGES, f"--trace={trace}")
        checks.expect("the traced run", (status, out), (0, ["Script is running.", "6109", "6C08", "Script finished, no errors."]))
        checks.expect("no trace on stderr with a trace file", trace_lines(err), [])
        with open(trace) as f:
            lines = f.read().splitlines()
    expected = [
        ["1", READER, "connect", "", "3B 00", "", "T=0", "MAIN", "2", ""],
        ["1", READER, "transmit", "00 A4 00 00 02 3F 00", "", "6109", "9 bytes still available", "MAIN", "3", ""],
        ["1", READER, "transmit", "00 84 00 00", "", "6C08", "wrong Le, 8 available", "MAIN", "4", ""],
        ["1", READER, "disconnect", "", "", "", "", "MAIN", "5", ""],
    ]
    checks.expect("the trace file", [fields_without_time(line, checks) for line in lines], expected)
    # The same lines on stderr with --trace.
    status, out, err = run(runner, EXCHANGES, "--trace")
    checks.expect("--trace on stderr", [fields_without_time(line, checks) for line in trace_lines(err)], expected)


def get_response_on_and_off(runner, checks):
    status, out, err = run(runner, EXCHANGES, "--trace", "--get-response")
    checks.expect("the run with --get-response", (status, out[:2], out[3:]),
                  (0, ["Script is running.", "6F0783023F008201389000"], ["Script finished, no errors."]))
    challenge = out[2] if len(out) > 2 else ""
    checks.expect("the resent GET CHALLENGE", bool(re.fullmatch(r"[0-9A-F]{16}9000", challenge)), True)
    rows = [fields_without_time(line, checks) for line in trace_lines(err)]
    checks.expect("the exchanges of --get-response", [(r[2], r[3], r[5], r[8]) for r in rows],
                  [("connect", "", "", "2"), ("transmit", "00 A4 00 00 02 3F 00", "6109", "3"),
                   ("get-response", "00 C0 00 00 09", "9000", "3"), ("transmit", "00 84 00 00", "6C08", "4"),
                   ("resend", "00 84 00 00 08", "9000", "4"), ("disconnect", "", "", "5")])
    checks.expect("the FCI in the GET RESPONSE row", rows[2][4] if len(rows) > 2 else None, "6F 07 83 02 3F 00 82 01 38")


REMOVED_MID_RUN = """var line: string;
begin
  OpenReader(1);
  Writeln(SendAPDU(1, '00 A4 00 0C 02 00 01'));
  line := Readln('Card', 'Go on?');
  Writeln(SendAPDU(1, '00 B0 00 00 02'));
end.
"""


def start(runner, text, *options):
    path = script_file(text)
    proc = subprocess.Popen([runner, *options, path], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, text=True)
    return proc, path


def finish(proc, path, stdin=""):
    try:
        return proc.communicate(stdin, timeout=TIMEOUT_SECONDS)
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.wait()
        os.remove(path)


def card_removed_mid_run(runner, state, checks):
    proc, path = start(runner, REMOVED_MID_RUN, "--trace")
    first = [proc.stdout.readline().rstrip("\n") for _ in range(2)]
    checks.expect("before the removal", first, ["Script is running.", "9000"])
    pcsc_stack.remove_card(state)
    try:
        out, err = finish(proc, path, "\n")
    finally:
        pcsc_stack.insert_card(state)
    lines = out.splitlines()
    # The error's place: the token after the call, in the text as quoll-run joins it (CR LF).
    text = REMOVED_MID_RUN.replace("\n", "\r\n")
    position = text.index("02'))") + len("02')")
    checks.expect("the script's message after the removal", (proc.returncode, lines[-1:]),
                  (1, [f"Error in MAIN({position}) SCardTransmit error!"]))
    errors = err.splitlines()
    reasons = [line for line in errors if line.startswith("PC/SC: ")]
    checks.expect("the service's reason on stderr", reasons, ["PC/SC: Card was removed. (0x80100069)"])
    failed = [line.split("\t") for line in trace_lines(errors) if line.split("\t")[3] == "transmit"]
    checks.expect("the failed exchange in the trace", [(f[4], f[10], f[11]) for f in failed[-1:]],
                  [("00 B0 00 00 02", "6", "Card was removed. (0x80100069)")])


# The service goes away while the script holds a connection; the script retries until it is back.
SERVICE_RESTART = """var line: string; ok: Boolean; tries: Integer;
begin
  OpenReader(1);
  Writeln(SendAPDU(1, '00 A4 00 0C 02 00 01'));
  line := Readln('Card', 'Go on?');
  try
    Writeln(SendAPDU(1, '00 B0 00 00 02'));
  except
    Writeln('lost');
  end;
  ok := False;
  tries := 0;
  while not ok and (tries < 300) do
  begin
    try
      OpenReader(1);
      ok := True;
    except
      tries := tries + 1;
      Sleep(100);
    end;
  end;
  Writeln(SendAPDU(1, '00 A4 00 0C 02 00 01'));
  Writeln(SendAPDU(1, '00 B0 00 00 02'));
  CloseReader(1);
end.
"""


def service_stopped_and_started(runner, state_file, state, checks):
    if not state.get("pcscd"):
        print("skipped: pcscd stopped and started during a run (the pcscd running is not the fixture's)")
        return
    proc, path = start(runner, SERVICE_RESTART, "--trace")
    try:
        first = [proc.stdout.readline().rstrip("\n") for _ in range(2)]
        checks.expect("before pcscd stops", first, ["Script is running.", "9000"])
        pcsc_stack.stop_service(state)
        pcsc_stack.write_state(state_file, state)
        proc.stdin.write("\n")
        proc.stdin.flush()
        checks.expect("the exchange while pcscd is gone", proc.stdout.readline().rstrip("\n"), "lost")
        time.sleep(0.5)  # the script retries OpenReader meanwhile
    finally:
        if state.get("stopped_by_test"):
            pcsc_stack.start_service(state)
            pcsc_stack.write_state(state_file, state)
    out, err = finish(proc, path)
    checks.expect("after pcscd is back", (proc.returncode, out.splitlines()),
                  (0, ["9000", "00019000", "Script finished, no errors."]))
    kinds = [line.split("\t")[3] for line in trace_lines(err.splitlines())]
    checks.expect("a new context in the trace", "context" in kinds, True)
    failures = [line.split("\t")[11] for line in trace_lines(err.splitlines()) if line.split("\t")[3] == "connect"]
    checks.expect("OpenReader while pcscd is gone fails with the service's reason",
                  any("(0x8010001D)" in f for f in failures), True)


SECOND_CARD = """var ok: Boolean; tries: Integer;
begin
  Writeln('waiting');
  ok := False;
  tries := 0;
  while not ok and (tries < 300) do
  begin
    try
      OpenReader(2);
      ok := True;
    except
      tries := tries + 1;
      Sleep(50);
    end;
  end;
  Writeln(GetReaderName(2));
  Writeln(SendAPDU(2, '00 A4 00 00 02 3F 00'));
  CloseReader(2);
end.
"""


def card_appears_in_the_second_reader(runner, state_file, state, checks):
    proc, path = start(runner, SECOND_CARD)
    try:
        first = [proc.stdout.readline().rstrip("\n") for _ in range(2)]
        checks.expect("before the second card", first, ["Script is running.", "waiting"])
        time.sleep(0.3)
        pcsc_stack.insert_second_card(state)
        pcsc_stack.write_state(state_file, state)
        out, err = finish(proc, path)
    finally:
        pcsc_stack.remove_second_card(state)
        pcsc_stack.write_state(state_file, state)
    checks.expect("the card in the second reader", (proc.returncode, out.splitlines()),
                  (0, ["Virtual PCD 00 01", "6109", "Script finished, no errors."]))


def main():
    state_file, runner = sys.argv[1], sys.argv[2]
    state = pcsc_stack.read_state(state_file)
    checks = Checks()
    trace_fields_and_order(runner, checks)
    get_response_on_and_off(runner, checks)
    card_removed_mid_run(runner, state, checks)
    service_stopped_and_started(runner, state_file, state, checks)
    card_appears_in_the_second_reader(runner, state_file, state, checks)
    if checks.failures:
        print("\n".join(checks.failures))
        return 1
    print("trace, GET RESPONSE, removal, service restart and second card as expected")
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except (RuntimeError, subprocess.TimeoutExpired) as e:
        print(f"card_cockpit_test.py: {e}", file=sys.stderr)
        sys.exit(1)
