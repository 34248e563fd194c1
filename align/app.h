// SPDX-License-Identifier: MIT
// lcs-align: compares two files by a longest common subsequence of their
// bytes, characters, words or lines and shows how they line up, or prints the
// result in a format for scripts.
#ifndef LCS_ALIGN_APP_H
#define LCS_ALIGN_APP_H

#include <cstddef>
#include <istream>
#include <ostream>
#include <span>

namespace lcs_align {

// What the program may assume of where it writes.
struct Environment {
  bool err_is_terminal = false;  // a progress line may be shown there
  bool utf8 = false;             // the picture may use UTF-8 symbols
  std::size_t out_columns = 0;   // the width of standard output's terminal, 0: none
};

// Runs the program on its arguments (without the program's name). Returns the
// exit status: 0 when the comparison was made or help was asked for, 2 on an
// error, reported as one line on `err`.
int run(std::span<const char* const> arguments, std::istream& in, std::ostream& out,
        std::ostream& err, const Environment& environment);

}  // namespace lcs_align

#endif  // LCS_ALIGN_APP_H
