// SPDX-License-Identifier: MIT
// Sequences as the engine reads them: bytes as they are, or dense 32-bit ids
// that symbols of any wider type are given first, so that no table is ever
// indexed by a symbol's own value.
#ifndef LCS_KERNELS_SYMBOLS_H
#define LCS_KERNELS_SYMBOLS_H

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace lcs_detail {

template <class Symbol>
using Text = std::span<const Symbol>;

inline Text<char> text_of(std::string_view s) { return {s.data(), s.size()}; }

// The symbols of a are numbered from 0 in the order first seen, and a symbol
// of b gets its number in a. A symbol that only one side has gets kOnlyInA or
// kOnlyInB instead, and matches nothing on the other side.
using Id = std::uint32_t;
inline constexpr Id kOnlyInA = UINT32_MAX - 1;
inline constexpr Id kOnlyInB = UINT32_MAX;

// Positions are kept in 32 bits on the id paths: longer sequences are
// refused as too large (std::bad_alloc).
inline constexpr std::size_t kMaxIdLength = kOnlyInA;

struct Interned {
  std::vector<Id> a;
  std::vector<Id> b;
  Id shared = 0;  // ids of symbols on both sides are below this (the distinct symbols of a)
};

// Equal symbols get equal ids, in O(|a| + |b|) expected time (one hash table
// of the distinct symbols, freed on return).
template <class Symbol>
Interned intern(Text<Symbol> a, Text<Symbol> b);

}  // namespace lcs_detail

#endif  // LCS_KERNELS_SYMBOLS_H
