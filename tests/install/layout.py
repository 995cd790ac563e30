"""What an installation under the prefix /usr holds, shared by the install and package tests."""
import gzip
import os
import re
import subprocess

PROGRAMS = ["quoll", "quoll-run", "quoll-vcard"]
DOC = "usr/share/doc/quoll"
DESKTOP_ENTRY = "usr/share/applications/quoll.desktop"
MIME_XML = "usr/share/mime/packages/quoll.xml"
ICON = "usr/share/icons/hicolor/scalable/apps/quoll.svg"
MIME_TYPE = "text/x-quoll-script"

EXAMPLES = ("apdu_form.qs", "automation.qs", "demo.qs", "hello.qs", "shared_library.qs", "triangle.qs")

FILES = (
    [f"usr/bin/{p}" for p in PROGRAMS]
    + [f"usr/share/man/man1/{p}.1.gz" for p in PROGRAMS]
    + [DESKTOP_ENTRY, MIME_XML, ICON]
    + [f"{DOC}/{name}" for name in ("README.md", "copyright", "changelog.gz")]
    + [f"{DOC}/examples/{name}" for name in EXAMPLES]
    + ["usr/lib/quoll/quoll-forms-qt.so"]  # the toolkit quoll-run loads for script forms
)


class Checks:
    """Collects failed checks, so one run reports all of them."""

    def __init__(self):
        self.failures = []

    def check(self, name, cond, detail=""):
        if not cond:
            self.failures.append(f"{name}: {detail}")
        return cond

    def finish(self):
        for f in self.failures:
            print("FAIL", f)
        print("ok" if not self.failures else f"{len(self.failures)} failed")
        return 1 if self.failures else 0


def installed_files(root):
    """Every file and symbolic link below root, as paths relative to it."""
    found = []
    for top, _, names in os.walk(root):
        found += [os.path.relpath(os.path.join(top, n), root) for n in names]
    return sorted(found)


def check_layout(checks, root):
    """The expected files are there, and nothing else; programs are executable."""
    found = installed_files(root)
    checks.check("installed files", found == sorted(FILES),
                 f"missing {sorted(set(FILES) - set(found))}, unexpected {sorted(set(found) - set(FILES))}")
    for p in PROGRAMS:
        path = os.path.join(root, "usr/bin", p)
        checks.check(f"{p} is executable", os.access(path, os.X_OK), path)
    for name in FILES:
        path = os.path.join(root, name)
        if os.path.isfile(path) and not name.startswith("usr/bin/"):
            checks.check(f"{name} is readable by all, not executable",
                         os.stat(path).st_mode & 0o777 == 0o644, oct(os.stat(path).st_mode))


def check_compressed(checks, path):
    """gzip -9n: no name or time stamp in the header, so builds give the same bytes."""
    with open(path, "rb") as f:
        header = f.read(10)
    checks.check(f"{path} is gzip-compressed without a time stamp",
                 header[:2] == b"\x1f\x8b" and header[4:8] == b"\0\0\0\0" and not header[3] & 0x08,
                 header.hex())


def changelog_version(path):
    """The version of the newest entry of a Debian changelog."""
    with gzip.open(path, "rt", encoding="utf-8") as f:
        m = re.match(r"quoll \(([^)]+)\) ", f.readline())
    return m.group(1) if m else None


def run(args, stdout=subprocess.PIPE, **kwargs):
    return subprocess.run(args, stdout=stdout, stderr=subprocess.PIPE, text=True, timeout=60, **kwargs)
