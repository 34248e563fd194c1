// The common prefix and suffix of two strings: some longest common
// subsequence always contains them, so they are matched at once and only the
// middles need the dynamic programme.
#ifndef LCS_COMMON_ENDS_H
#define LCS_COMMON_ENDS_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace lcs_detail {

// Length of the common prefix, eight bytes per comparison while they agree.
inline std::size_t common_prefix(std::string_view a, std::string_view b) {
  const std::size_t limit = std::min(a.size(), b.size());
  std::size_t k = 0;
  for (; k + 8 <= limit; k += 8) {
    std::uint64_t x = 0;
    std::uint64_t y = 0;
    std::memcpy(&x, a.data() + k, 8);
    std::memcpy(&y, b.data() + k, 8);
    if (x != y) {
      break;
    }
  }
  while (k < limit && a[k] == b[k]) {
    ++k;
  }
  return k;
}

// Length of the common suffix.
inline std::size_t common_suffix(std::string_view a, std::string_view b) {
  const std::size_t limit = std::min(a.size(), b.size());
  std::size_t k = 0;
  for (; k + 8 <= limit; k += 8) {
    std::uint64_t x = 0;
    std::uint64_t y = 0;
    std::memcpy(&x, a.data() + a.size() - k - 8, 8);
    std::memcpy(&y, b.data() + b.size() - k - 8, 8);
    if (x != y) {
      break;
    }
  }
  while (k < limit && a[a.size() - 1 - k] == b[b.size() - 1 - k]) {
    ++k;
  }
  return k;
}

struct CommonEnds {
  std::size_t prefix;
  std::size_t suffix;
  std::string_view a;  // the middles, between prefix and suffix
  std::string_view b;
};

inline CommonEnds common_ends(std::string_view a, std::string_view b) {
  const std::size_t prefix = common_prefix(a, b);
  a.remove_prefix(prefix);
  b.remove_prefix(prefix);
  const std::size_t suffix = common_suffix(a, b);
  a.remove_suffix(suffix);
  b.remove_suffix(suffix);
  return {prefix, suffix, a, b};
}

}  // namespace lcs_detail

#endif  // LCS_COMMON_ENDS_H
