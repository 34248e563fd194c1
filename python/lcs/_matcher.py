# SPDX-License-Identifier: MIT
"""SequenceMatcher and get_close_matches with difflib's interface, whose
matching blocks are an exact longest common subsequence.

Junk follows difflib's documented rule: junk elements of b (isjunk true) are
never matched on their own; a block found without them is extended over
equal junk elements on both sides. Apart from that the blocks are an exact
LCS, found by the engine (bit-parallel passes, or Hunt and Szymanski's
threshold method for items that seldom match). No element is too popular to
match: autojunk is accepted and changes nothing.
"""

import heapq
from types import GenericAlias

from lcs._lcs import Match, matching_blocks, similarity


def _edits(blocks):
    """difflib's opcodes around matching blocks that end with its sentinel."""
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


def _extend_over_junk(blocks, a, b, junk):
    """Grows each block over equal junk elements on both sides, within the gaps
    around it, and joins the blocks that then touch. An empty match at the
    start grows too, as difflib's search grows the empty match at the corner
    of a range."""
    blocks = [Match(0, 0, 0)] + blocks
    grown = []
    for k, (i, j, size) in enumerate(blocks):
        low_a, low_b = (grown[-1][0] + grown[-1][2], grown[-1][1] + grown[-1][2]) if grown else (0, 0)
        while i > low_a and j > low_b and b[j - 1] in junk and a[i - 1] == b[j - 1]:
            i, j, size = i - 1, j - 1, size + 1
        high_a, high_b = (blocks[k + 1][0], blocks[k + 1][1]) if k + 1 < len(blocks) else (len(a), len(b))
        while (i + size < high_a and j + size < high_b and b[j + size] in junk
               and a[i + size] == b[j + size]):
            size += 1
        if grown and grown[-1][0] + grown[-1][2] == i and grown[-1][1] + grown[-1][2] == j:
            grown[-1] = Match(grown[-1][0], grown[-1][1], grown[-1][2] + size)
        else:
            grown.append(Match(i, j, size))
    return [block for block in grown if block.size]


class SequenceMatcher:
    """difflib.SequenceMatcher with exact results: get_matching_blocks is a
    longest common subsequence, so ratio() is the true similarity and
    get_opcodes() the fewest edits. Same constructor, methods and attributes
    (b2j, bjunk, bpopular, fullbcount); bpopular is always empty."""

    __class_getitem__ = classmethod(GenericAlias)

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
        """Sets the first sequence, a; b is kept."""
        if a is self.a:
            return
        self.a = a
        self._blocks = self._opcodes = None

    def set_seq2(self, b):
        """Sets the second sequence, b; a is kept. Its junk is found now."""
        if b is self.b:
            return
        self.b = b
        self._blocks = self._opcodes = None
        self._b2j = None
        self.fullbcount = None
        self.bjunk = {item for item in set(b) if self.isjunk(item)} if self.isjunk else set()
        self.bpopular = set()

    @property
    def b2j(self):
        """For each item of b that is not junk, the ascending positions where it stands."""
        if self._b2j is None:
            positions = {}
            for j, item in enumerate(self.b):
                if item not in self.bjunk:
                    positions.setdefault(item, []).append(j)
            self._b2j = positions
        return self._b2j

    def find_longest_match(self, alo=0, ahi=None, blo=0, bhi=None):
        """The longest run a[i:i+k] == b[j:j+k] with alo <= i, i+k <= ahi,
        blo <= j, j+k <= bhi, as Match(i, j, k): the one that starts first in
        a, then first in b; with junk, the longest run free of junk, extended
        over equal junk on both sides. Match(alo, blo, 0) when there is none.
        Time O((ahi - alo) + matches of a's items in b's range)."""
        a, b = self.a, self.b
        ahi = len(a) if ahi is None else ahi
        bhi = len(b) if bhi is None else bhi
        best_i, best_j, best_size = alo, blo, 0
        # run_at[j]: the length of the common run that ends at a[i] and b[j].
        run_at = {}
        positions = self.b2j
        for i in range(alo, ahi):
            runs = {}
            for j in positions.get(a[i], ()):
                if j < blo:
                    continue
                if j >= bhi:
                    break
                size = runs[j] = run_at.get(j - 1, 0) + 1
                if size > best_size:
                    best_i, best_j, best_size = i - size + 1, j - size + 1, size
            run_at = runs
        junk = self.bjunk
        while (best_i > alo and best_j > blo and b[best_j - 1] in junk
               and a[best_i - 1] == b[best_j - 1]):
            best_i, best_j, best_size = best_i - 1, best_j - 1, best_size + 1
        while (best_i + best_size < ahi and best_j + best_size < bhi
               and b[best_j + best_size] in junk and a[best_i + best_size] == b[best_j + best_size]):
            best_size += 1
        return Match(best_i, best_j, best_size)

    def _match(self):
        """One longest common subsequence of a and b, junk of b matched only
        where it extends a block."""
        if not self.bjunk:
            return matching_blocks(self.a, self.b, compact=True)
        # Junk stands in b as objects equal to nothing, then blocks grow over it.
        masked = [object() if item in self.bjunk else item for item in self.b]
        blocks = matching_blocks(list(self.a), masked, compact=True)
        return _extend_over_junk(blocks, self.a, self.b, self.bjunk)

    def get_matching_blocks(self):
        """One longest common subsequence as Match(a, b, size) runs, ending with
        Match(len(a), len(b), 0) as difflib's does."""
        if self._blocks is None:
            self._blocks = self._match() + [Match(len(self.a), len(self.b), 0)]
        return list(self._blocks)

    def get_opcodes(self):
        """(tag, i1, i2, j1, j2) edits that turn a into b, as difflib's: tags
        'equal', 'replace', 'delete', 'insert'; the fewest changed items."""
        if self._opcodes is None:
            self._opcodes = _edits(self.get_matching_blocks())
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
        if self.fullbcount is None:
            self.fullbcount = counts = {}
            for item in self.b:
                counts[item] = counts.get(item, 0) + 1
        left = dict(self.fullbcount)
        common = 0
        for item in self.a:
            if left.get(item, 0) > 0:
                left[item] -= 1
                common += 1
        total = len(self.a) + len(self.b)
        return 2.0 * common / total if total else 1.0

    def real_quick_ratio(self):
        """An upper bound on ratio() from the lengths alone."""
        total = len(self.a) + len(self.b)
        return 2.0 * min(len(self.a), len(self.b)) / total if total else 1.0


def get_close_matches(word, possibilities, n=3, cutoff=0.6):
    """The at most n possibilities whose similarity to word is at least cutoff,
    best first (equal scores: as difflib orders them, the greater item first).
    Exact: every score is the true LCS ratio, one engine call each."""
    if not n > 0:
        raise ValueError(f"n must be > 0: {n!r}")
    if not 0.0 <= cutoff <= 1.0:
        raise ValueError(f"cutoff must be in [0.0, 1.0]: {cutoff!r}")
    scored = []
    for candidate in possibilities:
        score = similarity(candidate, word)
        if score >= cutoff:
            scored.append((score, candidate))
    return [candidate for _, candidate in heapq.nlargest(n, scored)]
