// SPDX-License-Identifier: MIT
// The match masks of a text of bytes (see bit_vector.h): a row of words per
// distinct byte, or, for the banded passes over a text of many distinct bytes,
// a row per distinct high and low half of a byte, so that 256 bytes take 32
// rows, not 256. Building takes one pass over the text (or one per byte, when
// few), and space a row per distinct byte or half.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <new>
#include <string_view>

#include "lcs/kernels/bit_vector.h"
#include "lcs/kernels/lcs_row.h"

namespace lcs_detail {

void MatchMasks::build(std::string_view text, bool reversed, Rows rows) {
  if (text.data() == source_.data() && text.size() == source_.size() && reversed == reversed_ &&
      rows == rows_ && words_ != 0) {
    return;
  }
  source_ = {};  // until the new masks are complete
  words_ = words_for(text.size());
  stride_ = (words_ + kLineWords - 1) / kLineWords * kLineWords;
  std::array<bool, 256> occurs{};  // stores alone: no load or branch per byte
  for (const char c : text) {
    occurs[static_cast<unsigned char>(c)] = true;
  }
  entries_ = {};
  const auto distinct = static_cast<std::size_t>(std::count(occurs.begin(), occurs.end(), true));
  if (rows == Rows::halves_when_many && distinct > kByteRows) {
    build_halves(text, reversed, occurs);
  } else {
    build_bytes(text, reversed, occurs, distinct);
  }
  source_ = text;
  reversed_ = reversed;
  rows_ = rows;
}

Word* MatchMasks::allocate(std::size_t rows) {
  // Checked in 64 bits: on a 32-bit platform the product can exceed size_t.
  if (std::uint64_t{rows} * stride_ > bits_.max_size()) {
    throw std::bad_alloc();
  }
  bits_.assign(rows * stride_, 0);
  return bits_.data();
}

namespace {

// Calls set(c, w, bit) for each t, c the text's t-th byte (counted from its
// end when reversed), w = t / 64 and bit the word with bit t % 64 alone set.
template <class Set>
void scatter(std::string_view text, bool reversed, Set set) {
  const std::size_t last = text.size() - 1;
  for (std::size_t t = 0; t < text.size(); ++t) {
    set(static_cast<unsigned char>(text[reversed ? last - t : t]), t / kWordBits,
        Word{1} << (t % kWordBits));
  }
}

}  // namespace

template <std::size_t N>
std::array<Word*, N> MatchMasks::rows_for(const std::array<bool, N>& used) {
  std::array<Word*, N> row{};
  Word* next = allocate(static_cast<std::size_t>(std::count(used.begin(), used.end(), true)));
  for (std::size_t k = 0; k < N; ++k) {
    if (used[k]) {
      row[k] = next;
      next += stride_;
    }
  }
  return row;
}

void MatchMasks::build_bytes(std::string_view text, bool reversed,
                             const std::array<bool, 256>& occurs, std::size_t distinct) {
  const std::array<Word*, 256> row = rows_for(occurs);
  for (std::size_t c = 0; c < occurs.size(); ++c) {
    entries_[c] = {row[c], row[c]};
  }
  if (distinct <= kComparedBytes && row_path() != RowPath::portable) {
    for (std::size_t c = 0; c < occurs.size(); ++c) {
      if (occurs[c]) {
        match_mask(row[c], text.data(), text.size(), reversed, static_cast<unsigned char>(c));
      }
    }
    return;
  }
  scatter(text, reversed, [&](unsigned char c, std::size_t w, Word bit) { row[c][w] |= bit; });
}

void MatchMasks::build_halves(std::string_view text, bool reversed,
                              const std::array<bool, 256>& occurs) {
  const auto high = [](std::size_t c) { return c >> 4U; };
  const auto low = [](std::size_t c) { return 16 + (c & 15U); };
  std::array<bool, 32> used{};  // high halves, then low halves
  for (std::size_t c = 0; c < occurs.size(); ++c) {
    if (occurs[c]) {
      used[high(c)] = true;
      used[low(c)] = true;
    }
  }
  const std::array<Word*, 32> row = rows_for(used);
  for (std::size_t c = 0; c < occurs.size(); ++c) {
    if (occurs[c]) {
      entries_[c] = {row[high(c)], row[low(c)]};
    }
  }
  scatter(text, reversed, [&](unsigned char c, std::size_t w, Word bit) {
    row[high(c)][w] |= bit;
    row[low(c)][w] |= bit;
  });
}

}  // namespace lcs_detail
