// SPDX-License-Identifier: MIT
// Change groups and hunks, with GNU diff's conventions for context and for
// changes that -B and -I ask to ignore.
#include "diff/script.h"

#include <algorithm>

namespace lcs_diff {

std::vector<Group> groups_of(const Changes& changes, std::span<const std::string_view> a_lines,
                             std::span<const std::string_view> b_lines, const LineFilter& ignore) {
  const std::size_t m = changes.a.size();
  const std::size_t n = changes.b.size();
  std::vector<Group> groups;
  std::size_t i = 0;
  std::size_t j = 0;
  for (;;) {
    while (i < m && j < n && !changes.a[i] && !changes.b[j]) {
      ++i;
      ++j;
    }
    if (i == m && j == n) {
      return groups;
    }
    Group group{i, i, j, j};
    while (i < m && changes.a[i]) {
      ++i;
    }
    while (j < n && changes.b[j]) {
      ++j;
    }
    group.a_end = i;
    group.b_end = j;
    if (!ignore.empty()) {
      const auto ignorable = [&](std::string_view line) { return ignore.ignorable(line); };
      group.ignorable = std::all_of(a_lines.begin() + static_cast<std::ptrdiff_t>(group.a_begin),
                                    a_lines.begin() + static_cast<std::ptrdiff_t>(i), ignorable) &&
                        std::all_of(b_lines.begin() + static_cast<std::ptrdiff_t>(group.b_begin),
                                    b_lines.begin() + static_cast<std::ptrdiff_t>(j), ignorable);
    }
    groups.push_back(group);
  }
}

std::vector<Hunk> hunks_of(std::span<const Group> groups, std::size_t a_size, std::size_t b_size,
                           std::size_t context) {
  std::vector<Hunk> hunks;
  bool shown = false;  // whether the hunk being built has a group that is not ignorable
  for (const Group& group : groups) {
    const bool joins = !hunks.empty() && [&] {
      const std::size_t gap = group.a_begin - hunks.back().a_end;
      return group.ignorable ? gap <= context : gap <= 2 * context;
    }();
    if (joins) {
      hunks.back().a_end = group.a_end;
      hunks.back().b_end = group.b_end;
      shown = shown || !group.ignorable;
      continue;
    }
    if (!hunks.empty() && !shown) {
      hunks.pop_back();
    }
    hunks.push_back({group.a_begin, group.a_end, group.b_begin, group.b_end});
    shown = !group.ignorable;
  }
  if (!hunks.empty() && !shown) {
    hunks.pop_back();
  }
  for (Hunk& hunk : hunks) {
    const std::size_t before = std::min({context, hunk.a_begin, hunk.b_begin});
    const std::size_t after = std::min({context, a_size - hunk.a_end, b_size - hunk.b_end});
    hunk.a_begin -= before;
    hunk.b_begin -= before;
    hunk.a_end += after;
    hunk.b_end += after;
  }
  return hunks;
}

std::vector<Hunk> hunks(const Changes& changes, std::size_t context) {
  const std::vector<Group> groups = groups_of(changes, {}, {}, LineFilter{});
  return hunks_of(groups, changes.a.size(), changes.b.size(), context);
}

bool any_shown(std::span<const Group> groups) {
  return std::any_of(groups.begin(), groups.end(),
                     [](const Group& group) { return !group.ignorable; });
}

}  // namespace lcs_diff
