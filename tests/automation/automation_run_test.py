#!/usr/bin/env python3
"""quoll-run and the buses, in the environments golden scripts cannot set up:

- a script without CreateOleObject opens no bus connection: both bus addresses name sockets this
  test listens on, and nobody connects (a script that does create an object is seen connecting);
- no session bus at all, and a bus that hangs up, are errors of CreateOleObject with the reason;
- `system:` reaches the system bus, not the session bus;
- examples/automation.qs prints the bus's identity and its names.

Usage: automation_run_test.py --runner PATH/quoll-run --services DIR --example FILE
"""

import argparse
import os
import re
import socket
import subprocess
import sys
import tempfile
import threading

import session_bus

TIMEOUT_SECONDS = 60
RUNNING = "Script is running."
FINISHED = "Script finished, no errors."


class Checks:
    def __init__(self):
        self.failures = []

    def check(self, name, cond, detail=""):
        if not cond:
            self.failures.append(f"{name}: {detail}".rstrip(": "))
        print(("ok   " if cond else "FAIL ") + name)
        return cond

    def finish(self):
        for failure in self.failures:
            print("FAILED " + failure)
        return 1 if self.failures else 0


def run_script(runner, folder, text, env):
    """Runs a script text through quoll-run; (exit status, stdout lines)."""
    path = os.path.join(folder, "script.qs")
    with open(path, "w") as f:
        f.write(text)
    proc = subprocess.run([runner, path], stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, env=env, timeout=TIMEOUT_SECONDS)
    return proc.returncode, proc.stdout.decode("latin-1").splitlines()


def listening_socket(folder, name):
    """A unix socket that accepts nobody by itself; connects wait in its backlog."""
    path = os.path.join(folder, name)
    sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    sock.bind(path)
    sock.listen(8)
    sock.setblocking(False)
    return sock, "unix:path=" + path


def connection_waiting(sock):
    try:
        conn, _ = sock.accept()
    except BlockingIOError:
        return False
    conn.close()
    return True


def hang_up_on_everyone(sock, stop):
    """Accepts every connection and closes it at once, until `stop` is set."""
    sock.settimeout(0.05)
    while not stop.is_set():
        try:
            conn, _ = sock.accept()
            conn.close()
        except (socket.timeout, BlockingIOError):
            pass


NO_AUTOMATION = """program NoAutomation;
var O: IDispatch;
begin
  if not Assigned(O) then Writeln('no object made');
end.
"""

CREATES = """program Creates;
begin
  CreateOleObject('org.quoll.TestServer');
end.
"""

SESSION_THEN_SYSTEM = """program SessionThenSystem;
var O: IDispatch;
begin
  O := CreateOleObject('org.quoll.TestServer');
  Writeln(IntToStr(O.Count));
  O := CreateOleObject('system:org.quoll.TestServer');
end.
"""


def check_no_connection_without_objects(checks, runner, folder):
    session, session_address = listening_socket(folder, "session")
    system, system_address = listening_socket(folder, "system")
    env = dict(os.environ, DBUS_SESSION_BUS_ADDRESS=session_address, DBUS_SYSTEM_BUS_ADDRESS=system_address)
    try:
        status, lines = run_script(runner, folder, NO_AUTOMATION, env)
        checks.check("a script without CreateOleObject runs as ever",
                     status == 0 and lines == [RUNNING, "no object made", FINISHED], f"{status} {lines}")
        checks.check("it connects to no session bus", not connection_waiting(session))
        checks.check("it connects to no system bus", not connection_waiting(system))

        # The same sockets do see a script that creates an object; it fails when the bus hangs up.
        stop = threading.Event()
        server = threading.Thread(target=hang_up_on_everyone, args=(session, stop))
        server.start()
        try:
            status, lines = run_script(runner, folder, CREATES, env)
        finally:
            stop.set()
            server.join()
        checks.check("a script that creates an object connects, and a bus that hangs up is its error",
                     status == 1 and len(lines) == 2 and lines[1].startswith("Error in CREATES(")
                     and ") could not create ole object:" in lines[1], f"{status} {lines}")
    finally:
        session.close()
        system.close()


def check_no_session_bus(checks, runner, folder):
    env = {k: v for k, v in os.environ.items() if k not in ("DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR")}
    status, lines = run_script(runner, folder, CREATES, env)
    expected = ("could not create ole object:could not connect to the session bus: neither "
                "DBUS_SESSION_BUS_ADDRESS nor XDG_RUNTIME_DIR is set")
    checks.check("without any session bus CreateOleObject says why",
                 status == 1 and lines[-1:] and lines[-1].endswith(") " + expected), f"{status} {lines}")


def check_system_bus_apart(checks, runner, folder, bus):
    env = dict(os.environ, DBUS_SESSION_BUS_ADDRESS=bus["address"],
               DBUS_SYSTEM_BUS_ADDRESS="unix:path=" + os.path.join(folder, "no-such-socket"))
    status, lines = run_script(runner, folder, SESSION_THEN_SYSTEM, env)
    expected = "could not create ole object:could not connect to the system bus: No such file or directory"
    checks.check("system: goes to the system bus, not to the session bus",
                 status == 1 and lines[:2] == [RUNNING, "7"] and len(lines) == 3
                 and lines[2].endswith(") " + expected), f"{status} {lines}")


def check_example(checks, runner, example, bus):
    env = dict(os.environ, DBUS_SESSION_BUS_ADDRESS=bus["address"], DBUS_SYSTEM_BUS_ADDRESS=bus["address"])
    proc = subprocess.run([runner, example], stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, env=env, timeout=TIMEOUT_SECONDS)
    lines = proc.stdout.decode("latin-1").splitlines()
    checks.check("the example runs",
                 proc.returncode == 0 and lines[:1] == [RUNNING] and lines[-1:] == [FINISHED],
                 f"{proc.returncode} {lines}")
    checks.check("the example prints the bus's identity",
                 len(lines) > 1 and re.fullmatch(r"Bus id: [0-9a-f]{32}", lines[1]) is not None, f"{lines}")
    names = [line.strip() for line in lines[3:-1]]
    count = re.fullmatch(r"Names on the bus: (\d+)", lines[2]) if len(lines) > 2 else None
    checks.check("the example lists the names on the bus",
                 count is not None and int(count.group(1)) == len(names) and "org.freedesktop.DBus" in names,
                 f"{lines}")


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--runner", required=True)
    parser.add_argument("--services", required=True)
    parser.add_argument("--example", required=True)
    args = parser.parse_args()
    runner = os.path.abspath(args.runner)
    checks = Checks()
    with tempfile.TemporaryDirectory(prefix="quoll-automation-") as folder:
        check_no_connection_without_objects(checks, runner, folder)
        check_no_session_bus(checks, runner, folder)
        bus = session_bus.start(args.services)
        try:
            check_system_bus_apart(checks, runner, folder, bus)
            check_example(checks, runner, os.path.abspath(args.example), bus)
        finally:
            session_bus.stop(bus)
    return checks.finish()


if __name__ == "__main__":
    sys.exit(main())
