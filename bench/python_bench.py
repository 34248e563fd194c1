#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The Python module against its peers, in one run, in turn, median of
REPEATS: difflib (the standard library) and python3-levenshtein when it is
installed. Prints a Markdown table with the ratios the goals are stated in.

Usage: PYTHONPATH=build/release/python /usr/bin/python3 bench/python_bench.py
"""
import difflib
import random
import statistics
import time
import timeit

import lcs

REPEATS = 3


def median_seconds(call):
    times = []
    for _ in range(REPEATS):
        start = time.perf_counter()
        result = call()
        times.append(time.perf_counter() - start)
    return statistics.median(times), result


def matched(blocks):
    return sum(block[2] for block in blocks)


def equal_items(codes):
    return sum(i2 - i1 for tag, i1, i2, _, _ in codes if tag == "equal")


def main():
    rows = []
    a = open("/usr/share/common-licenses/GPL-3", encoding="utf-8").read()[:20000]
    b = open("/usr/share/common-licenses/GPL-2", encoding="utf-8").read()[:20000]
    ours, blocks = median_seconds(lambda: lcs.matching_blocks(a, b))
    theirs, their_blocks = median_seconds(
        lambda: difflib.SequenceMatcher(None, a, b, autojunk=False).get_matching_blocks())
    rows.append(("GPL-3 and GPL-2, 20,000 characters each: matching blocks",
                 "difflib, autojunk=False", ours, theirs, matched(blocks),
                 matched(their_blocks), "≥ 500×"))

    rng = random.Random(2026)
    vocabulary = [f"line {k}: {rng.random():.9f}\n" for k in range(2000)]
    x = [rng.choice(vocabulary) for _ in range(20000)]
    y = [rng.choice(vocabulary) for _ in range(20000)]
    ours, codes = median_seconds(lambda: lcs.opcodes(x, y))
    theirs, their_codes = median_seconds(lambda: difflib.SequenceMatcher(None, x, y).get_opcodes())
    rows.append(("two 20,000-line lists over 2,000 lines: opcodes", "difflib, default",
                 ours, theirs, equal_items(codes), equal_items(their_codes), "≥ 5×"))

    words = [line.strip() for line in open("/usr/share/dict/words", encoding="utf-8")] \
        if __import__("os").path.exists("/usr/share/dict/words") else \
        ["".join(rng.choice("abcdefghij") for _ in range(rng.randint(3, 12))) for _ in range(50000)]
    words = words[:50000]
    ours, close = median_seconds(lambda: lcs.get_close_matches("appel", words))
    theirs, their_close = median_seconds(lambda: difflib.get_close_matches("appel", words))
    rows.append((f"get_close_matches, one word against {len(words):,}", "difflib", ours, theirs,
                 len(close), len(their_close), "faster"))

    calls = 100000
    ours = min(timeit.repeat(lambda: lcs.similarity("kitten", "sitting"), number=calls,
                             repeat=REPEATS)) / calls
    try:
        import Levenshtein
        theirs = min(timeit.repeat(lambda: Levenshtein.ratio("kitten", "sitting"),
                                   number=calls, repeat=REPEATS)) / calls
        rows.append(("kitten / sitting, 100,000 calls: time a call", "Levenshtein.ratio",
                     ours, theirs, None, None, "≤ 2× its time"))
    except ImportError:
        print(f"python3-levenshtein is not installed; lcs.similarity: {ours * 1e9:.0f} ns a call")

    print("| case | peer | lcs | peer's time | speed-up | matched: lcs / peer | goal |")
    print("| --- | --- | ---: | ---: | ---: | ---: | --- |")
    for case, peer, ours, theirs, our_count, their_count, goal in rows:
        unit, scale = ("ns", 1e9) if ours < 1e-4 else ("ms", 1e3)
        counts = f"{our_count:,} / {their_count:,}" if our_count is not None else "—"
        print(f"| {case} | {peer} | {ours * scale:.1f} {unit} | {theirs * scale:.1f} {unit} | "
              f"{theirs / ours:.1f}× | {counts} | {goal} |")


if __name__ == "__main__":
    main()
