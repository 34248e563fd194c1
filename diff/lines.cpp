// SPDX-License-Identifier: MIT
// Lines as ids: the key of a line is the line itself, or a copy with case and
// white space normalized, and lcs::dense_ids numbers the keys.
#include "diff/lines.h"

#include <algorithm>
#include <string>
#include <vector>

namespace lcs_diff {

namespace {

// White space as the C locale's isspace has it.
bool is_space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

char folded(char c, bool ignore_case) {
  return ignore_case && c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string key(std::string_view line, const Equality& equality) {
  std::string out;
  out.reserve(line.size());
  bool space_pending = false;
  for (const char c : line) {
    if (equality.blanks != Blanks::exact && is_space(c)) {
      space_pending = equality.blanks == Blanks::amount;
      continue;
    }
    if (space_pending) {
      out += ' ';
      space_pending = false;
    }
    out += folded(c, equality.ignore_case);
  }
  return out;  // a pending run is trailing white space: dropped
}

std::vector<std::string> keys(std::span<const std::string_view> lines, const Equality& equality) {
  std::vector<std::string> out;
  out.reserve(lines.size());
  for (const std::string_view line : lines) {
    out.push_back(key(line, equality));
  }
  return out;
}

}  // namespace

lcs::DenseIds line_ids(std::span<const std::string_view> a, std::span<const std::string_view> b,
                       const Equality& equality) {
  if (equality == Equality{}) {
    return lcs::dense_ids(a, b);
  }
  return lcs::dense_ids(keys(a, equality), keys(b, equality));
}

bool is_blank(std::string_view line) { return std::ranges::all_of(line, is_space); }

std::size_t indentation(std::string_view line) {
  std::size_t column = 0;
  for (const char c : line) {
    if (c == ' ') {
      ++column;
    } else if (c == '\t') {
      column += 8 - column % 8;
    } else {
      break;
    }
  }
  return column;
}

}  // namespace lcs_diff
