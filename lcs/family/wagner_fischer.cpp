// SPDX-License-Identifier: MIT
// LCS length through the edit distance of Wagner and Fischer (1974) with
// insertion and deletion costing 1 and substitution 2: then the distance is
// d = m + n - 2·LCS, and the LCS length is (m + n - d) / 2.
// Time O(m·n), space (m + 1)·(n + 1) cells.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "lcs/lcs_algorithms.h"

int WagnerFischer_Alg(const char* A, const char* B, int m, int n) {
  if (m < 0 || n < 0) {
    return 0;
  }
  const auto rows = static_cast<std::size_t>(m);
  const auto columns = static_cast<std::size_t>(n);
  // A distance reaches m + n, which overflows a signed 32-bit cell when both
  // lengths are large; unsigned 32-bit cells hold every distance.
  using Cell = std::uint32_t;
  std::vector<std::vector<Cell>> D(rows + 1, std::vector<Cell>(columns + 1));
  for (std::size_t i = 0; i <= rows; ++i) {
    D[i][0] = static_cast<Cell>(i);
  }
  for (std::size_t j = 0; j <= columns; ++j) {
    D[0][j] = static_cast<Cell>(j);
  }
  for (std::size_t i = 1; i <= rows; ++i) {
    const Cell* above = D[i - 1].data();
    Cell* row = D[i].data();
    const char a = A[i];
    Cell left = row[0];
    for (std::size_t j = 1; j <= columns; ++j) {
      const Cell edit = std::min(std::min(above[j - 1] + 2, left + 1), above[j] + 1);
      left = B[j] == a ? above[j - 1] : edit;
      row[j] = left;
    }
  }
  const std::uint64_t distance = D[rows][columns];
  return static_cast<int>((std::uint64_t{rows} + columns - distance) / 2);
}
