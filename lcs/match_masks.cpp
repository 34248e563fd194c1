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

#include "lcs/bit_vector.h"
#include "lcs/lcs_row.h"

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
    build_bytes(text, reversed, occurs);
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

// Sets bit t of row[t / 64] for each t where the text's t-th byte (counted
// from its end when reversed) has that row.
template <class RowOf>
void scatter(std::string_view text, bool reversed, RowOf row_of) {
  const std::size_t last = text.size() - 1;
  for (std::size_t t = 0; t < text.size(); ++t) {
    const auto c = static_cast<unsigned char>(text[reversed ? last - t : t]);
    row_of(c)[t / kWordBits] |= Word{1} << (t % kWordBits);
  }
}

void MatchMasks::build_bytes(std::string_view text, bool reversed,
                             const std::array<bool, 256>& occurs) {
  const auto distinct = static_cast<std::size_t>(std::count(occurs.begin(), occurs.end(), true));
  std::array<Word*, 256> row_of{};
  Word* next = allocate(distinct);
  for (std::size_t c = 0; c < occurs.size(); ++c) {
    if (occurs[c]) {
      row_of[c] = next;
      entries_[c] = {next, next};
      next += stride_;
    }
  }
  if (distinct <= kComparedBytes && row_path() != RowPath::portable) {
    for (std::size_t c = 0; c < occurs.size(); ++c) {
      if (occurs[c]) {
        match_mask(row_of[c], text.data(), text.size(), reversed, static_cast<unsigned char>(c));
      }
    }
    return;
  }
  scatter(text, reversed, [&](unsigned char c) { return row_of[c]; });
}

void MatchMasks::build_halves(std::string_view text, bool reversed,
                              const std::array<bool, 256>& occurs) {
  std::array<bool, 32> half_occurs{};  // high halves, then low halves
  for (std::size_t c = 0; c < occurs.size(); ++c) {
    if (occurs[c]) {
      half_occurs[c >> 4U] = true;
      half_occurs[16 + (c & 15U)] = true;
    }
  }
  std::array<Word*, 32> half_row{};
  Word* next =
      allocate(static_cast<std::size_t>(std::count(half_occurs.begin(), half_occurs.end(), true)));
  for (std::size_t h = 0; h < half_occurs.size(); ++h) {
    if (half_occurs[h]) {
      half_row[h] = next;
      next += stride_;
    }
  }
  for (std::size_t c = 0; c < occurs.size(); ++c) {
    if (occurs[c]) {
      entries_[c] = {half_row[c >> 4U], half_row[16 + (c & 15U)]};
    }
  }
  scatter(text, reversed, [&](unsigned char c) { return half_row[c >> 4U]; });
  scatter(text, reversed, [&](unsigned char c) { return half_row[16 + (c & 15U)]; });
}

}  // namespace lcs_detail
