// SPDX-License-Identifier: MIT
// The two formats with context: unified (-u) and context (-c), as GNU diff
// writes them.
#ifndef LCS_DIFF_UNIFIED_H
#define LCS_DIFF_UNIFIED_H

#include <ostream>
#include <span>
#include <string_view>

#include "diff/changes.h"
#include "diff/print.h"
#include "diff/script.h"

namespace lcs_diff {

// "--- from" and "+++ to" (unified), or "*** from" and "--- to" (context):
// names with their times, or labels; bold in colour.
void write_header(std::ostream& out, std::string_view from, std::string_view to, const Look& look,
                  bool context_format = false);

// The hunks as "@@ -l,s +l,s @@" and their lines: ' ' context (a's bytes),
// '-' lines of a, '+' lines of b, each with its own terminator, and "\ No
// newline at end of file" after a line without one. In colour: red
// deletions, green insertions, cyan hunk lines. `functions` (may be null)
// names each hunk's function (-p, -F).
void write_hunks(std::ostream& out, std::span<const Hunk> hunks,
                 std::span<const std::string_view> a_lines,
                 std::span<const std::string_view> b_lines, const Changes& changes,
                 const Look& look, FunctionLines* functions = nullptr);

// The same hunks in the context format: "***************", then a's lines of
// the hunk ("*** l,r ****": "  " context, "- " deleted, "! " changed), shown
// only when a has changes there, then b's ("--- l,r ----", "+ " inserted).
void write_context_hunks(std::ostream& out, std::span<const Hunk> hunks,
                         std::span<const std::string_view> a_lines,
                         std::span<const std::string_view> b_lines, std::span<const Group> groups,
                         const Look& look, FunctionLines* functions = nullptr);

}  // namespace lcs_diff

#endif  // LCS_DIFF_UNIFIED_H
