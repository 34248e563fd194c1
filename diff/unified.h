// SPDX-License-Identifier: MIT
// The unified format of GNU diff: hunks of changed lines with lines of context.
#ifndef LCS_DIFF_UNIFIED_H
#define LCS_DIFF_UNIFIED_H

#include <cstddef>
#include <ostream>
#include <span>
#include <string_view>
#include <vector>

#include "diff/changes.h"

namespace lcs_diff {

// Lines [a_begin, a_end) of a and [b_begin, b_end) of b, zero-based: the
// changes of one hunk with their context.
struct Hunk {
  std::size_t a_begin;
  std::size_t a_end;
  std::size_t b_begin;
  std::size_t b_end;
  bool operator==(const Hunk&) const = default;
};

// The hunks for `changes` with up to `context` equal lines before and after
// each change; changes at most 2·context equal lines apart share a hunk.
std::vector<Hunk> hunks(const Changes& changes, std::size_t context);

// "--- from" and "+++ to" (names with their times, or labels), bold in colour.
void write_header(std::ostream& out, std::string_view from, std::string_view to, bool color);

// The hunks as "@@ -l,s +l,s @@" and their lines: ' ' context (a's bytes),
// '-' lines of a, '+' lines of b, each with its own terminator, and "\ No
// newline at end of file" after a line without one. In colour: red
// deletions, green insertions, cyan hunk lines.
void write_hunks(std::ostream& out, std::span<const Hunk> hunks,
                 std::span<const std::string_view> a_lines,
                 std::span<const std::string_view> b_lines, const Changes& changes, bool color);

}  // namespace lcs_diff

#endif  // LCS_DIFF_UNIFIED_H
