// SPDX-License-Identifier: MIT
// Sequence comparison of byte strings: seven ways to the length of a longest
// common subsequence (LCS) and one local alignment score.
//
// Common contract of every function taking (A, B, m, n):
//  - A and B are one-based: the characters are A[1..m] and B[1..n]. A[0] and
//    B[0] are never read and no terminator is needed; every byte, zero and
//    bytes >= 0x80 included, is an ordinary character compared for equality.
//  - m and n may be anything up to 2147483647. A negative length gives 0 (0.0)
//    without allocating.
//  - The functions are pure: no output, no global state, nothing kept between
//    calls. Working storage comes from the standard allocator; when it cannot
//    be had, std::bad_alloc (or std::length_error, for a size the platform
//    cannot address) propagates to the caller.
#ifndef LCS_LCS_ALGORITHMS_H
#define LCS_LCS_ALGORITHMS_H

// LCS length, row by row in two rows of n + 1 ints. Time O(m·n), space O(n).
int Hirschberg_AlgB(const char* A, const char* B, int m, int n);

// LCS length from the whole (m + 1) x (n + 1) table. Time O(m·n), space O(m·n).
int Hirschberg_AlgA(const char* A, const char* B, int m, int n);

// LCS length by Hirschberg's divide and conquer: forward and backward two-row
// passes find where an optimal alignment crosses the middle of A, then both
// halves recurse. Time O(m·n), space O(n + log m).
int Hirschberg_AlgC(const char* A, const char* B, int m, int n);

// LCS length from the Needleman-Wunsch maximum-match matrix (match 1, no gap
// penalty); each cell scans its row and column. Time O(m·n·(m + n)), space O(m·n).
int NeedlemanWunsch_Alg(const char* A, const char* B, int m, int n);

// One threshold of the Hunt-Szymanski method: the smallest B position (and the
// A position of the match that set it) at which a common subsequence of the
// slot's length ends so far.
struct ThresholdSlot {
  int bPosition;
  int aPosition;
};

// LCS length by the threshold method of Hunt and Szymanski, with a table of
// min(m, n) + 1 slots. Time O(m·n + r·log min(m, n)) for r matching pairs,
// space O(min(m, n)).
int Diff_Alg(const char* A, const char* B, int m, int n);

// Applies the match (A position i, B position j) to table slots 1..count, whose
// B positions strictly increase; returns the new count (count or count + 1).
// The table must have a slot count + 1. Time O(log count).
int HMAlg(ThresholdSlot* table, int j, int i, int count);

// Within slots 1..count (B positions strictly increasing, slot 1 <= j <= slot
// count): does nothing if a slot holds B position j, else writes (j, i) into the
// first slot whose B position is greater than j. Time O(log count).
void binSearch(ThresholdSlot* table, int j, int i, int count);

// LCS length through the Wagner-Fischer insert/delete edit distance d
// (substitution costs 2): returns (m + n - d) / 2. Time O(m·n), space O(m·n).
int WagnerFischer_Alg(const char* A, const char* B, int m, int n);

// The double nearest to 1/3 (bits 0x3FD5555555555555): the mismatch penalty
// and the cost per gap symbol of the local alignment score.
inline constexpr double ONE_THIRD = 0x1.5555555555555p-2;

// Best Smith-Waterman local alignment score: match +1, mismatch -1/3, a gap of
// k symbols 1 + k/3; >= 0.0 and <= min(m, n). Intermediate steps carry a 64-bit
// significand (bit-exact where long double has one, as on x86).
// Time O(m·n·(m + n)), space O(m·n) doubles.
double SmithWaterman_Alg(const char* A, const char* B, int m, int n);

// LCS length by the bit-vector method of Allison and Dix, 64 cells per word
// operation. Time O(m·ceil(n/64)), space ceil(n/64) words per distinct byte of B.
int AllisonDix_Alg(const char* A, const char* B, int m, int n);

#endif  // LCS_LCS_ALGORITHMS_H
