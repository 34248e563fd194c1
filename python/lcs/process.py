# SPDX-License-Identifier: MIT
"""One string against many, many against many, by similarity: 2 * LCS /
(len(a) + len(b)), exactly lcs.similarity, from 0.0 to 1.0.

Strings are str (by code point) or bytes, never both in one call; None items
are skipped (in cdist they score 0). A mapping (a dict, a pandas Series) gives
its values as the choices and its keys in the results. `processor`, when
given, is applied to every string first (lambda s: s.lower(), say);
`workers` is the number of threads, -1 (or 0) for every core. The work runs
with the GIL released, and Ctrl-C stops it.
"""

import numpy

from lcs import _lcs

__all__ = ["extract", "extract_one", "extractOne", "cdist", "similar_pairs"]


def _keys_and_values(argument, strings):
    """The keys (None for a plain sequence) and the values of a sequence or
    mapping of strings, as lists; `argument` names it in errors."""
    if hasattr(strings, "items") and callable(strings.items):
        pairs = list(strings.items())
        return [key for key, _ in pairs], [value for _, value in pairs]
    if isinstance(strings, (str, bytes)):
        raise TypeError(f"{argument} must be a sequence of strings, not one {type(strings).__name__}")
    if isinstance(strings, list):
        return None, strings
    try:
        return None, list(strings)
    except TypeError:
        raise TypeError(f"{argument} must be a sequence or mapping of str or bytes, "
                        f"not {type(strings).__name__}") from None


def _processed(strings, processor):
    if processor is None:
        return strings
    if not callable(processor):
        raise TypeError(f"processor must be callable or None, not {type(processor).__name__}")
    return [None if item is None else processor(item) for item in strings]


def extract(query, choices, *, limit=5, score_cutoff=0.0, processor=None, workers=1):
    """The best `limit` choices for the query (None: all of them) with score >=
    score_cutoff, best first, ties by position: a list of (choice, score, key),
    key being the position in a sequence or the key in a mapping."""
    keys, values = _keys_and_values("choices", choices)
    if query is None:
        return []
    if processor is not None:
        query = _processed([query], processor)[0]
    found = _lcs._extract(query, _processed(values, processor), limit, score_cutoff, workers)
    return [(values[at], score, at if keys is None else keys[at]) for at, score in found]


def extract_one(query, choices, *, score_cutoff=0.0, processor=None, workers=1):
    """The best choice as (choice, score, key), or None when no choice has
    score >= score_cutoff."""
    best = extract(query, choices, limit=1, score_cutoff=score_cutoff, processor=processor,
                   workers=workers)
    return best[0] if best else None


extractOne = extract_one  # the name other fuzzy-matching libraries use


def _strings(argument, strings):
    return _keys_and_values(argument, strings)[1]


def cdist(queries, choices, *, score_cutoff=0.0, dtype=numpy.float32, processor=None, workers=1):
    """The matrix of similarities, shape (len(queries), len(choices)): score of
    queries[i] and choices[j] at [i, j], or 0 where it is below score_cutoff.
    dtype: numpy.float32 (as computed) or numpy.float64 (the exact double
    scores, as lcs.similarity gives them)."""
    dtype = numpy.dtype(dtype)
    if dtype not in (numpy.float32, numpy.float64):
        raise TypeError(f"dtype must be float32 or float64, not {dtype}")
    queries = _processed(_strings("queries", queries), processor)
    choices = _processed(_strings("choices", choices), processor)
    scores = _lcs._cdist(queries, choices, score_cutoff, workers)
    if dtype == numpy.float32:
        return scores
    lengths = [numpy.array([0 if s is None else len(s) for s in side], dtype=numpy.float64)
               for side in (queries, choices)]
    exact = _exact_scores(scores, lengths[0][:, None] + lengths[1][None, :])
    return numpy.where(scores > 0, exact, 0.0)


def _exact_scores(scores, total):
    """The exact double similarities behind float32 scores of pairs whose
    lengths add up to `total`: each float32 score is 2 * LCS / total rounded,
    so the LCS comes back from it exactly."""
    common = numpy.rint(scores.astype(numpy.float64) * total / 2)
    with numpy.errstate(invalid="ignore", divide="ignore"):
        return numpy.where(total > 0, 2 * common / total, scores.astype(numpy.float64))


def similar_pairs(queries, choices=None, *, score_cutoff, processor=None, workers=1):
    """Every pair with score >= score_cutoff as three numpy arrays: query
    positions, choice positions (int64) and scores (float32), ordered by query,
    then choice. With choices=None, the pairs within `queries`, query < choice.
    Memory grows with the answer, not with len(queries) * len(choices)."""
    queries = _processed(_strings("queries", queries), processor)
    if choices is not None:
        choices = _processed(_strings("choices", choices), processor)
    return _lcs._similar_pairs(queries, choices, score_cutoff, workers)
