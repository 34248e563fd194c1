// SPDX-License-Identifier: MIT
// The bit-vector LCS as it was first built, one row of A per pass over V and
// the carry through a 128-bit sum: the baseline that AllisonDix_Alg's two rows
// per pass are measured against.
#include "bench/allison_dix_baseline.h"

#include <cstddef>
#include <string_view>
#include <vector>

#include "lcs/kernels/bit_vector.h"

namespace {

using lcs_detail::Word;

Word add_with_carry(Word x, Word y, Word& carry) {
#if defined(__SIZEOF_INT128__) && !defined(LCS_PORTABLE)
  __extension__ using Wide = unsigned __int128;
  const Wide wide = static_cast<Wide>(x) + y + carry;
  carry = static_cast<Word>(wide >> 64);
  return static_cast<Word>(wide);
#else
  const Word partial = x + y;
  const Word sum = partial + carry;
  carry = static_cast<Word>(partial < x) | static_cast<Word>(sum < partial);
  return sum;
#endif
}

void advance(Word* V, const Word* M, std::size_t words) {
  Word carry = 0;
  for (std::size_t w = 0; w < words; ++w) {
    const Word v = V[w];
    const Word match = M[w];
    V[w] = add_with_carry(v, v & match, carry) | (v & ~match);
  }
}

}  // namespace

int allison_dix_baseline(const char* A, const char* B, int m, int n) {
  using lcs_detail::MatchMasks;
  if (m <= 0 || n <= 0) {
    return 0;
  }
  const auto length = static_cast<std::size_t>(n);
  MatchMasks masks;
  masks.build(std::string_view(B + 1, length), false);
  std::vector<Word> V(masks.words(), ~Word{0});
  for (std::size_t i = 1; i <= static_cast<std::size_t>(m); ++i) {
    if (const Word* match = masks.row(static_cast<unsigned char>(A[i]))) {
      advance(V.data(), match, masks.words());
    }
  }
  return static_cast<int>(lcs_detail::zeros_below(V.data(), length));
}
