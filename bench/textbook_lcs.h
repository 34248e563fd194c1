// SPDX-License-Identifier: MIT
// The baseline every benchmark run is compared with.
#ifndef LCS_BENCH_TEXTBOOK_LCS_H
#define LCS_BENCH_TEXTBOOK_LCS_H

// LCS length by the textbook two-row recurrence, one branch per cell.
int textbook_lcs(const char* A, const char* B, int m, int n);

#endif  // LCS_BENCH_TEXTBOOK_LCS_H
