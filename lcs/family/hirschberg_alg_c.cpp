// SPDX-License-Identifier: MIT
// LCS length by divide and conquer: Hirschberg's algorithm C (Hirschberg, 1975).
// A forward two-row pass over the first half of A and a backward one over the
// second half find the column of B where an optimal alignment crosses the
// middle of A; both halves then recurse. Time O(m·n), space O(n + log m).
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <utility>
#include <vector>

#include "lcs/kernels/lcs_row.h"
#include "lcs/lcs_algorithms.h"

namespace {

using RowPair = std::vector<int>[2];

// Rows 0..count of the LCS table of `count` characters of A (the i-th given by
// a_at(i)) against the columns, computed in the pair with current and previous
// exchanged after every row. Returns the row written last.
template <class CharOfA, class Columns>
const int* last_row(RowPair& pair, int& current, int& previous, std::size_t count, std::size_t n,
                    CharOfA a_at, const Columns& columns) {
  std::fill(pair[current].begin(), pair[current].end(), 0);
  std::swap(current, previous);
  for (std::size_t i = 1; i <= count; ++i) {
    lcs_detail::lcs_row(pair[previous].data(), pair[current].data(), n, a_at(i), columns);
    std::swap(current, previous);
  }
  return pair[previous].data();
}

// The smallest k at which LCS(A[1..half], B[1..k]) + LCS(A[half+1..m], B[k+1..n])
// is largest. The four rows live only for this call, so they are released
// before the caller recurses.
int crossing_column(const char* A, const char* B, std::size_t half, std::size_t m, std::size_t n) {
  RowPair forward = {std::vector<int>(n + 1), std::vector<int>(n + 1)};
  RowPair backward = {std::vector<int>(n + 1), std::vector<int>(n + 1)};
  int current = 0;
  int previous = 1;
  const auto a_forward = [A](std::size_t i) { return static_cast<unsigned char>(A[i]); };
  const auto a_backward = [A, m](std::size_t i) {
    return static_cast<unsigned char>(A[m - i + 1]);
  };
  const int* front =
      last_row(forward, current, previous, half, n, a_forward, lcs_detail::ForwardColumns{B});
  const int* back = last_row(backward, current, previous, m - half, n, a_backward,
                             lcs_detail::BackwardColumns{B, n});
  int best = 0;
  std::size_t k = 0;
  for (std::size_t j = 0; j <= n; ++j) {
    const int sum = front[j] + back[n - j];
    if (sum > best) {
      best = sum;
      k = j;
    }
  }
  return static_cast<int>(k);
}

}  // namespace

int Hirschberg_AlgC(const char* A, const char* B, int m, int n) {
  // n = 0 first, so that m = 1 with n = 0 also gives 0. An empty (or negative)
  // A has no common subsequence either; splitting it would never end.
  if (n <= 0 || m <= 0) {
    return 0;
  }
  if (m == 1) {
    return std::memchr(B + 1, A[1], static_cast<std::size_t>(n)) != nullptr ? 1 : 0;
  }
  const int half = m / 2;
  const int k = crossing_column(A, B, static_cast<std::size_t>(half), static_cast<std::size_t>(m),
                                static_cast<std::size_t>(n));
  return Hirschberg_AlgC(A, B, half, k) + Hirschberg_AlgC(A + half, B + k, m - half, n - k);
}
