// SPDX-License-Identifier: MIT
// A small, strict applier of unified diffs, for the tests and the fuzzer: it
// checks every context and deleted line against the old text and rebuilds the
// new one, so that a diff that does not describe its two files is caught.
#ifndef LCS_TESTS_UNIFIED_APPLIER_H
#define LCS_TESTS_UNIFIED_APPLIER_H

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lcs/alignment.h"

struct Applied {
  std::string text;
  std::size_t removed = 0;
  std::size_t added = 0;
};

namespace applier_detail {

// "l,s" or "l" after the mark; for an empty range l is the line before it.
inline bool parse_range(std::string_view& text, std::size_t& begin, std::size_t& size) {
  std::size_t number = 0;
  std::size_t digits = 0;
  const auto read = [&] {
    number = 0;
    for (digits = 0; digits < text.size() && text[digits] >= '0' && text[digits] <= '9'; ++digits) {
      number = number * 10 + static_cast<std::size_t>(text[digits] - '0');
    }
    text.remove_prefix(digits);
    return digits > 0;
  };
  if (!read()) {
    return false;
  }
  begin = number;
  size = 1;
  if (text.starts_with(',')) {
    text.remove_prefix(1);
    if (!read()) {
      return false;
    }
    size = number;
  }
  if (size > 0) {
    if (begin == 0) {
      return false;
    }
    --begin;
  }
  return true;
}

}  // namespace applier_detail

// Applies the hunks of `diff` (after its two header lines) to `old_text`;
// nothing when the diff is malformed or does not fit the text.
inline std::optional<Applied> apply_unified(std::string_view old_text, std::string_view diff) {
  const std::vector<std::string_view> old_lines = lcs::split_lines(old_text);
  std::vector<std::string_view> lines = lcs::split_lines(diff);
  if (lines.size() < 2 || !lines[0].starts_with("--- ") || !lines[1].starts_with("+++ ")) {
    return std::nullopt;
  }
  Applied out;
  std::size_t next_old = 0;
  std::size_t new_lines = 0;
  for (std::size_t k = 2; k < lines.size();) {
    std::string_view header = lines[k++];
    std::size_t a_begin = 0;
    std::size_t a_size = 0;
    std::size_t b_begin = 0;
    std::size_t b_size = 0;
    if (!header.starts_with("@@ -")) {
      return std::nullopt;
    }
    header.remove_prefix(4);
    if (!applier_detail::parse_range(header, a_begin, a_size) || !header.starts_with(" +")) {
      return std::nullopt;
    }
    header.remove_prefix(2);
    if (!applier_detail::parse_range(header, b_begin, b_size) || header != " @@\n" ||
        a_begin < next_old || a_begin > old_lines.size()) {
      return std::nullopt;
    }
    for (; next_old < a_begin; ++next_old, ++new_lines) {
      out.text += old_lines[next_old];
    }
    if (new_lines != b_begin) {
      return std::nullopt;
    }
    std::size_t a_seen = 0;
    std::size_t b_seen = 0;
    while (k < lines.size() && (a_seen < a_size || b_seen < b_size)) {
      const std::string_view line = lines[k++];
      std::string body(line.substr(1));
      if (k < lines.size() && lines[k] == "\\ No newline at end of file\n") {
        if (!body.ends_with('\n')) {
          return std::nullopt;
        }
        body.pop_back();
        ++k;
      }
      const char mark = line.empty() ? '?' : line[0];
      if (mark == ' ' || mark == '-') {
        if (next_old == old_lines.size() || old_lines[next_old] != body) {
          return std::nullopt;
        }
        ++next_old;
        ++a_seen;
      }
      if (mark == ' ' || mark == '+') {
        out.text += body;
        ++b_seen;
        ++new_lines;
      }
      out.removed += mark == '-' ? 1 : 0;
      out.added += mark == '+' ? 1 : 0;
      if (mark != ' ' && mark != '-' && mark != '+') {
        return std::nullopt;
      }
    }
    if (a_seen != a_size || b_seen != b_size) {
      return std::nullopt;
    }
  }
  for (; next_old < old_lines.size(); ++next_old) {
    out.text += old_lines[next_old];
  }
  return out;
}

#endif  // LCS_TESTS_UNIFIED_APPLIER_H
