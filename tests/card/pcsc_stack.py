#!/usr/bin/env python3
"""Starts and stops the PC/SC stack that the card tests and `make demo` run against: pcscd (only
when its socket is absent) with the vpcd reader driver, and quoll-vcard inserted into the reader
"Virtual PCD 00 00" (TCP 127.0.0.1:35963). Only what this script started is stopped.

  pcsc_stack.py start --state FILE --vcard PATH   start, wait until the card answers, record pids
  pcsc_stack.py stop --state FILE                 stop what `start` recorded
  pcsc_stack.py run --vcard PATH -- COMMAND...    start, run COMMAND, stop; COMMAND's exit status
  pcsc_stack.py remove --state FILE               take the card out, wait until the reader is empty
  pcsc_stack.py insert --state FILE               put it back, wait until it answers
  pcsc_stack.py stop-service --state FILE         stop the pcscd `start` started (refused otherwise)
  pcsc_stack.py start-service --state FILE        start it and the card again after stop-service

Tests import it for `remove_card` and `insert_card`, which do the same with a state `start` wrote,
for `stop_service` and `start_service`, which stop and start again the pcscd that `start` started
(never another one: they refuse when `start` found a pcscd running), and for `insert_second_card`,
a second quoll-vcard in "Virtual PCD 00 01" (TCP 35964) that `stop` stops too.
"""

import argparse
import ctypes
import json
import os
import signal
import socket
import subprocess
import sys
import tempfile
import time

PCSCD_SOCKET = "/run/pcscd/pcscd.comm"
READER = b"Virtual PCD 00 00"
SECOND_READER = b"Virtual PCD 00 01"
VCARD_PORT = 35963
SECOND_VCARD_PORT = 35964
WAIT_SECONDS = 15


def pcscd_listening():
    """Whether a pcscd answers on its socket (a stale socket file does not count)."""
    if not os.path.exists(PCSCD_SOCKET):
        return False
    with socket.socket(socket.AF_UNIX, socket.SOCK_STREAM) as s:
        try:
            s.connect(PCSCD_SOCKET)
            return True
        except OSError:
            return False


def card_answers(pcsc, reader=READER):
    """Whether the card in the virtual reader accepts a connection right now."""
    context = ctypes.c_long()
    if pcsc.SCardEstablishContext(0, None, None, ctypes.byref(context)) != 0:
        return False
    try:
        card, protocol = ctypes.c_long(), ctypes.c_ulong()
        rv = pcsc.SCardConnect(context, reader, 2, 3, ctypes.byref(card), ctypes.byref(protocol))
        if rv != 0:
            return False
        pcsc.SCardDisconnect(card, 0)
        return True
    finally:
        pcsc.SCardReleaseContext(context)


SCARD_STATE_EMPTY = 0x10
SCARD_STATE_PRESENT = 0x20


class ReaderState(ctypes.Structure):
    """pcsc-lite's SCARD_READERSTATE (DWORD is unsigned long there)."""
    _fields_ = [("reader", ctypes.c_char_p), ("user_data", ctypes.c_void_p),
                ("current_state", ctypes.c_ulong), ("event_state", ctypes.c_ulong),
                ("atr_length", ctypes.c_ulong), ("atr", ctypes.c_ubyte * 33)]


def reader_is_empty(pcsc, reader=READER):
    """Whether pcscd reports no card in READER (the first virtual reader) right now."""
    context = ctypes.c_long()
    if pcsc.SCardEstablishContext(0, None, None, ctypes.byref(context)) != 0:
        return False
    try:
        state = ReaderState(reader, None, 0, 0, 0)  # current state unaware: answers at once
        if pcsc.SCardGetStatusChange(context, ctypes.c_ulong(0), ctypes.byref(state), ctypes.c_ulong(1)) != 0:
            return False
        return bool(state.event_state & SCARD_STATE_EMPTY) and not state.event_state & SCARD_STATE_PRESENT
    finally:
        pcsc.SCardReleaseContext(context)


def load_pcsc():
    return ctypes.CDLL(os.environ.get("QUOLL_PCSC_LIBRARY") or "libpcsclite.so.1")


def signal_card(state, signum):
    pid = state.get("vcard")
    if not pid or not is_our_process(pid, "quoll-vcard"):
        raise RuntimeError("the virtual card that `start` recorded is not running")
    os.kill(pid, signum)


def remove_card(state):
    """Takes the virtual card out of its reader (quoll-vcard's SIGUSR1) and waits until pcscd
    reports the reader empty."""
    signal_card(state, signal.SIGUSR1)
    pcsc = load_pcsc()
    wait_for(lambda: reader_is_empty(pcsc), "the reader " + READER.decode() + " to be empty")


def insert_card(state):
    """Puts the virtual card back (quoll-vcard's SIGUSR2) and waits until it accepts a connection."""
    signal_card(state, signal.SIGUSR2)
    pcsc = load_pcsc()
    wait_for(lambda: card_answers(pcsc), "the virtual card in " + READER.decode())


def read_state(path):
    with open(path) as f:
        return json.load(f)


def write_state(path, state):
    with open(path, "w") as f:
        json.dump(state, f)


def stop_service(state):
    """Stops the pcscd that `start` started (its card leaves with it) and waits until no pcscd
    answers. Refuses a pcscd that `start` found running: it is someone else's."""
    if not state.get("pcscd"):
        raise RuntimeError("pcscd was not started by this stack; it is not ours to stop")
    stop_process(state.get("vcard2"), "quoll-vcard")
    stop_process(state.get("pcscd"), "pcscd")
    stop_process(state.get("vcard"), "quoll-vcard")
    state["pcscd"] = state["vcard"] = state["vcard2"] = None
    state["stopped_by_test"] = True
    wait_for(lambda: not pcscd_listening(), "pcscd to stop")


def start_service(state):
    """Starts pcscd and the virtual card again after `stop_service`; the state records the new
    processes, so `stop` stops them."""
    if not state.pop("stopped_by_test", False):
        raise RuntimeError("start_service follows stop_service")
    started = start(state["vcard_path"], state["log_dir"])
    state.update(started)


def insert_second_card(state):
    """A second virtual card in the second reader; waits until it answers."""
    log = open(os.path.join(state["log_dir"], "quoll-vcard-2.log"), "wb")
    proc = subprocess.Popen([state["vcard_path"], "--port", str(SECOND_VCARD_PORT)], stdout=log,
                            stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL, start_new_session=True)
    state["vcard2"] = proc.pid
    pcsc = load_pcsc()
    wait_for(lambda: card_answers(pcsc, SECOND_READER), "the virtual card in " + SECOND_READER.decode())


def remove_second_card(state):
    """Ends the second virtual card and waits until pcscd reports its reader empty, so the next
    test does not see the card that was there."""
    had_card = bool(state.get("vcard2"))
    stop_process(state.get("vcard2"), "quoll-vcard")
    state["vcard2"] = None
    if had_card and pcscd_listening():
        pcsc = load_pcsc()
        wait_for(lambda: reader_is_empty(pcsc, SECOND_READER), "the reader " + SECOND_READER.decode() + " to be empty")


def wait_for(condition, what):
    deadline = time.monotonic() + WAIT_SECONDS
    while not condition():
        if time.monotonic() > deadline:
            raise RuntimeError(f"timed out waiting for {what}")
        time.sleep(0.05)


def is_our_process(pid, name):
    """Guards against a recycled pid: the process must still run the program we started."""
    try:
        with open(f"/proc/{pid}/cmdline", "rb") as f:
            return name.encode() in f.read()
    except OSError:
        return False


def stop_process(pid, name):
    if not pid or not is_our_process(pid, name):
        return
    os.kill(pid, signal.SIGTERM)
    deadline = time.monotonic() + 5
    # A process that has ended (a zombie too) has no command line left.
    while is_our_process(pid, name):
        if time.monotonic() > deadline:
            os.kill(pid, signal.SIGKILL)
            break
        time.sleep(0.05)
    try:
        os.waitpid(pid, 0)  # reaps it when it is our child (`run`)
    except ChildProcessError:
        pass


def start(vcard, log_dir):
    state = {"pcscd": None, "vcard": None, "vcard2": None, "vcard_path": vcard, "log_dir": log_dir}
    try:
        if not pcscd_listening():
            # A socket nobody answers on is left by a pcscd that was killed; pcscd refuses to
            # start next to it while its recorded pid still exists (an unreaped zombie).
            for stale in (PCSCD_SOCKET, os.path.join(os.path.dirname(PCSCD_SOCKET), "pcscd.pid")):
                if os.path.exists(stale):
                    os.remove(stale)
            log = open(os.path.join(log_dir, "pcscd.log"), "wb")
            proc = subprocess.Popen(["pcscd", "--foreground"], stdout=log, stderr=subprocess.STDOUT,
                                    stdin=subprocess.DEVNULL, start_new_session=True)
            state["pcscd"] = proc.pid
            wait_for(lambda: pcscd_listening() or proc.poll() is not None, "pcscd to listen")
            if proc.poll() is not None:
                raise RuntimeError(f"pcscd exited with status {proc.returncode}; see {log.name}")
        log = open(os.path.join(log_dir, "quoll-vcard.log"), "wb")
        proc = subprocess.Popen([vcard, "--port", str(VCARD_PORT)], stdout=log, stderr=subprocess.STDOUT,
                                stdin=subprocess.DEVNULL, start_new_session=True)
        state["vcard"] = proc.pid
        pcsc = load_pcsc()
        wait_for(lambda: card_answers(pcsc), "the virtual card in " + READER.decode())
    except Exception:
        stop(state)
        raise
    return state


def stop(state):
    # The card first: it leaves by itself when pcscd goes, but a pcscd we did not start stays.
    stop_process(state.get("vcard2"), "quoll-vcard")
    stop_process(state.get("vcard"), "quoll-vcard")
    stop_process(state.get("pcscd"), "pcscd")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("action", choices=["start", "stop", "run", "remove", "insert", "stop-service",
                                           "start-service"])
    parser.add_argument("--state", help="file recording what was started")
    parser.add_argument("--vcard", help="path of quoll-vcard")
    argv = sys.argv[1:]
    command = argv[argv.index("--") + 1:] if "--" in argv else []
    args = parser.parse_args(argv[:argv.index("--")] if "--" in argv else argv)

    if args.action == "start":
        state = start(os.path.abspath(args.vcard), os.path.dirname(os.path.abspath(args.state)))
        with open(args.state, "w") as f:
            json.dump(state, f)
        started = [name for name in ("pcscd", "vcard") if state[name]]
        print("started: " + (", ".join(started) or "nothing"))
        return 0
    if args.action in ("stop-service", "start-service"):
        state = read_state(args.state)
        try:
            (stop_service if args.action == "stop-service" else start_service)(state)
        finally:
            write_state(args.state, state)
        return 0
    if args.action in ("remove", "insert"):
        (remove_card if args.action == "remove" else insert_card)(read_state(args.state))
        return 0
    if args.action == "stop":
        try:
            state = read_state(args.state)
        except OSError:
            return 0
        stop(state)
        os.remove(args.state)
        return 0
    with tempfile.TemporaryDirectory() as log_dir:
        state = start(os.path.abspath(args.vcard), log_dir)
        try:
            return subprocess.call(command)
        finally:
            stop(state)


if __name__ == "__main__":
    try:
        sys.exit(main())
    except RuntimeError as e:
        print(f"pcsc_stack.py: {e}", file=sys.stderr)
        sys.exit(1)
