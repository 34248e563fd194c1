// SPDX-License-Identifier: MIT
// The contract of matching_blocks, for sequences of bytes or wider symbols:
// valid, in order, maximal, equal symbols, as long as the LCS; and length()
// agrees in both orders.
#ifndef LCS_TESTS_BLOCKS_CONTRACT_H
#define LCS_TESTS_BLOCKS_CONTRACT_H

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "lcs/alignment.h"

// Fails the test unless `blocks` is one longest common subsequence of a and
// b, `lcs` long, as maximal runs.
template <class Sequence>
void expect_valid_blocks(const Sequence& a, const Sequence& b,
                         const std::vector<lcs::MatchingBlock>& blocks, std::size_t lcs,
                         const std::string& label) {
  std::size_t total = 0;
  std::size_t a_end = 0;
  std::size_t b_end = 0;
  for (std::size_t k = 0; k < blocks.size(); ++k) {
    const lcs::MatchingBlock& block = blocks[k];
    ASSERT_GT(block.size, 0U) << label << ", block " << k;
    ASSERT_TRUE(block.a >= a_end && block.b >= b_end) << label << ", block " << k << " overlaps";
    ASSERT_FALSE(k > 0 && block.a == a_end && block.b == b_end) << label << ", block " << k;
    ASSERT_TRUE(block.a + block.size <= a.size() && block.b + block.size <= b.size()) << label;
    const auto from = [](const Sequence& s, std::size_t at) {
      return s.begin() + static_cast<std::ptrdiff_t>(at);
    };
    ASSERT_TRUE(std::equal(from(a, block.a), from(a, block.a + block.size), from(b, block.b)))
        << label << ", block " << k;
    a_end = block.a + block.size;
    b_end = block.b + block.size;
    total += block.size;
  }
  ASSERT_EQ(total, lcs) << label;
}

template <class Sequence>
void expect_lcs_blocks(const Sequence& a, const Sequence& b, std::size_t lcs,
                       const std::string& label) {
  expect_valid_blocks(a, b, lcs::matching_blocks(a, b), lcs, label);
  ASSERT_EQ(lcs::length(a, b), lcs) << label;
  ASSERT_EQ(lcs::length(b, a), lcs) << label << ", exchanged";
}

#endif  // LCS_TESTS_BLOCKS_CONTRACT_H
