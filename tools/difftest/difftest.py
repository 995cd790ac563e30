#!/usr/bin/env python3
"""Differential check of two engines: runs the same scripts through a base quoll-run (built from
an earlier revision) and the current one, and reports every script whose outcome differs.

The scripts: every golden script (with the cwd and stdin it asks for), the examples that need no
card, the benchmark workloads with smaller loop bounds, then --count mutants of those, made with
--seed (mutant N of a seed is always the same script, so --first resumes a stopped run).
Differences and crashes are printed and saved under OUT/differences/ with what each engine gave.

The base: --base-binary PATH, or a quoll-run built from REV (--base, else $DIFFTEST_BASE, else
the merge-base of HEAD with main) in a detached git worktree OUT/base, reused while it is at REV.
"""

import argparse
import multiprocessing
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, "tests"))

import golden  # noqa: E402  (the golden scripts' `// cwd:` and `// stdin:` conventions)
import outcome  # noqa: E402
from mutate import mutant_for  # noqa: E402

CARD_ROUTINES = re.compile(r"\b(GetReaderCount|GetReaderName|OpenReader|CloseReader|SendAPDU)\b", re.I)
# Scripts that call foreign code or open forms are run but not mutated: a mutant would mostly test
# what a C function does with wrong arguments, or wait for a form's user.
NOT_MUTATED = re.compile(r"\b(LoadLibrary|MapLibraryProc|ProcessMessages|TControl|TForm|TButton|TEdit|TLabel|"
                         r"TMemo)\b", re.I)
LOOP_BOUND = re.compile(r"\b(to|downto)(\s+)(\d{2,})\b", re.I)
CALL_ARGUMENT = re.compile(r"\b([A-Za-z_]\w*)\((\d{2,})\)")   # Fib(28): a recursion's size
MAX_SEED_BYTES = 16 << 10  # larger scripts (generated nesting tests) are run, not mutated
# A run that timed out on one side only is tried again with this much more time, at least
# SLOW_RUN_SECONDS: a sanitizer build is 40 to 80 times slower than a release build.
SLOW_RUN_FACTOR = 10
SLOW_RUN_SECONDS = 60


def smaller_benchmark(text):
    """A workload with loop bounds of 100 and more divided by 50 and halved call arguments."""
    def bound(m):
        n = int(m[3])
        return m[1] + m[2] + str(max(2, n // 50) if n >= 100 else n)
    text = LOOP_BOUND.sub(bound, text)
    return CALL_ARGUMENT.sub(lambda m: f"{m[1]}({int(m[2]) // 2})", text)


def tiny_benchmark(text):
    """A workload small enough to be mutated many times: bounds and call arguments of 10 and more become 9."""
    return CALL_ARGUMENT.sub(lambda m: f"{m[1]}(9)", LOOP_BOUND.sub(r"\1\g<2>9", text))


class Source:
    """A script to run (or to mutate): its text, where it runs and what it reads."""

    def __init__(self, name, text, cwd, stdin=b"", timeout_factor=1):
        self.name, self.text, self.cwd, self.stdin = name, text, cwd, stdin
        self.timeout_factor = timeout_factor


def read_text(path):
    with open(path, "rb") as f:
        return f.read().decode("latin-1")


def golden_sources():
    sources = []
    for path in golden.collect([os.path.join(ROOT, "tests", "scripts")]):
        test = golden.Test(path)
        test.parse()
        stdin = "".join(line + "\n" for line in test.stdin).encode("latin-1")
        sources.append(Source(os.path.relpath(path, ROOT), read_text(path), test.cwd, stdin))
    return sources


def plain_sources(folder, shrink=None, timeout_factor=1):
    """The .qs files of a folder that need no card, their texts passed through shrink."""
    sources = []
    directory = os.path.join(ROOT, folder)
    for name in sorted(os.listdir(directory)):
        if not name.endswith(".qs"):
            continue
        text = read_text(os.path.join(directory, name))
        if CARD_ROUTINES.search(text):
            continue
        text = shrink(text) if shrink else text
        sources.append(Source(f"{folder}/{name}", text, directory, timeout_factor=timeout_factor))
    return sources


# ---- the base engine ----
def git(*args, cwd=ROOT):
    return subprocess.run(["git", *args], cwd=cwd, check=True, capture_output=True, text=True).stdout.strip()


def build_base(revision, out):
    """quoll-run of `revision`, built in the worktree OUT/base (made or moved there as needed)."""
    commit = git("rev-parse", "--verify", f"{revision}^{{commit}}")
    tree = os.path.join(out, "base")
    if not os.path.isdir(os.path.join(tree, ".git")) and not os.path.isfile(os.path.join(tree, ".git")):
        git("worktree", "prune")
        git("worktree", "add", "--detach", tree, commit)
    elif git("rev-parse", "HEAD", cwd=tree) != commit:
        git("checkout", "--detach", "--quiet", commit, cwd=tree)
    build = os.path.join(tree, "build")
    print(f"base: {revision} = {commit[:12]}, building quoll-run in {os.path.relpath(build, ROOT)}",
          flush=True)
    subprocess.run(["cmake", "-S", tree, "-B", build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=RelWithDebInfo"],
                   check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", build, "--target", "quoll-run"], check=True,
                   stdout=subprocess.DEVNULL)
    # The library the native call scripts load (a revision before them has none).
    subprocess.run(["cmake", "--build", build, "--target", "quoll-native-test-exports"],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return os.path.join(build, "quoll-run")


# ---- comparing (in the worker processes) ----
_worker = {}


def init_worker(base, current, fixed, seeds, seed, timeout, scratch):
    # Ctrl-C is the main process's to handle; the pool's terminate ends a worker and its run.
    signal.signal(signal.SIGINT, signal.SIG_IGN)
    signal.signal(signal.SIGTERM, lambda *_: (outcome.kill_running(), os._exit(1)))
    _worker.update(base=outcome.Engine(base), current=outcome.Engine(current),
                   fixed=fixed, seeds=seeds, seed=seed, timeout=timeout,
                   scratch=tempfile.mkdtemp(prefix=f"worker{os.getpid()}-", dir=scratch))


def run_both(source, text):
    path = os.path.join(_worker["scratch"], "script.qs")
    with open(path, "w", encoding="latin-1", newline="") as f:
        f.write(text)
    timeout = _worker["timeout"] * source.timeout_factor

    def run(side, seconds):
        return _worker[side].run(path, source.cwd, source.stdin, seconds)

    base, current = run("base", timeout), run("current", timeout)
    # A slower build may need longer for what the other finished: only a second timeout counts.
    if base.kind == "unfinished" and current.kind != "unfinished":
        base = run("base", max(timeout * SLOW_RUN_FACTOR, SLOW_RUN_SECONDS))
    elif current.kind == "unfinished" and base.kind != "unfinished":
        current = run("current", max(timeout * SLOW_RUN_FACTOR, SLOW_RUN_SECONDS))
    return base, current


def verdict(base, current):
    if "crash" in (base.kind, current.kind):
        return "crash"
    if not outcome.same(base, current):
        # Still running on one side after the second try, where it printed nothing else so far:
        # too slow to tell, not known to differ.
        if {base.kind, current.kind} == {"done", "unfinished"} and outcome.lines_agree(base, current):
            return "slow"
        return "difference"
    if base.kind == current.kind == "done":
        return "same"
    return "both unfinished" if base.kind == current.kind == "unfinished" else "both memory"


def compare_fixed(index):
    source = _worker["fixed"][index]
    base, current = run_both(source, source.text)
    return finding(source, source.name, source.text, [], base, current)


def compare_mutant(index):
    source, text, edits = mutant_for(_worker["seed"], index, _worker["seeds"])
    base, current = run_both(source, text)
    return finding(source, f"mutant {index} of {source.name}", text, edits, base, current)


def finding(source, name, text, edits, base, current):
    kind = verdict(base, current)
    if kind not in ("crash", "difference", "slow"):
        return kind, None
    report = (f"script: {name}\ncwd: {source.cwd}\nedits: {'; '.join(edits) or 'none'}\n"
              f"stdin: {source.stdin!r}\n\n--- base\n{base.describe()}\n\n"
              f"--- current\n{current.describe()}\n")
    return kind, (name, text, report, base.summary(), current.summary())


# ---- the run ----
class Tally:
    def __init__(self, out):
        self.counts = {}
        self.saved = 0
        self.folder = os.path.join(out, "differences")
        shutil.rmtree(self.folder, ignore_errors=True)
        os.makedirs(self.folder)

    def add(self, kind, details):
        self.counts[kind] = self.counts.get(kind, 0) + 1
        if details is None:
            return
        name, text, report, base, current = details
        self.saved += 1
        stem = os.path.join(self.folder, f"{self.saved:04d}-{kind}")
        with open(stem + ".qs", "w", encoding="latin-1", newline="") as f:
            f.write(text)
        with open(stem + ".txt", "w", encoding="latin-1") as f:
            f.write(report)
        print(f"{kind.upper()}: {name}\n    base:    {base}\n    current: {current}\n"
              f"    saved as {os.path.relpath(stem, ROOT)}.qs (.txt tells both outcomes)", flush=True)

    def numbers(self):
        counts = self.counts
        return (f"{sum(counts.values())} scripts compared: {counts.get('same', 0)} same, "
                f"{counts.get('both unfinished', 0)} unfinished in both, {counts.get('both memory', 0)} "
                f"out of memory in both; {counts.get('difference', 0)} differences, "
                f"{counts.get('crash', 0)} crashes; {counts.get('slow', 0)} too slow to tell")


def run_pool(pool, function, indexes, tally, label):
    started = time.monotonic()
    done = 0
    for kind, details in pool.imap_unordered(function, indexes, chunksize=8):
        tally.add(kind, details)
        done += 1
        if done % 5000 == 0:
            print(f"  {label}: {done}/{len(indexes)} in {time.monotonic() - started:.0f} s; "
                  f"so far {tally.numbers()}", flush=True)
    print(f"{label}: {len(indexes)} scripts in {time.monotonic() - started:.0f} s", flush=True)


def main():
    parser = argparse.ArgumentParser(description="Compare two quoll-run builds on the same scripts.")
    parser.add_argument("--current", default=os.path.join(ROOT, "build-asan", "quoll-run"),
                        help="the quoll-run under test (default: build-asan/quoll-run)")
    parser.add_argument("--base", default=os.environ.get("DIFFTEST_BASE") or None,
                        help="git revision of the base engine (default: $DIFFTEST_BASE, else the "
                             "merge-base with main)")
    parser.add_argument("--base-binary", help="a quoll-run to compare with instead of building one")
    parser.add_argument("--out", default=os.path.join(ROOT, "build-difftest"), help="work folder")
    parser.add_argument("--count", type=int, default=100000, help="mutants in the run (default 100000)")
    parser.add_argument("--seed", type=int, default=1, help="seed of the mutants (default 1)")
    parser.add_argument("--first", type=int, default=0,
                        help="the first mutant to compare, to resume a stopped run (default 0)")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2, help="parallel scripts")
    parser.add_argument("--timeout", type=float, default=1,
                        help=f"seconds per run (default 1; benchmarks get 20 times as long, and a run that "
                             f"timed out on one side only gets {SLOW_RUN_FACTOR} times as long again, "
                             f"at least {SLOW_RUN_SECONDS} s)")
    args = parser.parse_args()
    if not 0 <= args.first <= args.count:
        parser.error("--first must lie between 0 and --count")

    out = os.path.abspath(args.out)
    os.makedirs(out, exist_ok=True)
    current = os.path.abspath(args.current)
    if not os.access(current, os.X_OK):
        sys.exit(f"difftest: no current quoll-run at {current}")
    if args.base_binary:
        base = os.path.abspath(args.base_binary)
    else:
        base = build_base(args.base or git("merge-base", "HEAD", "main"), out)
    print(f"base:    {base}\ncurrent: {current}", flush=True)

    scripts = golden_sources() + plain_sources("examples")
    fixed = scripts + plain_sources("bench", smaller_benchmark, timeout_factor=20)
    seeds = [s for s in scripts + plain_sources("bench", tiny_benchmark)
             if len(s.text) <= MAX_SEED_BYTES and not NOT_MUTATED.search(s.text)]
    tally = Tally(out)
    scratch = tempfile.mkdtemp(prefix="scratch-", dir=out)
    interrupted = False
    pool = multiprocessing.Pool(args.jobs, init_worker,
                                (base, current, fixed, seeds, args.seed, args.timeout, scratch))
    try:
        run_pool(pool, compare_fixed, list(range(len(fixed))), tally, "golden scripts, examples, benchmarks")
        run_pool(pool, compare_mutant, list(range(args.first, args.count)), tally,
                 f"mutants {args.first} to {args.count - 1} (seed {args.seed})")
        pool.close()
    except KeyboardInterrupt:  # Ctrl-C: the numbers so far
        interrupted = True
        pool.terminate()
    finally:
        pool.join()
        shutil.rmtree(scratch, ignore_errors=True)

    print(("interrupted: " if interrupted else "") + tally.numbers(), flush=True)
    failed = tally.counts.get("difference") or tally.counts.get("crash")
    return 1 if failed else 130 if interrupted else 0


if __name__ == "__main__":
    sys.exit(main())
