# SPDX-License-Identifier: MIT
"""The longest common subsequence of two sequences, exact and fast, and a
complete difflib whose answers are exact: `import lcs as difflib` runs a
difflib program unchanged.

length, matching_blocks, opcodes and similarity take two str (compared by
code point), two buffers of bytes (by byte, in logical order) or any two
sequences of hashable items (lines, words, tuples of numbers: by hash and
equality). Every public name of difflib is here with difflib's signature,
defaults, output formats and exceptions; the matching blocks behind them are
an exact longest common subsequence: the fewest changes there are.
"""

from lcs._lcs import Match, __version__, length, matching_blocks, opcodes, similarity
from lcs._matcher import SequenceMatcher, get_close_matches
from lcs._formats import driven_difflib, unified_diff

__all__ = ["Match", "SequenceMatcher", "length", "matching_blocks", "opcodes", "similarity",
           "unified_diff", "get_close_matches", "ndiff", "restore", "Differ",
           "IS_CHARACTER_JUNK", "IS_LINE_JUNK", "context_diff", "diff_bytes", "HtmlDiff",
           "__version__"]

# difflib's formatting code, run with lcs's matcher, loaded when first asked for.
_DRIVEN = {"ndiff", "restore", "Differ", "IS_CHARACTER_JUNK", "IS_LINE_JUNK", "context_diff",
           "diff_bytes", "HtmlDiff", "_mdiff", "_format_range_unified", "_format_range_context"}


def __getattr__(name):
    if name in _DRIVEN:
        value = getattr(driven_difflib(), name)
        globals()[name] = value
        return value
    raise AttributeError(f"module 'lcs' has no attribute {name!r}")


def __dir__():
    return sorted(set(globals()) | _DRIVEN)
