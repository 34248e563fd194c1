// SPDX-License-Identifier: MIT
// Fuzzes the library: the input is split into two byte strings, and every LCS
// function must agree, stay within 0..min(m, n) and ignore which string comes
// first; the local alignment score must be finite, >= 0 and <= min(m, n).
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "lcs/lcs_algorithms.h"

namespace {

using LcsFunction = int (*)(const char*, const char*, int, int);

constexpr LcsFunction kQuadraticLcs[] = {Hirschberg_AlgB, Hirschberg_AlgA,   Hirschberg_AlgC,
                                         Diff_Alg,        WagnerFischer_Alg, AllisonDix_Alg};

// Long enough to cross several 64-bit words; the cubic methods take part only
// while both strings are short, or each input would take too long.
constexpr std::size_t kMaxLength = 160;
constexpr int kMaxCubicLength = 40;

void require(bool condition) {
  if (!condition) {
    __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  // The first byte says where A ends; one-based strings get a byte 0 in front.
  const std::size_t rest = std::min(size - 1, 2 * kMaxLength);
  const std::size_t split = data[0] * rest / 255;
  const std::string a = '\0' + std::string(data + 1, data + 1 + split);
  const std::string b = '\0' + std::string(data + 1 + split, data + 1 + rest);
  const int m = static_cast<int>(a.size() - 1);
  const int n = static_cast<int>(b.size() - 1);

  const int expected = Hirschberg_AlgB(a.data(), b.data(), m, n);
  require(expected >= 0 && expected <= std::min(m, n));
  for (const LcsFunction lcs : kQuadraticLcs) {
    require(lcs(a.data(), b.data(), m, n) == expected);
    require(lcs(b.data(), a.data(), n, m) == expected);
  }
  if (m > kMaxCubicLength || n > kMaxCubicLength) {
    return 0;
  }
  require(NeedlemanWunsch_Alg(a.data(), b.data(), m, n) == expected);
  require(NeedlemanWunsch_Alg(b.data(), a.data(), n, m) == expected);
  const double score = SmithWaterman_Alg(a.data(), b.data(), m, n);
  require(std::isfinite(score) && score >= 0.0 && score <= std::min(m, n));
  require(SmithWaterman_Alg(b.data(), a.data(), n, m) == score);
  return 0;
}
