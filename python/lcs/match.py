# SPDX-License-Identifier: MIT
"""lcs-match: the lines of one file that are like the lines of another (or of
the same file), by similarity 2 * LCS / (len(a) + len(b)), on this machine or
on a Dask cluster. Prints `query_line<TAB>choice_line<TAB>score` (1-based
line numbers, four decimals) by query line, then score falling, then choice
line. Exit status 0, or 2 with one line on standard error."""

import argparse
import signal
import sys

import numpy

from lcs import __version__, _tiles, process

_PROGRAM = "lcs-match"
_CONNECT_SECONDS = 10
# Queries a step on this machine: enough work for every thread, and often
# enough for the progress line.
_LOCAL_BLOCK = 2048


class _Trouble(Exception):
    """What ends the run with status 2: its text is the line printed."""


class _Parser(argparse.ArgumentParser):
    def error(self, message):
        raise _Trouble(f"{message} (see {_PROGRAM} --help)")


def _arguments(argv):
    parser = _Parser(
        prog=_PROGRAM,
        usage=f"{_PROGRAM} [OPTIONS] QUERIES CHOICES\n       {_PROGRAM} [OPTIONS] --within FILE",
        description="Find the lines of CHOICES like each line of QUERIES (or, with --within, the "
                    "pairs of alike lines in FILE) by the similarity 2*LCS/(len(a)+len(b)). "
                    "A file named - is standard input.")
    parser.add_argument("files", nargs="*", metavar="FILE", help=argparse.SUPPRESS)
    parser.add_argument("--within", metavar="FILE", help="compare the lines of FILE with each other")
    parser.add_argument("--cutoff", type=_score, default=0.8, metavar="S",
                        help="the least score printed, from 0 to 1 (default 0.8)")
    parser.add_argument("--limit", type=_count, metavar="K", help="only each query's K best")
    parser.add_argument("--threads", type=_count, default=0, metavar="N",
                        help="threads on this machine (default 0: one per core)")
    parser.add_argument("--scheduler", metavar="ADDRESS",
                        help="run on the Dask cluster of this scheduler (tcp://HOST:8786)")
    parser.add_argument("--version", action="version", version=f"{_PROGRAM} {__version__}")
    options = parser.parse_args(argv)
    wanted = 0 if options.within is not None else 2
    if len(options.files) != wanted:
        parser.error("two files, QUERIES and CHOICES, are needed" if wanted else
                     "--within takes one file, and no other")
    if options.scheduler is not None and options.threads:
        parser.error("--threads is for this machine; a cluster's workers have their own")
    files = [options.within] if options.within is not None else options.files
    if files.count("-") > 1:
        parser.error("standard input (-) can be read only once")
    options.files = files
    return options


def _score(text):
    try:
        value = float(text)
    except ValueError:
        value = -1.0
    if not 0.0 <= value <= 1.0:
        raise argparse.ArgumentTypeError(f"a score from 0 to 1, not {text!r}")
    return value


def _count(text):
    if not text.isdigit():
        raise argparse.ArgumentTypeError(f"a whole number, not {text!r}")
    return int(text)


def _lines(path):
    """The lines of a file, without their line ends; bytes that are not UTF-8
    each count as one symbol."""
    try:
        if path == "-":
            data = sys.stdin.buffer.read()
        else:
            with open(path, "rb") as file:
                data = file.read()
    except OSError as error:
        raise _Trouble(f"cannot read {path}: {error.strerror}") from None
    lines = data.decode("utf-8", "surrogateescape").split("\n")
    if lines[-1] == "":
        lines.pop()
    return lines


class _Progress:
    """A line on standard error, when it is a terminal, of the work done."""

    def __init__(self, total, unit):
        self.total, self.unit = total, unit
        self.shown = sys.stderr.isatty() and total > 0

    def show(self, done):
        if self.shown:
            sys.stderr.write(f"\r{_PROGRAM}: {done:,} of {self.total:,} {self.unit}")
            sys.stderr.flush()

    def close(self):
        if self.shown:
            sys.stderr.write("\r\033[K")
            sys.stderr.flush()


def _exact(frame, queries, choices):
    """The scores of pairs as exact doubles."""
    total = (numpy.array([len(queries[q]) for q in frame["query"]], dtype=numpy.float64) +
             numpy.array([len(choices[c]) for c in frame["choice"]], dtype=numpy.float64))
    return process._exact_scores(frame["score"].to_numpy(), total)


def _write(frame, queries, choices, out):
    if frame.empty:
        return
    scores = (frame["score"].to_numpy(numpy.float64) if "rank" in frame
              else _exact(frame, queries, choices))
    order = numpy.lexsort((frame["choice"].to_numpy(), -scores, frame["query"].to_numpy()))
    rows = zip(frame["query"].to_numpy()[order] + 1, frame["choice"].to_numpy()[order] + 1,
               scores[order])
    out.write("".join(f"{q}\t{c}\t{s:.4f}\n" for q, c, s in rows))


def _without_self(frame, limit):
    """--within --limit: each line's `limit` best other lines, from its
    `limit + 1` best lines of all (one of which may be itself)."""
    frame = frame[frame["query"] != frame["choice"]]
    return frame.groupby("query", sort=False).head(limit)


def _tiles_here(options, queries, choices, within):
    workers = options.threads or -1
    for start in range(0, len(queries), _LOCAL_BLOCK):
        stop = min(start + _LOCAL_BLOCK, len(queries))
        if options.limit is None:
            yield stop, _tiles.pairs(queries, start, stop, None if within else choices,
                                     options.cutoff, workers)
        else:
            yield stop, _tiles.best(queries, start, stop, choices, options.limit + within,
                                    options.cutoff, workers)


def _tiles_on_cluster(options, queries, choices, within):
    try:
        import distributed
        from lcs import dask as on_dask
    except ImportError as error:
        raise _Trouble(f"--scheduler needs Dask: {error}") from None
    try:
        client = distributed.Client(options.scheduler, timeout=_CONNECT_SECONDS)
    except (OSError, ValueError, TypeError) as error:
        raise _Trouble(f"cannot reach the Dask scheduler at {options.scheduler} within "
                       f"{_CONNECT_SECONDS} s: {error}") from None
    with client:
        if options.limit is None:
            futures = on_dask.pair_tiles(queries, None if within else choices,
                                         score_cutoff=options.cutoff, client=client)
        else:
            futures = on_dask.best_tiles(queries, choices, limit=options.limit + within,
                                         score_cutoff=options.cutoff, client=client)
        done = 0
        for future in futures:
            frame = future.result()
            done += 1
            yield (done * len(queries)) // len(futures), frame


def _run(options):
    within = options.within is not None
    queries = _lines(options.files[0])
    choices = queries if within else _lines(options.files[1])
    tiles = _tiles_on_cluster if options.scheduler is not None else _tiles_here
    progress = _Progress(len(queries), "lines" if within else "queries")
    try:
        for done, frame in tiles(options, queries, choices, within):
            if within and options.limit is not None:
                frame = _without_self(frame, options.limit)
            progress.close()
            _write(frame, queries, choices, sys.stdout)
            sys.stdout.flush()
            progress.show(done)
    finally:
        progress.close()


def main(argv=None):
    # A closed pipe (lcs-match ... | head) ends the program quietly, as it
    # ends any other filter.
    signal.signal(signal.SIGPIPE, signal.SIG_DFL)
    try:
        _run(_arguments(sys.argv[1:] if argv is None else argv))
    except _Trouble as trouble:
        sys.stderr.write(f"{_PROGRAM}: {trouble}\n")
        return 2
    except KeyboardInterrupt:
        return 130
    except MemoryError:
        sys.stderr.write(f"{_PROGRAM}: out of memory\n")
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main())
