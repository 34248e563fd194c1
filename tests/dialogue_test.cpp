// SPDX-License-Identifier: MIT
// The parts of the dialogue that the end-to-end tests of the program cannot
// reach: how a declared length is read, and lengths that cannot be held.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "console/dialogue.h"
#include "tests/address_space.h"

#ifdef LCS_TESTS_CAN_LIMIT_ADDRESS_SPACE
#include <cstdlib>
#include <iostream>
#endif

namespace {

using Status = LengthToken::Status;

struct LengthCase {
  const char* input;
  Status status;
  int value;
};

TEST(ReadLength, AcceptsOnlyWholeTokensInRange) {
  const LengthCase table[] = {
      {"7", Status::ok, 7},
      {"  \n\t 7 rest", Status::ok, 7},
      {"+7", Status::ok, 7},
      {"-0", Status::ok, 0},
      {"007", Status::ok, 7},
      {"2147483647", Status::ok, 2147483647},
      {"2147483648", Status::not_a_length, 0},
      {"99999999999999999999999", Status::not_a_length, 0},
      {"-1", Status::not_a_length, 0},
      {"7abc", Status::not_a_length, 0},
      {"abc", Status::not_a_length, 0},
      {"+", Status::not_a_length, 0},
      {"--7", Status::not_a_length, 0},
      {"7-", Status::not_a_length, 0},
      {"", Status::end_of_input, 0},
      {" \n\r\v\f\t", Status::end_of_input, 0},
  };
  for (const LengthCase& c : table) {
    std::istringstream in(c.input);
    const LengthToken token = read_length(in);
    EXPECT_EQ(token.status, c.status) << '"' << c.input << '"';
    if (c.status == Status::ok) {
      EXPECT_EQ(token.value, c.value) << '"' << c.input << '"';
    }
  }
}

TEST(ReadLength, LeavesTheRestOfTheInputInPlace) {
  std::istringstream in("12 34");
  EXPECT_EQ(read_length(in).value, 12);
  EXPECT_EQ(read_length(in).value, 34);
  EXPECT_EQ(read_length(in).status, Status::end_of_input);
}

// Lengths that cannot be held: a process is given only 1 GiB more address space
// than it has, so that the allocations fail as they would on a small machine.
#ifdef LCS_TESTS_CAN_LIMIT_ADDRESS_SPACE
[[noreturn]] void run_with_little_memory(const std::string& input) {
  limit_address_space_growth(std::size_t{1} << 30);
  std::istringstream in(input);
  std::ostringstream out;
  // NOLINTNEXTLINE(concurrency-mt-unsafe): the death test's child runs one thread
  std::exit(run_dialogue(in, out, std::cerr));
}

TEST(DialogueDeathTest, ReportsLengthsThatCannotBeHeld) {
  // The buffer for A cannot be had.
  EXPECT_EXIT(run_with_little_memory("2147483647 1 a a"), ::testing::ExitedWithCode(1),
              "^lcs: not enough memory for strings of lengths 2147483647 and 1\n$");
  // The buffers can, but not the two rows of 536870912 ints that the computation needs.
  EXPECT_EXIT(run_with_little_memory("1 536870911 a a"), ::testing::ExitedWithCode(1),
              "^lcs: not enough memory for strings of lengths 1 and 536870911\n$");
}
#endif

}  // namespace
