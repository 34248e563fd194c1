# SPDX-License-Identifier: MIT
"""Many against many on a Dask cluster: lcs.process's similar_pairs and
extract, cut into tiles of queries that the cluster's workers compute with
the C++ engine, one tile a thread, with the GIL released.

Each side reaches the cluster as one piece of data that every worker fetches
once; it stays recomputable (from the list in the task itself, or from the
lazy collection it was read from), so that a worker lost in the middle costs
time, not data. Needs dask.distributed and a client: the current one
(distributed.get_client()) unless one is given. The results are
dask.dataframe.DataFrame objects already computing on the cluster:
.compute() gathers them.
"""

import math
import uuid
import warnings

import numpy
import pandas

try:
    import dask.bag
    import dask.dataframe
    import distributed
except ImportError as error:  # pragma: no cover - the tests have Dask
    raise ImportError("lcs.dask needs Dask: apt-get install python3-distributed "
                      "(or pip install 'dask[dataframe]' distributed)") from error

from lcs import _tiles

__all__ = ["similar_pairs", "extract"]

# What one tile should cost, in symbol steps of the engine (a pair of words
# is about 10): near a second of one core for similar_pairs at a cut-off of
# 0.8, and for extract, whose pairs cost about eight times as much (no
# pair is left out for its lengths alone until the best are known).
_STEPS_PER_TILE = 4e9
_EXTRACT_STEPS_PER_TILE = _STEPS_PER_TILE / 8
# Tiles per thread of the cluster, at least, so that every thread has work
# to the end and a lost worker's share is spread over the others.
_TILES_PER_THREAD = 4

_PAIRS_META = _tiles.empty(_tiles.PAIRS_COLUMNS)
_EXTRACT_META = _tiles.empty(_tiles.EXTRACT_COLUMNS)


class _Strings:
    """One side, as the tasks pass it: a list of str or None, and its total
    length in code points."""

    def __init__(self, strings):
        self.strings = strings
        self.symbols = sum(len(s) for s in strings if s is not None)

    def __len__(self):
        return len(self.strings)

    def __sizeof__(self):  # what Dask weighs when it places and moves the data
        return 64 + 8 * len(self.strings) + self.symbols


def _client(client):
    if client is not None:
        return client
    try:
        return distributed.get_client()
    except ValueError:
        raise RuntimeError(
            "lcs.dask needs a Dask cluster and none is current: start one with "
            "distributed.Client() (this machine) or distributed.Client('tcp://SCHEDULER:8786'), "
            "or pass client=") from None


def _checked(argument, strings, start=0):
    """The items as a list, each a str or None (pandas' missing values are
    None); a TypeError names the first that is neither."""
    if isinstance(strings, pandas.Series):
        strings = [None if not isinstance(s, str) and pandas.isna(s) else s
                   for s in strings.tolist()]
    else:
        strings = list(strings)
    for position, item in enumerate(strings):
        if item is not None and not isinstance(item, str):
            raise TypeError(f"{argument} must hold str or None: item {start + position} is "
                            f"{type(item).__name__}")
    return strings


def _joined(argument, *partitions):
    strings = []
    for partition in partitions:
        strings.extend(_checked(argument, partition, len(strings)))
    return _Strings(strings)


def _measure(side):
    return len(side), side.symbols


def _side(argument, strings):
    """A lazy collection as it is, anything else as _Strings, checked here:
    a bad item is a TypeError before any work."""
    if isinstance(strings, (str, bytes)):
        raise TypeError(f"{argument} must be a sequence of str, not one {type(strings).__name__}")
    if isinstance(strings, dask.dataframe.DataFrame):
        raise TypeError(f"{argument} must be one column (a dask Series), not a DataFrame")
    if isinstance(strings, (dask.bag.Bag, dask.dataframe.Series)):
        return strings
    if not isinstance(strings, pandas.Series):
        try:
            strings = list(strings)
        except TypeError:
            raise TypeError(f"{argument} must be a sequence of str, not "
                            f"{type(strings).__name__}") from None
    return _Strings(_checked(argument, strings))


def _on_cluster(client, argument, side):
    """The side as a future of _Strings on the cluster, its size and symbols.
    A lazy collection is read on the cluster, where a bad item raises."""
    if isinstance(side, _Strings):
        # The list travels inside the task, which the scheduler keeps: a
        # worker lost with it makes the scheduler run the task again. (Dask
        # advises scatter instead, whose data is lost with the worker.)
        with warnings.catch_warnings():
            warnings.filterwarnings("ignore", "Large object", UserWarning)
            future = client.submit(_identity, side, key=_key("strings"))
        return future, len(side), side.symbols
    partitions = client.compute(side.to_delayed())
    joined = client.submit(_joined, argument, *partitions, key=_key("strings"))
    count, symbols = client.submit(_measure, joined, key=_key("measure")).result()
    return joined, count, symbols


def _identity(side):
    return side


def _key(name):
    return f"lcs-{name}-{uuid.uuid4().hex}"


def _tile_bounds(client, queries, choices, block, within, steps_per_tile=_STEPS_PER_TILE):
    """Query ranges [start, stop), each a tile: `block` queries, or as many as
    make a tile of about steps_per_tile (in a triangle, fewer at the top)."""
    count, symbols = queries[1:]
    if block is not None:
        if not isinstance(block, int) or isinstance(block, bool) or block < 1:
            raise ValueError(f"block must be a positive int, not {block!r}")
        return [(start, min(start + block, count)) for start in range(0, count, block)]
    choice_count, choice_symbols = choices[1:]
    # Steps of one query against one choice: its symbols times the choice's
    # machine words (a word holds 64 symbols).
    steps_per_pair = max(1.0, symbols / max(count, 1)) * max(1.0, choice_symbols / max(choice_count, 1) / 64)
    threads = max(1, sum(client.nthreads().values()))
    bounds, start = [], 0
    while start < count:
        against = choice_count - start if within else choice_count
        rows = steps_per_tile / (steps_per_pair * max(against, 1))
        rows = min(rows, math.ceil(count / (threads * _TILES_PER_THREAD)))
        stop = min(count, start + max(1, int(rows)))
        bounds.append((start, stop))
        start = stop
    return bounds


def _pairs_tile(queries, start, stop, choices, cutoff):
    return _tiles.pairs(queries.strings, start, stop, None if choices is None else choices.strings,
                        cutoff)


def _extract_tile(queries, start, stop, choices, limit, cutoff):
    return _tiles.best(queries.strings, start, stop, choices.strings, limit, cutoff)


def _checked_cutoff(cutoff):
    if isinstance(cutoff, bool) or not isinstance(cutoff, (int, float)):
        raise TypeError(f"score_cutoff must be a number, not {type(cutoff).__name__}")
    if not 0.0 <= cutoff <= 1.0:
        raise ValueError(f"score_cutoff must be from 0.0 to 1.0, not {cutoff}")
    return float(cutoff)


def _frame(tiles, meta):
    if not tiles:
        return dask.dataframe.from_pandas(meta, npartitions=1)
    return dask.dataframe.from_delayed(tiles, meta=meta, verify_meta=False)


def pair_tiles(queries, choices=None, *, score_cutoff, client=None, block=None):
    """similar_pairs' tiles: futures of pandas DataFrames, in query order."""
    cutoff = _checked_cutoff(score_cutoff)
    queries = _side("queries", queries)
    choices = None if choices is None else _side("choices", choices)
    client = _client(client)
    query_side = _on_cluster(client, "queries", queries)
    choice_side = query_side if choices is None else _on_cluster(client, "choices", choices)
    bounds = _tile_bounds(client, query_side, choice_side, block, within=choices is None)
    choice_future = None if choices is None else choice_side[0]
    return [client.submit(_pairs_tile, query_side[0], start, stop, choice_future, cutoff,
                          key=_key("pairs")) for start, stop in bounds]


def best_tiles(queries, choices, *, limit=5, score_cutoff=0.0, client=None, block=None):
    """extract's tiles: futures of pandas DataFrames, in query order."""
    cutoff = _checked_cutoff(score_cutoff)
    if limit is not None and (isinstance(limit, bool) or not isinstance(limit, int) or limit < 0):
        raise ValueError(f"limit must be a non-negative int or None, not {limit!r}")
    queries, choices = _side("queries", queries), _side("choices", choices)
    client = _client(client)
    query_side = _on_cluster(client, "queries", queries)
    choice_side = _on_cluster(client, "choices", choices)
    bounds = _tile_bounds(client, query_side, choice_side, block, within=False,
                          steps_per_tile=_EXTRACT_STEPS_PER_TILE)
    return [client.submit(_extract_tile, query_side[0], start, stop, choice_side[0], limit, cutoff,
                          key=_key("extract")) for start, stop in bounds]


def similar_pairs(queries, choices=None, *, score_cutoff, client=None, block=None):
    """Every pair with score >= score_cutoff, once: a dask DataFrame of query,
    choice (int64 positions in the whole inputs) and score (float32), ordered
    by query, then choice. choices=None: the pairs within queries, query <
    choice. Inputs: lists, pandas Series, dask Bags or Series of str (None
    skipped). block: queries per tile (default: about a second a tile).
    Memory on a worker: both sides and one tile's pairs."""
    return _frame(pair_tiles(queries, choices, score_cutoff=score_cutoff, client=client,
                             block=block), _PAIRS_META)


def extract(queries, choices, *, limit=5, score_cutoff=0.0, client=None, block=None):
    """The best `limit` choices of each query with score >= score_cutoff: a
    dask DataFrame of query, rank (1 = best), choice and score (float64, as
    lcs.process.extract gives it), ordered by query, then rank; ties go to the
    lower choice. Inputs as for similar_pairs; None queries have no rows."""
    return _frame(best_tiles(queries, choices, limit=limit, score_cutoff=score_cutoff,
                             client=client, block=block), _EXTRACT_META)
