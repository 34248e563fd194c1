// SPDX-License-Identifier: MIT
// The alignment layer on bytes: every result is checked against the contract
// of matching_blocks (valid, maximal, equal bytes, as long as the LCS), with
// the LCS length taken from a brute force on tiny pairs and from the family's
// two-row method on larger ones.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <numeric>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "lcs/alignment.h"
#include "tests/address_space.h"
#include "tests/blocks_contract.h"
#include "tests/test_support.h"

namespace {

using namespace std::string_literals;

std::size_t family_lcs(const std::string& a, const std::string& b) {
  return static_cast<std::size_t>(lcs_of(Hirschberg_AlgB, a, b));
}

// A copy of `text` with `edits` random edits of letters of the alphabet.
std::string edited(std::mt19937& rng, std::string text, std::size_t edits, int alphabet) {
  return with_edits(rng, std::move(text), edits, [&] { return random_text(rng, 1, alphabet)[0]; });
}

TEST(MatchingBlocks, ClassicCasesAsExactBlocks) {
  struct Case {
    std::string a;
    std::string b;
    std::vector<lcs::MatchingBlock> blocks;
  };
  const Case table[] = {
      {"", "", {}},
      {"abc", "", {}},
      {"abc", "xyz", {}},
      {"GATTACA", "GATTACA", {{0, 0, 7}}},
      {"xabcx", "yabcy", {{1, 1, 3}}},
      {"abXcd", "abcd", {{0, 0, 2}, {3, 2, 2}}},
      {"\0\x80\xff"s, "\xff\0\x80\xff"s, {{0, 1, 3}}},
      // The traceback walks a million columns left along one row: in linear time.
      {"TAC", "AAC" + std::string(1000000, 'G'), {{1, 1, 2}}},
  };
  for (const Case& c : table) {
    EXPECT_EQ(lcs::matching_blocks(c.a, c.b), c.blocks) << c.a << " / " << c.b;
  }
}

TEST(MatchingBlocks, AgreeWithBruteForceOnEveryTinyPair) {
  for (const auto& [alphabet, max_length] : {std::pair{"ab", 6U}, {"abc", 4U}}) {
    const std::vector<std::string> strings = all_strings(alphabet, max_length);
    for (const std::string& a : strings) {
      for (const std::string& b : strings) {
        expect_lcs_blocks(a, b, static_cast<std::size_t>(brute_force_lcs(a, b)),
                          std::string(a).append(" / ").append(b));
      }
    }
  }
}

TEST(MatchingBlocks, AgreeWithTheFamilyOnRandomPairs) {
  std::mt19937 rng(1111);
  const std::size_t lengths[] = {1, 63, 64, 65, 127, 129, 200, 1000, 2100};
  for (const int alphabet : {1, 2, 4, 26, 256}) {
    for (const std::size_t m : lengths) {
      const std::size_t n = lengths[rng() % std::size(lengths)];
      const std::string a = random_text(rng, m, alphabet);
      const std::string b = random_text(rng, n, alphabet);
      const std::string label =
          std::to_string(m) + " x " + std::to_string(n) + ", alphabet " + std::to_string(alphabet);
      expect_lcs_blocks(a, b, family_lcs(a, b), label);
      const std::string reversed(a.rbegin(), a.rend());
      expect_lcs_blocks(a, reversed, family_lcs(a, reversed), label + ", reversed");
    }
  }
}

// Alike pairs take the banded paths: the probe alone, a wider band after it,
// and bands within the halves of every division.
TEST(MatchingBlocks, AgreeWithTheFamilyOnAlikePairs) {
  std::mt19937 rng(2222);
  for (const int alphabet : {2, 4, 256}) {
    for (const std::size_t n : {std::size_t{300}, std::size_t{3000}, std::size_t{12000}}) {
      for (const std::size_t edits : {std::size_t{1}, n / 100, n / 10}) {
        const std::string a = random_text(rng, n, alphabet);
        const std::string b = edited(rng, a, edits, alphabet);
        const std::string label = std::to_string(n) + " with " + std::to_string(edits) +
                                  " edits, alphabet " + std::to_string(alphabet);
        expect_lcs_blocks(a, b, family_lcs(a, b), label);
      }
    }
  }
}

TEST(MatchingBlocks, AgreeWithTheFamilyOnShiftedAndFramedPairs) {
  std::mt19937 rng(3333);
  const std::string core = random_text(rng, 4000, 4);
  const std::string shift = random_text(rng, 700, 4);  // beyond the probe's reach
  const std::string frame = random_text(rng, 500, 4);
  const std::string other = edited(rng, core, 40, 4);
  const std::pair<std::string, std::string> pairs[] = {
      {shift + core, other},
      {core, other + shift},
      {frame + core + frame, frame + other + frame},
      {frame + core, frame + random_text(rng, 3000, 4) + frame},
      {core, core.substr(1000, 2000)},
  };
  for (const auto& [a, b] : pairs) {
    expect_lcs_blocks(a, b, family_lcs(a, b),
                      std::to_string(a.size()) + " x " + std::to_string(b.size()));
  }
}

// A piece whose table would have 65536 x 65536 entries, 2^32, which a 32-bit
// size_t wraps to 0: it must be divided, not taken for a small table.
TEST(MatchingBlocks, PieceOfTwoToThe32Cells) {
  std::mt19937 rng(3434);
  const std::string a = 'A' + random_text(rng, 65533, 4) + 'C';  // no common prefix or suffix
  const std::string b = 'G' + random_text(rng, 65533, 4) + 'T';
  expect_lcs_blocks(a, b, family_lcs(a, b), "65535 x 65535");
}

TEST(MatchingBlocks, SubsequenceAndSimilarityFollowTheBlocks) {
  EXPECT_EQ(lcs::subsequence("ABCBDAB", "BDCABA").size(), 4U);
  EXPECT_EQ(lcs::subsequence("xa\0b"s, "a\0bx"s), "a\0b"s);
  EXPECT_EQ(lcs::similarity("", ""), 1.0);
  EXPECT_EQ(lcs::similarity("abc", ""), 0.0);
  EXPECT_EQ(lcs::similarity("abcd", "abcd"), 1.0);
  EXPECT_DOUBLE_EQ(lcs::similarity("ABCBDAB", "BDCABA"), 8.0 / 13.0);
}

TEST(MatchingBlocks, ReportsProgressInWholePercentsEndingAtOne) {
  std::mt19937 rng(4444);
  const std::string a = random_text(rng, 30000, 4);
  const std::string b = random_text(rng, 30000, 4);
  for (const bool blocks : {false, true}) {
    std::vector<double> reports;
    const lcs::Options options{[&](double done) { reports.push_back(done); }};
    if (blocks) {
      lcs::matching_blocks(a, b, options);
    } else {
      lcs::length(a, b, options);
    }
    ASSERT_FALSE(reports.empty());
    EXPECT_LE(reports.size(), 101U);
    EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
    EXPECT_GT(reports.size(), 10U);
    EXPECT_EQ(reports.back(), 1.0);
  }
}

// Large enough that the passes of the first divisions run on two threads, and
// that lcs::length's two threads meet at a row that timing decides.
TEST(MatchingBlocksThreads, AnyNumberOfThreadsGivesTheSameResult) {
  std::mt19937 rng(6666);
  const std::string dna = random_text(rng, 6000, 4);
  const std::string long_dna = random_text(rng, 20000, 4);  // in a band worth two threads
  const std::pair<std::string, std::string> pairs[] = {
      {dna, random_text(rng, 5001, 4)},
      {dna, edited(rng, dna, 600, 4)},
      {random_text(rng, 4097, 256), random_text(rng, 7000, 256)},
      {long_dna, edited(rng, long_dna, 2000, 4)},
  };
  for (const auto& [a, b] : pairs) {
    const std::vector<lcs::MatchingBlock> one = lcs::matching_blocks(a, b);
    const std::size_t length = lcs::length(a, b);
    for (const unsigned threads : {2U, 3U, 0U}) {
      std::size_t reports = 0;  // never two calls at once, so a plain count
      lcs::Options options{[&](double /*done*/) { ++reports; }, threads};
      EXPECT_EQ(lcs::matching_blocks(a, b, options), one) << threads << " threads";
      EXPECT_EQ(lcs::length(a, b, options), length) << threads << " threads";
      EXPECT_GT(reports, 1U);
    }
  }
}

// Asked to stop before the call or at the first report, every path stops:
// bytes and ids, bit vectors, the probe that settles alike pairs, and the
// threshold method, on one thread and on two.
TEST(MatchingBlocksThreads, StopWhenAsked) {
  std::mt19937 rng(77);
  const std::string dna = random_text(rng, 30000, 4);
  std::vector<std::uint32_t> ids(300000);
  std::iota(ids.begin(), ids.end(), 0U);
  std::vector<std::uint32_t> shuffled = ids;
  std::shuffle(shuffled.begin(), shuffled.end(), rng);
  for (const auto& [threads_, before_] :
       {std::pair{1U, false}, {2U, false}, {1U, true}, {2U, true}}) {
    const unsigned threads = threads_;  // lambdas cannot capture bindings
    const bool before = before_;
    std::atomic<bool> stop{false};
    lcs::Options options{[&](double /*done*/) { stop = true; }, threads, &stop};
    const auto stopped = [&](const char* what, const auto& call) {
      stop = before;
      EXPECT_THROW(call(), lcs::Stopped) << what << ", " << threads << " threads, " << before;
    };
    stopped("length", [&] { return lcs::length(dna, random_text(rng, 30000, 4), options); });
    stopped("alike", [&] { return lcs::matching_blocks(dna, edited(rng, dna, 3000, 4), options); });
    if (before) {  // the probe alone settles it, and reports nothing
      stopped("probed", [&] { return lcs::length(dna, edited(rng, dna, 30, 4), options); });
    }
    stopped("permutations", [&] {
      return lcs::matching_blocks(std::span<const std::uint32_t>(ids),
                                  std::span<const std::uint32_t>(shuffled), options);
    });
  }
}

#ifdef LCS_TESTS_CAN_LIMIT_ADDRESS_SPACE
// With 64 MiB of address space to spare, long pairs still align: a table of
// the 200,000 x 200,000 cells, even of bits, would take 5 GB.
TEST(MatchingBlocksDeathTest, LongPairsNeedOnlyLinearMemory) {
  std::mt19937 rng(5555);
  const std::string a = random_text(rng, 200000, 4);
  const std::string alike = edited(rng, a, 2000, 4);
  const std::string unrelated = random_text(rng, 20000, 4);
  const std::size_t expected[] = {lcs::length(a, alike), lcs::length(a, unrelated)};
  const auto align_all = [&] {
    limit_address_space_growth(std::size_t{64} << 20);
    std::size_t sums[2] = {0, 0};
    for (const lcs::MatchingBlock& block : lcs::matching_blocks(a, alike)) {
      sums[0] += block.size;
    }
    for (const lcs::MatchingBlock& block : lcs::matching_blocks(a, unrelated)) {
      sums[1] += block.size;
    }
    // NOLINTNEXTLINE(concurrency-mt-unsafe): the death test's child runs one thread
    std::exit(sums[0] == expected[0] && sums[1] == expected[1] ? 0 : 3);
  };
  EXPECT_EXIT(align_all(), ::testing::ExitedWithCode(0), "");
}
#endif

}  // namespace
