// SPDX-License-Identifier: MIT
// LCS length from the maximum-match matrix of Needleman and Wunsch (1970) with
// match score 1 and no gap penalty: every cell adds to its own match mark the
// best value on the previous row to its left and the previous column above it.
// Time O(m·n·(m + n)), space (m + 1)·(n + 1) ints.
#include <algorithm>
#include <cstddef>
#include <vector>

#include "lcs/lcs_algorithms.h"

namespace {

using Table = std::vector<std::vector<int>>;

// The best of row[1..count].
int row_max(const std::vector<int>& row, std::size_t count) {
  int best = 0;
  for (std::size_t k = 1; k <= count; ++k) {
    best = std::max(best, row[k]);
  }
  return best;
}

// The best of M[1..count][j].
int column_max(const Table& M, std::size_t j, std::size_t count) {
  int best = 0;
  for (std::size_t k = 1; k <= count; ++k) {
    best = std::max(best, M[k][j]);
  }
  return best;
}

}  // namespace

int NeedlemanWunsch_Alg(const char* A, const char* B, int m, int n) {
  if (m < 0 || n < 0) {
    return 0;
  }
  const auto rows = static_cast<std::size_t>(m);
  const auto columns = static_cast<std::size_t>(n);
  Table M(rows + 1, std::vector<int>(columns + 1));
  for (std::size_t i = 1; i <= rows; ++i) {
    for (std::size_t j = 1; j <= columns; ++j) {
      M[i][j] = A[i] == B[j] ? 1 : 0;
    }
  }
  // Each cell already holds the best of the whole rectangle above and left of
  // it, so that rectangle's best lies on its last row or its last column.
  for (std::size_t i = 1; i <= rows; ++i) {
    for (std::size_t j = 1; j <= columns; ++j) {
      const int left = i > 1 ? row_max(M[i - 1], j - 1) : 0;
      const int above = j > 1 ? column_max(M, j - 1, i - 1) : 0;
      M[i][j] += std::max(left, above);
    }
  }
  return std::max(column_max(M, columns, rows), row_max(M[rows], columns));
}
