#!/usr/bin/env python3
"""The console runner's contract: usage, exit status 2 for unreadable files and wrong arguments
(options included), Readln on stdin/stderr, the editor's line endings (positions count CR LF as
two bytes), and the trace options' files."""
import os
import subprocess
import sys
import tempfile

runner = sys.argv[1]
failures = []


def run(args, stdin=b""):
    p = subprocess.run([runner] + args, input=stdin, capture_output=True, timeout=60)
    return p.returncode, p.stdout.decode("latin-1"), p.stderr.decode("latin-1")


def check(name, cond, detail=""):
    if not cond:
        failures.append(f"{name}: {detail}")


code, out, err = run(["--help"])
check("help exits 0 and shows usage",
      code == 0 and "Usage: quoll-run [--trace[=TRACE-FILE]] [--get-response] FILE" in out, f"{code} {out!r}")

code, out, err = run([])
check("no argument exits 2 with a one-line message", code == 2 and out == "" and err.count("\n") == 1, f"{code} {err!r}")

code, out, err = run(["a.qs", "b.qs"])
check("two arguments exit 2", code == 2, f"{code}")

code, out, err = run(["--tracing", "a.qs"])
check("an unknown option exits 2 and names it", code == 2 and "unknown option --tracing" in err, f"{code} {err!r}")

code, out, err = run(["--trace"])
check("options without a file exit 2", code == 2 and "expected one script file" in err, f"{code} {err!r}")

with tempfile.TemporaryDirectory() as d:
    code, out, err = run([os.path.join(d, "missing.qs")])
    check("a missing file exits 2", code == 2 and "cannot read" in err and out == "", f"{code} {err!r}")

    code, out, err = run([d])
    check("a directory exits 2", code == 2 and "cannot read" in err, f"{code} {err!r}")

    # Lone CR, LF and CR LF all end lines; the error position counts two bytes per line end.
    path = os.path.join(d, "endings.qs")
    with open(path, "wb") as f:
        f.write(b"begin\rWriteln('a');\nWriteln('b');\r\n  x := 1;\nend.")
    code, out, err = run([path])
    expected_pos = len(b"begin\r\nWriteln('a');\r\nWriteln('b');\r\n  ")
    check("line endings become CR LF", out.splitlines() == [
        "Script is running.", "a", "b", f"Error in MAIN({expected_pos}) unknown identifier: X"], repr(out))
    check("a script error exits 1", code == 1, f"{code}")

    path = os.path.join(d, "ask.qs")
    with open(path, "wb") as f:
        f.write(b"var s: string;\nbegin\n  s := Readln('Title', 'Value?');\n  Writeln('got ' + s);\n"
                b"  s := Readln('Again', 'More?');\n  Writeln('then [' + s + ']');\nend.\n")
    code, out, err = run([path], stdin=b"42\r\n")
    check("Readln reads stdin; end of input gives the empty text",
          code == 0 and out.splitlines() == ["Script is running.", "got 42", "then []",
                                             "Script finished, no errors."], repr(out))
    check("Readln asks on stderr", "Title" in err and "Value?" in err and "More?" in err, repr(err))

    # A trace file that cannot be made is refused before the run; a run without card calls leaves
    # an empty trace file and the same output as without the option.
    path = os.path.join(d, "plain.qs")
    with open(path, "wb") as f:
        f.write(b"begin\n  Writeln('x');\nend.\n")
    code, out, err = run(["--trace=" + os.path.join(d, "no", "such", "dir", "t.txt"), path])
    check("an unwritable trace file exits 2", code == 2 and "cannot write the trace" in err and out == "",
          f"{code} {err!r}")
    trace = os.path.join(d, "t.txt")
    code, out, err = run(["--trace=" + trace, "--get-response", "--", path])
    check("a traced run without card calls", code == 0 and out.splitlines() == [
        "Script is running.", "x", "Script finished, no errors."] and os.path.getsize(trace) == 0,
          f"{code} {out!r}")

for f in failures:
    print("FAIL", f)
print("all console runner checks passed" if not failures else f"{len(failures)} console runner check(s) failed")
sys.exit(1 if failures else 0)
