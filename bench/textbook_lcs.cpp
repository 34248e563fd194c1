// SPDX-License-Identifier: MIT
// The textbook two-row LCS, kept in a file of its own so that the compiler
// treats it like any library function.
#include "bench/textbook_lcs.h"

#include <cstddef>
#include <utility>
#include <vector>

int textbook_lcs(const char* A, const char* B, int m, int n) {
  const auto columns = static_cast<std::size_t>(n);
  std::vector<int> previous(columns + 1);
  std::vector<int> current(columns + 1);
  for (std::size_t i = 1; i <= static_cast<std::size_t>(m); ++i) {
    for (std::size_t j = 1; j <= columns; ++j) {
      if (A[i] == B[j]) {
        current[j] = previous[j - 1] + 1;
      } else if (current[j - 1] > previous[j]) {
        current[j] = current[j - 1];
      } else {
        current[j] = previous[j];
      }
    }
    std::swap(previous, current);
  }
  return previous[columns];
}
