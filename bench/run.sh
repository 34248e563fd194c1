#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs every benchmark, then remakes docs/growth.png and docs/benchmarks.md.
# Needs gnuplot (apt-get install gnuplot-nox), python3, GNU diff and git, and libparasail-dev
# for the SIMD peer (left out without it), wamerican for the words. Takes about 24 minutes.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release >/dev/null
cmake --build --preset release --target lcs_bench >/dev/null

# Keep freed memory in the process, as a long-running program would: by default
# glibc hands every large table back to the kernel, and each call then pays
# first-touch page faults again, which on a virtual machine can cost more than
# the computation.
export GLIBC_TUNABLES=glibc.malloc.trim_threshold=68719476736

bench=build/release/bench/lcs_bench
"$bench" --benchmark_out=build/bench-growth.json --benchmark_out_format=json
"$bench" --benchmark_filter='/(dna|bytes)/20000$' --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true \
  --benchmark_out=build/bench-20000.json --benchmark_out_format=json
"$bench" --benchmark_filter='^align.*/((dna|bytes)/100000|alike/1000000)$' --benchmark_repetitions=3 \
  --benchmark_report_aggregates_only=true \
  --benchmark_out=build/bench-align.json --benchmark_out_format=json
# One thread against two: the second core of a shared machine comes and goes,
# so a median of more runs.
"$bench" --benchmark_filter='^align.*/dna/200000$' --benchmark_repetitions=9 \
  --benchmark_report_aggregates_only=true \
  --benchmark_out=build/bench-threads.json --benchmark_out_format=json
# The layer on 32-bit symbols against its byte path.
"$bench" --benchmark_filter='^symbols' --benchmark_repetitions=3 \
  --benchmark_report_aggregates_only=true \
  --benchmark_out=build/bench-symbols.json --benchmark_out_format=json
# The row step on each vector path, beside the textbook and the SIMD peer.
for path in portable sse2 avx2 avx512; do
  LCS_SIMD=$path "$bench" \
    --benchmark_filter='^(textbook|Hirschberg_Alg[ABC]|parasail_nw_scan_32)/(dna|bytes)/(8000|20000)$' \
    --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
    --benchmark_out=build/bench-path-$path.json --benchmark_out_format=json
done
python3 bench/report.py build/bench-growth.json build/bench-20000.json build/bench-align.json \
  build/bench-threads.json build/bench-symbols.json \
  build/bench-path-*.json docs
# The many-pair calls against a loop over lcs::similarity (needs wamerican's word list).
cmake --build --preset release --target many_bench _lcs >/dev/null
build/release/bench/many_bench --benchmark_out=build/bench-many.json --benchmark_out_format=json
{
  printf '\n## Many pairs against a loop over lcs::similarity (in turn, one run)\n\n'
  env -u GLIBC_TUNABLES PYTHONPATH=build/release/python /usr/bin/python3 bench/many_report.py \
    build/bench-many.json
} >>docs/benchmarks.md
# lcs.dask on LocalClusters of 1 and 2 workers against the single process.
{
  printf '\n## Many pairs on a Dask cluster (one run)\n\n'
  env -u GLIBC_TUNABLES PYTHONPATH=build/release/python /usr/bin/python3 bench/dask_bench.py
} >>docs/benchmarks.md
# The npm package against jsdiff, when the WebAssembly module is built.
if [[ -e js/dist/engine.mjs && -d js/node_modules/diff ]]; then
  {
    printf '\n## The npm package against jsdiff (in turn, one Node.js process)\n\n'
    node bench/js_bench.mjs
  } >>docs/benchmarks.md
fi
# Whole processes: lcs-diff against GNU diff and git, appended to the page.
cmake --build --preset release --target lcs-diff >/dev/null
{
  printf '\n## lcs-diff against GNU diff and git (whole processes, in turn, median of 5)\n\n'
  python3 bench/diff_bench.py build/release/lcs-diff build/bench-diff.json
} >>docs/benchmarks.md
# The Python module against difflib and python3-levenshtein, when it is built.
if cmake --build --preset release --target _lcs >/dev/null 2>&1; then
  {
    printf '\n## The Python module against difflib and python3-levenshtein (in turn)\n\n'
    PYTHONPATH=build/release/python /usr/bin/python3 bench/python_bench.py
  } >>docs/benchmarks.md
fi
