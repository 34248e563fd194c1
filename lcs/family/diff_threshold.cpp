// SPDX-License-Identifier: MIT
// LCS length by the threshold method of Hunt and Szymanski (1977), the method
// behind diff: matching pairs are visited row by row, B from its end, and slot
// k keeps the smallest B position at which a common subsequence of length k
// ends so far. Time O(m·n + r·log min(m, n)) for r matching pairs, space
// min(m, n) + 1 slots.
#include <algorithm>
#include <cstddef>
#include <vector>

#include "lcs/lcs_algorithms.h"

void binSearch(ThresholdSlot* table, int j, int i, int count) {
  int low = 1;
  int high = count;
  while (low <= high) {
    const int middle = low + (high - low) / 2;  // (low + high) / 2 without overflow
    if (table[middle].bPosition == j) {
      return;
    }
    if (table[middle].bPosition > j) {
      high = middle - 1;
    } else {
      low = middle + 1;
    }
  }
  table[low] = ThresholdSlot{j, i};
}

int HMAlg(ThresholdSlot* table, int j, int i, int count) {
  if (count == 0) {
    table[1] = ThresholdSlot{j, i};
    return 1;
  }
  if (table[1].bPosition > j) {
    table[1] = ThresholdSlot{j, i};
    return count;
  }
  if (table[count].bPosition < j) {
    table[count + 1] = ThresholdSlot{j, i};
    return count + 1;
  }
  binSearch(table, j, i, count);
  return count;
}

int Diff_Alg(const char* A, const char* B, int m, int n) {
  if (m <= 0 || n <= 0) {
    return 0;
  }
  std::vector<ThresholdSlot> table(static_cast<std::size_t>(std::min(m, n)) + 1);
  int count = 0;
  for (std::size_t i = 1; i <= static_cast<std::size_t>(m); ++i) {
    const char a = A[i];
    // From the end of B, so that one position of A never extends a
    // subsequence that ends at another match of the same row.
    for (auto j = static_cast<std::size_t>(n); j >= 1; --j) {
      if (B[j] == a) {
        count = HMAlg(table.data(), static_cast<int>(j), static_cast<int>(i), count);
      }
    }
  }
  return count;
}
