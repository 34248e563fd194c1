// SPDX-License-Identifier: MIT
// The word step of the bit-vector LCS (Allison and Dix, 1986; Crochemore,
// Iliopoulos, Pinzon and Reid, 2001; Hyyrö, 2004), shared by AllisonDix_Alg and
// the lcs:: layer. V holds one bit per column of the LCS table: bit t is zero
// exactly where the current row steps up between columns t and t + 1, so the
// row's value at column j is the number of zero bits below bit j. One more
// character of the other string, with match mask M, turns V into
// (V + (V & M)) | (V & ~M).
#ifndef LCS_KERNELS_BIT_VECTOR_H
#define LCS_KERNELS_BIT_VECTOR_H

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <new>
#include <string_view>
#include <vector>

#include "lcs/kernels/lcs_row.h"
#include "lcs/kernels/symbols.h"

#if !defined(LCS_PORTABLE) && (defined(__x86_64__) || defined(_M_X64))
#include <immintrin.h>
#define LCS_BIT_VECTOR_ADDCARRY 1
#else
#define LCS_BIT_VECTOR_ADDCARRY 0
#endif

namespace lcs_detail {

using Word = std::uint64_t;
inline constexpr std::size_t kWordBits = 64;

inline constexpr std::size_t words_for(std::size_t bits) {
  return bits / kWordBits + (bits % kWordBits != 0 ? 1 : 0);
}

// Words start on a 64-byte cache line, so that the eight words of a vector
// step never straddle two lines.
inline constexpr std::size_t kLineBytes = 64;
inline constexpr std::size_t kLineWords = kLineBytes / sizeof(Word);

template <class T>
struct LineAligned {
  using value_type = T;
  LineAligned() = default;
  template <class U>
  explicit LineAligned(const LineAligned<U>& /*other*/) {}
  T* allocate(std::size_t count) {
    if (count > SIZE_MAX / sizeof(T)) {
      throw std::bad_alloc();
    }
    return static_cast<T*>(::operator new (count * sizeof(T), std::align_val_t{kLineBytes}));
  }
  void deallocate(T* pointer, std::size_t /*count*/) {
    ::operator delete (pointer, std::align_val_t{kLineBytes});
  }
  friend bool operator==(const LineAligned& /*x*/, const LineAligned& /*y*/) { return true; }
};

using Words = std::vector<Word, LineAligned<Word>>;

// The sum of two words and a carry bit; the carry out replaces the carry in.
// On x86-64 an add-with-carry instruction, whose carry the compiler keeps in a
// byte register between words.
using Carry = unsigned char;

inline Word add_with_carry(Word x, Word y, Carry& carry) {
#if LCS_BIT_VECTOR_ADDCARRY
  unsigned long long sum;  // left uninitialised: an initial value makes GCC store it
  carry = _addcarry_u64(carry, x, y, &sum);
  return sum;
#else
  const Word partial = x + y;
  const Word sum = partial + carry;
  carry = static_cast<Carry>((partial < x) | (sum < partial));
  return sum;
#endif
}

// One row's step on one word: V + (V & M) carries through the runs of ones
// that a match ends, and V & ~M, which is V ^ (V & M), keeps the rest.
inline Word step(Word v, Word match, Carry& carry) {
  const Word matched = v & match;
  return add_with_carry(v, matched, carry) | (v ^ matched);
}

// One row over words [begin, end) of V, with no carry into `begin`: the words
// left of `begin` then act as a column whose value does not change in this row.
void advance(Word* V, const Word* M, std::size_t begin, std::size_t end);

// Two rows, M then N, in one pass: word w of the second row needs only word w
// of the first, so the two carry chains run side by side, a word apart in
// time, and V is loaded and stored once for both.
void advance2(Word* V, const Word* M, const Word* N, std::size_t begin, std::size_t end);

// A mask given as the and of two rows' words (see MatchMasks); one row when
// both are the same.
struct Halves {
  const Word* high;
  const Word* low;
};
void advance_halves(Word* V, Halves M, std::size_t begin, std::size_t end);
void advance2_halves(Word* V, Halves M, Halves N, std::size_t begin, std::size_t end);
inline void advance(Word* V, Halves M, std::size_t begin, std::size_t end) {
  if (M.high == M.low) {
    advance(V, M.high, begin, end);
  } else {
    advance_halves(V, M, begin, end);
  }
}
inline void advance2(Word* V, Halves M, Halves N, std::size_t begin, std::size_t end) {
  if (M.high == M.low && N.high == N.low) {
    advance2(V, M.high, N.high, begin, end);
  } else {
    advance2_halves(V, M, N, begin, end);
  }
}

// Number of zero bits among bits [0, bits) of V.
inline std::size_t zeros_below(const Word* V, std::size_t bits) {
  std::size_t ones = 0;
  const std::size_t whole = bits / kWordBits;
  for (std::size_t w = 0; w < whole; ++w) {
    ones += static_cast<std::size_t>(std::popcount(V[w]));
  }
  if (const std::size_t tail = bits % kWordBits; tail != 0) {
    ones += static_cast<std::size_t>(std::popcount(V[whole] & ((Word{1} << tail) - 1)));
  }
  return bits - ones;
}

inline bool bit_at(const Word* V, std::size_t t) {
  return ((V[t / kWordBits] >> (t % kWordBits)) & 1U) != 0;
}

// Match masks of a text: for each byte that occurs in it, one row of words
// with bit t set where the text's t-th byte (counted from its end when
// reversed) is that byte. Space: words per distinct byte. For the banded
// passes, a text of many distinct bytes keeps a row per high half and per low
// half of its bytes instead (32 at most), and a byte's mask is the and of its
// halves' rows, formed as a pass needs it.
class MatchMasks {
 public:
  // The passes' view of a mask (see IdMasks): a byte's row, or its halves'.
  using Handle = const Halves*;
  struct Shared {
    void build(Text<char> /*text*/) {}
  };
  void build(Text<char> text, bool reversed, const Shared& /*shared*/) {
    build(std::string_view(text.data(), text.size()), reversed, Rows::halves_when_many);
  }
  // The entry of byte c, or nullptr when c does not occur in the text.
  [[nodiscard]] Handle find(char c) const {
    const Halves& entry = entries_[static_cast<unsigned char>(c)];
    return entry.high != nullptr ? &entry : nullptr;
  }
  static Halves bits(Handle entry, unsigned /*scratch*/, std::size_t /*begin*/,
                     std::size_t /*end*/) {
    return *entry;
  }
  static void clear(unsigned /*scratch*/) {}
  static constexpr bool alone(Handle /*row*/) { return false; }
  static void step_alone(Handle /*row*/, Words& /*V*/, std::size_t /*begin*/, std::size_t /*end*/) {
  }

  // Builds a row per byte, unless they were last built from this very text
  // (the same bytes at the same address) in the same direction.
  void build(std::string_view text, bool reversed) { build(text, reversed, Rows::bytes); }

  // The mask of byte c, or nullptr when c does not occur in the text; only
  // after the build of a row per byte.
  [[nodiscard]] const Word* row(unsigned char c) const { return entries_[c].high; }
  [[nodiscard]] std::size_t words() const { return words_; }

 private:
  enum class Rows : std::uint8_t { bytes, halves_when_many };
  void build(std::string_view text, bool reversed, Rows rows);
  void build_bytes(std::string_view text, bool reversed, const std::array<bool, 256>& occurs,
                   std::size_t distinct);
  void build_halves(std::string_view text, bool reversed, const std::array<bool, 256>& occurs);
  Word* allocate(std::size_t rows);
  // A row of the masks for each slot in use, nullptr for the others.
  template <std::size_t N>
  std::array<Word*, N> rows_for(const std::array<bool, N>& used);

  // Up to this many distinct bytes, a mask is built 64 bytes at a time by
  // vector compares, one pass per byte; beyond, one pass sets a bit per byte.
  static constexpr std::size_t kComparedBytes = 16;
  // Beyond this many distinct bytes the rows of halves take less memory and
  // cache, and forming a mask from two of them costs less than the misses.
  static constexpr std::size_t kByteRows = 32;

  std::array<Halves, 256> entries_{};  // {row, row} for a row per byte
  std::string_view source_;
  bool reversed_ = false;
  Rows rows_ = Rows::bytes;

  Words bits_;
  std::size_t words_ = 0;
  std::size_t stride_ = 0;  // words from one row to the next: whole cache lines
};

}  // namespace lcs_detail

#endif  // LCS_KERNELS_BIT_VECTOR_H
