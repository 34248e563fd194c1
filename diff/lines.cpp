// SPDX-License-Identifier: MIT
// Lines as ids: the key of a line is the line itself, or a copy with case and
// white space normalized, and lcs::dense_ids numbers the keys.
#include "diff/lines.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#ifdef _WIN32
#include <regex>
#else
#include <regex.h>
#endif

namespace lcs_diff {

namespace {

// White space as the C locale's isspace has it.
bool is_space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

char folded(char c, bool ignore_case) {
  return ignore_case && c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string expand_tabs(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    if (c == '\t') {
      out.append(8 - out.size() % 8, ' ');
    } else {
      out += c;
    }
  }
  return out;
}

namespace {

std::string key(std::string_view line, const Equality& equality) {
  std::string expanded;
  if (equality.ignore_tab_expansion) {
    expanded = expand_tabs(line);
    line = expanded;
  }
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
  if (equality.ignore_trailing_space) {
    while (!out.empty() && is_space(out.back())) {
      out.pop_back();
    }
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

bool is_blank(std::string_view line) { return std::all_of(line.begin(), line.end(), is_space); }

#ifdef _WIN32
struct Pattern::Compiled {
  std::regex expression;
};

Pattern::Pattern(const std::string& expression)
    : compiled_(std::make_unique<Compiled>(Compiled{std::regex(expression, std::regex::basic)})) {}

bool Pattern::matches(std::string_view line) const {
  return std::regex_search(line.begin(), line.end(), compiled_->expression);
}
#else
struct Pattern::Compiled {
  regex_t expression{};
  Compiled(const Compiled&) = delete;
  Compiled& operator=(const Compiled&) = delete;
  explicit Compiled(const std::string& text) {
    const int error = regcomp(&expression, text.c_str(), REG_NOSUB);
    if (error != 0) {
      char message[256];
      regerror(error, &expression, message, sizeof message);
      throw std::invalid_argument("'" + text + "': " + message);
    }
  }
  ~Compiled() { regfree(&expression); }
};

Pattern::Pattern(const std::string& expression)
    : compiled_(std::make_unique<Compiled>(expression)) {}

bool Pattern::matches(std::string_view line) const {
  const std::string text(line.substr(0, line.find('\n')));  // regexec reads a C string
  return regexec(&compiled_->expression, text.c_str(), 0, nullptr, 0) == 0;
}
#endif

Pattern::Pattern(Pattern&&) noexcept = default;
Pattern& Pattern::operator=(Pattern&&) noexcept = default;
Pattern::~Pattern() = default;

bool LineFilter::ignorable(std::string_view line) const {
  if (blank_lines && is_blank(line)) {
    return true;
  }
  return std::any_of(patterns.begin(), patterns.end(),
                     [&](const auto& pattern) { return pattern->matches(line); });
}

std::string without_trailing_crs(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t k = 0; k < text.size(); ++k) {
    if (text[k] != '\r' || k + 1 == text.size() || text[k + 1] != '\n') {
      out += text[k];
    }
  }
  return out;
}

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
