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

Card workloads compare Quoll with other programs instead: NAME.apdu holds the
command APDUs that bench/pcsc-direct (C++ calling SCardTransmit) and scriptor
(pcsc-tools) send through pcscd to the virtual card, which run.py starts for
them (tests/card/pcsc_stack.py); NAME.mac describes the MAC that
bench/des-mac-openssl computes with OpenSSL's DES (make_card_runners()).

The bound-call workload calls a trivial C export from a script through the DLL
functions, against bench/bound-call-direct calling it from a C++ loop
(NAME.loop, make_native_call_runners()).
"""

import argparse
import os
import re
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
    own_time: see below.
    executable: the program the command starts, as an absolute path once it
              has been found; otherwise as given, and the runner is reported
              as not found.
    """

    name: str
    suffix: str
    command: Callable[[str], List[str]]
    extract: Callable[[subprocess.CompletedProcess], List[str]]
    executable: str = ""
    # For a program that reports the time of the work itself: reads it from the finished process.
    # Otherwise the wall time of the whole process is taken.
    own_time: Optional[Callable[[subprocess.CompletedProcess], float]] = None
    # Variables added to the environment the program runs in.
    env: Optional[dict] = None


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
    # The workbench's output pane starts with the reason when PC/SC is unusable for the run
    # (no pcscd here); it is a notice of the machine, not output of the workload.
    while lines and lines[0].startswith("PC/SC unavailable"):
        lines.pop(0)
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


SCRIPTOR_STATUS = re.compile(r"^(.*?)\s*:\s")


def scriptor_extract(proc: subprocess.CompletedProcess) -> List[str]:
    """The last response scriptor printed ("< 00 01 ..." up to "90 00 : text"), as quoll prints it."""
    lines = plain_extract(proc)
    starts = [i for i, line in enumerate(lines) if line.startswith("< ")]
    if not starts:
        raise RunFailure("scriptor printed no response")
    hex_digits = ""
    for line in lines[starts[-1]:]:
        line = line[2:] if line.startswith("< ") else line
        match = SCRIPTOR_STATUS.match(line)
        hex_digits += (match.group(1) if match else line).replace(" ", "")
        if match:
            break
    return [hex_digits.upper()]


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


WORKBENCH_TIME = re.compile(r"^run seconds: ([0-9.]+)$", re.MULTILINE)


def workbench_time(proc: subprocess.CompletedProcess) -> float:
    match = WORKBENCH_TIME.search(proc.stderr)
    if not match:
        raise RunFailure("the program reported no run time (run seconds: S on stderr)")
    return float(match.group(1))


def make_workbench_runners(args: argparse.Namespace) -> List[List[Runner]]:
    """Runner sets that put the workbench next to the console runner: the same scripts run inside
    the real main window (offscreen) through bench/quoll-workbench-run, without marks and with a
    bookmark, which makes the editor's selection follow every statement.

    The workbench figure is the time from Run to the end of the run, reported by the program
    itself, since Qt's start-up says nothing about the cost per statement; the console figure is
    quoll-run's wall time, whose start-up takes a few milliseconds (bench/README.md)."""
    quoll = resolve_executable(args.quoll)
    build = os.path.dirname(os.path.abspath(args.quoll))
    workbench = resolve_executable(os.path.join(build, "bench", "quoll-workbench-run"))
    quoll_runner = Runner("quoll", ".qs", lambda prog: [quoll, prog], quoll_extract, quoll or args.quoll)
    missing = workbench or "bench/quoll-workbench-run"
    return [
        [
            Runner("workbench", ".qs", lambda prog: [workbench, prog], quoll_extract, missing, workbench_time),
            quoll_runner,
        ],
        [
            Runner("marks", ".qs", lambda prog: [workbench, "--marks", prog], quoll_extract, missing,
                   workbench_time),
            quoll_runner,
        ],
    ]


VIRTUAL_READER = "Virtual PCD 00 00"


def make_card_runners(args: argparse.Namespace) -> List[List[Runner]]:
    """Runner sets of the card workloads, Quoll first in each: the same APDUs sent directly by a
    C++ program and by scriptor (and by Quoll writing the trace of every exchange to a file), and
    the same MAC computed with OpenSSL."""
    quoll = resolve_executable(args.quoll)
    build = os.path.dirname(os.path.abspath(args.quoll))
    direct = resolve_executable(os.path.join(build, "bench", "pcsc-direct"))
    scriptor = resolve_executable(args.scriptor)
    openssl = resolve_executable(os.path.join(build, "bench", "des-mac-openssl"))
    quoll_runner = Runner("quoll", ".qs", lambda prog: [quoll, prog], quoll_extract, quoll or args.quoll)
    # The same SendAPDU calls with every exchange written to a trace file.
    trace_file = os.path.join(build, "bench", "sendapdu-trace.txt")
    traced_runner = Runner("traced", ".qs", lambda prog: [quoll, "--trace=" + trace_file, prog], quoll_extract,
                           quoll or args.quoll)
    direct_runner = Runner("direct", ".apdu", lambda prog: [direct, VIRTUAL_READER, prog], plain_extract,
                           direct or "bench/pcsc-direct")
    return [
        [traced_runner, direct_runner],
        [
            quoll_runner,
            Runner("direct", ".apdu", lambda prog: [direct, VIRTUAL_READER, prog], plain_extract,
                   direct or "bench/pcsc-direct"),
            Runner("scriptor", ".apdu", lambda prog: [scriptor, "-r", VIRTUAL_READER, prog], scriptor_extract,
                   scriptor or args.scriptor),
        ],
        [
            quoll_runner,
            Runner("openssl", ".mac", lambda prog: [openssl, prog], plain_extract, openssl or "bench/des-mac-openssl"),
        ],
    ]


def make_native_call_runners(args: argparse.Namespace) -> List[List[Runner]]:
    """A script calling a C export bound to a script routine, against bench/bound-call-direct
    calling it from a C++ loop (NAME.loop names the library, the export and the number of calls).
    Both find the bench's export library through LD_LIBRARY_PATH. The direct figure is the loop's
    own time; Quoll's is quoll-run's wall time, start-up included (bench/README.md)."""
    quoll = resolve_executable(args.quoll)
    bench_build = os.path.join(os.path.dirname(os.path.abspath(args.quoll)), "bench")
    direct = resolve_executable(os.path.join(bench_build, "bound-call-direct"))
    search = os.pathsep.join(p for p in (bench_build, os.environ.get("LD_LIBRARY_PATH", "")) if p)
    env = {"LD_LIBRARY_PATH": search}
    return [
        [
            Runner("quoll", ".qs", lambda prog: [quoll, prog], quoll_extract, quoll or args.quoll, env=env),
            Runner("direct", ".loop", lambda prog: [direct, prog], plain_extract, direct or "bench/bound-call-direct",
                   workbench_time, env=env),
        ],
    ]


class PcscStack:
    """pcscd and the virtual card for the card workloads, started and stopped around them."""

    def __init__(self, quoll: str):
        build = os.path.dirname(os.path.abspath(quoll))
        self.script = os.path.join(BENCH_DIR, "..", "tests", "card", "pcsc_stack.py")
        self.vcard = os.path.join(build, "quoll-vcard")
        self.state = os.path.join(build, "bench", "pcsc-stack.json")
        self.error = ""

    def __enter__(self):
        proc = subprocess.run([sys.executable, self.script, "start", "--state", self.state, "--vcard", self.vcard],
                              capture_output=True, text=True)
        if proc.returncode != 0:
            self.error = last_nonempty(output_lines(proc.stderr)) or "cannot start pcscd and the virtual card"
        return self

    def __exit__(self, *exc):
        subprocess.run([sys.executable, self.script, "stop", "--state", self.state], capture_output=True)


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
            env={**os.environ, **runner.env} if runner.env else None,
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
    lines = runner.extract(proc)
    if runner.own_time:
        elapsed = runner.own_time(proc)
    return elapsed, lines


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
    return f"{num / den:8.2f}x"


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
    parser.add_argument("--scriptor", default="scriptor", help="scriptor from pcsc-tools (default: %(default)s)")
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


def print_summary(summary, runners: List[Runner]) -> None:
    """One line per workload, for a quick look and for pasting into notes."""
    name_width = max(len("workload"), *(len(w) for w, _, _ in summary))
    subject = runners[0].name
    header = f"{'workload':<{name_width}}" + "".join(f"  {r.name:>9}" for r in runners)
    header += "".join(f"  {subject + '/' + r.name:>15}" for r in runners[1:]) + "  status"
    print(header)
    for workload, ok, results in summary:
        line = f"{workload:<{name_width}}" + "".join(f"  {fmt_time(r.median)}" for r in results)
        line += "".join(f"  {fmt_ratio(results[0].median, r.median):>15}" for r in results[1:])
        line += "  ok" if ok else "  FAILED"
        print(line)
    if len(summary) > 1:
        line = f"{'geomean':<{name_width}}" + "".join("           " for _ in runners)
        for i in range(1, len(runners)):
            ratios = [results[0].median / results[i].median for _, _, results in summary
                      if results[0].median is not None and results[i].median]
            line += f"  {(f'{statistics.geometric_mean(ratios):8.2f}x' if ratios else '-'):>15}"
        print(line)


def main(argv: Optional[Sequence[str]] = None) -> int:
    args = parse_args(argv)
    # Each group: its runners, its workloads, whether they need pcscd and the virtual card.
    groups = [(make_runners(args), False)] + [
        (runners, any(r.suffix == ".apdu" for r in runners)) for runners in make_card_runners(args)
    ] + [(runners, False) for runners in make_native_call_runners(args)]
    groups = [(runners, discover(runners), stack) for runners, stack in groups]
    # The workbench runs the language workloads (the card ones are about the card, not the window).
    plain_workloads = groups[0][1]
    groups += [(runners, list(plain_workloads), False) for runners in make_workbench_runners(args)]
    all_workloads = [w for _, workloads, _ in groups for w in workloads]
    if args.list:
        for name in all_workloads:
            print(name)
        return 0
    if args.only:
        wanted = [n.strip() for item in args.only for n in item.split(",") if n.strip()]
        unknown = [n for n in wanted if n not in all_workloads]
        if unknown:
            print(f"unknown workload(s): {', '.join(unknown)}; known: {', '.join(all_workloads)}", file=sys.stderr)
            return 2
        groups = [(runners, [w for w in workloads if w in wanted], stack) for runners, workloads, stack in groups]
    groups = [g for g in groups if g[1]]
    if not groups:
        print("no workloads found in " + BENCH_DIR, file=sys.stderr)
        return 2

    print(f"{args.runs} run(s) per program, median wall time in seconds")
    listed = set()
    for runners, _, _ in groups:
        for r in runners:
            if r.name not in listed:
                listed.add(r.name)
                print(f"  {r.name:<8} {r.executable}{'  (NOT FOUND)' if runner_missing(r) else ''}")
    print()

    failed = []
    summaries = []
    for runners, workloads, needs_stack in groups:
        summary = []
        stack = PcscStack(args.quoll) if needs_stack else None
        if stack:
            stack.__enter__()
        try:
            for workload in workloads:
                if stack and stack.error:
                    print(f"== {workload}\n  FAIL {stack.error}\n")
                    summary.append((workload, False, [Result(r, error=stack.error) for r in runners]))
                    continue
                results = run_workload(runners, workload, args.runs, args.warmup, args.timeout)
                summary.append((workload, report_workload(workload, results), results))
        finally:
            if stack:
                stack.__exit__(None, None, None)
        summaries.append((summary, runners))
        failed += [w for w, ok, _ in summary if not ok]

    for summary, runners in summaries:
        print_summary(summary, runners)
        print()

    if failed:
        print(f"{len(failed)} workload(s) failed: {', '.join(failed)}")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
