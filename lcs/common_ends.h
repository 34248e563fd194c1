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

// Length of the run of equal bytes at the start of a and b, or at their ends,
// eight bytes per comparison while they agree.
inline std::size_t common_run(std::string_view a, std::string_view b, bool at_end) {
  const std::size_t limit = std::min(a.size(), b.size());
  // The `width` bytes that lie k bytes in from the chosen side of s.
  const auto bytes = [at_end](std::string_view s, std::size_t k, std::size_t width) {
    return at_end ? s.data() + s.size() - k - width : s.data() + k;
  };
  std::size_t k = 0;
  for (; k + 8 <= limit; k += 8) {
    std::uint64_t x = 0;
    std::uint64_t y = 0;
    std::memcpy(&x, bytes(a, k, 8), 8);
    std::memcpy(&y, bytes(b, k, 8), 8);
    if (x != y) {
      break;
    }
  }
  while (k < limit && *bytes(a, k, 1) == *bytes(b, k, 1)) {
    ++k;
  }
  return k;
}

inline std::size_t common_prefix(std::string_view a, std::string_view b) {
  return common_run(a, b, false);
}

inline std::size_t common_suffix(std::string_view a, std::string_view b) {
  return common_run(a, b, true);
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
