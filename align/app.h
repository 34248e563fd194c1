// lcs-align: compares two files by a longest common subsequence of their bytes
// and shows how they line up, or prints the result in a format for scripts.
#ifndef LCS_ALIGN_APP_H
#define LCS_ALIGN_APP_H

#include <istream>
#include <ostream>
#include <span>

namespace lcs_align {

// Runs the program on its arguments (without the program's name). Returns the
// exit status: 0 when the comparison was made or help was asked for, 2 on an
// error, reported as one line on `err`. `err_is_terminal` allows a progress
// line there.
int run(std::span<const char* const> arguments, std::istream& in, std::ostream& out,
        std::ostream& err, bool err_is_terminal);

}  // namespace lcs_align

#endif  // LCS_ALIGN_APP_H
