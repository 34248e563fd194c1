#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Whole processes side by side: lcs-diff against GNU diff (plain and
--minimal) and git diff --no-index (when git is installed) on three kinds
of input, run in turn, the median of REPEATS runs each. Prints a Markdown
table of times and changed lines, and the ratios the goals are stated in;
writes the figures as JSON when given a path.

Usage: diff_bench.py LCS_DIFF [JSON_OUT]
"""
import json
import os
import random
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

REPEATS = 5
HUNK = re.compile(rb"^@@ -\d+(?:,(\d+))? \+\d+(?:,(\d+))? @@")


def changed_lines(diff):
    """The '-' and '+' lines of the hunks of a (multi-file) unified diff."""
    lines = diff.split(b"\n")
    count = 0
    k = 0
    while k < len(lines):
        found = HUNK.match(lines[k])
        k += 1
        if not found:
            continue
        old, new = (int(size) if size is not None else 1 for size in found.groups())
        while (old > 0 or new > 0) and k < len(lines):
            mark = lines[k][:1]
            k += 1
            if mark == b"\\":
                continue
            old -= mark in (b" ", b"-")
            new -= mark in (b" ", b"+")
            count += mark in (b"-", b"+")
    return count


def edited(rng, lines, share):
    out = []
    for line in lines:
        draw = rng.random()
        if draw < share / 3:
            out.append(f"changed {rng.random()}\n")
        elif draw < 2 * share / 3:
            continue
        elif draw < share:
            out += [line, f"added {rng.random()}\n"]
        else:
            out.append(line)
    return out


def make_inputs(work):
    rng = random.Random(2026)
    vocabulary = [f"line {k}: {rng.random():.9f}\n" for k in range(2000)]
    for name in ("vocabulary_a", "vocabulary_b"):
        with open(os.path.join(work, name), "w") as out:
            out.writelines(rng.choice(vocabulary) for _ in range(50000))
    lines = [f"{k:06d} {rng.random():.12f} of a long file\n" for k in range(200000)]
    with open(os.path.join(work, "long_a"), "w") as out:
        out.writelines(lines)
    with open(os.path.join(work, "long_b"), "w") as out:
        out.writelines(edited(rng, lines, 0.01))
    # Two trees: a language's library sources, and a copy with a third of
    # the files edited, three dropped and three added.
    sources = sorted(f for f in os.listdir("/usr/lib/python3.11") if f.endswith(".py"))[:180]
    for tree in ("tree_a", "tree_b"):
        os.mkdir(os.path.join(work, tree))
    for index, name in enumerate(sources):
        with open(os.path.join("/usr/lib/python3.11", name), "rb") as source:
            text = source.read().decode("latin-1")
        with open(os.path.join(work, "tree_a", name), "w", encoding="latin-1") as out:
            out.write(text)
        if index % 60 == 7:
            continue
        kept = text.splitlines(keepends=True)
        if index % 3 == 0:
            kept = edited(rng, kept, 0.02)
        with open(os.path.join(work, "tree_b", name), "w", encoding="latin-1") as out:
            out.writelines(kept)
    for k in range(3):
        with open(os.path.join(work, "tree_b", f"new_{k}.py"), "w") as out:
            out.writelines(rng.sample(vocabulary, 100))


def timed(command, cwd):
    start = time.perf_counter()
    done = subprocess.run(command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    seconds = time.perf_counter() - start
    if done.returncode not in (0, 1):
        raise SystemExit(f"{command[0]} failed with status {done.returncode}")
    return seconds, done.stdout


def main():
    lcs_diff = os.path.abspath(sys.argv[1])
    json_out = sys.argv[2] if len(sys.argv) > 2 else None
    work = tempfile.mkdtemp()
    try:
        make_inputs(work)
        git = shutil.which("git")
        cases = {
            "50,000 lines over 2,000 distinct": ("-u", "vocabulary_a", "vocabulary_b"),
            "200,000 lines, 1 % edited": ("-u", "long_a", "long_b"),
            "two trees of 180 sources, -ruN": ("-ruN", "tree_a", "tree_b"),
        }
        tools = {
            "lcs-diff": lambda o, a, b: [lcs_diff, o, a, b],
            "diff": lambda o, a, b: ["diff", o, a, b],
            "diff --minimal": lambda o, a, b: ["diff", "--minimal", o, a, b],
        }
        if git:
            tools["git diff --no-index"] = lambda o, a, b: [git, "diff", "--no-index",
                                                            "--no-color", a, b]
        results = {}
        for case, (option, a, b) in cases.items():
            runs = {tool: [] for tool in tools}
            counts = {}
            for _ in range(REPEATS):
                for tool, command in tools.items():
                    seconds, out = timed(command(option, a, b), work)
                    runs[tool].append(seconds)
                    counts[tool] = changed_lines(out)
            results[case] = {tool: {"seconds": statistics.median(runs[tool]),
                                    "changed_lines": counts[tool]} for tool in tools}
    finally:
        shutil.rmtree(work)
    print("| input | " + " | ".join(tools) + " |")
    print("| --- |" + " --- |" * len(tools))
    for case, by_tool in results.items():
        cells = [f"{r['seconds'] * 1000:.0f} ms, {r['changed_lines']:,} lines"
                 for r in by_tool.values()]
        print(f"| {case} | " + " | ".join(cells) + " |")
    print()
    for case, by_tool in results.items():
        ours = by_tool["lcs-diff"]["seconds"]
        print(f"{case}: lcs-diff / diff = {ours / by_tool['diff']['seconds']:.3f}, "
              f"lcs-diff / diff --minimal = {ours / by_tool['diff --minimal']['seconds']:.4f}")
    if json_out:
        with open(json_out, "w") as out:
            json.dump(results, out, indent=1)


if __name__ == "__main__":
    main()
