#!/usr/bin/env python3
"""`cmake --install` into a temporary DESTDIR with the prefix /usr: the files land where the
desktop looks for them and are valid for its tools (desktop-file-validate, update-mime-database,
man), and the installed programs answer --version and --help.

Usage: install_test.py CMAKE BUILD_DIR VERSION"""
import os
import re
import shutil
import sys
import tempfile
import xml.etree.ElementTree as ET

from layout import (DESKTOP_ENTRY, DOC, EXAMPLES, ICON, MIME_TYPE, MIME_XML, PROGRAMS, Checks,
                    changelog_version, check_compressed, check_layout, run)

cmake, build, version = sys.argv[1:4]
source = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
checks = Checks()
check = checks.check


def desktop_entry(path):
    with open(path, encoding="utf-8") as f:
        return dict(line.rstrip("\n").split("=", 1) for line in f if "=" in line)


def best_glob_type(mime_dir, pattern):
    """The type update-mime-database's globs2 gives a pattern: the one of the highest weight."""
    best = (-1, None)
    with open(os.path.join(mime_dir, "globs2"), encoding="utf-8") as f:
        for line in f:
            fields = line.rstrip("\n").split(":")
            if len(fields) >= 3 and not line.startswith("#") and fields[2] == pattern:
                best = max(best, (int(fields[0]), fields[1]))
    return best[1]


def rendered_page(path):
    """The page as man shows it, and what groff warned about it."""
    env = dict(os.environ, LC_ALL="C.UTF-8", MANWIDTH="80")
    p = run(["man", "--warnings", "-l", path], env=env)
    return p.returncode, p.stdout, p.stderr


with tempfile.TemporaryDirectory() as dest:
    p = run([cmake, "--install", build, "--prefix", "/usr"], env=dict(os.environ, DESTDIR=dest))
    if not check("cmake --install succeeds", p.returncode == 0, p.stdout + p.stderr):
        sys.exit(checks.finish())
    check_layout(checks, dest)
    root = lambda rel: os.path.join(dest, rel)  # noqa: E731

    # The documentation folder holds the sources' own README and examples.
    for rel, src in [("README.md", "README.md")] + [(f"examples/{n}", f"examples/{n}") for n in EXAMPLES]:
        with open(root(f"{DOC}/{rel}"), "rb") as a, open(os.path.join(source, src), "rb") as b:
            check(f"{rel} is the source's", a.read() == b.read())
    check_compressed(checks, root(f"{DOC}/changelog.gz"))
    check("the changelog's newest entry is this version", changelog_version(root(f"{DOC}/changelog.gz")) == version,
          changelog_version(root(f"{DOC}/changelog.gz")))

    # The desktop entry: valid, starts the installed workbench with the files, names the icon
    # and the script type.
    p = run(["desktop-file-validate", root(DESKTOP_ENTRY)])
    check("desktop-file-validate accepts the entry", p.returncode == 0 and not (p.stdout + p.stderr).strip(),
          p.stdout + p.stderr)
    entry = desktop_entry(root(DESKTOP_ENTRY))
    check("the entry opens files with quoll", entry.get("Exec") == "quoll %F", entry.get("Exec"))
    check("the entry's icon is the installed one",
          entry.get("Icon") == os.path.splitext(os.path.basename(ICON))[0], entry.get("Icon"))
    check("the entry handles the script type", MIME_TYPE in entry.get("MimeType", "").split(";"),
          entry.get("MimeType"))

    # The MIME type: well-formed, accepted by update-mime-database, and a *.qs file is a Quoll
    # script even beside the freedesktop.org types (which also claim *.qs).
    p = run(["xmllint", "--noout", root(MIME_XML)])
    check("xmllint accepts the MIME XML", p.returncode == 0 and not p.stderr, p.stderr)
    mime_dir = os.path.join(dest, "mime-db")
    os.makedirs(os.path.join(mime_dir, "packages"))
    shutil.copy(root(MIME_XML), os.path.join(mime_dir, "packages"))
    system_types = "/usr/share/mime/packages/freedesktop.org.xml"
    if os.path.exists(system_types):
        shutil.copy(system_types, os.path.join(mime_dir, "packages"))
    p = run(["update-mime-database", "-V", mime_dir])
    check("update-mime-database accepts the MIME XML", p.returncode == 0 and "rror" not in p.stderr, p.stderr)
    if p.returncode == 0:
        check("*.qs is a Quoll script", best_glob_type(mime_dir, "*.qs") == MIME_TYPE,
              best_glob_type(mime_dir, "*.qs"))

    # The icon: a square SVG.
    svg = ET.parse(root(ICON)).getroot()
    box = svg.get("viewBox", "").split()
    check("the icon is an SVG with a square view box",
          svg.tag == "{http://www.w3.org/2000/svg}svg" and len(box) == 4 and box[2] == box[3], f"{svg.tag} {box}")

    # The programs and their manual pages. Each page renders without a warning, shows this
    # version and names every long option that the program's --help names.
    for prog in PROGRAMS:
        exe = root(f"usr/bin/{prog}")
        p = run([exe, "--version"])
        check(f"{prog} --version", p.returncode == 0 and p.stdout == f"{prog} {version}\n" and not p.stderr,
              f"{p.returncode} {p.stdout!r} {p.stderr!r}")
        with open("/dev/full", "w") as full:
            for arg in ("--version", "--help"):
                q = run([exe, arg], stdout=full)
                check(f"{prog} {arg} to a full standard output exits 3 with the reason",
                      q.returncode == 3 and "cannot write to standard output" in q.stderr, f"{q.returncode} {q.stderr!r}")
        help_run = run([exe, "--help"])
        check(f"{prog} --help", help_run.returncode == 0 and help_run.stdout.startswith(f"Usage: {prog} "),
              f"{help_run.returncode} {help_run.stdout!r}")

        page = root(f"usr/share/man/man1/{prog}.1.gz")
        check_compressed(checks, page)
        code, text, warnings = rendered_page(page)
        check(f"man renders {prog}(1) without warnings", code == 0 and not warnings, f"{code} {warnings!r}")
        check(f"{prog}(1) names the program and this version",
              re.search(rf"^NAME\n\s+{re.escape(prog)} - ", text, re.M) and f"Quoll {version}" in text, text[:300])
        for option in sorted(set(re.findall(r"(?<![\w-])--[a-z][a-z0-9-]*", help_run.stdout))):
            check(f"{prog}(1) describes {option}", option in text)

    # The workbench rejects an unknown option rather than opening a file of that name; Qt takes
    # its own options (-platform) out first.
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    p = run([root("usr/bin/quoll"), "-platform", "offscreen", "--no-such-option"], env=env)
    check("quoll rejects an unknown option", p.returncode == 2 and "unknown option --no-such-option" in p.stderr,
          f"{p.returncode} {p.stderr!r}")

sys.exit(checks.finish())
