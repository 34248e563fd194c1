// SPDX-License-Identifier: MIT
// The two formats without context: diff's normal format (the default) and
// an ed script (-e), as GNU diff writes them.
#ifndef LCS_DIFF_NORMAL_H
#define LCS_DIFF_NORMAL_H

#include <ostream>
#include <span>
#include <string_view>

#include "diff/print.h"
#include "diff/script.h"

namespace lcs_diff {

// Each shown group as "LaR", "LdR" or "LcR" (ranges "first,last" or one
// number; for a and d the other side's number is the line before), then
// "< " lines of a, "---" between the two sides of a change, "> " lines of b.
void write_normal(std::ostream& out, std::span<const Group> groups,
                  std::span<const std::string_view> a_lines,
                  std::span<const std::string_view> b_lines, const Look& look);

// Whether the groups add a line without a line feed, which an ed script cannot say.
bool adds_incomplete_line(std::span<const Group> groups, std::span<const std::string_view> b_lines);

// The groups from the last to the first as ed commands that turn a into b:
// "La", "L,Rd", "L,Rc" with the new lines ended by "."; a new line that is a
// dot alone is written "..", and the block ends there with "s/.//".
void write_ed(std::ostream& out, std::span<const Group> groups,
              std::span<const std::string_view> b_lines);

}  // namespace lcs_diff

#endif  // LCS_DIFF_NORMAL_H
