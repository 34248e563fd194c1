#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The many-pair calls' figures as Markdown: each workload's time against the
loop over lcs::similarity measured in turn in the same run (many_bench's
JSON), two threads against one, the peak memory of similar_pairs, and
lcs.process.cdist against the C++ call on the same words.

Usage: PYTHONPATH=build/release/python /usr/bin/python3 bench/many_report.py build/bench-many.json
"""
import json
import random
import statistics
import sys
import time

WORKLOADS = [  # benchmark, what it is, goal in times the loop
    ("BM_cdist/words/4000", "`cdist`, 4,000 × 4,000 words (3–20 chars)", 40),
    ("BM_cdist/words_cutoff_80_percent/4000", "the same with `score_cutoff = 0.8`", 80),
    ("BM_extract/iterations:8", "`extract`, one query against 500,000 words, best 5", 3.2),
    ("BM_cdist/source_lines/1000", "`cdist`, 1,000 × 1,000 source lines (40–120 chars)", 9.5),
    ("BM_cdist/paragraphs/300", "`cdist`, 300 × 300 paragraphs (300–1,500 chars)", 2.4),
]


def python_cdist_ms(count=4000, repeats=5):
    import lcs.process
    words = sorted({w.strip() for w in open("/usr/share/dict/words", encoding="utf-8")
                    if 3 <= len(w.strip()) <= 20})
    random.Random(1).shuffle(words)
    words = words[:count]
    lcs.process.cdist(words, words)  # the first call imports numpy
    times = []
    for _ in range(repeats):
        start = time.perf_counter()
        lcs.process.cdist(words, words)
        times.append(time.perf_counter() - start)
    return 1000 * statistics.median(times)


def main(path):
    runs = {b["name"]: b for b in json.load(open(path, encoding="utf-8"))["benchmarks"]}
    print("| workload | ours | the loop over `lcs::similarity` | times the loop | goal | path |")
    print("| --- | ---: | ---: | ---: | ---: | --- |")
    for name, what, goal in WORKLOADS:
        run = runs[name]
        ours, loop = run["method_ms"], run["reference_ms"]
        print(f"| {what} | {ours:.1f} ms | {loop:.0f} ms | {loop / ours:.1f}× | {goal}× | {run['label']} |")
    print()
    print("| two threads against one | one thread | two threads | speed-up |")
    print("| --- | ---: | ---: | ---: |")
    for name, run in runs.items():
        if name.startswith("BM_threads/"):
            one, two = run["reference_ms"], run["method_ms"]
            print(f"| {name.split('/')[1]} | {one:.1f} ms | {two:.1f} ms | {one / two:.2f}× |")
    memory = runs["BM_similar_pairs_memory/iterations:1"]
    print()
    print(f"`similar_pairs` of 100,000 × 100,000 words at cut-off 0.9: {memory['pairs']:.0f} pairs, "
          f"peak heap growth {memory['peak_MB']:.1f} MB, {memory['real_time'] / 1000:.1f} s on two threads.")
    python_ms = python_cdist_ms()
    native = runs["BM_cdist/words/4000"]["method_ms"]
    print(f"`lcs.process.cdist` on the same 4,000 words: {python_ms:.1f} ms, "
          f"{python_ms / native:.2f}× the C++ call's {native:.1f} ms (a new numpy array each call).")


if __name__ == "__main__":
    main(sys.argv[1])
