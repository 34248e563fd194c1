// SPDX-License-Identifier: MIT
// The word step of the bit-vector LCS (Allison and Dix, 1986; Crochemore,
// Iliopoulos, Pinzon and Reid, 2001; Hyyrö, 2004), shared by AllisonDix_Alg and
// the lcs:: layer. V holds one bit per column of the LCS table: bit t is zero
// exactly where the current row steps up between columns t and t + 1, so the
// row's value at column j is the number of zero bits below bit j. One more
// character of the other string, with match mask M, turns V into
// (V + (V & M)) | (V & ~M).
#ifndef LCS_BIT_VECTOR_H
#define LCS_BIT_VECTOR_H

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <new>
#include <string_view>
#include <vector>

#include "lcs/lcs_row.h"
#include "lcs/symbols.h"

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
// reversed) is that byte. Space: words per distinct byte.
class MatchMasks {
 public:
  // The passes' view of a mask (see IdMasks): a byte's row is always whole,
  // and the two directions share nothing.
  using Handle = const Word*;
  struct Shared {
    void build(Text<char> /*text*/) {}
  };
  void build(Text<char> text, bool reversed, const Shared& /*shared*/) {
    build(std::string_view(text.data(), text.size()), reversed);
  }
  [[nodiscard]] Handle find(char c) const { return row(static_cast<unsigned char>(c)); }
  static const Word* bits(Handle row, unsigned /*scratch*/, std::size_t /*begin*/,
                          std::size_t /*end*/) {
    return row;
  }
  static void clear(unsigned /*scratch*/) {}
  static constexpr bool alone(Handle /*row*/) { return false; }
  static void step_alone(Handle /*row*/, Words& /*V*/, std::size_t /*begin*/, std::size_t /*end*/) {
  }

  // Builds the masks, unless they were last built from this very text (the
  // same bytes at the same address) in the same direction.
  void build(std::string_view text, bool reversed) {
    if (text.data() == source_.data() && text.size() == source_.size() && reversed == reversed_ &&
        !bits_.empty()) {
      return;
    }
    source_ = {};  // until the new masks are complete
    words_ = words_for(text.size());
    stride_ = (words_ + kLineWords - 1) / kLineWords * kLineWords;
    std::array<bool, 256> occurs{};  // stores alone: no load or branch per byte
    for (const char c : text) {
      occurs[static_cast<unsigned char>(c)] = true;
    }
    std::size_t distinct = 0;
    for (std::size_t c = 0; c < row_of_.size(); ++c) {
      row_of_[c] = occurs[c] ? static_cast<std::uint16_t>(++distinct) : std::uint16_t{0};
    }
    // Checked in 64 bits: on a 32-bit platform the product can exceed size_t.
    if (std::uint64_t{distinct} * stride_ > bits_.max_size()) {
      throw std::bad_alloc();
    }
    bits_.assign(distinct * stride_, 0);
    if (distinct <= kComparedBytes && row_path() != RowPath::portable) {
      for (std::size_t c = 0; c < row_of_.size(); ++c) {
        if (row_of_[c] != 0) {
          match_mask(bits_.data() + (row_of_[c] - 1U) * stride_, text.data(), text.size(), reversed,
                     static_cast<unsigned char>(c));
        }
      }
    } else {
      const std::size_t last = text.size() - 1;
      for (std::size_t t = 0; t < text.size(); ++t) {
        const char c = text[reversed ? last - t : t];
        const std::size_t row = row_of_[static_cast<unsigned char>(c)] - 1U;
        bits_[row * stride_ + t / kWordBits] |= Word{1} << (t % kWordBits);
      }
    }
    source_ = text;
    reversed_ = reversed;
  }

  // The mask of byte c, or nullptr when c does not occur in the text.
  [[nodiscard]] const Word* row(unsigned char c) const {
    const std::size_t row = row_of_[c];
    return row == 0 ? nullptr : bits_.data() + (row - 1) * stride_;
  }
  [[nodiscard]] std::size_t words() const { return words_; }

 private:
  std::array<std::uint16_t, 256> row_of_{};
  std::string_view source_;
  bool reversed_ = false;
  // Up to this many distinct bytes, a mask is built 64 bytes at a time by
  // vector compares, one pass per byte; beyond, one pass sets a bit per byte.
  static constexpr std::size_t kComparedBytes = 16;

  Words bits_;
  std::size_t words_ = 0;
  std::size_t stride_ = 0;  // words from one row to the next: whole cache lines
};

}  // namespace lcs_detail

#endif  // LCS_BIT_VECTOR_H
