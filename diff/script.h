// SPDX-License-Identifier: MIT
// A diff as change groups, and the hunks that gather them with their context,
// as every output format of diff sees them.
#ifndef LCS_DIFF_SCRIPT_H
#define LCS_DIFF_SCRIPT_H

#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

#include "diff/changes.h"
#include "diff/lines.h"

namespace lcs_diff {

// Lines [a_begin, a_end) of a became lines [b_begin, b_end) of b, zero-based:
// one maximal run of changes. `ignorable` when every line of it is (-B, -I).
struct Group {
  std::size_t a_begin;
  std::size_t a_end;
  std::size_t b_begin;
  std::size_t b_end;
  bool ignorable = false;
  bool operator==(const Group&) const = default;
};

// The change groups of `changes`, in order.
std::vector<Group> groups_of(const Changes& changes, std::span<const std::string_view> a_lines,
                             std::span<const std::string_view> b_lines, const LineFilter& ignore);

// Lines [a_begin, a_end) of a and [b_begin, b_end) of b: changes with their context.
struct Hunk {
  std::size_t a_begin;
  std::size_t a_end;
  std::size_t b_begin;
  std::size_t b_end;
  bool operator==(const Hunk&) const = default;
};

// The hunks of the groups with up to `context` equal lines before and after
// each change. Groups at most 2·context equal lines apart share a hunk, an
// ignorable one only within `context` lines; a hunk of ignorable groups alone
// is left out, as GNU diff leaves it.
std::vector<Hunk> hunks_of(std::span<const Group> groups, std::size_t a_size, std::size_t b_size,
                           std::size_t context);

// The hunks of all the changes, none ignorable.
std::vector<Hunk> hunks(const Changes& changes, std::size_t context);

// Whether any group is shown: the files differ in what the options count.
bool any_shown(std::span<const Group> groups);

}  // namespace lcs_diff

#endif  // LCS_DIFF_SCRIPT_H
