// SPDX-License-Identifier: MIT
// lcs-diff: the exact minimal diff of two files or two trees, in GNU diff's
// unified format.
#ifndef LCS_DIFF_APP_H
#define LCS_DIFF_APP_H

#include <istream>
#include <ostream>
#include <span>

#include "cli/progress_line.h"

namespace lcs_diff {

// Runs the program on its arguments (without the program's name), reading "-"
// from `in`. Colour on `auto` follows whether `out` is a terminal, the
// progress line whether `err` is. Returns the exit status as diff does: 0 when the files are the
// same, 1 when they differ, 2 on trouble, each trouble reported as one line on `err`.
int run(std::span<const char* const> arguments, std::istream& in, std::ostream& out,
        std::ostream& err, lcs_cli::Terminals terminals);

}  // namespace lcs_diff

#endif  // LCS_DIFF_APP_H
