#!/usr/bin/env python3
"""Quoll benchmark suite.

A workload is a set of programs that do the same work in different languages:
bench/NAME.qs (run by the Quoll console runner), bench/NAME.lua and bench/NAME.py.
Every .qs file that has a twin for each other runner is a workload.

Each program is run several times; the median wall time is reported per runner,
together with the ratio of the first runner (Quoll) to each of the others.  The
outputs of all runners must agree line for line; a failing run or a disagreement
is reported and makes the exit status non-zero.

Runners are plain definitions in make_runners(); a new way of running the
workloads (for instance inside the workbench window) is one more entry there.
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import time
from dataclasses import dataclass, field
from typing import Callable, List, Optional, Sequence, Tuple

BENCH_DIR = os.path.dirname(os.path.abspath(__file__))

# The console runner frames a script's own output with these two lines; any other
# last line is the error line of a failed run.
QUOLL_FIRST_LINE = "Script is running."
QUOLL_LAST_LINE = "Script finished, no errors."


class RunFailure(Exception):
    """A program did not run to a normal end; the message says why."""


@dataclass
class Runner:
    """One way of running a workload.

    name:     column label, also used for the ratios ("quoll/lua").
    suffix:   file extension of this runner's program, with its dot.
    command:  builds the argument vector from the program's absolute path.
    extract:  turns a finished process into the program's own output lines,
              or raises RunFailure.
    executable: the program the command starts, as an absolute path once it
              has been found; otherwise as given, and the runner is reported
              as not found.
    """

    name: str
    suffix: str
    command: Callable[[str], List[str]]
    extract: Callable[[subprocess.CompletedProcess], List[str]]
    executable: str = ""


def output_lines(text: str) -> List[str]:
    # Line ends may be LF or CR LF depending on the runner.
    return [line.rstrip("\r") for line in text.splitlines()]


def plain_extract(proc: subprocess.CompletedProcess) -> List[str]:
    if proc.returncode != 0:
        detail = last_nonempty(output_lines(proc.stderr)) or last_nonempty(output_lines(proc.stdout))
        raise RunFailure(f"exit status {proc.returncode}" + (f": {detail}" if detail else ""))
    return output_lines(proc.stdout)


def quoll_extract(proc: subprocess.CompletedProcess) -> List[str]:
    lines = output_lines(proc.stdout)
    while lines and lines[-1] == "":
        lines.pop()
    if not lines:
        detail = last_nonempty(output_lines(proc.stderr))
        raise RunFailure(
            f"no output (exit status {proc.returncode})" + (f"; stderr: {detail}" if detail else "")
        )
    if lines[0] != QUOLL_FIRST_LINE:
        # A script that does not compile prints only its error line.
        raise RunFailure(f"did not start: {lines[-1]}")
    if len(lines) < 2 or lines[-1] != QUOLL_LAST_LINE:
        raise RunFailure(f"script failed: {lines[-1]}")
    if proc.returncode != 0:
        raise RunFailure(f"exit status {proc.returncode} after a normal end")
    return lines[1:-1]


def last_nonempty(lines: Sequence[str]) -> str:
    for line in reversed(lines):
        if line.strip():
            return line.strip()
    return ""


def resolve_executable(path: str) -> str:
    """An absolute path for a file name or a command found on PATH; "" if neither."""
    if os.sep in path or (os.altsep and os.altsep in path):
        full = os.path.abspath(path)
        return full if os.path.isfile(full) and os.access(full, os.X_OK) else ""
    return shutil.which(path) or ""


def make_runners(args: argparse.Namespace) -> List[Runner]:
    """The runners, Quoll first: ratios are taken of the first runner to each other one."""
    quoll = resolve_executable(args.quoll)
    lua = resolve_executable(args.lua)
    python = resolve_executable(args.python)
    return [
        Runner("quoll", ".qs", lambda prog: [quoll, prog], quoll_extract, quoll or args.quoll),
        Runner("lua", ".lua", lambda prog: [lua, prog], plain_extract, lua or args.lua),
        Runner("python", ".py", lambda prog: [python, prog], plain_extract, python or args.python),
    ]


def runner_missing(runner: Runner) -> bool:
    return not os.path.isabs(runner.executable)


@dataclass
class Result:
    runner: Runner
    times: List[float] = field(default_factory=list)
    lines: Optional[List[str]] = None
    error: str = ""

    @property
    def median(self) -> Optional[float]:
        return statistics.median(self.times) if self.times and not self.error else None


def run_once(runner: Runner, program: str, timeout: float) -> Tuple[float, List[str]]:
    argv = runner.command(program)
    start = time.perf_counter()
    try:
        proc = subprocess.run(
            argv,
            cwd=BENCH_DIR,
            stdin=subprocess.DEVNULL,
            capture_output=True,
            text=True,
            errors="replace",
            timeout=timeout,
        )
    except subprocess.TimeoutExpired:
        raise RunFailure(f"timed out after {timeout:g} s")
    except OSError as exc:
        raise RunFailure(f"cannot start {argv[0]}: {exc.strerror or exc}")
    elapsed = time.perf_counter() - start
    return elapsed, runner.extract(proc)


def run_workload(runners: List[Runner], workload: str, runs: int, warmup: int, timeout: float) -> List[Result]:
    """Runs every runner's program of one workload.

    The runners take turns, one run each per round, so that a passing disturbance
    on the machine spreads over all of them instead of spoiling one runner's times.
    A runner that fails once is not run again for this workload.
    """
    results = [Result(r) for r in runners]
    programs = {}
    for result in results:
        if runner_missing(result.runner):
            result.error = f"runner not found: {result.runner.executable}"
        else:
            programs[result.runner.name] = os.path.join(BENCH_DIR, workload + result.runner.suffix)

    for round_no in range(-warmup, runs):
        for result in results:
            if result.error:
                continue
            try:
                elapsed, lines = run_once(result.runner, programs[result.runner.name], timeout)
                if round_no < 0:
                    continue  # warm-up: output and time are not kept
                if result.lines is None:
                    result.lines = lines
                elif lines != result.lines:
                    raise RunFailure(f"output of run {round_no + 1} differs from run 1")
                result.times.append(elapsed)
            except RunFailure as exc:
                result.error = str(exc)
    return results


def first_difference(a: List[str], b: List[str]) -> str:
    for i in range(max(len(a), len(b))):
        left = a[i] if i < len(a) else "<no line>"
        right = b[i] if i < len(b) else "<no line>"
        if left != right:
            return f"line {i + 1}: {left!r} vs {right!r}"
    return "identical"


def fmt_time(value: Optional[float]) -> str:
    return f"{value:9.4f}" if value is not None else "        -"


def fmt_ratio(num: Optional[float], den: Optional[float]) -> str:
    if num is None or den is None or den <= 0:
        return "        -"
    return f"{num / den:8.1f}x"


def report_workload(workload: str, results: List[Result]) -> bool:
    """Prints the table of one workload; returns True when it ran and agreed."""
    ok = True
    print(f"== {workload}")
    subject = results[0]
    labels = [f"{subject.runner.name}/{other.runner.name}" for other in results[1:]]
    width = max(len(name) for name in [r.runner.name for r in results] + labels)
    print(f"  {'runner':<{width}}  {'median s':>9}  {'min s':>9}  {'max s':>9}  runs")
    for r in results:
        lo = min(r.times) if r.times and not r.error else None
        hi = max(r.times) if r.times and not r.error else None
        print(
            f"  {r.runner.name:<{width}}  {fmt_time(r.median)}  {fmt_time(lo)}  {fmt_time(hi)}"
            f"  {len(r.times) if not r.error else 0:4d}"
        )
    for label, other in zip(labels, results[1:]):
        print(f"  {label:<{width}}  {fmt_ratio(subject.median, other.median):>9}")

    for r in results:
        if r.error:
            ok = False
            print(f"  FAIL {r.runner.name}: {r.error}")
    finished = [r for r in results if not r.error]
    if len(finished) >= 2:
        reference = finished[0]
        for r in finished[1:]:
            if r.lines != reference.lines:
                ok = False
                print(
                    f"  FAIL output of {r.runner.name} differs from {reference.runner.name}: "
                    f"{first_difference(reference.lines, r.lines)}"
                )
    if ok:
        lines = results[0].lines or []
        print(f"  output agrees ({len(lines)} line{'s' if len(lines) != 1 else ''})")
    print()
    return ok


def discover(runners: List[Runner]) -> List[str]:
    """Workload names: every .qs file with a program for each runner's suffix."""
    suffixes = {r.suffix for r in runners}
    names = []
    for entry in sorted(os.listdir(BENCH_DIR)):
        stem, ext = os.path.splitext(entry)
        if ext != ".qs":
            continue
        if all(os.path.isfile(os.path.join(BENCH_DIR, stem + s)) for s in suffixes):
            names.append(stem)
    return names


def parse_args(argv: Optional[Sequence[str]] = None) -> argparse.Namespace:
    parser = argparse.ArgumentParser(description="Run the Quoll benchmark workloads.")
    parser.add_argument("--quoll", default="build/quoll-run", help="Quoll console runner (default: %(default)s)")
    parser.add_argument("--lua", default="lua5.4", help="Lua 5.4 interpreter (default: %(default)s)")
    parser.add_argument("--python", default=sys.executable, help="Python 3 interpreter (default: %(default)s)")
    parser.add_argument("--runs", type=int, default=5, help="timed runs per program (default: %(default)s)")
    parser.add_argument("--warmup", type=int, default=0, help="untimed runs before the timed ones (default: %(default)s)")
    parser.add_argument("--timeout", type=float, default=300.0, help="seconds allowed per run (default: %(default)s)")
    parser.add_argument(
        "--only",
        action="append",
        metavar="NAME",
        help="run only this workload (repeat, or separate names by commas, for several)",
    )
    parser.add_argument("--list", action="store_true", help="list the workloads and exit")
    args = parser.parse_args(argv)
    if args.runs < 1:
        parser.error("--runs must be at least 1")
    if args.warmup < 0:
        parser.error("--warmup must not be negative")
    return args


def main(argv: Optional[Sequence[str]] = None) -> int:
    args = parse_args(argv)
    runners = make_runners(args)
    workloads = discover(runners)
    if args.list:
        for name in workloads:
            print(name)
        return 0
    if args.only:
        wanted = [n.strip() for item in args.only for n in item.split(",") if n.strip()]
        unknown = [n for n in wanted if n not in workloads]
        if unknown:
            print(f"unknown workload(s): {', '.join(unknown)}; known: {', '.join(workloads)}", file=sys.stderr)
            return 2
        workloads = [n for n in workloads if n in wanted]
    if not workloads:
        print("no workloads found in " + BENCH_DIR, file=sys.stderr)
        return 2

    print(f"{args.runs} run(s) per program, median wall time in seconds")
    for r in runners:
        print(f"  {r.name:<8} {r.executable}{'  (NOT FOUND)' if runner_missing(r) else ''}")
    print()

    summary = []
    for workload in workloads:
        results = run_workload(runners, workload, args.runs, args.warmup, args.timeout)
        ok = report_workload(workload, results)
        summary.append((workload, ok, results))

    # One line per workload, for a quick look and for pasting into notes.
    name_width = max(len("workload"), *(len(w) for w, _, _ in summary))
    subject = runners[0].name
    header = f"{'workload':<{name_width}}" + "".join(f"  {r.name:>9}" for r in runners)
    header += "".join(f"  {subject + '/' + r.name:>13}" for r in runners[1:]) + "  status"
    print(header)
    for workload, ok, results in summary:
        line = f"{workload:<{name_width}}" + "".join(f"  {fmt_time(r.median)}" for r in results)
        line += "".join(f"  {fmt_ratio(results[0].median, r.median):>13}" for r in results[1:])
        line += "  ok" if ok else "  FAILED"
        print(line)

    failed = [w for w, ok, _ in summary if not ok]
    if failed:
        print(f"\n{len(failed)} workload(s) failed: {', '.join(failed)}")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
