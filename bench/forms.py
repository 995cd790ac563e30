#!/usr/bin/env python3
"""Forms in quoll-run: the start-up time of a script without forms (the toolkit must not be
loaded) and with one form (the toolkit module and the application object start), and the
processor time a script uses while it waits for its form in `while F.Visible do ProcessMessages;`.

Usage: forms.py [--quoll build/quoll-run] [--runs N] [--wait SECONDS]
"""

import argparse
import os
import subprocess
import sys
import tempfile
import time

NO_FORM = "begin\n  Writeln('x');\nend.\n"
ONE_FORM = "var F: TForm;\nbegin\n  F := TForm.Create;\nend.\n"
WAITING = "var F: TForm;\nbegin\n  F := TForm.Create;\n  F.Visible := True;\n  while F.Visible do ProcessMessages;\nend.\n"


def start_up(runner, script, runs, env):
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        subprocess.run([runner, script], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env, check=False)
        times.append(time.perf_counter() - start)
    times.sort()
    return times[0] * 1000, times[len(times) // 2] * 1000


def waiting_cpu(runner, script, seconds, env):
    proc = subprocess.Popen([runner, script], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env)
    try:
        time.sleep(1.0)  # past the start-up
        ticks = os.sysconf("SC_CLK_TCK")

        def cpu():
            with open(f"/proc/{proc.pid}/stat") as f:
                fields = f.read().rsplit(")", 1)[1].split()
            return (int(fields[11]) + int(fields[12])) / ticks

        before, t0 = cpu(), time.perf_counter()
        time.sleep(seconds)
        used, elapsed = cpu() - before, time.perf_counter() - t0
    finally:
        proc.kill()
        proc.wait()
    return 100.0 * used / elapsed


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--quoll", default="build/quoll-run")
    parser.add_argument("--runs", type=int, default=30)
    parser.add_argument("--wait", type=float, default=5.0)
    args = parser.parse_args()
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    with tempfile.TemporaryDirectory() as folder:
        scripts = {}
        for name, text in (("no_form", NO_FORM), ("one_form", ONE_FORM), ("waiting", WAITING)):
            scripts[name] = os.path.join(folder, name + ".qs")
            with open(scripts[name], "w") as f:
                f.write(text)
        best, median = start_up(args.quoll, scripts["no_form"], args.runs, env)
        print(f"quoll-run start-up without forms: best {best:.1f} ms, median {median:.1f} ms")
        best, median = start_up(args.quoll, scripts["one_form"], args.runs, env)
        print(f"quoll-run start-up with one form:  best {best:.1f} ms, median {median:.1f} ms")
        share = waiting_cpu(args.quoll, scripts["waiting"], args.wait, env)
        print(f"a script waiting for its form: {share:.1f} % of a processor")
    return 0


if __name__ == "__main__":
    sys.exit(main())
