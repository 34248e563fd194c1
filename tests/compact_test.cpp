// SPDX-License-Identifier: MIT
// lcs::compact_blocks: still a longest common subsequence, and its edits in as
// few groups as any longest common subsequence has, against a brute force
// over every alignment of tiny strings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <random>
#include <string>
#include <vector>

#include "lcs/alignment.h"
#include "tests/blocks_contract.h"

namespace {

// Groups of edits between the blocks: gaps before, between and after them.
std::size_t groups_of(const std::vector<lcs::MatchingBlock>& blocks, std::size_t m, std::size_t n) {
  std::size_t groups = 0;
  std::size_t a_end = 0;
  std::size_t b_end = 0;
  for (const lcs::MatchingBlock& block : blocks) {
    groups += block.a > a_end || block.b > b_end ? 1 : 0;
    a_end = block.a + block.size;
    b_end = block.b + block.size;
  }
  return groups + (a_end < m || b_end < n ? 1 : 0);
}

// The longest common subsequence and, among those, the fewest groups, by
// trying every alignment: (length, groups) from (i, j) on, `after_gap` when
// the path came there by an edit.
std::pair<std::size_t, std::size_t> best_from(const std::string& a, const std::string& b,
                                              std::size_t i, std::size_t j, bool after_gap) {
  if (i == a.size() && j == b.size()) {
    return {0, 0};
  }
  std::pair<std::size_t, std::size_t> best{0, SIZE_MAX};
  const auto better = [&](std::pair<std::size_t, std::size_t> option) {
    if (option.first > best.first || (option.first == best.first && option.second < best.second)) {
      best = option;
    }
  };
  if (i < a.size() && j < b.size() && a[i] == b[j]) {
    auto next = best_from(a, b, i + 1, j + 1, false);
    better({next.first + 1, next.second});
  }
  for (const auto& [di, dj] : {std::pair{1U, 0U}, std::pair{0U, 1U}}) {
    if (i + di <= a.size() && j + dj <= b.size()) {
      auto next = best_from(a, b, i + di, j + dj, true);
      better({next.first, next.second + (after_gap ? 0 : 1)});
    }
  }
  return best;
}

TEST(CompactBlocks, FewestGroupsOfAnyLongestCommonSubsequence) {
  std::mt19937 rng(41);
  for (int round = 0; round < 3000; ++round) {
    std::string a(rng() % 8, 'x');
    std::string b(rng() % 8, 'x');
    for (char& c : a) {
      c = "xy\n"[rng() % 3];
    }
    for (char& c : b) {
      c = "xy\n"[rng() % 3];
    }
    const auto [length, fewest] = best_from(a, b, 0, 0, false);
    const std::vector<lcs::MatchingBlock> blocks =
        lcs::compact_blocks(lcs::matching_blocks(a, b), a, b);
    std::string label = a;
    label.append(" / ").append(b);
    expect_valid_blocks(a, b, blocks, length, label);
    EXPECT_EQ(groups_of(blocks, a.size(), b.size()), fewest) << label;
  }
}

TEST(CompactBlocks, ChangesThatCanBeOneGroupAreOne) {
  struct Case {
    const char* a;
    const char* b;
    std::vector<lcs::MatchingBlock> blocks;
  };
  const Case cases[] = {
      {"aXbuggy", "aaXbug", {{0, 1, 5}}},  // difflib's three opcodes, not six
      {"", "abc", {}},
      {"abc", "abc", {{0, 0, 3}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(lcs::compact_blocks(lcs::matching_blocks(c.a, c.b), c.a, c.b), c.blocks) << c.a;
  }
}

TEST(CompactBlocks, LongStretchesKeepTheirLengthOnEverySymbolWidth) {
  std::mt19937 rng(7);
  std::vector<std::uint32_t> a(3000);
  for (std::uint32_t& symbol : a) {
    symbol = static_cast<std::uint32_t>(rng() % 40);
  }
  std::vector<std::uint32_t> b = a;
  for (int edit = 0; edit < 100; ++edit) {
    b[rng() % b.size()] = static_cast<std::uint32_t>(rng() % 40);
    b.erase(b.begin() + static_cast<std::ptrdiff_t>(rng() % b.size()));
  }
  const std::span<const std::uint32_t> x(a);
  const std::span<const std::uint32_t> y(b);
  const std::vector<lcs::MatchingBlock> given = lcs::matching_blocks(x, y);
  const std::vector<lcs::MatchingBlock> compact = lcs::compact_blocks(given, x, y);
  expect_valid_blocks(a, b, compact, lcs::length(x, y), "ids");
  EXPECT_LE(groups_of(compact, a.size(), b.size()), groups_of(given, a.size(), b.size()));
}

}  // namespace
