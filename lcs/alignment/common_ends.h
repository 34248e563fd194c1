// SPDX-License-Identifier: MIT
// The common prefix and suffix of two sequences: some longest common
// subsequence always contains them, so they are matched at once and only the
// middles need the dynamic programme.
#ifndef LCS_ALIGNMENT_COMMON_ENDS_H
#define LCS_ALIGNMENT_COMMON_ENDS_H

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "lcs/kernels/symbols.h"

namespace lcs_detail {

// Length of the run of equal symbols at the start of a and b, or at their
// ends, eight bytes per comparison while they agree.
template <class Symbol>
std::size_t common_run(Text<Symbol> a, Text<Symbol> b, bool at_end) {
  constexpr std::size_t kPerWord = 8 / sizeof(Symbol);
  const std::size_t limit = std::min(a.size(), b.size());
  // The `width` symbols that lie k symbols in from the chosen side of s.
  const auto symbols = [at_end](Text<Symbol> s, std::size_t k, std::size_t width) {
    return at_end ? s.data() + s.size() - k - width : s.data() + k;
  };
  std::size_t k = 0;
  while (k + kPerWord <= limit &&
         std::memcmp(symbols(a, k, kPerWord), symbols(b, k, kPerWord), 8) == 0) {
    k += kPerWord;
  }
  while (k < limit && *symbols(a, k, 1) == *symbols(b, k, 1)) {
    ++k;
  }
  return k;
}

template <class Symbol>
std::size_t common_prefix(Text<Symbol> a, Text<Symbol> b) {
  return common_run(a, b, false);
}

template <class Symbol>
std::size_t common_suffix(Text<Symbol> a, Text<Symbol> b) {
  return common_run(a, b, true);
}

template <class Symbol>
struct CommonEnds {
  std::size_t prefix;
  std::size_t suffix;
  Text<Symbol> a;  // the middles, between prefix and suffix
  Text<Symbol> b;
};

template <class Symbol>
CommonEnds<Symbol> common_ends(Text<Symbol> a, Text<Symbol> b) {
  const std::size_t prefix = common_prefix(a, b);
  a = a.subspan(prefix);
  b = b.subspan(prefix);
  const std::size_t suffix = common_suffix(a, b);
  a = a.first(a.size() - suffix);
  b = b.first(b.size() - suffix);
  return {prefix, suffix, a, b};
}

}  // namespace lcs_detail

#endif  // LCS_ALIGNMENT_COMMON_ENDS_H
