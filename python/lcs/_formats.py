# SPDX-License-Identifier: MIT
"""The text formats of difflib, from lcs's exact matching.

unified_diff is lcs's own (it marks a last line without a line feed, so that
patch applies the diff). The others (ndiff, Differ, context_diff, HtmlDiff,
diff_bytes, restore, the junk predicates) are the standard library's own
code, run rather than copied: difflib's source is loaded once more as a
private module whose SequenceMatcher is lcs's, so every match they take
comes from the exact engine and every format is difflib's to the byte.
"""

import importlib.util
import sys

from lcs._matcher import SequenceMatcher
from lcs._lcs import Match

_PRIVATE_NAME = "lcs._difflib"


def driven_difflib():
    """The private copy of difflib driven by lcs.SequenceMatcher, made on first use."""
    module = sys.modules.get(_PRIVATE_NAME)
    if module is None:
        origin = importlib.util.find_spec("difflib").origin
        where = importlib.util.spec_from_file_location(_PRIVATE_NAME, origin)
        module = importlib.util.module_from_spec(where)
        where.loader.exec_module(module)
        module.SequenceMatcher = SequenceMatcher
        module.Match = Match
        sys.modules[_PRIVATE_NAME] = module
    return module


def _range(begin, end):
    """A hunk's range as GNU diff and difflib write it: a line alone, or an
    empty range after the line before it."""
    size = end - begin
    if size == 1:
        return f"{begin + 1}"
    return f"{begin + 1 if size else begin},{size}"


def unified_diff(a, b, fromfile="", tofile="", fromfiledate="", tofiledate="", n=3,
                 lineterm="\n"):
    """The lines of a unified diff that turns the lines a into the lines b,
    with difflib.unified_diff's signature, format and type errors, and the
    fewest changed lines there are. A last line without a line feed (lines as
    readlines() gives them) is followed by "\\ No newline at end of file", so
    that patch applies the diff."""
    driven_difflib()._check_types(a, b, fromfile, tofile, fromfiledate, tofiledate, lineterm)
    started = False
    for group in SequenceMatcher(None, a, b).get_grouped_opcodes(n):
        if not started:
            started = True
            yield f"--- {fromfile}{chr(9) + fromfiledate if fromfiledate else ''}{lineterm}"
            yield f"+++ {tofile}{chr(9) + tofiledate if tofiledate else ''}{lineterm}"
        yield (f"@@ -{_range(group[0][1], group[-1][2])} "
               f"+{_range(group[0][3], group[-1][4])} @@{lineterm}")
        for tag, i1, i2, j1, j2 in group:
            if tag == "equal":
                yield from _marked(" ", a, i1, i2, lineterm)
                continue
            yield from _marked("-", a, i1, i2, lineterm)
            yield from _marked("+", b, j1, j2, lineterm)


def _marked(mark, lines, begin, end, lineterm):
    for k in range(begin, end):
        line = lines[k]
        if (k == len(lines) - 1 and lineterm == "\n" and not line.endswith("\n")
                and (k == 0 or lines[k - 1].endswith("\n"))):
            yield mark + line + "\n"
            yield "\\ No newline at end of file\n"
        else:
            yield mark + line
