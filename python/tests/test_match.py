# SPDX-License-Identifier: MIT
"""lcs-match end to end on this machine: the lines it prints are those of a
pair-by-pair brute force over lcs.similarity, in its order and format; any
trouble is one line on standard error and exit status 2."""

import os
import random
import subprocess

import pytest

import lcs

MATCH = os.environ.get("LCS_MATCH") or os.path.join(
    os.path.dirname(os.path.dirname(lcs.__file__)), "lcs-match")


def run_match(*arguments, stdin=None):
    return subprocess.run([MATCH, *arguments], input=stdin, capture_output=True, text=True,
                          timeout=300)


def brute_force(queries, choices, cutoff=0.8, limit=None, within=False):
    lines = []
    for q, query in enumerate(queries):
        found = [(c, lcs.similarity(query, choice)) for c, choice in enumerate(choices)
                 if not within or (c != q if limit is not None else c > q)]
        found = sorted(((c, s) for c, s in found if s >= cutoff), key=lambda f: (-f[1], f[0]))
        lines += [f"{q + 1}\t{c + 1}\t{s:.4f}\n" for c, s in found[:limit]]
    return "".join(lines)


def typos(count, seed):
    rng = random.Random(seed)
    stems = ["colour", "colours", "color", "neighbour", "neighbor", "", "analyse", "analyze",
             "Straße", "strasse", "naïve", "naive"]
    return ["".join(rng.choice([ch, ch, ch, "x"]) for ch in rng.choice(stems))
            for _ in range(count)]


QUERIES, CHOICES = typos(150, 1), typos(120, 2)


@pytest.mark.parametrize("options, expected", [
    ([], brute_force(QUERIES, CHOICES)),
    (["--cutoff", "0.5"], brute_force(QUERIES, CHOICES, 0.5)),
    (["--limit", "2", "--cutoff", "0"], brute_force(QUERIES, CHOICES, 0.0, 2)),
    (["--within"], brute_force(QUERIES, QUERIES, within=True)),
    (["--within", "--limit", "1", "--cutoff", "0.6"],
     brute_force(QUERIES, QUERIES, 0.6, 1, within=True)),
    (["--threads", "1", "--cutoff", "0.9"], brute_force(QUERIES, CHOICES, 0.9)),
], ids=["default", "cutoff", "limit", "within", "within limit", "one thread"])
def test_prints_what_the_brute_force_finds(tmp_path, options, expected):
    (tmp_path / "queries").write_text("\n".join(QUERIES) + "\n", encoding="utf-8")
    (tmp_path / "choices").write_text("\n".join(CHOICES), encoding="utf-8")  # no last newline
    files = [str(tmp_path / "queries")]
    if "--within" in options:
        options = [option for option in options if option != "--within"] + ["--within"]
    else:
        files.append(str(tmp_path / "choices"))
    result = run_match(*options, *files)
    assert (result.returncode, result.stderr) == (0, "")
    assert result.stdout == expected


def test_exact_output_from_standard_input():
    result = run_match("--within", "-", "--cutoff", "0.5",
                       stdin="apple\nbanana\napples\n\nbananas\napple\n")
    assert (result.returncode, result.stderr) == (0, "")
    assert result.stdout == "1\t6\t1.0000\n1\t3\t0.9091\n2\t5\t0.9231\n3\t6\t0.9091\n"
    result = run_match("-", os.devnull, stdin="a\n")
    assert (result.returncode, result.stdout, result.stderr) == (0, "", "")


def test_bytes_that_are_not_utf8_count_one_each(tmp_path):
    (tmp_path / "a").write_bytes(b"caf\xe9\ncaf\xc3\xa9\n")
    (tmp_path / "b").write_bytes(b"caf\xe9s\n")
    result = run_match("--cutoff", "0", str(tmp_path / "a"), str(tmp_path / "b"))
    assert result.stdout == "1\t1\t0.8889\n2\t1\t0.6667\n"


@pytest.mark.parametrize("arguments, message", [
    (["nowhere", "nowhere"], "lcs-match: cannot read nowhere: No such file or directory"),
    (["."], "lcs-match: two files, QUERIES and CHOICES, are needed (see lcs-match --help)"),
    ([".", "."], "lcs-match: cannot read .: Is a directory"),
    (["--within", "a", "b"], "lcs-match: --within takes one file, and no other"),
    (["-", "-"], "lcs-match: standard input (-) can be read only once"),
    (["--cutoff", "high", "a", "b"], "lcs-match: argument --cutoff: a score from 0 to 1, not 'high'"),
    (["--limit", "-1", "a", "b"], "lcs-match: argument --limit: a whole number, not '-1'"),
    (["--threads", "2", "--scheduler", "tcp://127.0.0.1:9", "a", "b"],
     "lcs-match: --threads is for this machine; a cluster's workers have their own"),
    (["--bogus", "a", "b"], "lcs-match: unrecognized arguments: --bogus"),
])
def test_trouble_is_one_line_and_status_2(arguments, message):
    result = run_match(*arguments, stdin="")
    assert (result.returncode, result.stdout) == (2, "")
    assert result.stderr.startswith(message) and result.stderr.count("\n") == 1


def test_help_and_version():
    assert run_match("--help").stdout.startswith("usage: lcs-match [OPTIONS] QUERIES CHOICES")
    assert run_match("--version").stdout == f"lcs-match {lcs.__version__}\n"
