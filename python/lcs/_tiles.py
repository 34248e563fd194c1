# SPDX-License-Identifier: MIT
"""Tiles of many against many: a range of queries against every choice, or
against the later queries, computed by lcs.process. lcs.dask runs them on a
cluster's workers, lcs-match one after the other on this machine."""

import numpy
import pandas

from lcs import _lcs, process

PAIRS_COLUMNS = {"query": numpy.int64, "choice": numpy.int64, "score": numpy.float32}
EXTRACT_COLUMNS = {"query": numpy.int64, "rank": numpy.int64, "choice": numpy.int64,
                   "score": numpy.float64}


def empty(columns):
    return pandas.DataFrame({name: numpy.array([], dtype=dtype) for name, dtype in columns.items()})


def pairs(queries, start, stop, choices, cutoff, workers=1):
    """The pairs with score >= cutoff of queries[start:stop] against every
    choice, or (choices None) against the later queries: a DataFrame of
    positions and float32 scores, ordered by query, then choice."""
    block = queries[start:stop]
    if choices is None:
        inside = process.similar_pairs(block, score_cutoff=cutoff, workers=workers)
        later = process.similar_pairs(block, queries[stop:], score_cutoff=cutoff, workers=workers)
        query = numpy.concatenate([inside[0], later[0]])
        choice = numpy.concatenate([inside[1] + start, later[1] + stop])
        score = numpy.concatenate([inside[2], later[2]])
        order = numpy.lexsort((choice, query))
        query, choice, score = query[order], choice[order], score[order]
    else:
        query, choice, score = process.similar_pairs(block, choices, score_cutoff=cutoff,
                                                     workers=workers)
    return pandas.DataFrame({"query": query + start, "choice": choice, "score": score})


def best(queries, start, stop, choices, limit, cutoff, workers=1):
    """The best `limit` choices of each of queries[start:stop] with score >=
    cutoff: a DataFrame of query, rank (from 1), choice and exact score,
    ordered by query, then rank; the choices are read once for all."""
    query, rank, choice, score = _lcs._extract_each(queries[start:stop], choices, limit, cutoff,
                                                    workers)
    return pandas.DataFrame({"query": query + start, "rank": rank, "choice": choice, "score": score})
