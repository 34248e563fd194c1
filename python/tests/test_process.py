# SPDX-License-Identifier: MIT
"""lcs.process: every call against lcs.similarity pair by pair, the shapes
Python's fuzzy-matching users expect, and errors that name the argument."""

import os

import numpy
import pytest
from hypothesis import given, settings, strategies as st

import lcs
import lcs.process as process
from interrupted import assert_ctrl_c_stops

# Short and long strings over a few symbols (ties and exact cut-offs are
# common), some of them beyond one byte a code point.
strings = st.lists(st.text(alphabet="abcĀ", max_size=70), max_size=12)
cutoffs = st.sampled_from([0.0, 0.5, 2 / 3, 0.8, 1.0])


def brute_extract(query, choices, limit, cutoff):
    scored = [(c, lcs.similarity(query, c), k) for k, c in enumerate(choices)]
    scored = sorted((s for s in scored if s[1] >= cutoff), key=lambda s: (-s[1], s[2]))
    return scored if limit is None else scored[:limit]


@settings(max_examples=150, deadline=None)
@given(strings, strings, cutoffs, st.sampled_from([None, 0, 1, 3, 100]), st.sampled_from([1, 2, -1]))
def test_every_call_agrees_with_similarity_pair_by_pair(queries, choices, cutoff, limit, workers):
    expected = numpy.array([[lcs.similarity(q, c) for c in choices] for q in queries],
                           dtype=numpy.float64).reshape(len(queries), len(choices))
    expected[expected < cutoff] = 0
    assert numpy.array_equal(process.cdist(queries, choices, score_cutoff=cutoff, workers=workers),
                             expected.astype(numpy.float32))
    assert numpy.array_equal(process.cdist(queries, choices, score_cutoff=cutoff,
                                           dtype=numpy.float64), expected)
    for query in queries[:3]:
        assert process.extract(query, choices, limit=limit, score_cutoff=cutoff,
                               workers=workers) == brute_extract(query, choices, limit, cutoff)
    across = process.similar_pairs(queries, choices, score_cutoff=cutoff, workers=workers)
    rows, columns = numpy.nonzero(expected >= max(cutoff, 1e-300)) if cutoff > 0 else numpy.indices(
        expected.shape).reshape(2, -1)
    assert [a.tolist() for a in across[:2]] == [rows.tolist(), columns.tolist()]
    assert across[2].tolist() == expected[rows, columns].astype(numpy.float32).tolist()
    within = process.similar_pairs(queries, score_cutoff=cutoff, workers=workers)
    pairs = [(i, j) for i in range(len(queries)) for j in range(i + 1, len(queries))
             if lcs.similarity(queries[i], queries[j]) >= cutoff]
    assert list(zip(within[0].tolist(), within[1].tolist())) == pairs


def test_keys_none_and_processor():
    names = {"x": "Apple", "y": None, "z": "apple pie"}
    assert process.extract("APPLE", names, processor=str.lower) == [
        ("Apple", 1.0, "x"), ("apple pie", lcs.similarity("apple", "apple pie"), "z")]
    assert process.extract_one("apple", ["pear", None, "apple"]) == ("apple", 1.0, 2)
    assert process.extractOne("zzz", ["abc"], score_cutoff=0.5) is None
    assert process.extract(None, ["a"]) == []
    assert process.extract("a", [], limit=3) == []
    assert process.extract(b"ab", [b"ab", b"\x00\xff"], limit=0) == []
    scores = process.cdist(["ab", None], [None, "ab"])
    assert scores.shape == (2, 2) and scores.dtype == numpy.float32
    assert scores.tolist() == [[0.0, 1.0], [0.0, 0.0]]
    first, second, score = process.similar_pairs(["ab", None, "ab"], score_cutoff=0.5)
    assert (first.tolist(), second.tolist(), score.tolist()) == ([0], [2], [1.0])
    assert first.dtype == numpy.int64 and score.dtype == numpy.float32


def test_a_pandas_series_gives_its_index_labels():
    pandas = pytest.importorskip("pandas")
    series = pandas.Series(["anna", "hannah", "ann"], index=[10, 20, 30])
    assert [key for _, _, key in process.extract("anna", series, limit=2)] == [10, 30]


@pytest.mark.parametrize("call, error, message", [
    (lambda: process.extract("a", 5), TypeError, "choices"),
    (lambda: process.extract("a", "abc"), TypeError, "choices"),
    (lambda: process.extract("a", ["a", 3]), TypeError, r"choices\[1\]"),
    (lambda: process.extract(3, ["a"]), TypeError, "query"),
    (lambda: process.extract("a", [b"a"]), TypeError, "str with bytes"),
    (lambda: process.extract("a", ["a"], limit=-1), TypeError, "limit"),
    (lambda: process.extract("a", ["a"], workers="2"), TypeError, "workers"),
    (lambda: process.extract("a", ["a"], workers=-2), ValueError, "workers"),
    (lambda: process.extract("a", ["a"], score_cutoff=80), ValueError, "score_cutoff"),
    (lambda: process.cdist(["a"], [1.5]), TypeError, r"choices\[0\]"),
    (lambda: process.cdist(["a"], ["a"], dtype=numpy.int32), TypeError, "dtype"),
    (lambda: process.cdist(["a"], ["a"], score_cutoff=float("nan")), ValueError, "score_cutoff"),
    (lambda: process.similar_pairs(None, score_cutoff=0.5), TypeError, "queries"),
    (lambda: process.similar_pairs(["a"], ["b"], score_cutoff=0.5, processor=3), TypeError,
     "processor"),
])
def test_bad_arguments_are_named(call, error, message):
    with pytest.raises(error, match=message):
        call()


CHILD = """
import random, sys, lcs.process
rng = random.Random(1)
words = ["".join(rng.choice("abcdefgh") for _ in range(rng.randrange(3, 300))) for _ in range(6000)]
print("ready", flush=True)
try:
    lcs.process.cdist(words, words, workers=2)
except KeyboardInterrupt:
    print("interrupted", flush=True)
    sys.exit(3)
"""


@pytest.mark.skipif(os.name != "posix", reason="SIGINT as a terminal sends it")
def test_ctrl_c_stops_a_long_batch_call():
    assert_ctrl_c_stops(CHILD, within_seconds=1.0, ready_seconds=0.5)
