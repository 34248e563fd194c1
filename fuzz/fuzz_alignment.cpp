// Fuzzes the alignment layer: matching_blocks must return maximal runs, in
// order in both strings, of equal bytes, as long in total as the family's LCS
// length, and length() must agree. Inputs with an odd first byte become a
// string and an edited copy of it, so that alike pairs, whose solutions take
// the banded paths, are as common as unrelated ones.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "lcs/alignment.h"
#include "lcs/lcs_algorithms.h"

namespace {

void require(bool condition) {
  if (!condition) {
    __builtin_trap();
  }
}

// The text after byte 0 split in two at a point byte 0 chooses; or, for an odd
// byte 0, the first part and a copy of it edited by the second part's bytes,
// three at a time: a position, an operation and a byte.
std::pair<std::string, std::string> make_pair(std::string_view data) {
  const auto control = static_cast<unsigned char>(data[0]);
  data.remove_prefix(1);
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  const auto [a, b] = make_pair({reinterpret_cast<const char*>(data), size});
  const std::string A = '\0' + a;
  const std::string B = '\0' + b;
  const auto expected = static_cast<std::size_t>(
      Hirschberg_AlgB(A.data(), B.data(), static_cast<int>(a.size()), static_cast<int>(b.size())));

  std::size_t total = 0;
  std::size_t a_end = 0;
  std::size_t b_end = 0;
  for (const lcs::MatchingBlock& block : lcs::matching_blocks(a, b)) {
    require(block.size > 0 && block.a >= a_end && block.b >= b_end);
    require(total == 0 || block.a != a_end || block.b != b_end);  // maximal
    require(block.a + block.size <= a.size() && block.b + block.size <= b.size());
    require(a.compare(block.a, block.size, b, block.b, block.size) == 0);
    a_end = block.a + block.size;
    b_end = block.b + block.size;
    total += block.size;
  }
  require(total == expected);
  require(lcs::length(a, b) == expected && lcs::length(b, a) == expected);
  return 0;
}
