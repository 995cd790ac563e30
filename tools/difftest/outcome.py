"""Runs one script through one quoll-run and tells what a user would have seen, and compares two
such outcomes.

An outcome is one of:
  done        the process ended by itself: its exit status and stdout (which ends with the
              status line, the error line of a failed run included) are compared exactly;
  unfinished  it ran past the time limit or wrote more than the output limit and was killed:
              only the lines both printed are compared;
  memory      it ran out of memory (a sanitizer build cannot report that as the script's error);
  crash       a signal or a sanitizer report: always a finding.
"""

import os
import re
import resource
import selectors
import signal
import subprocess
import time

OUTPUT_LIMIT = 1 << 20        # bytes of stdout kept; a run that writes more is stopped
STDERR_KEPT = 16 << 10        # the last bytes of stderr, for the report
MEMORY_LIMIT_MB = 2048        # per run: the address space of a plain build, the RSS of a sanitized one
SANITIZER_STATUS = 86         # exit status of a run that a sanitizer stopped

SANITIZER_REPORT = re.compile(rb"ERROR: (?:Address|Leak)Sanitizer|runtime error:")
OUT_OF_MEMORY = re.compile(rb"allocation-size-too-big|requested allocation size|out of memory|"
                           rb"rss[-_ ]limit|RSS limit|allocator is out of memory")


_running = set()  # process groups of the runs under way in this process


def kill_running():
    for group in list(_running):
        try:
            os.killpg(group, signal.SIGKILL)
        except ProcessLookupError:
            pass


class Engine:
    """One quoll-run with the environment its runs get."""

    def __init__(self, binary):
        self.binary = binary
        with open(binary, "rb") as f:
            self.sanitized = b"__asan_init" in f.read()
        # Small and fixed: no PC/SC (the reader functions stay out and no daemon is asked), the C
        # locale, forms offscreen, the build's own test library for the native call scripts, and
        # sanitizers that stop at the first report with an exit status of their own.
        sanitizer = f"exitcode={SANITIZER_STATUS}:halt_on_error=1:print_stacktrace=1"
        self.environment = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "HOME": os.environ.get("HOME", "/tmp"),
            "LC_ALL": "C",
            "QUOLL_PCSC_LIBRARY": "/nonexistent/libpcsclite.so.1",
            "QT_QPA_PLATFORM": "offscreen",
            "LD_LIBRARY_PATH": os.path.join(os.path.dirname(binary), "tests", "native_calls"),
            "ASAN_OPTIONS": f"{sanitizer}:rss_limit_mb={MEMORY_LIMIT_MB}:"
                            f"max_allocation_size_mb={MEMORY_LIMIT_MB}:malloc_context_size=10",
            "UBSAN_OPTIONS": sanitizer,
        }

    def run(self, script, cwd, stdin, timeout):
        return run(self.binary, script, cwd, stdin, timeout, self.sanitized, self.environment)


class Outcome:
    def __init__(self, kind, status=None, stdout=b"", stderr=b"", note=""):
        self.kind, self.status, self.stdout, self.stderr, self.note = kind, status, stdout, stderr, note

    def summary(self):
        if self.kind == "done":
            last = self.stdout.rstrip(b"\r\n").rsplit(b"\n", 1)[-1].decode("latin-1")
            return f"exit {self.status}, last line '{last}'"
        return f"{self.kind} ({self.note})" if self.note else self.kind

    def describe(self):
        text = f"== {self.summary()}\n-- stdout:\n{self.stdout.decode('latin-1')}"
        if self.kind in ("crash", "memory"):
            text += f"\n-- stderr (end):\n{self.stderr.decode('latin-1')}"
        return text


def run(binary, script, cwd, stdin, timeout, sanitized, environment):
    """Runs binary on script in cwd with stdin (bytes); the process group dies at the limits."""
    limit_memory = None
    if not sanitized:  # a sanitizer reserves a huge address space; it checks RSS itself
        def limit_memory():
            size = MEMORY_LIMIT_MB << 20
            resource.setrlimit(resource.RLIMIT_AS, (size, size))
    proc = subprocess.Popen([binary, script], cwd=cwd, env=environment, stdin=subprocess.PIPE,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, start_new_session=True,
                            preexec_fn=limit_memory, bufsize=0)
    _running.add(proc.pid)
    try:
        proc.stdin.write(stdin)  # a few lines at most: the pipe takes them without blocking
    except BrokenPipeError:
        pass  # the script did not read them
    proc.stdin.close()
    out, err, stopped = bytearray(), bytearray(), ""
    deadline = time.monotonic() + timeout
    with selectors.DefaultSelector() as sel:
        sel.register(proc.stdout, selectors.EVENT_READ, out)
        sel.register(proc.stderr, selectors.EVENT_READ, err)
        while sel.get_map() and not stopped:
            left = deadline - time.monotonic()
            if left <= 0:
                stopped = f"timeout {timeout:g} s"
                break
            for key, _ in sel.select(left):
                data = os.read(key.fd, 65536)
                if not data:
                    sel.unregister(key.fileobj)
                    continue
                key.data.extend(data)
                if key.data is err and len(err) > 2 * STDERR_KEPT:
                    del err[:-STDERR_KEPT]
                if len(out) > OUTPUT_LIMIT:
                    stopped = f"more than {OUTPUT_LIMIT} bytes of output"
    if stopped:
        try:
            os.killpg(proc.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
    status = proc.wait()
    _running.discard(proc.pid)
    proc.stdout.close()
    proc.stderr.close()
    out, err = bytes(out[:OUTPUT_LIMIT]), bytes(err[-STDERR_KEPT:])
    if stopped:
        return Outcome("unfinished", stdout=out, stderr=err, note=stopped)
    if status < 0 or status == SANITIZER_STATUS or SANITIZER_REPORT.search(err):
        kind = "memory" if OUT_OF_MEMORY.search(err) else "crash"
        note = f"signal {-status}" if status < 0 else f"exit {status}"
        return Outcome(kind, status, out, err, note)
    return Outcome("done", status, out, err)


def complete_lines(data):
    return data[:data.rfind(b"\n") + 1]


def lines_agree(a, b):
    """Whether the complete lines of the shorter stdout begin the longer one."""
    shorter, longer = sorted((complete_lines(a.stdout), complete_lines(b.stdout)), key=len)
    return longer.startswith(shorter)


def same(a, b):
    """Whether two outcomes are what the same engine could have given; crashes never are."""
    if "crash" in (a.kind, b.kind):
        return False
    if a.kind == b.kind == "done":
        return a.status == b.status and a.stdout == b.stdout
    if a.kind == b.kind == "unfinished":
        return lines_agree(a, b)
    if a.kind == b.kind == "memory":
        return True
    # One engine ran out of memory where the other reported "out of memory" as the script's error.
    done, other = (a, b) if a.kind == "done" else (b, a)
    return (done.kind == "done" and other.kind == "memory" and done.status == 1
            and done.stdout.rstrip(b"\r\n").endswith(b" out of memory"))
