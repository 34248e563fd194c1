// SPDX-License-Identifier: MIT
// Every way to the LCS length, held to the same cases, to a brute force that
// enumerates subsequences, and to each other on random inputs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "lcs/kernels/lcs_row.h"
#include "tests/allocation_counter.h"
#include "tests/test_support.h"

namespace {

using namespace std::string_literals;

class LcsLength : public ::testing::TestWithParam<LcsMethod> {};

std::string method_name(const ::testing::TestParamInfo<LcsMethod>& info) { return info.param.name; }

struct Case {
  const char* what;
  std::string a;
  std::string b;
  int lcs;
};

std::string repeat(std::string_view unit, int times) {
  std::string text;
  for (int t = 0; t < times; ++t) {
    text += unit;
  }
  return text;
}

const std::vector<Case>& cases() {
  static const std::vector<Case> table = {
      {"classic pair", "ABCBDAB", "BDCABA", 4},
      {"both empty", "", "", 0},
      {"A empty", "", "abc", 0},
      {"B empty", "abc", "", 0},
      {"one equal character", "a", "a", 1},
      {"one different character", "a", "b", 0},
      {"identical", "GATTACA", "GATTACA", 7},
      {"disjoint", "abcdef", "uvwxyz", 0},
      {"repeated character", "aaaa", "aa", 2},
      {"a match met twice in one row", "a", "aa", 1},
      {"edit distance pair", "ba", "bbbbaabab", 2},
      {"local alignment pair", "acacacta", "agcacaca", 7},
      {"zero bytes are characters", "a\0b\0"s, "\0\0b"s, 2},
      {"zero bytes match only zero bytes", "\0\0\0"s, "000", 0},
      {"bytes from 0x80 up", "\xff\x80\xff", "\x80\xff", 2},
      {"case matters", "abc", "ABC", 0},
      {"1 x 500, match at the end", "x", repeat("y", 499) + "x", 1},
      {"500 x 1, match at the start", "q" + repeat("r", 499), "q", 1},
      {"alternating across 64-column blocks", repeat("ab", 100), repeat("ba", 100), 199},
      {"one long run inside another", repeat("c", 130), repeat("xc", 70), 70},
      {"reversed order", "abcdefgh", "hgfedcba", 1},
  };
  return table;
}

TEST_P(LcsLength, GivesTheLengthOfEveryTableCase) {
  for (const Case& c : cases()) {
    EXPECT_EQ(lcs_of(GetParam().length, c.a, c.b), c.lcs) << c.what;
    EXPECT_EQ(lcs_of(GetParam().length, c.b, c.a), c.lcs) << c.what << ", A and B exchanged";
  }
}

TEST_P(LcsLength, OnlyTheDeclaredPrefixesTakePart) {
  const OneBased A("ABCBDAB");
  const OneBased B("BDCABA");
  EXPECT_EQ(GetParam().length(A.data(), B.data(), 4, 3), 2);  // ABCB against BDC
  EXPECT_EQ(GetParam().length(A.data(), B.data(), 0, 6), 0);
  EXPECT_EQ(GetParam().length(A.data(), B.data(), 7, 0), 0);
}

TEST_P(LcsLength, NegativeLengthsGiveZeroWithoutAllocating) {
  const OneBased A("abc");
  for (const auto& [m, n] : {std::pair{-1, 3}, {3, -1}, {-1, -1}, {INT32_MIN, 3}, {3, INT32_MIN}}) {
    const AllocationCount allocations;
    EXPECT_EQ(GetParam().length(A.data(), A.data(), m, n), 0) << m << " x " << n;
    EXPECT_EQ(allocations.since(), 0U) << m << " x " << n;
  }
}

TEST_P(LcsLength, AgreesWithBruteForceOnEveryTinyPair) {
  for (const auto& [alphabet, max_length] : {std::pair{"ab", 6U}, {"abc", 4U}}) {
    const std::vector<std::string> strings = all_strings(alphabet, max_length);
    for (const std::string& a : strings) {
      for (const std::string& b : strings) {
        ASSERT_EQ(lcs_of(GetParam().length, a, b), brute_force_lcs(a, b)) << a << " / " << b;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryMethod, LcsLength, ::testing::ValuesIn(kLcsMethods), method_name);

// All methods against the two-row one on random pairs of many shapes. The
// result is also checked against its bounds and for symmetry.
void expect_all_agree(const std::string& a, const std::string& b, const std::string& label) {
  const int expected = lcs_of(Hirschberg_AlgB, a, b);
  ASSERT_GE(expected, 0) << label;
  ASSERT_LE(expected, static_cast<int>(std::min(a.size(), b.size()))) << label;
  const bool short_pair = a.size() <= 60 && b.size() <= 60;
  for (const LcsMethod& method : kLcsMethods) {
    if (method.cubic && !short_pair) {
      continue;
    }
    ASSERT_EQ(lcs_of(method.length, a, b), expected) << method.name << ": " << label;
    ASSERT_EQ(lcs_of(method.length, b, a), expected) << method.name << " exchanged: " << label;
  }
}

TEST(LcsLengthCrossCheck, AllMethodsAgreeOnRandomPairs) {
  std::mt19937 rng(20261208);
  std::uniform_int_distribution<std::size_t> length(0, 300);
  std::uniform_int_distribution<std::size_t> short_length(0, 60);
  for (int round = 0; round < 2000; ++round) {
    const int alphabet = std::vector<int>{1, 2, 4, 26, 256}[static_cast<std::size_t>(round) % 5];
    const bool short_pair = round % 3 == 0;
    const std::size_t m = short_pair ? short_length(rng) : length(rng);
    const std::size_t n = short_pair ? short_length(rng) : length(rng);
    const std::string a = random_text(rng, m, alphabet);
    const std::string b = random_text(rng, n, alphabet);
    expect_all_agree(a, b,
                     "round " + std::to_string(round) + ", alphabet " + std::to_string(alphabet));
  }
}

TEST(LcsLengthCrossCheck, AllMethodsAgreeAcrossWordBoundaries) {
  std::mt19937 rng(64);
  const std::size_t lengths[] = {1, 63, 64, 65, 127, 128, 129, 191, 192, 193, 2500};
  for (const std::size_t m : lengths) {
    for (const std::size_t n : lengths) {
      for (const int alphabet : {2, 4, 256}) {
        const std::string a = random_text(rng, m, alphabet);
        const std::string b = random_text(rng, n, alphabet);
        expect_all_agree(a, b, std::to_string(m) + " x " + std::to_string(n));
      }
    }
  }
}

TEST(LcsLengthCrossCheck, NearIdenticalLongPairsKeepAlmostEverything) {
  std::mt19937 rng(7);
  std::string a = random_text(rng, 3000, 4);
  std::string b = a;
  for (int edit = 0; edit < 30; ++edit) {
    b[rng() % b.size()] = 'z';  // 30 substitutions by a letter absent from A
  }
  const int expected = lcs_of(Hirschberg_AlgB, a, b);
  EXPECT_GE(expected, 3000 - 30);
  expect_all_agree(a, b, "3000 with 30 substitutions");
}

// CI runs this suite once per vector path, capped through LCS_SIMD: the cap
// must take effect, or the narrower paths would go untested.
TEST(RowPath, FollowsTheCapInTheEnvironment) {
  const char* cap = std::getenv("LCS_SIMD");  // NOLINT(concurrency-mt-unsafe): one thread here
  const char* path = lcs_detail::row_path_name(lcs_detail::row_path());
  std::cout << "[ row path ] " << path << '\n';
  if (cap != nullptr && std::string_view(cap) != "avx512") {
    EXPECT_TRUE(std::string_view(path) == cap ||
                lcs_detail::row_path() == lcs_detail::RowPath::portable)
        << "cap " << cap << ", path " << path;
  }
}

TEST(HirschbergAlgC, EmptyAWithNonEmptyBEndsAtOnce) {
  const OneBased B("abc");
  EXPECT_EQ(Hirschberg_AlgC(B.data(), B.data(), 0, 3), 0);
}

}  // namespace
