// SPDX-License-Identifier: MIT
// LCS length by the bit-vector method of Allison and Dix (1986), in the form of
// Crochemore, Iliopoulos, Pinzon and Reid (2001) and Hyyrö (2004): for each
// character c of A, V' = (V + (V & M[c])) | (V & ~M[c]) over a bit vector as
// long as B, where M[c] marks the positions of c in B; the LCS length is the
// number of zero bits of the final V. Time O(m·ceil(n/64)) word operations,
// space ceil(n/64) words for V and for each distinct byte of B. Rows go two
// to a pass over V.
#include <cstddef>
#include <string_view>
#include <vector>

#include "lcs/kernels/bit_vector.h"
#include "lcs/lcs_algorithms.h"

int AllisonDix_Alg(const char* A, const char* B, int m, int n) {
  using namespace lcs_detail;
  if (m <= 0 || n <= 0) {
    return 0;
  }
  const auto length = static_cast<std::size_t>(n);
  MatchMasks masks;
  masks.build(std::string_view(B + 1, length), false);
  const std::size_t words = masks.words();
  Words V(words, ~Word{0});
  const Word* pending = nullptr;  // a row waiting for a second one to share its pass
  for (std::size_t i = 1; i <= static_cast<std::size_t>(m); ++i) {
    const Word* match = masks.row(static_cast<unsigned char>(A[i]));
    if (match == nullptr) {
      continue;  // a byte absent from B leaves V as it is
    }
    if (pending == nullptr) {
      pending = match;
    } else {
      advance2(V.data(), pending, match, 0, words);
      pending = nullptr;
    }
  }
  if (pending != nullptr) {
    advance(V.data(), pending, 0, words);
  }
  // Bits past n in the last word may have been reached by a carry; they are
  // not positions of B and are not counted.
  return static_cast<int>(zeros_below(V.data(), length));
}
