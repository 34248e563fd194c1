// SPDX-License-Identifier: MIT
// LCS length in linear space: Hirschberg's algorithm B (Hirschberg, 1975), the
// LCS recurrence evaluated row by row in two rows that exchange the roles of
// current and previous once per row. Each row is computed 64 cells at a time
// (see kernels/lcs_row.h). Time O(m·n), space two rows of n + 1 ints.
#include <cstddef>
#include <utility>
#include <vector>

#include "lcs/kernels/lcs_row.h"
#include "lcs/lcs_algorithms.h"

int Hirschberg_AlgB(const char* A, const char* B, int m, int n) {
  if (m < 0 || n < 0) {
    return 0;
  }
  const auto columns = static_cast<std::size_t>(n);
  std::vector<int> rows[2] = {std::vector<int>(columns + 1), std::vector<int>(columns + 1)};
  int current = 0;
  int previous = 1;
  const lcs_detail::ForwardColumns b{B};
  for (std::size_t i = 1; i <= static_cast<std::size_t>(m); ++i) {
    std::swap(current, previous);
    lcs_detail::lcs_row(rows[previous].data(), rows[current].data(), columns,
                        static_cast<unsigned char>(A[i]), b);
  }
  return rows[current][columns];
}
