// SPDX-License-Identifier: MIT
// The two sides of a batch call as the pairs engine reads them: bytes as
// they are, code points by value when the largest is small enough to index a
// table (as every Unicode code point is), else given dense ids first.
#ifndef LCS_MANY_SIDES_H
#define LCS_MANY_SIDES_H

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "lcs/many/pairs.h"

namespace lcs_detail {

template <class Symbol>
struct Sides {
  Side<Symbol> queries;
  Side<Symbol> choices;
  std::size_t alphabet = 0;
  std::vector<std::uint32_t> ids;  // the texts' symbols, where they had to be renumbered
};

// Symbols up to this value index the tables of the masks directly (a table
// of 2^21 entries holds every Unicode code point).
inline constexpr std::uint32_t kDirectSymbols = 1U << 21;

// A string of a batch call; throws std::length_error for one of 2^32 symbols
// or more, whose LCS lengths the lanes' 32-bit counts could not hold.
template <class Symbol>
Text<Symbol> batch_text(Text<Symbol> text) {
  if constexpr (SIZE_MAX > UINT32_MAX) {
    if (text.size() > UINT32_MAX) {
      throw std::length_error(
          "lcs: a string of 2^32 symbols or more is compared on its own (lcs::similarity)");
    }
  }
  return text;
}

inline Text<unsigned char> bytes_of(std::string_view s) {
  // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): the same bytes, unsigned
  return batch_text(
      Text<unsigned char>(reinterpret_cast<const unsigned char*>(s.data()), s.size()));
}

// The largest symbol of these texts (0 for none).
std::uint32_t largest_symbol(std::span<const std::span<const std::uint32_t>> texts);

Sides<unsigned char> sides_of(std::span<const std::string_view> queries,
                              std::span<const std::string_view> choices);
Sides<std::uint32_t> sides_of(std::span<const std::span<const std::uint32_t>> queries,
                              std::span<const std::span<const std::uint32_t>> choices);

}  // namespace lcs_detail

#endif  // LCS_MANY_SIDES_H
