// SPDX-License-Identifier: MIT
// Lines as the output formats write them.
#include "diff/print.h"

namespace lcs_diff {

void print_painted(std::ostream& out, std::string_view text, const Look& look,
                   std::string_view paint) {
  if (look.color && !paint.empty()) {
    out << paint << text << color::kReset;
  } else {
    out << text;
  }
}

void print_line(std::ostream& out, std::string_view mark, std::string_view line, const Look& look,
                std::string_view paint) {
  const bool complete = line.ends_with('\n');
  if (complete) {
    line.remove_suffix(1);
  }
  std::string text;
  if (look.initial_tab) {
    // The space that ends a mark becomes the tab; a mark without one gets it after.
    text = std::string(mark.ends_with(' ') ? mark.substr(0, mark.size() - 1) : mark) + '\t';
  } else {
    text = mark;
  }
  text += look.expand_tabs ? expand_tabs(line) : std::string(line);
  print_painted(out, text, look, paint);
  out << '\n';
  if (!complete) {
    out << "\\ No newline at end of file\n";
  }
}

FunctionLines::FunctionLines(const std::vector<std::string>& patterns,
                             std::span<const std::string_view> lines)
    : lines_(lines) {
  patterns_.reserve(patterns.size());
  for (const std::string& pattern : patterns) {
    patterns_.emplace_back(pattern);
  }
}

std::string_view FunctionLines::before(std::size_t begin) {
  if (patterns_.empty()) {
    return {};
  }
  for (; searched_ < begin && searched_ < lines_.size(); ++searched_) {
    const std::string_view line = lines_[searched_];
    for (const Pattern& pattern : patterns_) {
      if (pattern.matches(line)) {
        found_ = line;
        break;
      }
    }
  }
  std::string_view shown = found_;
  while (!shown.empty() && shown.front() != '\n' && is_blank(shown.substr(0, 1))) {
    shown.remove_prefix(1);
  }
  shown = shown.substr(0, std::min<std::size_t>(40, shown.find('\n')));
  while (!shown.empty() && is_blank(shown.substr(shown.size() - 1))) {
    shown.remove_suffix(1);
  }
  return shown;
}

}  // namespace lcs_diff
