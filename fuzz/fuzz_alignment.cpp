// SPDX-License-Identifier: MIT
// Fuzzes the alignment layer: matching_blocks must return maximal runs, in
// order in both sequences, of equal symbols, as long in total as the LCS, and
// length() must agree. Byte 0 chooses what the rest becomes: two strings, or
// (odd byte 0) a string and an edited copy of it, so that alike pairs, whose
// solutions take the banded paths, are as common as unrelated ones; and then
// bytes, or 16- or 32-bit symbols: each byte as a far-apart value (few
// distinct symbols: bit vectors) or each pair of neighbouring bytes as one
// (up to 65536 distinct: masks from occurrence lists, the threshold method).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lcs/alignment.h"
#include "lcs/lcs_algorithms.h"
#include "tests/test_support.h"

namespace {

void require(bool condition) {
  if (!condition) {
    __builtin_trap();
  }
}

// The text after byte 0 split in two at a point byte 0 chooses; or, for an odd
// byte 0, the first part and a copy of it edited by the second part's bytes,
// three at a time: a position, an operation and a byte.
std::pair<std::string, std::string> make_pair(unsigned char control, std::string_view data) {
  const std::size_t split = control * data.size() / 255;
  std::string a(data.substr(0, split));
  std::string b(data.substr(split));
  if (control % 2 == 0 || a.empty()) {
    return {a, b};
  }
  std::string edited = a;
  for (std::size_t k = 0; k + 3 <= b.size() && !edited.empty(); k += 3) {
    const std::size_t at = static_cast<unsigned char>(b[k]) * edited.size() / 256;
    switch (static_cast<unsigned char>(b[k + 1]) % 3) {
      case 0:
        edited[at] = b[k + 2];
        break;
      case 1:
        edited.insert(at, 1, b[k + 2]);
        break;
      default:
        edited.erase(at, 1);
        break;
    }
  }
  return {a, edited};
}

template <class Sequence>
void check(const Sequence& a, const Sequence& b, std::size_t expected) {
  std::size_t total = 0;
  std::size_t a_end = 0;
  std::size_t b_end = 0;
  for (const lcs::MatchingBlock& block : lcs::matching_blocks(a, b)) {
    require(block.size > 0 && block.a >= a_end && block.b >= b_end);
    require(total == 0 || block.a != a_end || block.b != b_end);  // maximal
    require(block.a + block.size <= a.size() && block.b + block.size <= b.size());
    const auto at = [](const Sequence& s, std::size_t k) {
      return s.begin() + static_cast<std::ptrdiff_t>(k);
    };
    require(std::equal(at(a, block.a), at(a, block.a + block.size), at(b, block.b)));
    a_end = block.a + block.size;
    b_end = block.b + block.size;
    total += block.size;
  }
  require(total == expected);
  require(lcs::length(a, b) == expected && lcs::length(b, a) == expected);
}

std::size_t family_lcs(const std::string& a, const std::string& b) {
  const std::string A = '\0' + a;
  const std::string B = '\0' + b;
  return static_cast<std::size_t>(
      Hirschberg_AlgB(A.data(), B.data(), static_cast<int>(a.size()), static_cast<int>(b.size())));
}

// Value k spread over the whole type, 0 and the largest value among them.
template <class Symbol>
Symbol spread(std::uint32_t k) {
  return k == 1 ? static_cast<Symbol>(~Symbol{0}) : static_cast<Symbol>(k * 2654435761U);
}

template <class Symbol>
std::vector<Symbol> symbols_of(const std::string& text, bool bigrams) {
  std::vector<Symbol> symbols;
  const auto byte = [&](std::size_t t) {
    return std::uint32_t{static_cast<unsigned char>(text[t])};
  };
  for (std::size_t t = 0; t + (bigrams ? 1 : 0) < text.size(); ++t) {
    symbols.push_back(spread<Symbol>(bigrams ? byte(t) << 8U | byte(t + 1) : byte(t)));
  }
  return symbols;
}

template <class Symbol>
void check_wide(const std::string& a, const std::string& b, bool bigrams) {
  const std::vector<Symbol> x = symbols_of<Symbol>(a, bigrams);
  const std::vector<Symbol> y = symbols_of<Symbol>(b, bigrams);
  check(x, y, bigrams ? textbook_lcs(x, y) : family_lcs(a, b));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  const auto control = static_cast<unsigned char>(data[0]);
  const auto [a, b] = make_pair(control, {reinterpret_cast<const char*>(data) + 1, size - 1});
  switch (control / 2 % 4) {
    case 0:
      check(a, b, family_lcs(a, b));
      break;
    case 1:
      check_wide<std::uint32_t>(a, b, false);
      break;
    case 2:
      check_wide<std::uint32_t>(a, b, true);
      break;
    default:
      check_wide<std::uint16_t>(a, b, (control & 16U) != 0);
      break;
  }
  return 0;
}
