// SPDX-License-Identifier: MIT
// The side-by-side format (-y), as GNU diff lays it out.
#ifndef LCS_DIFF_SIDE_BY_SIDE_H
#define LCS_DIFF_SIDE_BY_SIDE_H

#include <ostream>
#include <span>
#include <string_view>

#include "diff/changes.h"
#include "diff/options.h"
#include "diff/print.h"

namespace lcs_diff {

// Every line of both files in two columns: common lines side by side, then
// each change's lines paired ('|'), the rest of a ('<') or of b ('>'). The
// columns are half the width less the gutter, tab stops of 8 (or spaces
// under -t) reaching them.
void write_side_by_side(std::ostream& out, const Changes& changes,
                        std::span<const std::string_view> a_lines,
                        std::span<const std::string_view> b_lines, const SideBySide& layout,
                        const Look& look);

}  // namespace lcs_diff

#endif  // LCS_DIFF_SIDE_BY_SIDE_H
