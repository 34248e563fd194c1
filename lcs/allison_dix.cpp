// LCS length by the bit-vector method of Allison and Dix (1986), in the form of
// Crochemore, Iliopoulos, Pinzon and Reid (2001) and Hyyrö (2004): for each
// character c of A, V' = (V + (V & M[c])) | (V & ~M[c]) over a bit vector as
// long as B, where M[c] marks the positions of c in B; the LCS length is the
// number of zero bits of the final V. Time O(m·ceil(n/64)) word operations,
// space ceil(n/64) words for V and for each distinct byte of B.
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "lcs/lcs_algorithms.h"

namespace {

using Word = std::uint64_t;
constexpr std::size_t kWordBits = 64;

// Match masks of B, one row of `words` words per distinct byte, and for each
// byte value its row plus one (0 when the byte does not occur in B).
struct MatchMasks {
  std::array<std::uint16_t, 256> row_of{};
  std::vector<Word> bits;
};

MatchMasks match_masks(const char* B, std::size_t n, std::size_t words) {
  MatchMasks masks;
  std::size_t distinct = 0;
  for (std::size_t j = 1; j <= n; ++j) {
    auto& row = masks.row_of[static_cast<unsigned char>(B[j])];
    if (row == 0) {
      row = static_cast<std::uint16_t>(++distinct);
    }
  }
  const std::uint64_t size = std::uint64_t{distinct} * words;
  if (size > masks.bits.max_size()) {
    throw std::length_error("AllisonDix_Alg: match masks too large");
  }
  masks.bits.resize(static_cast<std::size_t>(size));
  for (std::size_t j = 1; j <= n; ++j) {
    const std::size_t row = masks.row_of[static_cast<unsigned char>(B[j])] - 1U;
    masks.bits[row * words + (j - 1) / kWordBits] |= Word{1} << ((j - 1) % kWordBits);
  }
  return masks;
}

// The sum of two words and a carry bit; the carry out replaces the carry in.
// A 128-bit sum, where the compiler has one, keeps the carry in a register.
inline Word add_with_carry(Word x, Word y, Word& carry) {
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

// V = (V + (V & M)) | (V & ~M) over all words, the carry passed word to word.
void advance(Word* V, const Word* M, std::size_t words) {
  Word carry = 0;
  for (std::size_t w = 0; w < words; ++w) {
    const Word v = V[w];
    const Word match = M[w];
    V[w] = add_with_carry(v, v & match, carry) | (v & ~match);
  }
}

}  // namespace

int AllisonDix_Alg(const char* A, const char* B, int m, int n) {
  if (m <= 0 || n <= 0) {
    return 0;
  }
  const auto length = static_cast<std::size_t>(n);
  const std::size_t words = (length + kWordBits - 1) / kWordBits;
  const MatchMasks masks = match_masks(B, length, words);
  std::vector<Word> V(words, ~Word{0});
  for (std::size_t i = 1; i <= static_cast<std::size_t>(m); ++i) {
    const std::size_t row = masks.row_of[static_cast<unsigned char>(A[i])];
    if (row != 0) {  // a byte absent from B leaves V as it is
      advance(V.data(), masks.bits.data() + (row - 1) * words, words);
    }
  }
  // Bits past n in the last word may have been reached by a carry; they are
  // not positions of B.
  const std::size_t tail = length % kWordBits;
  if (tail != 0) {
    V[words - 1] &= (Word{1} << tail) - 1;
  }
  std::size_t ones = 0;
  for (const Word v : V) {
    ones += static_cast<std::size_t>(std::popcount(v));
  }
  return static_cast<int>(length - ones);
}
