#!/usr/bin/env python3
"""Limits of the console runner that must hold whatever the input and the machine: texts from
outside a script obey the string limit, output that cannot be written fails the run, nesting
limits stop a script at the same place in every run, and running out of memory is the script's
error, not the end of the process.

Usage: limits_test.py PATH/quoll-run [--sanitized]
--sanitized: the runner is a sanitizer build, which keeps freed memory and cannot run under an
address-space limit: the memory checks are left out."""
import os
import resource
import subprocess
import sys
import tempfile

runner = os.path.abspath(sys.argv[1])
sanitized = "--sanitized" in sys.argv[2:]
MAX_STRING = 1 << 30  # the engine's string length limit
failures = []


def check(name, cond, detail=""):
    print(("ok   " if cond else "FAIL ") + name + ("" if cond else f": {detail}"))
    if not cond:
        failures.append(name)


def script(folder, name, text):
    path = os.path.join(folder, name)
    with open(path, "w", newline="") as f:
        f.write(text.replace("\n", "\r\n"))
    return path


def run(args, stdin=None, stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=None, limit_memory=None, cwd=None):
    def limit():
        if limit_memory:
            resource.setrlimit(resource.RLIMIT_AS, (limit_memory, limit_memory))
    p = subprocess.run([runner] + args, stdin=stdin, stdout=stdout, stderr=stderr, env=env, cwd=cwd,
                       preexec_fn=limit, timeout=300)
    text = lambda b: b.decode("latin-1") if isinstance(b, bytes) else ""
    return p.returncode, text(p.stdout).splitlines(), text(p.stderr)


def peak_kb(args, cwd):
    out = os.path.join(cwd, "peak.txt")
    subprocess.run(["/usr/bin/time", "-o", out, "-f", "%M", runner] + args, cwd=cwd,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
    with open(out) as f:
        return int(f.read().split()[-1])


with tempfile.TemporaryDirectory() as d:
    # ---- Readln: a line longer than a string may be fails with "out of memory" ----
    path = script(d, "readln.qs", "var s: string;\nbegin\n  s := Readln('c', 'p');\n"
                                  "  Writeln(IntToStr(Length(s)));\n  s := Readln('c', 'p');\n  Writeln(s);\nend.\n")
    big = os.path.join(d, "big.txt")
    with open(big, "wb") as f:
        f.write(b"a" * (MAX_STRING + 1) + b"\r\nnext\n")
    with open(big, "rb") as stdin:
        code, out, _ = run([path], stdin=stdin)
    check("a Readln line over the string limit fails the script",
          code == 1 and out == ["Script is running.", "Error in MAIN(46) out of memory"], f"{code} {out}")
    os.remove(big)
    code, out, _ = run([path], stdin=None)
    check("Readln at the end of input gives the empty text", out[1:3] == ["0", ""], f"{out}")

    # ---- Output that cannot be written: status 3, and a message where one can be written ----
    hello = script(d, "hello.qs", "begin\n  Writeln('hello');\nend.\n")
    with open("/dev/full", "wb") as full:
        code, _, err = run([hello], stdout=full)
        check("a full standard output fails with status 3 and says so",
              code == 3 and "cannot write to standard output: No space left on device" in err, f"{code} {err!r}")
        code, out, _ = run([hello], stderr=full, env=dict(os.environ, QUOLL_PCSC_LIBRARY="/nonexistent"))
        check("a full standard error fails with status 3", code == 3 and out[1:2] == ["hello"], f"{code} {out}")
        code, _, _ = run(["--help"], stdout=full)
        check("--help to a full standard output fails", code != 0, f"{code}")

    # ---- Nesting limits are counts: the same answer in every run and environment ----
    def nested(depth):
        return script(d, f"paren{depth}.qs", "var x: Integer;\nbegin\n  x := " + "(" * depth + "1" + ")" * depth
                      + ";\n  Writeln(IntToStr(x));\nend.\n")
    deep, deeper = nested(3999), nested(4000)
    recursion = script(d, "recursion.qs", "var d: Integer;\nprocedure F(n: Integer);\nbegin\n  d := n;\n"
                                          "  F(n + 1);\nend;\nbegin\n  try\n    F(0);\n  except\n"
                                          "    Writeln(IntToStr(d));\n  end;\nend.\n")
    script(d, "DEEPUNIT.qs", "unit DeepUnit;\nvar d: Integer;\nprocedure G(n: Integer);\nbegin\n  d := n;\n"
                             "  G(n + 1);\nend;\nend.\n")
    in_unit = script(d, "unit_recursion.qs", "uses DeepUnit;\nbegin\n  try\n    G(0);\n  except\n"
                                             "    Writeln(IntToStr(d));\n  end;\nend.\n")
    outcomes = {}
    for padding in (0, 4096, 300000, 1000000):  # the environment's size moves the stack
        env = dict(os.environ, **{f"QUOLL_TEST_PADDING{i}": "x" * min(100000, padding - i * 100000)
                                  for i in range((padding + 99999) // 100000)})
        for name, path in (("3999", deep), ("4000", deeper), ("recursion", recursion), ("unit", in_unit)):
            outcomes.setdefault(name, set()).add(tuple(run([path], env=env, cwd=d)[1]))
    check("3999 nested parentheses always run", outcomes["3999"] == {("Script is running.", "1",
          "Script finished, no errors.")}, f"{outcomes['3999']}")
    check("4000 nested parentheses always stop at the same place",
          outcomes["4000"] == {("Script is running.", "Error in MAIN(4031) out of memory")}, f"{outcomes['4000']}")
    check("recursion always stops at the same depth",
          outcomes["recursion"] == {("Script is running.", "997", "Script finished, no errors.")},
          f"{outcomes['recursion']}")
    check("recursion inside a unit obeys the same limit",
          outcomes["unit"] == {("Script is running.", "997", "Script finished, no errors.")}, f"{outcomes['unit']}")

    # ---- Freed instances keep almost nothing (a sanitizer keeps freed memory on purpose) ----
    if not sanitized:
        cycles = script(d, "cycles.qs", "type\n  TThing = class\n    A, B: Integer;\n    S: string;\n  end;\n"
                                        "var\n  i: Integer;\n  t: TThing;\nbegin\n  for i := 1 to 1000000 do\n"
                                        "  begin\n    t := TThing.Create;\n    t.S := 'text';\n    t.Free;\n"
                                        "  end;\nend.\n")
        kb = peak_kb([cycles], d)
        check("a million Create/Free cycles stay under 150 MB", kb < 150 * 1024, f"{kb} KB")

    # ---- Running out of memory is the script's error ----
    if not sanitized:
        hog = script(d, "hog.qs", "type TR = record A, B, C, D: string; end;\nvar a: array of TR;\n"
                                  "begin\n  SetArrayLength(a, 4000000);\n  Writeln('made');\nend.\n")
        code, out, err = run([hog], limit_memory=600 << 20)
        check("running out of memory gives the script's error line",
              code == 1 and out == ["Script is running.", "Error in MAIN(99) out of memory"], f"{code} {out} {err[-200:]!r}")

sys.exit(1 if failures else 0)
