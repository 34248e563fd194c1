// SPDX-License-Identifier: MIT
// The console dialogue of lcs: two prompts, two lengths, two words, and the
// LCS length of the words, computed in two rows.
#ifndef LCS_CONSOLE_DIALOGUE_H
#define LCS_CONSOLE_DIALOGUE_H

#include <cstdint>
#include <iosfwd>

// Asks for the lengths of strings A and B on out, reads them and then the two
// words from in, and prints "Hirschberg_AlgB LCS : <length>". A word longer
// than its declared length is cut to it, with a warning line on err. Returns
// the exit status: 0 after the result line; 1 after one error line on err when
// a length is not a whole number from 0 to 2147483647, when input ends early,
// or when the strings cannot be held in memory.
int run_dialogue(std::istream& in, std::ostream& out, std::ostream& err);

// The next white-space-delimited token of in, read as a declared length.
struct LengthToken {
  enum class Status : std::uint8_t { ok, not_a_length, end_of_input };
  Status status;
  int value;  // meaningful when status is ok
};
LengthToken read_length(std::istream& in);

#endif  // LCS_CONSOLE_DIALOGUE_H
