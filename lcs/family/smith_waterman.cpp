// SPDX-License-Identifier: MIT
// Best local alignment score by the method of Smith and Waterman (1981) with a
// linear gap cost: match +1, mismatch -1/3, a gap of k symbols 1 + k/3. Each
// cell scans its whole column above and row to its left for gap candidates.
// Time O(m·n·(m + n)), space (m + 1)·(n + 1) doubles.
#include <cfloat>
#include <cstddef>
#include <vector>

#include "lcs/lcs_algorithms.h"

// The score is defined with every arithmetic step carried to a 64-bit
// significand and rounded to double only where a value is stored. long double
// is exactly that on x86 (GCC and Clang, 32- and 64-bit, MinGW included).
#if LDBL_MANT_DIG != 64
#pragma message(                                                                \
    "long double has no 64-bit significand here: SmithWaterman_Alg may differ " \
    "from the reference scores in the last bit")
#endif

namespace {

using Extended = long double;

// Rounds an extended value to the double it is stored as. Where doubles are
// themselves computed on the x87 (FLT_EVAL_METHOD 2, as on 32-bit x86 without
// SSE2), the compiler may keep a "double" in an 80-bit register; a trip through
// memory makes the rounding happen exactly here.
inline double stored(Extended x) {
#if defined(FLT_EVAL_METHOD) && FLT_EVAL_METHOD == 0
  return static_cast<double>(x);
#else
  const volatile double rounded = static_cast<double>(x);
  return rounded;
#endif
}

// gap[k] = k·(1/3) + 1, each of the two steps rounded to the extended format.
// Kept as separate statements so that nothing is fused or reordered.
std::vector<Extended> gap_costs(std::size_t longest) {
  std::vector<Extended> gap(longest + 1);
  for (std::size_t k = 1; k <= longest; ++k) {
    const Extended scaled = static_cast<Extended>(k) * static_cast<Extended>(ONE_THIRD);
    gap[k] = scaled + 1.0L;
  }
  return gap;
}

using Table = std::vector<std::vector<double>>;

}  // namespace

double SmithWaterman_Alg(const char* A, const char* B, int m, int n) {
  if (m <= 0 || n <= 0) {
    return 0.0;
  }
  const auto rows = static_cast<std::size_t>(m);
  const auto columns = static_cast<std::size_t>(n);
  const std::vector<Extended> gap = gap_costs(rows > columns ? rows : columns);
  Table H(rows + 1, std::vector<double>(columns + 1));
  double best = 0.0;
  for (std::size_t i = 1; i <= rows; ++i) {
    for (std::size_t j = 1; j <= columns; ++j) {
      const Extended corner = H[i - 1][j - 1];
      double h = stored(A[i] == B[j] ? corner + 1.0L : corner - static_cast<Extended>(ONE_THIRD));
      // Gap candidates are compared unrounded with the double held, and
      // rounded only when one replaces it; both start at 0.0 for every cell.
      double up = 0.0;
      for (std::size_t k = 1; k < i; ++k) {
        const Extended candidate = H[i - k][j] - gap[k];
        if (candidate > up) {
          up = stored(candidate);
        }
      }
      if (up > h) {
        h = up;
      }
      double left = 0.0;
      const double* row = H[i].data();
      for (std::size_t k = 1; k < j; ++k) {
        const Extended candidate = row[j - k] - gap[k];
        if (candidate > left) {
          left = stored(candidate);
        }
      }
      if (left > h) {
        h = left;
      }
      H[i][j] = h;
      if (h > best) {
        best = h;
      }
    }
  }
  return best;
}
