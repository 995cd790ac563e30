#!/usr/bin/env python3
"""Unit graphs: a unit reached by several paths is loaded once per run, so memory and time grow
with the number of units, not with the number of paths to them.

Usage: unit_graph_test.py PATH/quoll-run
Prints the peak memory of each graph and the memory per unit of a chain of 100 units."""
import os
import subprocess
import sys
import tempfile

runner = os.path.abspath(sys.argv[1])
failures = []


def write_units(folder, count, uses_of):
    """Units U1..Ucount; unit i uses the units uses_of(i); its function Fi gives i."""
    for i in range(1, count + 1):
        used = uses_of(i)
        lines = [f"unit U{i};"]
        if used:
            lines.append("uses " + ", ".join(f"U{j}" for j in used) + ";")
        lines += [f"var V{i}: Integer;",
                  f"function F{i}: Integer;", "begin",
                  f"  Result := {i};",
                  "end;", "end."]
        with open(os.path.join(folder, f"U{i}.qs"), "w") as f:
            f.write("\r\n".join(lines) + "\r\n")


def run(folder, main_text):
    """Runs main.qs in folder; returns the exit status, the output lines and the peak memory.
    GNU time measures the peak: a child of this process would count this process's memory in
    its own peak, since that is where it was copied from."""
    with open(os.path.join(folder, "main.qs"), "w") as f:
        f.write(main_text)
    peak_path = os.path.join(folder, "peak.txt")
    p = subprocess.run(["/usr/bin/time", "-o", peak_path, "-f", "%M", runner, "main.qs"], cwd=folder,
                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=120)
    with open(peak_path) as f:
        peak_kb = int(f.read().split()[-1])
    return p.returncode, p.stdout.decode("latin-1").splitlines(), peak_kb * 1024


def check(name, cond, detail=""):
    print(("ok   " if cond else "FAIL ") + name + (f": {detail}" if detail else ""))
    if not cond:
        failures.append(name)


MB = 1024 * 1024
with tempfile.TemporaryDirectory() as d:
    # Each unit uses the two before it: 2^20 paths to U1, 20 units.
    two_before = lambda i: [j for j in (i - 1, i - 2) if j >= 1]
    write_units(d, 20, two_before)
    code, out, peak = run(d, "uses U20, U19;\r\nbegin\r\n  V1 := 5;\r\n  Writeln(IntToStr(F20 + F1 + V1));\r\nend.\r\n")
    want = "26"
    check("20 units using the two before them run", code == 0 and out[1:2] == [want], f"{code} {out}")
    check("and stay under 300 MB", peak < 300 * MB, f"{peak / MB:.1f} MB")

with tempfile.TemporaryDirectory() as d:
    one_before = lambda i: [i - 1] if i > 1 else []
    write_units(d, 1, one_before)
    _, _, base = run(d, "uses U1;\r\nbegin\r\n  Writeln(IntToStr(F1));\r\nend.\r\n")
    write_units(d, 100, one_before)
    code, out, peak = run(d, "uses U100;\r\nbegin\r\n  Writeln(IntToStr(F100));\r\nend.\r\n")
    check("a chain of 100 units runs", code == 0 and out[1:2] == ["100"], f"{code} {out}")
    print(f"     one unit {base / MB:.1f} MB, 100 units {peak / MB:.1f} MB")
    per_unit = (peak - base) / 99
    check("memory per unit in a chain of 100", per_unit < 400 * 1024, f"{per_unit / 1024:.0f} KB")

with tempfile.TemporaryDirectory() as d:
    one_before = lambda i: [i - 1] if i > 1 else []
    write_units(d, 800, one_before)
    code, out, peak = run(d, "uses U800;\r\nbegin\r\n  Writeln(IntToStr(F800 + F1));\r\nend.\r\n")
    check("a chain of 800 units runs", code == 0 and out[1:2] == ["801"],
          f"{code} {out[:3]}, {peak / MB:.0f} MB")

sys.exit(1 if failures else 0)
