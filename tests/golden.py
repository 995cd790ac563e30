#!/usr/bin/env python3
"""Runs golden scripts through quoll-run and compares what they print with their expectations.

Usage: golden.py --runner PATH/quoll-run FILE_OR_DIR...

A directory stands for every .qs file below it, except files below a folder named `units`
(those are unit files that tests use). Expectations are `//` comments in the script:

  // expect: TEXT                 the next Writeln line (in file order)
  // expect error: MESSAGE        the run fails with a run-time error on this line
  // expect compile error: MSG    the text fails before it runs, on this line
  // expect position at: TEXT     the error is at the first occurrence of TEXT in the code of the
                                  line that carries the error expectation (optional); a `|` in
                                  TEXT marks the spot within it (default: where TEXT starts)
  // expect position in FILE: TEXT  the error is at the first occurrence of TEXT in FILE (a unit,
                                  relative to the script's folder; units are read byte for byte)
  // expect position: N           the exact error position, for the end of the text (0)
  // expect module: NAME          the module of the error line (optional; default: the name in
                                  the program header upper-cased, or MAIN). Naming another module
                                  (an error inside a unit) skips the line check.
  // stdin: TEXT                  one line fed to quoll-run's standard input, in order
  // cwd: DIR                     run in DIR, relative to the script's folder (default: that folder)

quoll-run joins the script's lines with CR LF, so an error position is a byte offset in that
text; its line is 1 + the number of CR LF pairs before it.
"""

import argparse
import bisect
import os
import re
import subprocess
import sys

TIMEOUT_SECONDS = 60
MAX_FAILURES_SHOWN = 10
RUNNING = "Script is running."
FINISHED = "Script finished, no errors."

EXPECT_OUTPUT = re.compile(r"// expect:(?: (.*))?$")
EXPECT_ERROR = re.compile(r"// expect error:(?: (.*))?$")
EXPECT_COMPILE_ERROR = re.compile(r"// expect compile error:(?: (.*))?$")
EXPECT_POSITION = re.compile(r"// expect position: (-?\d+)\s*$")
EXPECT_POSITION_AT = re.compile(r"// expect position at: (.*?)\s*$")
EXPECT_POSITION_IN = re.compile(r"// expect position in (\S+): (.*?)\s*$")
EXPECT_MODULE = re.compile(r"// expect module: (\S+)\s*$")
STDIN_LINE = re.compile(r"// stdin:(?: (.*))?$")
CWD = re.compile(r"// cwd: (.*?)\s*$")
ERROR_LINE = re.compile(r"^Error in ([^(]*)\((-?\d+)\) ?(.*)$")
LINE_BREAK = re.compile(r"\r\n|\n|\r")


class Test:
    def __init__(self, path):
        self.path = path
        self.failures = []
        self.output = []          # (text, source line) of each expected Writeln line
        self.error = None         # (kind, message, source line); kind is "run" or "compile"
        self.position = None
        self.position_at = None   # (text, line of the expectation)
        self.lines = []
        self.module = None
        self.stdin = []
        self.cwd = os.path.dirname(os.path.abspath(path))
        self.line_starts = []     # offset of every line in the CR LF text
        self.header_module = "MAIN"

    def fail(self, message):
        self.failures.append(message)

    def parse(self):
        with open(self.path, "rb") as f:
            data = f.read()
        # Latin-1 maps every byte to one character, so offsets stay byte offsets.
        text = data.decode("latin-1")
        if text and not text.endswith(("\n", "\r")):
            self.fail("the test file does not end with a line break")
        lines = LINE_BREAK.split(text)
        if lines and lines[-1] == "":
            lines.pop()
        offset = 0
        for line in lines:
            self.line_starts.append(offset)
            offset += len(line) + 2
        self.header_module = header_module(lines)
        self.lines = lines

        for number, line in enumerate(lines, 1):
            match = EXPECT_COMPILE_ERROR.search(line)
            if match:
                self.set_error("compile", (match.group(1) or "").rstrip(), number)
                continue
            match = EXPECT_ERROR.search(line)
            if match:
                self.set_error("run", (match.group(1) or "").rstrip(), number)
                continue
            match = EXPECT_POSITION_IN.search(line)
            if match:
                self.position = self.position_in_file(match.group(1), match.group(2), number)
                continue
            match = EXPECT_POSITION_AT.search(line)
            if match:
                self.position_at = (match.group(1), number)
                continue
            match = EXPECT_POSITION.search(line)
            if match:
                self.position = int(match.group(1))
                continue
            match = EXPECT_MODULE.search(line)
            if match:
                self.module = match.group(1)
                continue
            match = EXPECT_OUTPUT.search(line)
            if match:
                self.output.append(((match.group(1) or "").rstrip(), number))
                continue
            match = STDIN_LINE.search(line)
            if match:
                self.stdin.append(match.group(1) or "")
                continue
            match = CWD.search(line)
            if match:
                self.cwd = os.path.normpath(os.path.join(self.cwd, match.group(1)))
        if (self.position is not None or self.position_at is not None or self.module is not None) \
                and self.error is None:
            self.fail("'expect position' or 'expect module' without an error expectation")
        if self.position_at is not None and self.error is not None:
            text, number = self.position_at
            error_line = self.error[2]
            code = self.lines[error_line - 1].split("//")[0]
            found, spot = find_marked(code, text)
            if found < 0:
                self.fail(f"line {number}: '{text}' is not in the code of line {error_line}")
            else:
                self.position = self.line_starts[error_line - 1] + found + spot

    def position_in_file(self, relative, text, number):
        """The CR LF byte offset of the first occurrence of text in another file."""
        path = os.path.join(os.path.dirname(os.path.abspath(self.path)), relative)
        try:
            with open(path, "rb") as f:
                other = f.read().decode("latin-1")  # units are read as they are
        except OSError as e:
            self.fail(f"line {number}: cannot read {relative}: {e}")
            return None
        found, spot = find_marked(other, text)
        if found < 0:
            self.fail(f"line {number}: '{text}' is not in {relative}")
            return None
        return found + spot

    def set_error(self, kind, message, number):
        if self.error is not None:
            self.fail(f"line {number}: a second error expectation (the first is on line "
                      f"{self.error[2]})")
            return
        self.error = (kind, message, number)

    def line_of(self, position):
        """Source line of a byte offset in the CR LF text (1-based)."""
        if position < 0:
            return 0
        return bisect.bisect_right(self.line_starts, position)

    def run(self, runner):
        try:
            proc = subprocess.run(
                [runner, os.path.abspath(self.path)],
                input=("".join(line + "\n" for line in self.stdin)).encode("latin-1"),
                stdout=subprocess.PIPE,
                stderr=subprocess.PIPE,
                cwd=self.cwd,
                timeout=TIMEOUT_SECONDS,
            )
        except subprocess.TimeoutExpired:
            self.fail(f"timed out after {TIMEOUT_SECONDS} s")
            return
        except OSError as e:
            self.fail(f"cannot run {runner}: {e}")
            return
        stdout = proc.stdout.decode("latin-1")
        lines = stdout.split("\n")
        if lines and lines[-1] == "":
            lines.pop()
        lines = [line[:-1] if line.endswith("\r") else line for line in lines]
        if proc.returncode < 0:
            self.fail(f"quoll-run was killed by signal {-proc.returncode}")
            tail = proc.stderr.decode("latin-1").strip().splitlines()[-5:]
            for line in tail:
                self.fail(f"stderr: {line}")
        self.check(lines, proc.returncode)

    def check(self, lines, status):
        expect_compile_error = self.error is not None and self.error[0] == "compile"
        body = lines
        if expect_compile_error:
            if body and body[0] == RUNNING:
                self.fail(f"expected a compile error, but the script ran ('{RUNNING}')")
                body = body[1:]
        else:
            if body and body[0] == RUNNING:
                body = body[1:]
            else:
                got = f"'{body[0]}'" if body else "nothing"
                self.fail(f"expected '{RUNNING}' first, got {got}")

        final = None
        if body and (body[-1] == FINISHED or body[-1].startswith("Error in ")):
            final = body[-1]
            body = body[:-1]

        for index, (expected, number) in enumerate(self.output):
            if index >= len(body):
                self.fail(f"line {number}: missing output '{expected}'")
            elif body[index] != expected:
                self.fail(f"line {number}: expected '{expected}', got '{body[index]}'")
        for extra in body[len(self.output):]:
            self.fail(f"unexpected output '{extra}'")

        if self.error is None:
            if final != FINISHED:
                self.fail(f"expected '{FINISHED}', got {describe(final)}")
            if status != 0:
                self.fail(f"expected exit status 0, got {status}")
            return

        kind, message, number = self.error
        module = self.module if self.module is not None else self.header_module
        if status != 1:
            self.fail(f"expected exit status 1, got {status}")
        match = ERROR_LINE.match(final) if final else None
        if not match:
            self.fail(f"line {number}: expected {kind} error '{message}', got {describe(final)}")
            return
        got_module, got_position, got_message = match.group(1), int(match.group(2)), match.group(3)
        got_line = self.line_of(got_position)
        where = f"{got_module}({got_position})"
        if got_module == self.header_module:
            where += f" = line {got_line}"
        problems = []
        if got_message != message:
            problems.append("message")
        if got_module != module:
            problems.append("module")
        if self.position is not None and got_position != self.position:
            problems.append("position")
        if module == self.header_module and got_line != number:
            problems.append("line")
        if problems:
            expected_where = f"{module}"
            if self.position is not None:
                expected_where += f"({self.position})"
            if module == self.header_module:
                expected_where += f" on line {number}"
            self.fail(f"line {number}: {kind} error mismatch ({', '.join(problems)}): expected "
                      f"'{message}' at {expected_where}, got '{got_message}' at {where}")


def find_marked(haystack, text):
    """Where text first occurs (-1 if nowhere, or for an empty text) and the offset of its spot
    within it: the place of a `|` in text, which is not part of what is searched."""
    spot = max(text.find("|"), 0)
    plain = text.replace("|", "", 1)
    return (haystack.find(plain) if plain else -1), spot


def describe(line):
    return f"'{line}'" if line is not None else "no final status line"


def header_module(lines):
    """The upper-cased name after a leading `program` or `unit`, else MAIN."""
    text = "\r\n".join(lines)
    i = 0
    words = []
    while i < len(text) and len(words) < 2:
        c = text[i]
        if c in " \t\r\n":
            i += 1
        elif text.startswith("//", i):
            end = LINE_BREAK.search(text, i)
            i = end.end() if end else len(text)
        elif c == "{":
            end = text.find("}", i)
            i = end + 1 if end >= 0 else len(text)
        elif text.startswith("(*", i):
            end = text.find("*)", i + 1)
            i = end + 2 if end >= 0 else len(text)
        else:
            match = re.compile(r"[A-Za-z_][A-Za-z0-9_]*").match(text, i)
            if not match:
                break
            words.append(match.group(0))
            i = match.end()
    if len(words) == 2 and words[0].lower() in ("program", "unit"):
        return upper_ascii(words[1])
    return "MAIN"


def upper_ascii(name):
    return "".join(chr(ord(c) - 32) if "a" <= c <= "z" else c for c in name)


def collect(paths):
    files = []
    for path in paths:
        if os.path.isdir(path):
            for root, dirs, names in os.walk(path):
                dirs[:] = sorted(d for d in dirs if d != "units")
                files.extend(os.path.join(root, n) for n in sorted(names) if n.endswith(".qs"))
        else:
            files.append(path)
    return files


def main():
    parser = argparse.ArgumentParser(description="Run golden scripts through quoll-run.")
    parser.add_argument("--runner", required=True, help="path of the quoll-run executable")
    parser.add_argument("paths", nargs="+", help="script files or folders of scripts")
    args = parser.parse_args()
    runner = os.path.abspath(args.runner)

    files = collect(args.paths)
    failed = 0
    for path in files:
        test = Test(path)
        test.parse()
        if not test.failures:
            test.run(runner)
        if test.failures:
            failed += 1
            print(f"FAIL {path}")
            for message in test.failures[:MAX_FAILURES_SHOWN]:
                print(f"     {message}")
            hidden = len(test.failures) - MAX_FAILURES_SHOWN
            if hidden > 0:
                print(f"     ... and {hidden} more")
        elif len(files) > 1:
            print(f"pass {path}")
    if len(files) > 1:
        print(f"{len(files) - failed} passed, {failed} failed, {len(files)} in all")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
