#!/usr/bin/env bash
# Runs every benchmark, then remakes docs/growth.png and docs/benchmarks.md.
# Needs gnuplot (apt-get install gnuplot-nox) and python3. Takes about 12 minutes.
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
python3 bench/report.py build/bench-growth.json build/bench-20000.json build/bench-align.json docs
