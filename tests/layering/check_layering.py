#!/usr/bin/env python3
"""Checks that includes under src/ point down the floors of the house only.

Every folder of src/ stands on a floor, and a file includes only from its own floor or from the
floors below it (the FLOORS table below: each floor names those directly beneath it). At the
bottom lie the shared formats and, on them, the platform interfaces. Two columns rise from the
interfaces: the product's logic (prefs and logo, the rules, the application, its doors) and the
Linux side (utilities, then the services and the logo devices). Neither reaches into the other;
the interface (ui) stands on both, the shell on the interface, and main.cpp on the shell. The
portable floors (formats, interfaces and the logic) also include no Qt and no operating-system
header, which is what lets the logic run on the fakes.

Usage: check_layering.py SOURCE_ROOT PORTABLE_FOLDER...
The portable folders are those the build compiles as portable logic; each must stand on a
portable floor. Prints one line per offending include or folder and exits 1 when there is any.
"""
import pathlib
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
SOURCE_SUFFIXES = {".h", ".hpp", ".cpp"}

# Floor name -> (folders on it, the floors directly beneath it, whether it is portable).
FLOORS = {
    "formats": (["formats"], [], True),
    "interfaces": (["platform/interfaces"], ["formats"], True),
    "store and logo": (["prefs", "logo"], ["interfaces"], True),
    "rules": (["automation", "attention", "maintenance", "updates", "hooks"], ["store and logo"], True),
    "application": (["app"], ["rules"], True),
    "doors": (["cli", "menubar", "windows", "shortcuts"], ["application"], True),
    "linux utilities": (["platform/linux_utilities"], ["interfaces"], False),
    "linux services and devices": (["platform/linux_services", "platform/devices"], ["linux utilities"], False),
    "ui": (["ui"], ["doors", "linux services and devices"], False),
    "shell": (["shell"], ["ui"], False),
    "entry": (["main.cpp"], ["shell"], False),
}


def reachable(floor):
    """The floors a file on `floor` may include from: its own and every floor beneath it."""
    seen, stack = {floor}, [floor]
    while stack:
        for lower in FLOORS[stack.pop()][1]:
            if lower not in seen:
                seen.add(lower)
                stack.append(lower)
    return seen


def floor_of(relative_name):
    """The floor of a path relative to src/, by its longest matching folder; None when unplaced."""
    best, best_length = None, -1
    for floor, (folders, _, _) in FLOORS.items():
        for folder in folders:
            if (relative_name == folder or relative_name.startswith(folder + "/")) and len(folder) > best_length:
                best, best_length = floor, len(folder)
    return best


def portable_angle_include_allowed(name):
    # Standard headers have no extension; Qt's start with a capital Q. The two portable libraries
    # are nlohmann-json and pugixml (the update feed reader).
    if name.startswith("nlohmann/") or name == "pugixml.hpp":
        return True
    return "." not in name and "/" not in name and not name.startswith("Q")


def offence(floor, kind, name):
    if kind == "<":
        if FLOORS[floor][2] and not portable_angle_include_allowed(name):
            return "portable code includes a Qt or system header"
        return None
    if "/" not in name:
        return None  # a header beside the file or generated beside it
    target = floor_of(name)
    if target is None or target in reachable(floor):
        return None
    return f"the {floor} floor includes from the {target} floor, which is not beneath it"


def unplaced_folders(root, portable):
    problems = [f"{folder}: portable folder on no portable floor" for folder in sorted(portable)
                if (root / folder).is_dir() and not (floor_of(folder) and FLOORS[floor_of(folder)][2])]
    for path in sorted(root.iterdir()):
        name = path.name if path.is_dir() else None
        if name == "platform":
            problems += [f"platform/{sub.name}: folder on no floor" for sub in sorted(path.iterdir())
                         if sub.is_dir() and floor_of(f"platform/{sub.name}") is None]
        elif name and floor_of(name) is None:
            problems.append(f"{name}: folder on no floor")
    return problems


def check(root, portable):
    problems = unplaced_folders(root, portable)
    for path in sorted(root.rglob("*")):
        if path.suffix not in SOURCE_SUFFIXES or not path.is_file():
            continue
        relative = path.relative_to(root)
        floor = floor_of(relative.as_posix())
        if floor is None:
            if len(relative.parts) == 1:
                problems.append(f"{relative}: file on no floor")
            continue  # a file in a folder on no floor is reported with its folder
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            reason = offence(floor, *match.groups())
            if reason:
                problems.append(f"{relative}:{number}: {reason}: {line.strip()}")
    return problems


def main(arguments):
    if len(arguments) < 1:
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
