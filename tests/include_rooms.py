# SPDX-License-Identifier: MIT
"""Checks that each folder includes only from the folders it is built on.

The rooms of lcs/ stand in layers: the kernels know nothing above them, the
classic family uses at most the kernels, the one-pair layer is built on the
kernels, and the many-pair layer on the kernels and the one-pair layer.
The programs and the Python module see the public headers only (the
WebAssembly module in js/ also lcs-diff's placement of changes); tests,
benchmarks and fuzzers may look anywhere. Run as: include_rooms.py SOURCE_DIR.
"""
import pathlib
import re
import sys

PUBLIC = {"lcs/lcs_algorithms.h", "lcs/alignment.h", "lcs/many.h"}

# A room, and the rooms it may include from (besides its own and the public
# headers of the rooms below it).
BUILT_ON = {
    "lcs/kernels": set(),
    "lcs/family": {"lcs/kernels"},
    "lcs/alignment": {"lcs/kernels"},
    "lcs/many": {"lcs/kernels", "lcs/alignment"},
    "lcs": set(),
    "console": {"lcs"},
    "cli": set(),
    "align": {"lcs", "cli"},
    "diff": {"lcs", "cli"},
    "python": {"lcs"},
    "js": {"lcs", "diff"},  # the WebAssembly module: lcs-diff's placement of changes
}
# What a public header may be seen by: the family's header by everyone, the
# one-pair layer's by the rooms above the family.
PUBLIC_TO = {
    "lcs/lcs_algorithms.h": {"lcs/family", "console", "align", "diff", "python", "lcs"},
    "lcs/alignment.h": {"lcs/alignment", "lcs/many", "align", "diff", "python", "js", "lcs"},
    "lcs/many.h": {"lcs/many", "python", "lcs"},
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def room_of(path):
    """The innermost room that holds a path relative to the source tree."""
    parent = str(pathlib.PurePosixPath(path).parent)
    while parent not in BUILT_ON and parent not in (".", ""):
        parent = str(pathlib.PurePosixPath(parent).parent)
    return parent if parent in BUILT_ON else None


def faults(root):
    for source in sorted(root.rglob("*")):
        if source.suffix not in (".h", ".cpp") or "build" in source.relative_to(root).parts:
            continue
        relative = source.relative_to(root).as_posix()
        room = room_of(relative)
        if room is None:
            continue
        for included in INCLUDE.findall(source.read_text(encoding="utf-8")):
            if included in PUBLIC:
                allowed = room in PUBLIC_TO[included]
            else:
                target = room_of(included)
                allowed = target == room or target in BUILT_ON[room]
            if not allowed:
                yield f"{relative}: includes {included}, from a room it is not built on"


def main():
    found = list(faults(pathlib.Path(sys.argv[1])))
    print("\n".join(found) if found else "every include points to a room below")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
