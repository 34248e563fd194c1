// SPDX-License-Identifier: MIT
// The local alignment score: reference values bit for bit, an integer model of
// the same recurrence, and the score's bounds and symmetry.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "tests/allocation_counter.h"
#include "tests/test_support.h"

namespace {

double score_of(const std::string& a, const std::string& b) {
  const OneBased A(a);
  const OneBased B(b);
  return SmithWaterman_Alg(A.data(), B.data(), A.size(), B.size());
}

constexpr bool kExtendedIs64Bit = std::numeric_limits<long double>::digits == 64;

struct ScoreCase {
  const char* a;
  const char* b;
  double score;
};

TEST(SmithWaterman, OneThirdIsTheNearestDouble) {
  EXPECT_EQ(std::bit_cast<std::uint64_t>(ONE_THIRD), 0x3FD5555555555555ULL);
}

TEST(SmithWaterman, ReferenceScoresBitForBit) {
  if (!kExtendedIs64Bit) {
    GTEST_SKIP() << "long double has no 64-bit significand on this platform; the reference "
                    "scores are defined with one";
  }
  const ScoreCase table[] = {
      {"", "", 0.0},
      {"abc", "", 0.0},
      {"abc", "xyz", 0.0},
      {"abc", "axc", 1.6666666666666667},
      {"acacacta", "agcacaca", 5.0},
      {"ab", "ba", 1.0},
      {"a", "a", 1.0},
      // These two differ in the last bit when every step is rounded to double.
      {"GCAACCTAGGGAGAATGTGTACATACG", "CTCTTACTGCGGTCGCGTCTAATAA", 6.666666666666666},
      {"bbccabbabcb", "cbbcabacbba", 4.0},
  };
  for (const ScoreCase& c : table) {
    const auto want = std::bit_cast<std::uint64_t>(c.score);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(score_of(c.a, c.b)), want) << c.a << " / " << c.b;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(score_of(c.b, c.a)), want) << c.b << " / " << c.a;
  }
}

// The same recurrence with every score multiplied by 3, so that all values are
// integers: match 3, mismatch -1, a gap of k symbols 3 + k.
std::int64_t tripled_score(const std::string& a, const std::string& b) {
  const std::size_t m = a.size();
  const std::size_t n = b.size();
  std::vector<std::vector<std::int64_t>> H(m + 1, std::vector<std::int64_t>(n + 1, 0));
  std::int64_t best = 0;
  for (std::size_t i = 1; i <= m; ++i) {
    for (std::size_t j = 1; j <= n; ++j) {
      std::int64_t h = std::max<std::int64_t>(0, H[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 3 : -1));
      for (std::size_t k = 1; k < i; ++k) {
        h = std::max(h, H[i - k][j] - static_cast<std::int64_t>(3 + k));
      }
      for (std::size_t k = 1; k < j; ++k) {
        h = std::max(h, H[i][j - k] - static_cast<std::int64_t>(3 + k));
      }
      H[i][j] = h;
      best = std::max(best, h);
    }
  }
  return best;
}

TEST(SmithWaterman, AgreesWithAnIntegerModelOfTheRecurrence) {
  std::mt19937 rng(1981);
  std::uniform_int_distribution<std::size_t> length(0, 40);
  for (int round = 0; round < 300; ++round) {
    const int alphabet = std::vector<int>{2, 4, 26}[static_cast<std::size_t>(round) % 3];
    const std::string a = random_text(rng, length(rng), alphabet);
    const std::string b = random_text(rng, length(rng), alphabet);
    const double score = score_of(a, b);
    const auto exact = static_cast<double>(tripled_score(a, b));
    EXPECT_NEAR(3.0 * score, exact, 1e-12 * std::max(1.0, exact)) << a << " / " << b;
  }
}

TEST(SmithWaterman, ScoreIsBoundedAndSymmetric) {
  std::mt19937 rng(3);
  std::uniform_int_distribution<std::size_t> length(0, 50);
  for (int round = 0; round < 300; ++round) {
    const int alphabet = std::vector<int>{1, 2, 4, 256}[static_cast<std::size_t>(round) % 4];
    const std::string a = random_text(rng, length(rng), alphabet);
    const std::string b = random_text(rng, length(rng), alphabet);
    const double score = score_of(a, b);
    ASSERT_TRUE(std::isfinite(score));
    ASSERT_GE(score, 0.0);
    ASSERT_LE(score, static_cast<double>(std::min(a.size(), b.size())));
    ASSERT_EQ(std::bit_cast<std::uint64_t>(score_of(b, a)), std::bit_cast<std::uint64_t>(score))
        << a << " / " << b;
  }
}

TEST(SmithWaterman, NegativeLengthsGiveZeroWithoutAllocating) {
  const OneBased A("abc");
  for (const auto& [m, n] : {std::pair{-1, 3}, {3, -1}, {INT32_MIN, INT32_MIN}}) {
    const AllocationCount allocations;
    EXPECT_EQ(SmithWaterman_Alg(A.data(), A.data(), m, n), 0.0);
    EXPECT_EQ(allocations.since(), 0U);
  }
}

}  // namespace
