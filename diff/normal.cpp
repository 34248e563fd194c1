// SPDX-License-Identifier: MIT
// Writing the normal format and ed scripts.
#include "diff/normal.h"

#include <algorithm>
#include <string>

namespace lcs_diff {

namespace {

// Lines [begin, end), one-based on output; an empty range names the line before it.
std::string range(std::size_t begin, std::size_t end) {
  if (end <= begin + 1) {
    return std::to_string(end == begin ? begin : end);
  }
  return std::to_string(begin + 1) + ',' + std::to_string(end);
}

char command_of(const Group& group) {
  if (group.a_begin == group.a_end) {
    return 'a';
  }
  return group.b_begin == group.b_end ? 'd' : 'c';
}

}  // namespace

void write_normal(std::ostream& out, std::span<const Group> groups,
                  std::span<const std::string_view> a_lines,
                  std::span<const std::string_view> b_lines, const Look& look) {
  for (const Group& group : groups) {
    if (group.ignorable) {
      continue;
    }
    print_painted(
        out,
        range(group.a_begin, group.a_end) + command_of(group) + range(group.b_begin, group.b_end),
        look, color::kCyan);
    out << '\n';
    for (std::size_t i = group.a_begin; i < group.a_end; ++i) {
      print_line(out, "< ", a_lines[i], look, color::kRed);
    }
    if (group.a_begin < group.a_end && group.b_begin < group.b_end) {
      out << "---\n";
    }
    for (std::size_t j = group.b_begin; j < group.b_end; ++j) {
      print_line(out, "> ", b_lines[j], look, color::kGreen);
    }
  }
}

bool adds_incomplete_line(std::span<const Group> groups,
                          std::span<const std::string_view> b_lines) {
  return std::any_of(groups.begin(), groups.end(), [&](const Group& group) {
    return !group.ignorable && group.b_end == b_lines.size() && group.b_begin < group.b_end &&
           !b_lines.back().ends_with('\n');
  });
}

void write_ed(std::ostream& out, std::span<const Group> groups,
              std::span<const std::string_view> b_lines) {
  for (std::size_t k = groups.size(); k-- > 0;) {  // the last change first: earlier numbers hold
    const Group& group = groups[k];
    if (group.ignorable) {
      continue;
    }
    const char command = command_of(group);
    out << range(group.a_begin, group.a_end) << command << '\n';
    if (command == 'd') {
      continue;
    }
    // In the new file the block's lines follow line a_begin, for a and c alike.
    bool open = true;
    for (std::size_t j = group.b_begin; j < group.b_end; ++j) {
      const std::string_view line = b_lines[j].substr(0, b_lines[j].size() - 1);
      if (line != ".") {
        out << line << '\n';
        continue;
      }
      out << "..\n.\ns/.//\n";
      open = j + 1 < group.b_end;
      if (open) {
        out << group.a_begin + (j + 1 - group.b_begin) << "a\n";
      }
    }
    if (open) {
      out << ".\n";
    }
  }
}

}  // namespace lcs_diff
