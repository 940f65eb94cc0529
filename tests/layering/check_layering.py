#!/usr/bin/env python3
"""Checks that includes under src/ point down the layers only.

Portable code (the folders named on the command line, and the service interfaces platform/*.h)
includes only the standard library, nlohmann-json and other portable code: no Qt, no operating-system
headers, nothing of the Linux services, the shell or the interface. A platform service
(platform/<backend>/) knows no product code beyond the identifiers and table formats it stores.
The interface (ui/) does not reach up into the shell.

Usage: check_layering.py SOURCE_ROOT PORTABLE_FOLDER...
Prints one line per offending include and exits 1 when there is any.
"""
import pathlib
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
SOURCE_SUFFIXES = {".h", ".hpp", ".cpp"}
# What a platform service may know of the product: the application identifiers and the brightness
# table format it stores.
ADAPTER_MAY_USE = {"prefs", "logo"}
UPPER_TIERS = {"shell", "ui"}


def tier_of(relative, portable):
    parts = relative.parts
    if parts[0] in portable:
        return "portable"
    if parts[0] == "platform":
        return "portable" if len(parts) == 2 else "adapter"
    if parts[0] in UPPER_TIERS:
        return parts[0]
    return "entry"


def portable_angle_include_allowed(name):
    # Standard headers have no extension; Qt's start with a capital Q.
    if name.startswith("nlohmann/"):
        return True
    return "." not in name and "/" not in name and not name.startswith("Q")


def offence(tier, kind, name, portable):
    first = name.split("/")[0]
    if tier == "portable":
        if kind == "<" and not portable_angle_include_allowed(name):
            return "portable code includes a Qt or system header"
        if kind == '"' and (first in UPPER_TIERS or (first == "platform" and name.count("/") > 1)):
            return "portable code includes a platform backend, the shell or the interface"
    if tier == "adapter" and kind == '"':
        if first in UPPER_TIERS or (first in portable and first not in ADAPTER_MAY_USE):
            return "a platform service includes product code"
    if tier == "ui" and kind == '"' and first == "shell":
        return "the interface includes the shell"
    return None


def check(root, portable):
    problems = []
    for path in sorted(root.rglob("*")):
        if path.suffix not in SOURCE_SUFFIXES or not path.is_file():
            continue
        relative = path.relative_to(root)
        tier = tier_of(relative, portable)
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            kind, name = match.groups()
            reason = offence(tier, kind, name, portable)
            if reason:
                problems.append(f"{relative}:{number}: {reason}: {line.strip()}")
    return problems


def main(arguments):
    if len(arguments) < 2:
        print("usage: check_layering.py SOURCE_ROOT PORTABLE_FOLDER...", file=sys.stderr)
        return 2
    root = pathlib.Path(arguments[0])
    if not root.is_dir():
        print(f"check_layering: no such folder: {root}", file=sys.stderr)
        return 2
    problems = check(root, set(arguments[1:]))
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
