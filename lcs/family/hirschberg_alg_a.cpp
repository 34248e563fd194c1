// SPDX-License-Identifier: MIT
// LCS length from the whole table: Hirschberg's algorithm A (Hirschberg, 1975),
// the quadratic-space form of the LCS recurrence, with every row of the
// (m + 1) x (n + 1) table kept. Rows are computed 64 cells at a time (see
// kernels/lcs_row.h). Time O(m·n), space (m + 1)·(n + 1) ints.
#include <cstddef>
#include <vector>

#include "lcs/kernels/lcs_row.h"
#include "lcs/lcs_algorithms.h"

int Hirschberg_AlgA(const char* A, const char* B, int m, int n) {
  if (m < 0 || n < 0) {
    return 0;
  }
  const auto rows = static_cast<std::size_t>(m);
  const auto columns = static_cast<std::size_t>(n);
  std::vector<std::vector<int>> L(rows + 1, std::vector<int>(columns + 1));
  const lcs_detail::ForwardColumns b{B};
  for (std::size_t i = 1; i <= rows; ++i) {
    lcs_detail::lcs_row(L[i - 1].data(), L[i].data(), columns, static_cast<unsigned char>(A[i]), b);
  }
  return L[rows][columns];
}
