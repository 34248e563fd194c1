# SPDX-License-Identifier: MIT
"""The Python module against an independent reference (a textbook table on
small inputs), difflib's shapes, GNU patch, its errors, the GIL and Ctrl-C."""
import array
import os
import random
import subprocess
import sys
import tempfile
import threading
import time

import pytest
from hypothesis import given, settings, strategies as st

import lcs

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tests"))
from textbook_lcs import textbook_lcs as textbook  # noqa: E402
from interrupted import assert_ctrl_c_stops  # noqa: E402


def check_blocks(a, b, blocks):
    """Equal runs, in order in both and not touching in both, as long as the LCS."""
    end_a = end_b = -1
    for block in blocks:
        assert block.size > 0 and a[block.a:block.a + block.size] == b[block.b:block.b + block.size]
        assert block.a >= end_a and block.b >= end_b and (block.a, block.b) != (end_a, end_b)
        end_a, end_b = block.a + block.size, block.b + block.size
    assert sum(block.size for block in blocks) == textbook(a, b)


# Code points of every width: ASCII, Latin-1, the BMP and beyond it, few of each.
code_points = st.sampled_from("ab\xe9\xff\u0100\u4e2d\U0001F600\U0010FFFF")
pairs = st.one_of(
    st.tuples(st.text(code_points, max_size=40), st.text(code_points, max_size=40)),
    st.tuples(st.binary(max_size=40), st.binary(max_size=40)),
    st.tuples(st.lists(st.sampled_from(["x\n", "y\n", "\n"]), max_size=30),
              st.lists(st.sampled_from(["x\n", "y\n", "\n"]), max_size=30)),
    st.tuples(st.lists(st.one_of(st.integers(0, 3), st.sampled_from([None, "1", (1,)])),
                       max_size=30).map(tuple),
              st.lists(st.one_of(st.integers(0, 3), st.sampled_from([None, "1", (1,)])),
                       max_size=30).map(tuple)),
)


@settings(max_examples=400, deadline=None)
@given(pairs)
def test_exact_on_every_kind_of_sequence(pair):
    a, b = pair
    assert lcs.length(a, b) == textbook(a, b)
    check_blocks(a, b, lcs.matching_blocks(a, b))
    total = len(a) + len(b)
    assert lcs.similarity(a, b) == (2 * textbook(a, b) / total if total else 1.0)


@settings(max_examples=200, deadline=None)
@given(pairs)
def test_difflib_shapes(pair):
    a, b = pair
    matcher = lcs.SequenceMatcher(None, a, b)
    blocks = matcher.get_matching_blocks()
    assert blocks[-1] == lcs.Match(len(a), len(b), 0)
    assert blocks[:-1] == lcs.matching_blocks(a, b, compact=True)
    check_blocks(a, b, blocks[:-1])
    codes = matcher.get_opcodes()
    assert codes == lcs.opcodes(a, b)
    i = j = 0
    for tag, i1, i2, j1, j2 in codes:  # they tile both, each tag as difflib means it
        assert (i1, j1) == (i, j)
        changes = "replace" if i1 < i2 and j1 < j2 else "delete" if i1 < i2 else "insert"
        assert tag in ("equal", changes) and (i1 < i2 or j1 < j2)
        if tag == "equal":
            assert a[i1:i2] == b[j1:j2]
        i, j = i2, j2
    assert (i, j) == (len(a), len(b))
    assert matcher.real_quick_ratio() >= matcher.quick_ratio() >= matcher.ratio()


def test_grouped_opcodes_follow_difflib():
    import difflib
    rng = random.Random(7)
    for _ in range(200):
        a = [rng.choice("xy") for _ in range(rng.randint(0, 30))]
        b = [rng.choice("xy") for _ in range(rng.randint(0, 30))]
        ours, theirs = lcs.SequenceMatcher(None, a, b), difflib.SequenceMatcher(None, a, b)
        theirs.get_opcodes = ours.get_opcodes  # the same edits, grouped by each
        for n in (0, 1, 3):
            assert list(ours.get_grouped_opcodes(n)) == list(theirs.get_grouped_opcodes(n))


def test_unified_diff_is_minimal_and_patch_applies_it():
    rng = random.Random(11)
    with tempfile.TemporaryDirectory() as work:
        for round_number in range(40):
            def lines():
                text = "".join(rng.choice(["x\n", "y\n", "\n", "\xe9t\xe9\n"])
                               for _ in range(rng.randint(0, 25)))
                return (text[:-1] if text and rng.random() < 0.3 else text).splitlines(True)
            a, b = lines(), lines()
            diff = "".join(lcs.unified_diff(a, b, "old", "new", n=round_number % 4))
            changed = sum(1 for line in diff.splitlines()[2:] if line[:1] in "+-")
            assert changed == len(a) + len(b) - 2 * textbook(a, b)
            for name, text in (("old", "".join(a)), ("patch", diff)):
                with open(os.path.join(work, name), "w", encoding="utf-8") as out:
                    out.write(text)
            subprocess.run(["patch", "-s", "-o", "new", "old", "patch"], cwd=work, check=True)
            with open(os.path.join(work, "new"), encoding="utf-8") as source:
                assert source.read() == "".join(b)


def test_unified_diff_format():
    assert list(lcs.unified_diff(["a\n", "b\n"], ["a\n", "c\n"], "x", "y", "d1", "d2")) == [
        "--- x\td1\n", "+++ y\td2\n", "@@ -1,2 +1,2 @@\n", " a\n", "-b\n", "+c\n"]
    assert list(lcs.unified_diff(["a"], ["b"], lineterm="")) == [
        "--- ", "+++ ", "@@ -1 +1 @@", "-a", "+b"]


@pytest.mark.parametrize("call, message", [
    (lambda: lcs.length("a", b"a"), "cannot compare str with bytes"),
    (lambda: lcs.length(3, "a"), "a must be a sequence"),
    (lambda: lcs.opcodes("a", {1}), "b must be a sequence"),
    (lambda: lcs.matching_blocks([1, [2]], [1]), "item 1 of a is unhashable"),
    (lambda: lcs.similarity(memoryview(b"a"), "a"), "cannot compare str with memoryview"),
])
def test_type_errors_say_which_argument_and_why(call, message):
    with pytest.raises(TypeError, match=message):
        call()


def test_bytes_like_and_wide_strings():
    assert lcs.length(bytearray(b"abc"), memoryview(b"xbc")) == 2
    assert lcs.length("B\xe4r", "B\xf6r") == 2
    assert lcs.matching_blocks("\U0001F600\u4e2d", "x\u4e2d") == [lcs.Match(1, 1, 1)]


def views_of(data):
    """Buffers over `data` of every layout: strided, reversed, 2-D, read-only or
    not, one-byte formats and wider ones."""
    whole = memoryview(bytearray(data))
    views = [whole, whole.toreadonly(), whole[::2], whole[::-1], whole[1::3], whole.cast("c"),
             whole.cast("b"), array.array("B", data), array.array("i", list(data))]
    if len(data) % 2 == 0 and data:
        views += [whole.cast("B", (2, len(data) // 2)), whole.cast("H")]
    return views


@settings(max_examples=150, deadline=None)
@given(st.binary(max_size=24), st.binary(max_size=24), st.data())
def test_any_buffer_is_compared_as_its_bytes_or_its_items(x, y, data):
    a = data.draw(st.sampled_from(views_of(x)))
    b = data.draw(st.sampled_from(views_of(y)))
    def items(view):
        one_byte = getattr(view, "itemsize", 1) == 1 and getattr(view, "format", "B") in "Bbc"
        return list(bytes(view)) if one_byte else view.tolist()
    expected = textbook(items(a), items(b))
    assert lcs.length(a, b) == expected
    check_blocks(items(a), items(b), lcs.matching_blocks(a, b))


class Raises:
    """An item whose hash or equality raises a given exception."""
    def __init__(self, exception, in_hash):
        self.exception, self.in_hash = exception, in_hash

    def __hash__(self):
        if self.in_hash:
            raise self.exception
        return 1

    def __eq__(self, other):
        raise self.exception


@pytest.mark.parametrize("exception", [KeyboardInterrupt, MemoryError, ValueError("own")])
@pytest.mark.parametrize("in_hash", [True, False])
def test_an_items_own_exception_goes_through(exception, in_hash):
    expected = exception if isinstance(exception, type) else type(exception)
    with pytest.raises(expected):
        lcs.length([Raises(exception, in_hash), Raises(exception, in_hash)], [Raises(exception, in_hash)])


@pytest.mark.parametrize("threads, error", [
    (-2, ValueError), (2 ** 40, ValueError), (1.5, TypeError), (True, TypeError), ("2", TypeError)])
def test_threads_out_of_range(threads, error):
    with pytest.raises(error, match="threads"):
        lcs.matching_blocks("ab", "ab", threads=threads)


def test_threads_minus_one_or_zero_mean_every_core():
    a, b = "ACGT" * 3000, "TGCA" * 3000
    assert lcs.length(a, b, threads=-1) == lcs.length(a, b, threads=0) == lcs.length(a, b)


MMAP_CHILD = """
import mmap, random, tempfile, lcs
data = random.Random(5).randbytes(1 << 20)
with tempfile.TemporaryFile() as f:
    f.write(data)
    f.flush()
    with mmap.mmap(f.fileno(), 0, access=mmap.ACCESS_READ) as m:
        view = memoryview(m)[::-1]
        print(lcs.length(view, data[::-1][:3000]), lcs.length(view, data[::-1]),
              lcs.length(view[:700], data[-700:]) == lcs.length(bytes(view[:700]), data[-700:]))
        view.release()
"""


def test_a_reversed_view_of_a_large_mmap():
    done = subprocess.run([sys.executable, "-c", MMAP_CHILD], capture_output=True, text=True,
                          env=os.environ, timeout=120)
    assert (done.returncode, done.stdout) == (0, "3000 1048576 True\n"), done.stderr


LIMITED_CHILD = """
import random, resource, lcs
a, b = random.Random(1).randbytes(300000), random.Random(2).randbytes(300000)
limit = 64 << 20
resource.setrlimit(resource.RLIMIT_AS, (limit, limit))
print(lcs.length(a, b, threads=1) == lcs.length(a, b, threads=4))
try:
    lcs.length(list(range(4_000_000)), list(range(4_000_000)))
except MemoryError:
    print("MemoryError")
"""


@pytest.mark.skipif(os.name != "posix" or "LD_PRELOAD" in os.environ,
                    reason="an address-space limit, not under a sanitizer")
def test_under_a_tight_memory_limit():
    done = subprocess.run([sys.executable, "-c", LIMITED_CHILD], capture_output=True, text=True,
                          env=os.environ, timeout=120)
    assert (done.returncode, done.stdout) == (0, "True\nMemoryError\n"), done.stderr


def test_the_gil_is_released_during_a_long_call():
    rng = random.Random(3)
    a = "".join(rng.choice("ACGT") for _ in range(60000))
    b = "".join(rng.choice("ACGT") for _ in range(60000))
    span = {}

    def compare():
        span["start"] = time.monotonic()
        lcs.length(a, b)
        span["end"] = time.monotonic()

    worker = threading.Thread(target=compare)
    worker.start()
    ticks = []
    while worker.is_alive():
        ticks.append(time.monotonic())
        time.sleep(0.001)
    worker.join()
    inside = [t for t in ticks if span["start"] + 0.01 < t < span["end"] - 0.01]
    assert span["end"] - span["start"] < 0.05 or len(inside) > 3


CHILD = """
import random, sys, time, lcs
rng = random.Random(1)
a = bytes(rng.choice(b"ACGT") for _ in range(3_000_000))
b = bytes(rng.choice(b"ACGT") for _ in range(3_000_000))
print("ready", flush=True)
try:
    lcs.length(a, b, threads=2)
except KeyboardInterrupt:
    print("interrupted", flush=True)
    sys.exit(3)
"""


@pytest.mark.skipif(os.name != "posix", reason="SIGINT as a terminal sends it")
def test_ctrl_c_stops_a_long_call():
    assert_ctrl_c_stops(CHILD, within_seconds=2.0)


def test_every_name_of_difflib_with_its_signature():
    import difflib
    import inspect
    import re

    def signature(function):  # defaults by name, not by address
        return re.sub(r" at 0x[0-9a-f]+", "", str(inspect.signature(function)))

    for name in difflib.__all__:
        ours, theirs = getattr(lcs, name), getattr(difflib, name)
        if inspect.isclass(theirs):
            for method, member in vars(theirs).items():
                if callable(member) and not method.startswith("_") or method == "__init__":
                    assert signature(getattr(ours, method)) == signature(member), (name, method)
        elif callable(theirs):
            assert signature(ours) == signature(theirs), name
    matcher = lcs.SequenceMatcher(None, "ab", "ba")
    assert (matcher.bjunk, matcher.bpopular, matcher.fullbcount, matcher.b2j) == (
        set(), set(), None, {"b": [0], "a": [1]})


small = st.text("ab \t", max_size=12)


@settings(max_examples=300, deadline=None)
@given(small, small, st.data())
def test_find_longest_match_is_difflibs_without_popular_elements(a, b, data):
    import difflib
    alo = data.draw(st.integers(0, len(a)))
    blo = data.draw(st.integers(0, len(b)))
    ranges = (alo, data.draw(st.integers(alo, len(a))), blo, data.draw(st.integers(blo, len(b))))
    for isjunk in (None, lambda c: c in " \t"):
        assert (lcs.SequenceMatcher(isjunk, a, b).find_longest_match(*ranges) ==
                difflib.SequenceMatcher(isjunk, a, b, autojunk=False).find_longest_match(*ranges))


@settings(max_examples=300, deadline=None)
@given(small, small)
def test_junk_is_matched_only_beside_a_match(a, b):
    junk = " \t"
    blocks = lcs.SequenceMatcher(lambda c: c in junk, a, b).get_matching_blocks()
    solid = 0
    for block in blocks[:-1]:
        run = a[block.a:block.a + block.size]
        assert run == b[block.b:block.b + block.size]
        solid += sum(c not in junk for c in run)
        if block.a or block.b:  # away from the start, a run of junk alone is no match
            assert any(c not in junk for c in run)
    masked_b = [c if c not in junk else object() for c in b]
    assert solid == textbook(list(a), masked_b)


def test_get_close_matches_is_exact_and_ordered_as_difflib_orders():
    rng = random.Random(4)
    words = ["".join(rng.choice("abcde") for _ in range(rng.randint(1, 8))) for _ in range(300)]
    for word in words[:20]:
        scored = sorted(((2 * textbook(x, word) / (len(x) + len(word)), x) for x in words),
                        reverse=True)
        expected = [x for score, x in scored if score >= 0.6][:4]
        assert lcs.get_close_matches(word, words, n=4) == expected
    with pytest.raises(ValueError):
        lcs.get_close_matches("a", ["a"], n=0)
    with pytest.raises(ValueError):
        lcs.get_close_matches("a", ["a"], cutoff=1.5)


def test_difflibs_formats_from_the_exact_matching():
    import difflib
    a, b = "aXbuggy\n".splitlines(True), "aaXbug\n".splitlines(True)
    assert list(lcs.ndiff(["one\n", "two\n"], ["one\n", "tree\n"])) == list(
        difflib.ndiff(["one\n", "two\n"], ["one\n", "tree\n"]))
    assert list(lcs.restore(lcs.ndiff(a, b), 2)) == b
    assert list(lcs.context_diff(["a\n", "b\n"], ["a\n", "c\n"], "x", "y")) == list(
        difflib.context_diff(["a\n", "b\n"], ["a\n", "c\n"], "x", "y"))
    assert list(lcs.diff_bytes(lcs.unified_diff, [b"a\n"], [b"b\n"])) == [
        b"--- \n", b"+++ \n", b"@@ -1 +1 @@\n", b"-a\n", b"+b\n"]
    assert "<table" in lcs.HtmlDiff().make_table(a, b)
    with pytest.raises(TypeError, match="lines to compare must be str, not bytes"):
        list(lcs.unified_diff([b"a"], ["a"]))
    with pytest.raises(TypeError, match="all arguments must be str, not: None"):
        list(lcs.unified_diff(["a"], ["b"], None))
    # Changes that can be one group are: difflib's three opcodes, not six.
    assert lcs.opcodes("aXbuggy", "aaXbug") == [
        ("insert", 0, 0, 0, 1), ("equal", 0, 5, 1, 6), ("delete", 5, 7, 6, 6)]
    # The exact matcher behind Differ: the longest common subsequence of lines.
    lines_a, lines_b = ["x\n", "y\n", "z\n"] * 3, ["z\n", "y\n", "x\n"] * 3
    kept = sum(line.startswith("  ") for line in lcs.ndiff(lines_a, lines_b))
    assert kept == textbook(lines_a, lines_b)
