# SPDX-License-Identifier: MIT
"""lcs.dask on a cluster of two worker processes on 127.0.0.1: the answer of
lcs.process exactly, whatever the inputs' partitions, with a worker killed in
the middle, and a TypeError for a bad item, never a hang."""

import os
import random
import re
import signal
import subprocess
import sys
import time

import dask
import dask.bag
import dask.dataframe
import distributed
import numpy
import pandas
import psutil
import pytest
from pydoc_data.topics import topics

import lcs.dask as on_dask
import lcs.process as process
from test_match import MATCH, run_match

WORDS = sorted(set(re.findall(r"[A-Za-z]{3,}", " ".join(topics.values()))))


def names_with_typos(count, seed):
    rng = random.Random(seed)
    first = ["Anna", "Jonathan", "Maria", "Mohammed", "Chen", "Olga", "Pierre", "Fatima", "Kenji"]
    last = ["Smith", "Garcia", "Nguyen", "Okafor", "Kowalski", "Dubois", "Tanaka", "Rossi"]
    names = []
    for _ in range(count):
        name = list(f"{rng.choice(first)} {rng.choice(last)}")
        for _ in range(rng.randrange(3)):
            name[rng.randrange(len(name))] = rng.choice("aeiouxyz")
        names.append("".join(name))
    return names


def random_strings(count, seed):
    rng = random.Random(seed)
    return ["".join(rng.choice("abc") for _ in range(rng.randrange(12))) for _ in range(count)]


@pytest.fixture(scope="module")
def client():
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  host="127.0.0.1", dashboard_address=None,
                                  silence_logs=50) as cluster, distributed.Client(cluster) as client:
        yield client
    # Nothing left behind: the workers and their nannies have ended (Python's
    # own resource tracker stays until this process ends).
    deadline = time.monotonic() + 30
    while left_behind() and time.monotonic() < deadline:
        time.sleep(0.1)
    assert left_behind() == []


def left_behind():
    return [child.cmdline() for child in psutil.Process().children(recursive=True)
            if "resource_tracker" not in " ".join(child.cmdline())]


def as_list(strings):
    return strings


def as_series(strings):  # labels that are not positions
    return pandas.Series(strings, index=[f"row{k}" for k in reversed(range(len(strings)))],
                         dtype=object)


def as_uneven_bag(strings):
    cut = [0, 0, 1, len(strings) // 3, len(strings) // 3, len(strings)]
    parts = [strings[a:b] for a, b in zip(cut, cut[1:])]  # some of them empty
    return dask.bag.from_delayed([dask.delayed(part) for part in parts])


def as_dask_series(strings):
    cut = [0, len(strings) // 2, len(strings) // 2, len(strings)]
    parts = [pandas.Series(strings[a:b], dtype=object) for a, b in zip(cut, cut[1:])]
    return dask.dataframe.from_delayed([dask.delayed(part) for part in parts],
                                       meta=pandas.Series([], dtype=object))


DATA = {
    "words": (WORDS[::3], WORDS[1::5], 0.8),
    "names with typos": (names_with_typos(400, 1), names_with_typos(300, 2), 0.75),
    "random, short, with None": (random_strings(300, 3) + [None], [None] + random_strings(200, 4),
                                 0.6),
}
KINDS = [as_list, as_series, as_uneven_bag, as_dask_series]


def pairs_of(frame):
    return [frame[column].tolist() for column in ("query", "choice", "score")]


@pytest.mark.parametrize("data", DATA)
@pytest.mark.parametrize("kind", KINDS, ids=lambda kind: kind.__name__)
def test_the_cluster_gives_the_one_process_answer(client, data, kind):
    queries, choices, cutoff = DATA[data]
    block = 37 if kind is as_list else None  # small tiles too
    across = on_dask.similar_pairs(kind(queries), kind(choices), score_cutoff=cutoff, block=block)
    within = on_dask.similar_pairs(kind(queries), score_cutoff=cutoff, block=block)
    best = on_dask.extract(kind(queries[:60]), kind(choices), limit=3, score_cutoff=cutoff / 2)
    across, within, best = dask.compute(across, within, best)
    assert dict(across.dtypes) == {"query": numpy.int64, "choice": numpy.int64,
                                   "score": numpy.float32}
    expected = process.similar_pairs(queries, choices, score_cutoff=cutoff)
    assert pairs_of(across) == [array.tolist() for array in expected]
    expected = process.similar_pairs(queries, score_cutoff=cutoff)
    assert pairs_of(within) == [array.tolist() for array in expected]
    expected = [(q, rank, at, score) for q, query in enumerate(queries[:60])
                for rank, (_, score, at) in enumerate(
                    process.extract(query, choices, limit=3, score_cutoff=cutoff / 2), 1)]
    assert list(best.itertuples(index=False, name=None)) == expected


def test_a_worker_killed_in_the_middle_costs_time_not_data(client):
    queries = WORDS * 6
    expected = process.similar_pairs(queries, score_cutoff=0.5)
    for finished_before_kill in (0, 25):
        pids = list(client.run(os.getpid).values())
        tiles = on_dask.pair_tiles(queries, score_cutoff=0.5, block=150)
        assert len(tiles) > 2 * finished_before_kill
        while sum(tile.done() for tile in tiles) < finished_before_kill:
            time.sleep(0.01)
        os.kill(pids[finished_before_kill % 2], signal.SIGKILL)
        found = pandas.concat(client.gather(tiles))
        assert pairs_of(found) == [array.tolist() for array in expected]
        client.wait_for_workers(2, timeout=60)


def tasks_on_the_scheduler(client):
    return client.run_on_scheduler(lambda dask_scheduler: set(dask_scheduler.tasks))


@pytest.mark.parametrize("call, error", [
    (lambda: on_dask.similar_pairs(["a", 3], score_cutoff=0.5), "queries .* item 1 is int"),
    (lambda: on_dask.similar_pairs(["a"], pandas.Series(["b", b"c"]), score_cutoff=0.5),
     "choices .* item 1 is bytes"),
    (lambda: on_dask.extract("abc", ["a"]), "queries must be a sequence of str, not one str"),
    (lambda: on_dask.extract(["a"], 7), "choices must be a sequence of str, not int"),
    (lambda: on_dask.similar_pairs(dask.dataframe.from_pandas(pandas.DataFrame({"a": ["x"]}), 1),
                                   score_cutoff=0.5), "one column"),
])
def test_a_bad_list_is_a_type_error_before_any_work(client, call, error):
    before = tasks_on_the_scheduler(client)
    with pytest.raises(TypeError, match=error):
        call()
    assert tasks_on_the_scheduler(client) - before == set()


def test_a_bad_item_in_a_lazy_collection_is_a_type_error_within_seconds(client):
    bad = dask.bag.from_sequence(["a", "b", 3.5, "c"], npartitions=3)
    started = time.monotonic()
    with pytest.raises(TypeError, match="item 2 is float"):
        on_dask.similar_pairs(["a"], bad, score_cutoff=0.5).compute()
    with pytest.raises(TypeError, match="item 2 is float"):
        on_dask.extract(bad, ["a"]).compute()
    assert time.monotonic() - started < 30


@pytest.mark.parametrize("arguments, error", [
    ({"score_cutoff": 1.5}, ValueError), ({"score_cutoff": "0.5"}, TypeError),
    ({"score_cutoff": 0.5, "block": 0}, ValueError),
])
def test_bad_arguments(client, arguments, error):
    with pytest.raises(error):
        on_dask.similar_pairs(["a", "b"], **arguments)


def test_empty_inputs_give_empty_tables(client):
    assert len(on_dask.similar_pairs([], score_cutoff=0.5).compute()) == 0
    assert len(on_dask.extract(["a"], []).compute()) == 0
    assert len(on_dask.similar_pairs([None, None], ["a"], score_cutoff=0.0).compute()) == 0


def test_without_a_client_the_error_says_how_to_start_one():
    program = "import lcs.dask; lcs.dask.similar_pairs(['a'], score_cutoff=0.5)"
    result = subprocess.run([sys.executable, "-c", program], capture_output=True, text=True,
                            timeout=120)
    assert result.returncode == 1
    assert "RuntimeError: lcs.dask needs a Dask cluster and none is current: start one with " \
           "distributed.Client()" in result.stderr


def test_lcs_match_on_the_cluster_prints_what_it_prints_here(client, tmp_path):
    scheduler = client.scheduler.address
    names = tmp_path / "names"
    names.write_text("\n".join(names_with_typos(500, 5)) + "\n")
    for arguments in (["--within", str(names)], [str(names), str(names), "--limit", "2"],
                      ["--within", str(names), "--limit", "3", "--cutoff", "0.7"]):
        here = run_match(*arguments)
        there = run_match(*arguments, "--scheduler", scheduler)
        assert (there.returncode, there.stderr) == (0, "")
        assert there.stdout == here.stdout and here.stdout.count("\n") > 100


def test_lcs_match_with_a_scheduler_that_cannot_be_reached_fails_in_time(tmp_path):
    names = tmp_path / "names"
    names.write_text("a\nb\n")
    started = time.monotonic()
    result = subprocess.run([MATCH, "--scheduler", "tcp://127.0.0.1:9", "--within", str(names)],
                            capture_output=True, text=True, timeout=60)
    assert result.returncode == 2 and result.stdout == ""
    assert result.stderr.startswith("lcs-match: cannot reach the Dask scheduler at "
                                    "tcp://127.0.0.1:9 within 10 s")
    assert result.stderr.count("\n") == 1 and time.monotonic() - started < 30
