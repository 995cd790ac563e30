#!/usr/bin/env python3
"""The Debian package that `make package` builds: CPack makes it from the build, it holds what
an installation holds with stripped programs and compressed manual pages, it depends on pcscd and
on the libraries the programs link, and lintian finds no error in it.

Usage: package_test.py CPACK BUILD_DIR VERSION [--sanitized]"""
import os
import re
import subprocess
import sys
import tempfile

from layout import DOC, PROGRAMS, Checks, changelog_version, check_compressed, check_layout, run

SKIPPED = 77

cpack, build, version = sys.argv[1:4]
if "--sanitized" in sys.argv[4:]:
    print("skipped: packaging a sanitizer build is meaningless; the release build's test packages it")
    sys.exit(SKIPPED)

checks = Checks()
check = checks.check
arch = subprocess.run(["dpkg", "--print-architecture"], capture_output=True, text=True, check=True).stdout.strip()


def depends(deb):
    """The package names of the Depends field (alternatives included), without versions."""
    field = run(["dpkg-deb", "-f", deb, "Depends"]).stdout
    return {re.sub(r"\s*\(.*\)", "", alt).strip() for dep in field.split(",") for alt in dep.split("|")}


with tempfile.TemporaryDirectory() as out:
    p = run([cpack, "--config", os.path.join(build, "CPackConfig.cmake"), "-B", out])
    deb = os.path.join(out, f"quoll_{version}_{arch}.deb")
    if not check("cpack builds the package", p.returncode == 0 and os.path.isfile(deb), p.stdout + p.stderr):
        sys.exit(checks.finish())

    fields = {name: run(["dpkg-deb", "-f", deb, name]).stdout.strip() for name in ("Package", "Version", "Section")}
    check("package name, version and section", fields == {"Package": "quoll", "Version": version, "Section": "devel"},
          fields)
    deps = depends(deb)
    # pcscd and libpcsclite1 are named by hand (the library is loaded by name, not linked); the
    # Qt and C++ libraries come from dpkg-shlibdeps.
    for needed in ("pcscd", "libpcsclite1", "qt6-qpa-plugins", "libqt6widgets6", "libqt6core6", "libc6",
                   "libstdc++6"):
        check(f"Depends names {needed}", needed in deps, sorted(deps))
    check("Depends names QScintilla", any(d.startswith("libqscintilla2-qt6") for d in deps), sorted(deps))

    staging = os.path.join(out, "staging")
    p = run(["dpkg-deb", "-x", deb, staging])
    check("dpkg-deb extracts the package", p.returncode == 0, p.stderr)
    check_layout(checks, staging)
    for prog in PROGRAMS:
        path = os.path.join(staging, "usr/bin", prog)
        description = run(["file", "-b", path]).stdout
        check(f"{prog} is stripped", "ELF" in description and ", stripped" in description, description)
        check_compressed(checks, os.path.join(staging, f"usr/share/man/man1/{prog}.1.gz"))
    check("the changelog's newest entry is the package's version",
          changelog_version(os.path.join(staging, DOC, "changelog.gz")) == version)

    p = run(["lintian", "--fail-on", "error", deb])
    print(p.stdout, end="")
    check("lintian finds no error", p.returncode == 0 and not re.search(r"^E: ", p.stdout, re.M),
          f"{p.returncode} {p.stderr}")

sys.exit(checks.finish())
