// SPDX-License-Identifier: MIT
// Which lines of two files a minimal diff changes, and where among the equally
// short diffs the changes are placed so that a person reads them best.
#ifndef LCS_DIFF_CHANGES_H
#define LCS_DIFF_CHANGES_H

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "lcs/alignment.h"

namespace lcs_diff {

// A line is changed when it is not in the common subsequence; the unchanged
// lines of a pair with the unchanged lines of b in order.
struct Changes {
  std::vector<bool> a;
  std::vector<bool> b;
};

// The changes of a longest common subsequence of the ids: the fewest changed
// lines there are. Options as for lcs::matching_blocks.
Changes minimal_changes(const lcs::DenseIds& ids, const lcs::Options& options);

// Moves each run of changed lines, where it can move without changing any
// count (a run slides over a line equal to the one it leaves), to where it
// reads best: beside a change of the other file, else beginning and ending
// after blank lines and before lines of little indentation, else as late as
// it can. Runs that come to touch merge. Time linear in the lines, but for
// runs of many equal lines.
void place_readably(Changes& changes, const lcs::DenseIds& ids,
                    std::span<const std::string_view> a_lines,
                    std::span<const std::string_view> b_lines);

}  // namespace lcs_diff

#endif  // LCS_DIFF_CHANGES_H
