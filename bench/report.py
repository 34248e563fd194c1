#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Turns Google Benchmark's JSON output into docs/growth.png and docs/alignment.png
(with gnuplot) and docs/benchmarks.md (ns per cell and ratios to the textbook
two-row LCS; the alignment layer's times, ratios to AllisonDix_Alg and peak
memory)."""
import json
import os
import subprocess
import sys


def runs(path):
    """(method, kind, n) -> real time in ns, for plain runs or medians."""
    with open(path) as f:
        data = json.load(f)
    times = {}
    for b in data["benchmarks"]:
        name = b.get("run_name", b["name"])
        parts = name.split("/")
        if len(parts) != 3 or not parts[2].isdigit():
            continue
        if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
            continue
        scale = {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[b["time_unit"]]
        times[(parts[0], parts[1], int(parts[2]))] = b["real_time"] * scale
        if "peak_MB" in b:
            PEAK_MB[(parts[0], parts[1], int(parts[2]))] = b["peak_MB"]
        if "time_ratio" in b:
            IN_TURN[(parts[0], parts[1], int(parts[2]))] = b
    return data["context"], times


PEAK_MB = {}
IN_TURN = {}
ALIGN = "align."


def family(times):
    return {k: t for k, t in times.items() if not k[0].startswith(ALIGN)}


def alignment(times):
    return {(k[0][len(ALIGN):], k[1], k[2]): t for k, t in times.items()
            if k[0].startswith(ALIGN) and not k[0].startswith(ALIGN + "in_turn")}


def chart(times, out_dir, kinds=("dna", "bytes"), name="growth"):
    methods = sorted({m for m, _, _ in times})
    data_path = os.path.join(out_dir, f"{name}.dat")
    with open(data_path, "w") as f:
        for kind in kinds:
            for method in methods:
                f.write(f'# {method}\n')
                for (m, k, n), t in sorted(times.items(), key=lambda x: x[0][2]):
                    if m == method and k == kind:
                        f.write(f"{n} {t / 1e6}\n")
                f.write("\n\n")
    blocks = len(methods)
    titles = {"dna": "random DNA (4 letters)", "bytes": "random bytes (256 values)",
              "alike": "alike DNA (1 % edited)"}
    colours = ["#e41a1c", "#377eb8", "#4daf4a", "#984ea3", "#ff7f00", "#a6761d",
               "#f781bf", "#17becf", "#666666", "#bcbd22"]

    def style(i, method):
        if method == "textbook":
            return "lc rgb 'black' dt 2 lw 2 pt 6"
        return f"lc rgb '{colours[i % len(colours)]}' lw 2 pt 7"

    plots = []
    for panel, kind in enumerate(kinds):
        lines = ", ".join(
            f"'{data_path}' index {panel * blocks + i} with linespoints "
            f"title '{method}' {style(i, method)} ps 0.6"
            for i, method in enumerate(methods))
        plots.append(f"set title '{titles[kind]}'\nplot {lines}")
    script = f"""
set terminal pngcairo size {700 * len(kinds)},600 font 'DejaVu Sans,10'
set output '{os.path.join(out_dir, name + ".png")}'
set termoption noenhanced
set multiplot layout 1,{len(kinds)}
set logscale xy
set xlabel 'length of each string'
set ylabel 'time per call (ms)'
set grid
set key top left
{chr(10).join(plots)}
unset multiplot
"""
    subprocess.run(["gnuplot"], input=script, text=True, check=True)
    os.remove(data_path)


def cpu_model():
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                return line.split(":", 1)[1].strip()
    return "unknown processor"


def compiler():
    """The compiler and release flags of the build that was measured."""
    version = subprocess.run(["c++", "--version"], capture_output=True, text=True).stdout
    flags = "?"
    with open("build/release/CMakeCache.txt") as f:
        for line in f:
            if line.startswith("CMAKE_CXX_FLAGS_RELEASE:"):
                flags = line.split("=", 1)[1].strip()
    return f"{version.splitlines()[0]}, flags {flags} -std=c++20, no -march (baseline x86-64)"


def table(context, growth, medians, out_dir):
    methods = sorted({m for m, _, _ in growth}, key=lambda m: (m != "textbook", m))
    lines = [
        "# Benchmark figures",
        "",
        f"Made by `bench/run.sh` on {context.get('date', '')[:10]}: {context.get('num_cpus', '?')} CPUs "
        f"at {context.get('mhz_per_cpu', '?')} MHz ({cpu_model()}), {compiler()}; "
        f"the row step chose its {context.get('row_path', '?')} path.",
        "",
        "## ns per cell (m·n cells, m = n)",
        "",
        "| method | DNA, n = 800 | bytes, n = 800 | DNA, n = 20000 | bytes, n = 20000 |",
        "| --- | ---: | ---: | ---: | ---: |",
    ]
    for method in methods:
        row = [method]
        for n in (800, 20000):
            for kind in ("dna", "bytes"):
                t = (medians if n == 20000 else growth).get((method, kind, n))
                row.append(f"{t / (n * n):.4f}" if t else "—")
        lines.append("| " + " | ".join([row[0], row[1], row[2], row[3], row[4]]) + " |")
    lines += [
        "",
        "## At 20000 × 20000: median time of 5 runs, and speed relative to the textbook two-row LCS (above 1 is faster)",
        "",
        "| method | DNA | bytes |",
        "| --- | ---: | ---: |",
    ]
    for method in methods:
        cells = []
        for kind in ("dna", "bytes"):
            base = medians.get(("textbook", kind, 20000))
            t = medians.get((method, kind, 20000))
            cells.append(f"{t / 1e6:.1f} ms, {base / t:.2f}×" if t and base else "—")
        lines.append(f"| {method} | {cells[0]} | {cells[1]} |")
    return lines


def alignment_table(growth, medians):
    """Times at the goal sizes, as ratios to AllisonDix_Alg on the same pair."""
    lines = [
        "",
        "## The alignment layer against AllisonDix_Alg on the same pair",
        "",
        "Each method's own benchmark (median of 3 runs), peak heap growth of one call, and its time "
        "as a fraction of AllisonDix_Alg's (below 1 is faster) measured in turn with it, call after "
        "call on the same pair (median of 3), so that a drift in the machine's load weighs on both "
        "alike.",
        "",
        "| method | DNA, n = 100000 | bytes, n = 100000 | alike, n = 1000000 |",
        "| --- | ---: | ---: | ---: |",
    ]
    sizes = {"dna": 100000, "bytes": 100000, "alike": 1000000}
    for method in ("AllisonDix_baseline", "AllisonDix_Alg", "lcs::length", "lcs::matching_blocks"):
        cells = []
        for kind, n in sizes.items():
            t = medians.get((method, kind, n))
            base = medians.get(("AllisonDix_Alg", kind, n))
            turn = IN_TURN.get((f"{ALIGN}in_turn[AllisonDix_Alg, {method}]", kind, n))
            ratio = turn["time_ratio"] if turn else t / base if t and base else None
            peak = PEAK_MB.get((ALIGN + method, kind, n))
            cells.append(f"{t / 1e6:.1f} ms, {ratio:.3f}×, {peak:.1f} MB" if t and ratio else "—")
        lines.append(f"| {method} | " + " | ".join(cells) + " |")
    lines += ["", "Threads, random DNA of 200000 (wall-clock time, median of 9 runs): one "
              "thread and two in turn, call after call; and the two separate benchmarks, which "
              "ran seconds apart.", "",
              "| method | 1 thread | 2 threads | speed-up | separately: 1 thread | 2 threads | speed-up |",
              "| --- | ---: | ---: | ---: | ---: | ---: | ---: |"]
    for method in ("lcs::length", "lcs::matching_blocks"):
        turn = IN_TURN.get((f"{ALIGN}in_turn[1 thread, {method}]", "dna", 200000))
        one = medians.get((method, "dna", 200000))
        two = medians.get((method + "[2 threads]", "dna", 200000))
        cells = [f"{turn['reference_ms']:.1f} ms", f"{turn['method_ms']:.1f} ms",
                 f"{1 / turn['time_ratio']:.2f}×"] if turn else ["—"] * 3
        cells += [f"{one / 1e6:.1f} ms", f"{two / 1e6:.1f} ms", f"{one / two:.2f}×"] \
            if one and two else ["—"] * 3
        lines.append(f"| {method} | " + " | ".join(cells) + " |")
    lines += ["", "Cells of the n × n table per ns, every size measured:", "",
              "| method | shape | " + " | ".join(f"n = {n}" for n in (1000, 10000, 100000, 1000000)) + " |",
              "| --- | --- | ---: | ---: | ---: | ---: |"]
    for method in ("AllisonDix_baseline", "AllisonDix_Alg", "lcs::length", "lcs::matching_blocks"):
        for kind in ("dna", "bytes", "alike"):
            row = []
            for n in (1000, 10000, 100000, 1000000):
                t = growth.get((method, kind, n))
                row.append(f"{n * n / t:.1f}" if t else "—")
            if all(c == "—" for c in row):
                continue
            lines.append(f"| {method} | {kind} | " + " | ".join(row) + " |")
    return lines


def path_table(path_files):
    """Each vector path of the row step against the textbook in the same run."""
    lines = [
        "",
        "## The row step on each vector path (`LCS_SIMD`), one run per path",
        "",
        "Median of 3 runs; time as a fraction of the textbook two-row LCS in the same run (below 1 is faster).",
        "",
        "| path | method | DNA 8000 | bytes 8000 | DNA 20000 | bytes 20000 |",
        "| --- | --- | ---: | ---: | ---: | ---: |",
    ]
    for path_file in path_files:
        context, times = runs(path_file)
        path = context.get("row_path", "?")
        for method in ("Hirschberg_AlgB", "Hirschberg_AlgA", "Hirschberg_AlgC", "parasail_nw_scan_32"):
            cells = []
            for n in (8000, 20000):
                for kind in ("dna", "bytes"):
                    t = times.get((method, kind, n))
                    base = times.get(("textbook", kind, n))
                    cells.append(f"{t / 1e6:.1f} ms, {t / base:.3f}" if t and base else "—")
            if any(c != "—" for c in cells):
                lines.append(f"| {path} | {method} | " + " | ".join(cells) + " |")
    return lines


# The goals of the symbol benchmarks: (case, what the byte path does, goal).
SYMBOL_GOALS = [
    ("four/length", "lcs::length on random DNA", 1.3),
    ("four/matching_blocks", "lcs::matching_blocks on random DNA", 1.3),
    ("vocabulary_2000/matching_blocks", "lcs::matching_blocks on random bytes", 1.0),
    ("permutation/matching_blocks", "lcs::length on random bytes", 0.03),
    ("alike/matching_blocks", "lcs::matching_blocks on alike DNA", 1.5),
]
SYMBOL_CASES = {
    "four": "100000 × 100000 over 4 symbols",
    "vocabulary_2000": "100000 × 100000 over 2000 symbols",
    "permutation": "two permutations of 1000000 ids",
    "alike": "1000000 ids from 2^20 values and a copy with 1 % edits",
}


def symbols_table(path):
    """The layer on 32-bit symbols against its byte path, medians of runs in turn."""
    with open(path) as f:
        data = json.load(f)
    medians = {}
    for b in data["benchmarks"]:
        if b.get("run_type") == "aggregate" and b.get("aggregate_name") == "median":
            medians[b["run_name"].rsplit("/", 1)[0]] = b
    lines = ["", "## 32-bit symbols against the byte path (in turn, median of 3)", "",
             "| case | the symbols' call | against | byte path | symbols | ratio | goal "
             "| method | peak memory |",
             "| --- | --- | --- | ---: | ---: | ---: | ---: | --- | ---: |"]
    for case, reference, goal in SYMBOL_GOALS:
        turn = medians.get(f"symbols.in_turn/{case}")
        alone = medians.get(f"symbols.matching_blocks/{case}", {})
        if turn is None:
            continue
        shape, call = case.split("/")
        method = {1: "threshold", 0: "bit vectors"}.get(alone.get("threshold_method"), "—")
        peak = f'{alone["peak_MB"]:.1f} MB' if "peak_MB" in alone else "—"
        lines.append(f"| {SYMBOL_CASES[shape]} | lcs::{call} | {reference} "
                     f"| {turn['reference_ms']:.1f} ms | {turn['method_ms']:.1f} ms "
                     f"| {turn['time_ratio']:.3f}× | ≤ {goal}× | {method} | {peak} |")
    return lines


def main():
    growth_path, medians_path, align_medians_path, threads_path, symbols_path = sys.argv[1:6]
    path_files, out_dir = sys.argv[6:-1], sys.argv[-1]
    context, growth = runs(growth_path)
    _, medians = runs(medians_path)
    _, align_medians = runs(align_medians_path)
    align_medians.update(runs(threads_path)[1])
    os.makedirs(out_dir, exist_ok=True)
    chart(family(growth), out_dir)
    chart(alignment(growth), out_dir, ("dna", "bytes", "alike"), "alignment")
    lines = table(context, family(growth), medians, out_dir)
    lines += alignment_table(alignment(growth), alignment(align_medians))
    lines += path_table(path_files)
    lines += symbols_table(symbols_path)
    with open(os.path.join(out_dir, "benchmarks.md"), "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
