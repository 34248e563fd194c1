#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""lcs.dask.similar_pairs on LocalClusters of this machine against the
single-process call, in one run: 200,000 × 200,000 words with typos at 0.8
on 1 and on 2 one-thread workers and by lcs.process with 2 threads (the
cluster's own cost), then at 0.9 the peak memory of each worker process.
Prints Markdown.

Usage: PYTHONPATH=build/release/python /usr/bin/python3 bench/dask_bench.py [COUNT]
(needs wamerican's word list and python3-distributed)
"""
import os
import random
import sys
import threading
import time

import distributed
import psutil

import lcs.dask
import lcs.process


def words_with_typos(count, seed):
    words = [w.strip() for w in open("/usr/share/dict/words", encoding="utf-8") if w.strip()]
    rng = random.Random(seed)
    picked = []
    for _ in range(count):
        word = list(rng.choice(words))
        if rng.random() < 0.5:
            word[rng.randrange(len(word))] = rng.choice("aeiourst")
        picked.append("".join(word))
    return picked


class PeakMemory:
    """The largest resident size each of the cluster's worker processes
    reaches, sampled every 50 ms."""

    def __init__(self, client):
        self.processes = [psutil.Process(pid) for pid in client.run(os.getpid).values()]
        self.peaks = [0] * len(self.processes)
        self.running = True
        self.thread = threading.Thread(target=self.sample)
        self.thread.start()

    def sample(self):
        while self.running:
            for k, process in enumerate(self.processes):
                self.peaks[k] = max(self.peaks[k], process.memory_info().rss)
            time.sleep(0.05)

    def stop(self):
        self.running = False
        self.thread.join()
        return [peak / 2**20 for peak in self.peaks]


def on_cluster(workers, queries, choices, cutoff, memory=False):
    with distributed.LocalCluster(n_workers=workers, threads_per_worker=1, host="127.0.0.1",
                                  dashboard_address=None, silence_logs=50) as cluster, \
            distributed.Client(cluster) as client:
        peak = PeakMemory(client) if memory else None
        start = time.perf_counter()
        found = lcs.dask.similar_pairs(queries, choices, score_cutoff=cutoff).compute()
        seconds = time.perf_counter() - start
        return seconds, len(found), (peak.stop() if peak else None)


def main(count):
    queries, choices = words_with_typos(count, 1), words_with_typos(count, 2)
    print(f"{count:,} × {count:,} words with typos (one in two has one), similar_pairs\n")
    start = time.perf_counter()
    expected = len(lcs.process.similar_pairs(queries, choices, score_cutoff=0.8, workers=2)[0])
    alone = time.perf_counter() - start
    one, found_one, _ = on_cluster(1, queries, choices, 0.8)
    two, found_two, _ = on_cluster(2, queries, choices, 0.8)
    assert found_one == found_two == expected, (found_one, found_two, expected)
    print("| at 0.8 | seconds | pairs found |\n| --- | --- | --- |")
    print(f"| lcs.process, one process, 2 threads | {alone:.1f} | {expected:,} |")
    print(f"| LocalCluster, 1 worker of 1 thread | {one:.1f} | {found_one:,} |")
    print(f"| LocalCluster, 2 workers of 1 thread | {two:.1f} | {found_two:,} |")
    print(f"\n2 workers against 1: **{one / two:.2f}×** (goal ≥ 1.7×); "
          f"2 workers against one process with 2 threads: **{two / alone:.2f}×** the time "
          f"(goal ≤ 1.3×)\n")
    seconds, found, peaks = on_cluster(2, queries, choices, 0.9, memory=True)
    print(f"At 0.9 on 2 workers: {seconds:.1f} s, {found:,} pairs, peak resident size of the "
          f"worker processes {' and '.join(f'{peak:.0f} MB' for peak in peaks)} (goal < 500 MB)")


if __name__ == "__main__":
    main(int(sys.argv[1]) if len(sys.argv) > 1 else 200_000)
