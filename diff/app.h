// lcs-diff: the exact minimal diff of two files or two trees, in GNU diff's
// unified format.
#ifndef LCS_DIFF_APP_H
#define LCS_DIFF_APP_H

#include <istream>
#include <ostream>
#include <span>

namespace lcs_diff {

// Which of the standard streams are terminals: colour on `auto` follows the
// output, the progress line needs the error stream.
struct Terminals {
  bool out = false;
  bool err = false;
};

// Runs the program on its arguments (without the program's name), reading "-"
// from `in`. Returns the exit status as diff does: 0 when the files are the
// same, 1 when they differ, 2 on trouble, each trouble reported as one line on `err`.
int run(std::span<const char* const> arguments, std::istream& in, std::ostream& out,
        std::ostream& err, Terminals terminals);

}  // namespace lcs_diff

#endif  // LCS_DIFF_APP_H
