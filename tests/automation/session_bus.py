#!/usr/bin/env python3
"""Starts and stops the private session bus that the automation tests run against: a dbus-daemon
of its own configuration, listening in a fresh temporary folder, that starts the services
described in SERVICES (a folder of .service files) when a client first asks for their names.
Only what this script started is stopped; the services it activated leave when the bus goes.

  session_bus.py start --state FILE --address-file FILE --services DIR
        start the bus, write its address (one line) to --address-file, record it in --state
  session_bus.py stop --state FILE
        stop the bus that `start` recorded, remove its folder and the address file
  session_bus.py run --services DIR -- COMMAND...
        start, run COMMAND with DBUS_SESSION_BUS_ADDRESS and DBUS_SYSTEM_BUS_ADDRESS (both the
        private bus) and QUOLL_TEST_BUS_ADDRESS_FILE set, stop; COMMAND's exit status

The tests find the address through QUOLL_TEST_BUS_ADDRESS_FILE, so a developer's own session
bus is never used by accident.
"""

import argparse
import json
import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

WAIT_SECONDS = 15

CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <keep_umask/>
  <listen>unix:dir={folder}</listen>
  <servicedir>{services}</servicedir>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
"""


def xml_text(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def read_address(fd, proc):
    """The first line dbus-daemon prints on the address pipe, once it listens."""
    deadline = time.monotonic() + WAIT_SECONDS
    data = b""
    while b"\n" not in data:
        left = deadline - time.monotonic()
        if left <= 0:
            raise RuntimeError("timed out waiting for dbus-daemon's address")
        ready, _, _ = select.select([fd], [], [], min(left, 0.1))
        if ready:
            chunk = os.read(fd, 4096)
            if not chunk:
                break
            data += chunk
        elif proc.poll() is not None:
            break
    if b"\n" not in data:
        raise RuntimeError(f"dbus-daemon exited with status {proc.poll()} before it listened")
    return data.split(b"\n", 1)[0].decode()


def is_our_daemon(pid, config):
    """Guards against a recycled pid: the process must still be the daemon of our configuration."""
    try:
        with open(f"/proc/{pid}/cmdline", "rb") as f:
            return config.encode() in f.read()
    except OSError:
        return False


def start(services):
    folder = tempfile.mkdtemp(prefix="quoll-bus-")
    config = os.path.join(folder, "bus.conf")
    with open(config, "w") as f:
        f.write(CONFIG.format(folder=xml_text(folder), services=xml_text(os.path.abspath(services))))
    read_end, write_end = os.pipe()
    try:
        with open(os.path.join(folder, "dbus-daemon.log"), "wb") as log:
            proc = subprocess.Popen(
                ["dbus-daemon", f"--config-file={config}", f"--print-address={write_end}", "--nofork",
                 "--nopidfile"],
                stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT, pass_fds=(write_end,),
                start_new_session=True)
        os.close(write_end)
        write_end = -1
        try:
            address = read_address(read_end, proc)
        except Exception:
            stop({"pid": proc.pid, "config": config, "folder": folder})
            raise
    finally:
        os.close(read_end)
        if write_end >= 0:
            os.close(write_end)
    return {"pid": proc.pid, "config": config, "folder": folder, "address": address}


def stop(state):
    pid, config = state.get("pid"), state.get("config", "")
    if pid and is_our_daemon(pid, config):
        os.kill(pid, signal.SIGTERM)
        deadline = time.monotonic() + 5
        while is_our_daemon(pid, config):  # an ended process (a zombie too) has no command line
            if time.monotonic() > deadline:
                os.kill(pid, signal.SIGKILL)
                break
            time.sleep(0.05)
        try:
            os.waitpid(pid, 0)  # reaps it when it is our child (`run`)
        except ChildProcessError:
            pass
    folder = state.get("folder")
    if folder and os.path.basename(folder).startswith("quoll-bus-"):
        shutil.rmtree(folder, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("action", choices=["start", "stop", "run"])
    parser.add_argument("--state", help="file recording what was started")
    parser.add_argument("--address-file", help="file to write the bus address to")
    parser.add_argument("--services", help="folder of the .service files the bus may start")
    argv = sys.argv[1:]
    command = argv[argv.index("--") + 1:] if "--" in argv else []
    args = parser.parse_args(argv[:argv.index("--")] if "--" in argv else argv)

    if args.action == "start":
        state = start(args.services)
        state["address_file"] = os.path.abspath(args.address_file)
        with open(args.address_file, "w") as f:
            f.write(state["address"] + "\n")
        with open(args.state, "w") as f:
            json.dump(state, f)
        print("started dbus-daemon at " + state["address"])
        return 0
    if args.action == "stop":
        try:
            with open(args.state) as f:
                state = json.load(f)
        except OSError:
            return 0
        stop(state)
        for path in (state.get("address_file"), args.state):
            if path and os.path.exists(path):
                os.remove(path)
        return 0
    state = start(args.services)
    try:
        address_file = os.path.join(state["folder"], "address")
        with open(address_file, "w") as f:
            f.write(state["address"] + "\n")
        # The system bus is the private bus too, so that no test reaches the machine's own.
        env = dict(os.environ, DBUS_SESSION_BUS_ADDRESS=state["address"],
                   DBUS_SYSTEM_BUS_ADDRESS=state["address"], QUOLL_TEST_BUS_ADDRESS_FILE=address_file)
        return subprocess.call(command, env=env)
    finally:
        stop(state)


if __name__ == "__main__":
    try:
        sys.exit(main())
    except RuntimeError as e:
        print(f"session_bus.py: {e}", file=sys.stderr)
        sys.exit(1)
