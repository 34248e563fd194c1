// SPDX-License-Identifier: MIT
// The bit-vector LCS with one row per pass, as a benchmark baseline.
#ifndef LCS_BENCH_ALLISON_DIX_BASELINE_H
#define LCS_BENCH_ALLISON_DIX_BASELINE_H

int allison_dix_baseline(const char* A, const char* B, int m, int n);

#endif  // LCS_BENCH_ALLISON_DIX_BASELINE_H
