# SPDX-License-Identifier: MIT
"""The longest common subsequence of two sequences, exact and fast: a
faster and exact difflib.

length, matching_blocks, opcodes and similarity take two str (compared by
code point), two bytes-like objects (by byte) or any two sequences of
hashable items (lines, words, tuples of numbers: by hash and equality).
SequenceMatcher and unified_diff have difflib's interface, with results
that are an exact longest common subsequence: the fewest changes there are.
"""

from lcs._lcs import Match, __version__, length, matching_blocks, opcodes, similarity

__all__ = ["Match", "SequenceMatcher", "length", "matching_blocks", "opcodes", "similarity",
           "unified_diff", "__version__"]


def _edits(blocks, a_size, b_size):
    """The opcodes around matching blocks that end with difflib's sentinel."""
    edits = []
    i = j = 0
    for block_a, block_b, size in blocks:
        if i < block_a or j < block_b:
            tag = "replace" if i < block_a and j < block_b else "delete" if i < block_a else "insert"
            edits.append((tag, i, block_a, j, block_b))
        if size:
            edits.append(("equal", block_a, block_a + size, block_b, block_b + size))
        i, j = block_a + size, block_b + size
    return edits


class SequenceMatcher:
    """difflib.SequenceMatcher with exact results: get_matching_blocks is a
    longest common subsequence, so ratio() is the true similarity and
    get_opcodes() the fewest edits.

    isjunk and autojunk are accepted for compatibility and do nothing: no
    item is junk and no item is too popular to match, so the answer is exact.
    find_longest_match is not provided (it raises NotImplementedError).
    """

    def __init__(self, isjunk=None, a="", b="", autojunk=True):
        self.isjunk = isjunk
        self.autojunk = autojunk
        self.a = self.b = None
        self.set_seqs(a, b)

    def set_seqs(self, a, b):
        """Sets both sequences."""
        self.set_seq1(a)
        self.set_seq2(b)

    def set_seq1(self, a):
        """Sets the first sequence, a."""
        self.a = a
        self._blocks = self._opcodes = None

    def set_seq2(self, b):
        """Sets the second sequence, b."""
        self.b = b
        self._blocks = self._opcodes = None

    def find_longest_match(self, alo=0, ahi=None, blo=0, bhi=None):
        """Not provided: the matching blocks here come from a longest common
        subsequence, not from longest matches. Use difflib for this one."""
        raise NotImplementedError(
            "lcs.SequenceMatcher.find_longest_match is not provided: its blocks come from an "
            "exact longest common subsequence; use difflib.SequenceMatcher for the longest match")

    def get_matching_blocks(self):
        """One longest common subsequence as Match(a, b, size) runs, ending with
        Match(len(a), len(b), 0) as difflib's does."""
        if self._blocks is None:
            self._blocks = matching_blocks(self.a, self.b)
            self._blocks.append(Match(len(self.a), len(self.b), 0))
        return list(self._blocks)

    def get_opcodes(self):
        """(tag, i1, i2, j1, j2) edits that turn a into b, as difflib's: tags
        'equal', 'replace', 'delete', 'insert'; the fewest changed items."""
        if self._opcodes is None:
            self.get_matching_blocks()
            self._opcodes = _edits(self._blocks, len(self.a), len(self.b))
        return list(self._opcodes)

    def get_grouped_opcodes(self, n=3):
        """The opcodes in groups of changes with up to n equal items of context,
        as difflib's (the hunks of a unified diff)."""
        codes = self.get_opcodes() or [("equal", 0, 1, 0, 1)]
        if codes[0][0] == "equal":
            tag, i1, i2, j1, j2 = codes[0]
            codes[0] = tag, max(i1, i2 - n), i2, max(j1, j2 - n), j2
        if codes[-1][0] == "equal":
            tag, i1, i2, j1, j2 = codes[-1]
            codes[-1] = tag, i1, min(i2, i1 + n), j1, min(j2, j1 + n)
        group = []
        for tag, i1, i2, j1, j2 in codes:
            if tag == "equal" and i2 - i1 > 2 * n:
                group.append((tag, i1, min(i2, i1 + n), j1, min(j2, j1 + n)))
                yield group
                group = []
                i1, j1 = max(i1, i2 - n), max(j1, j2 - n)
            group.append((tag, i1, i2, j1, j2))
        if group and not (len(group) == 1 and group[0][0] == "equal"):
            yield group

    def ratio(self):
        """2 * M / T: M items in the longest common subsequence, T in both
        sequences; 1.0 when both are empty."""
        total = len(self.a) + len(self.b)
        matched = sum(block.size for block in self.get_matching_blocks())
        return 2.0 * matched / total if total else 1.0

    def quick_ratio(self):
        """An upper bound on ratio(): items the two have in common, ignoring order."""
        counts = {}
        for item in self.b:
            counts[item] = counts.get(item, 0) + 1
        common = 0
        for item in self.a:
            left = counts.get(item, 0)
            if left > 0:
                counts[item] = left - 1
                common += 1
        total = len(self.a) + len(self.b)
        return 2.0 * common / total if total else 1.0

    def real_quick_ratio(self):
        """An upper bound on ratio() from the lengths alone."""
        total = len(self.a) + len(self.b)
        return 2.0 * min(len(self.a), len(self.b)) / total if total else 1.0


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
    with difflib.unified_diff's signature and format, and the fewest changed
    lines there are. A last line without a line feed (lines as readlines()
    gives them) is followed by "\\ No newline at end of file", so that patch
    applies the diff."""
    for sequence in (a, b):
        if sequence and not all(isinstance(line, str) for line in sequence):
            raise TypeError("lcs.unified_diff: lines must be str; decode bytes first")
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
