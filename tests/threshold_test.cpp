// SPDX-License-Identifier: MIT
// The steps of the threshold method on tables built by hand.
#include <gtest/gtest.h>

#include <vector>

#include "lcs/lcs_algorithms.h"

namespace {

// Slot 0 is unused; slots 1.. hold the given B positions (A position 9).
std::vector<ThresholdSlot> table_of(std::initializer_list<int> b_positions) {
  std::vector<ThresholdSlot> table(b_positions.size() + 2, ThresholdSlot{0, 0});
  int slot = 1;
  for (const int b : b_positions) {
    table[static_cast<std::size_t>(slot++)] = ThresholdSlot{b, 9};
  }
  return table;
}

std::vector<int> b_positions(const std::vector<ThresholdSlot>& table, int count) {
  std::vector<int> positions;
  for (int slot = 1; slot <= count; ++slot) {
    positions.push_back(table[static_cast<std::size_t>(slot)].bPosition);
  }
  return positions;
}

TEST(HMAlg, FirstMatchOpensSlotOne) {
  auto table = table_of({});
  EXPECT_EQ(HMAlg(table.data(), 5, 2, 0), 1);
  EXPECT_EQ(table[1].bPosition, 5);
  EXPECT_EQ(table[1].aPosition, 2);
}

TEST(HMAlg, SmallerPositionLowersSlotOne) {
  auto table = table_of({4, 7});
  EXPECT_EQ(HMAlg(table.data(), 2, 3, 2), 2);
  EXPECT_EQ(b_positions(table, 2), (std::vector<int>{2, 7}));
  EXPECT_EQ(table[1].aPosition, 3);
}

TEST(HMAlg, LargerPositionAppendsASlot) {
  auto table = table_of({4, 7});
  EXPECT_EQ(HMAlg(table.data(), 8, 3, 2), 3);
  EXPECT_EQ(b_positions(table, 3), (std::vector<int>{4, 7, 8}));
}

TEST(HMAlg, PositionBetweenReplacesTheFirstGreaterSlot) {
  auto table = table_of({2, 4, 7, 9});
  EXPECT_EQ(HMAlg(table.data(), 5, 3, 4), 4);
  EXPECT_EQ(b_positions(table, 4), (std::vector<int>{2, 4, 5, 9}));
  EXPECT_EQ(table[3].aPosition, 3);
}

TEST(BinSearch, EqualPositionChangesNothing) {
  for (const int held : {2, 4, 7, 9}) {
    auto table = table_of({2, 4, 7, 9});
    binSearch(table.data(), held, 1, 4);
    EXPECT_EQ(b_positions(table, 4), (std::vector<int>{2, 4, 7, 9})) << held;
    for (int slot = 1; slot <= 4; ++slot) {
      EXPECT_EQ(table[static_cast<std::size_t>(slot)].aPosition, 9) << held;
    }
  }
}

TEST(BinSearch, WritesTheFirstSlotAboveThePosition) {
  for (const auto& [j, slot] : {std::pair{3, 2}, {5, 3}, {8, 4}}) {
    auto table = table_of({2, 4, 7, 9});
    binSearch(table.data(), j, 6, 4);
    EXPECT_EQ(table[static_cast<std::size_t>(slot)].bPosition, j) << j;
    EXPECT_EQ(table[static_cast<std::size_t>(slot)].aPosition, 6) << j;
  }
}

TEST(DiffAlg, ALaterMatchOfTheSameRowLowersInsteadOfExtending) {
  const char A[] = {0, 'a'};
  const char B[] = {0, 'a', 'a'};
  EXPECT_EQ(Diff_Alg(A, B, 1, 2), 1);
}

}  // namespace
