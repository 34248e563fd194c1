// SPDX-License-Identifier: MIT
// Writing the unified and context formats, with GNU diff's conventions: in
// unified, a range of one line is its number alone and an empty range is the
// number of the line before it; in context, a range is "first,last", one
// line its number, an empty range the number of the line before it.
#include "diff/unified.h"

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace lcs_diff {

namespace {

void write_unified_range(std::ostream& out, std::size_t begin, std::size_t end) {
  if (end - begin == 1) {
    out << end;
  } else {
    out << (end == begin ? begin : begin + 1) << ',' << end - begin;
  }
}

std::string context_range(std::size_t begin, std::size_t end) {
  if (end <= begin + 1) {
    return std::to_string(end);
  }
  return std::to_string(begin + 1) + ',' + std::to_string(end);
}

void write_function(std::ostream& out, FunctionLines* functions, std::size_t begin) {
  if (functions != nullptr) {
    const std::string_view function = functions->before(begin);
    if (!function.empty()) {
      out << ' ' << function;
    }
  }
}

}  // namespace

void write_header(std::ostream& out, std::string_view from, std::string_view to, const Look& look,
                  bool context_format) {
  const std::string first = std::string(context_format ? "*** " : "--- ") + std::string(from);
  const std::string second = std::string(context_format ? "--- " : "+++ ") + std::string(to);
  print_painted(out, first, look, color::kBold);
  out << '\n';
  print_painted(out, second, look, color::kBold);
  out << '\n';
}

void write_hunks(std::ostream& out, std::span<const Hunk> hunks,
                 std::span<const std::string_view> a_lines,
                 std::span<const std::string_view> b_lines, const Changes& changes,
                 const Look& look, FunctionLines* functions) {
  for (const Hunk& hunk : hunks) {
    std::ostringstream header;
    header << "@@ -";
    write_unified_range(header, hunk.a_begin, hunk.a_end);
    header << " +";
    write_unified_range(header, hunk.b_begin, hunk.b_end);
    header << " @@";
    print_painted(out, header.str(), look, color::kCyan);
    write_function(out, functions, hunk.a_begin);
    out << '\n';
    std::size_t i = hunk.a_begin;
    std::size_t j = hunk.b_begin;
    while (i < hunk.a_end || j < hunk.b_end) {
      if (i < hunk.a_end && j < hunk.b_end && !changes.a[i] && !changes.b[j]) {
        print_line(out, " ", a_lines[i++], look, {});
        ++j;
        continue;
      }
      for (; i < hunk.a_end && changes.a[i]; ++i) {
        print_line(out, "-", a_lines[i], look, color::kRed);
      }
      for (; j < hunk.b_end && changes.b[j]; ++j) {
        print_line(out, "+", b_lines[j], look, color::kGreen);
      }
    }
  }
}

namespace {

// One side of a context hunk: its range line, then its lines when it has changes.
void write_context_side(std::ostream& out, std::string_view frame, std::size_t begin,
                        std::size_t end, std::span<const std::string_view> lines,
                        const std::vector<char>& marks, const Look& look, std::string_view paint) {
  const std::string range =
      std::string(frame) + ' ' + context_range(begin, end) + ' ' + std::string(frame) + frame[0];
  print_painted(out, range, look, color::kCyan);
  out << '\n';
  const auto first = marks.begin() + static_cast<std::ptrdiff_t>(begin);
  if (std::all_of(first, marks.begin() + static_cast<std::ptrdiff_t>(end),
                  [](char mark) { return mark == ' '; })) {
    return;
  }
  for (std::size_t k = begin; k < end; ++k) {
    print_line(out, std::string{marks[k], ' '}, lines[k], look, paint);
  }
}

// The mark of each line of one side: "  " unchanged, "! " part of a group
// that changes both sides, else `alone` ("- " or "+ ").
std::vector<char> context_marks(std::span<const Group> groups, std::size_t size, bool of_a) {
  std::vector<char> marks(size, ' ');
  for (const Group& group : groups) {
    const bool both = group.a_begin < group.a_end && group.b_begin < group.b_end;
    const char mark = both ? '!' : of_a ? '-' : '+';
    std::fill(marks.begin() + static_cast<std::ptrdiff_t>(of_a ? group.a_begin : group.b_begin),
              marks.begin() + static_cast<std::ptrdiff_t>(of_a ? group.a_end : group.b_end), mark);
  }
  return marks;
}

}  // namespace

void write_context_hunks(std::ostream& out, std::span<const Hunk> hunks,
                         std::span<const std::string_view> a_lines,
                         std::span<const std::string_view> b_lines, std::span<const Group> groups,
                         const Look& look, FunctionLines* functions) {
  const std::vector<char> a_marks = context_marks(groups, a_lines.size(), true);
  const std::vector<char> b_marks = context_marks(groups, b_lines.size(), false);
  for (const Hunk& hunk : hunks) {
    out << "***************";
    write_function(out, functions, hunk.a_begin);
    out << '\n';
    write_context_side(out, "***", hunk.a_begin, hunk.a_end, a_lines, a_marks, look, color::kRed);
    write_context_side(out, "---", hunk.b_begin, hunk.b_end, b_lines, b_marks, look, color::kGreen);
  }
}

}  // namespace lcs_diff
