// How a declared length is read: one white-space-delimited token, a whole
// number from 0 to 2147483647.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "console/dialogue.h"

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

}  // namespace
