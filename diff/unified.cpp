// SPDX-License-Identifier: MIT
// Writing the unified format, with GNU diff's conventions: a range of one line
// is its number alone, an empty range is the number of the line before it.
#include "diff/unified.h"

#include <algorithm>

namespace lcs_diff {

namespace {

constexpr std::string_view kBold = "\033[1m";
constexpr std::string_view kRed = "\033[31m";
constexpr std::string_view kGreen = "\033[32m";
constexpr std::string_view kCyan = "\033[36m";
constexpr std::string_view kReset = "\033[0m";

// A gap of `gap` equal lines is small enough to stay inside one hunk.
bool within_one_hunk(std::size_t gap, std::size_t context) {
  return gap <= context || gap - context <= context;
}

void write_range(std::ostream& out, std::size_t begin, std::size_t end) {
  if (end - begin == 1) {
    out << end;
  } else {
    out << (end == begin ? begin : begin + 1) << ',' << end - begin;
  }
}

// A line with its mark, coloured up to its line feed, and the note that a
// last line has none.
void write_line(std::ostream& out, char mark, std::string_view line, std::string_view color) {
  const bool complete = line.ends_with('\n');
  if (complete) {
    line.remove_suffix(1);
  }
  if (!color.empty()) {
    out << color;
  }
  out << mark << line;
  if (!color.empty()) {
    out << kReset;
  }
  out << '\n';
  if (!complete) {
    out << "\\ No newline at end of file\n";
  }
}

}  // namespace

std::vector<Hunk> hunks(const Changes& changes, std::size_t context) {
  const std::size_t m = changes.a.size();
  const std::size_t n = changes.b.size();
  std::vector<Hunk> out;
  std::size_t i = 0;
  std::size_t j = 0;
  for (;;) {
    while (i < m && j < n && !changes.a[i] && !changes.b[j]) {
      ++i;
      ++j;
    }
    if (i == m && j == n) {
      break;
    }
    const std::size_t a_change = i;
    const std::size_t b_change = j;
    while (i < m && changes.a[i]) {
      ++i;
    }
    while (j < n && changes.b[j]) {
      ++j;
    }
    if (!out.empty() && within_one_hunk(a_change - out.back().a_end, context)) {
      out.back().a_end = i;
      out.back().b_end = j;
    } else {
      const std::size_t before = std::min(context, a_change);
      out.push_back({a_change - before, i, b_change - before, j});
    }
  }
  for (Hunk& hunk : out) {  // the context after each hunk's last change
    const std::size_t after = std::min(context, m - hunk.a_end);
    hunk.a_end += after;
    hunk.b_end += after;
  }
  return out;
}

void write_header(std::ostream& out, std::string_view from, std::string_view to, bool color) {
  const std::string_view on = color ? kBold : "";
  const std::string_view off = color ? kReset : "";
  out << on << "--- " << from << off << '\n' << on << "+++ " << to << off << '\n';
}

void write_hunks(std::ostream& out, std::span<const Hunk> hunks,
                 std::span<const std::string_view> a_lines,
                 std::span<const std::string_view> b_lines, const Changes& changes, bool color) {
  const std::string_view no_color;
  for (const Hunk& hunk : hunks) {
    if (color) {
      out << kCyan;
    }
    out << "@@ -";
    write_range(out, hunk.a_begin, hunk.a_end);
    out << " +";
    write_range(out, hunk.b_begin, hunk.b_end);
    out << " @@";
    if (color) {
      out << kReset;
    }
    out << '\n';
    std::size_t i = hunk.a_begin;
    std::size_t j = hunk.b_begin;
    while (i < hunk.a_end || j < hunk.b_end) {
      if (i < hunk.a_end && j < hunk.b_end && !changes.a[i] && !changes.b[j]) {
        write_line(out, ' ', a_lines[i++], no_color);
        ++j;
        continue;
      }
      for (; i < hunk.a_end && changes.a[i]; ++i) {
        write_line(out, '-', a_lines[i], color ? kRed : no_color);
      }
      for (; j < hunk.b_end && changes.b[j]; ++j) {
        write_line(out, '+', b_lines[j], color ? kGreen : no_color);
      }
    }
  }
}

}  // namespace lcs_diff
