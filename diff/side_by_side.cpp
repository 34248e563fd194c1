// SPDX-License-Identifier: MIT
// Two columns: the left from column 0, the right from the first tab stop past
// the middle and its gutter, the mark in the gutter's middle; a line is cut
// where it would cross its column's width.
#include "diff/side_by_side.h"

#include <algorithm>
#include <string>

namespace lcs_diff {

namespace {

constexpr std::size_t kTab = 8;
constexpr std::size_t kGutter = 3;  // the narrowest gutter: a space, the mark, a space

class Rows {
 public:
  Rows(std::ostream& out, const SideBySide& layout, const Look& look)
      : out_(out), look_(look), left_column_(layout.left_column) {
    const std::size_t stop = look.expand_tabs ? 1 : kTab;
    const std::size_t width = layout.width;
    const std::size_t offset = (width + stop + kGutter) / (2 * stop) * stop;
    half_ = offset >= kGutter ? std::min(offset - kGutter, width > offset ? width - offset : 0) : 0;
    right_ = half_ != 0 ? offset : width;
    mark_ = half_ + (right_ - half_ - 1) / 2;
  }

  void common(std::string_view a, std::string_view b) {
    if (left_column_) {
      row(&a, '(', nullptr);
    } else {
      row(&a, ' ', &b);
    }
  }
  void changed(const std::string_view* a, const std::string_view* b) {
    if (a != nullptr && b != nullptr) {
      // Lines that differ only in the line feed: '/' where b lacks it, '\' where a does.
      const bool a_ends = a->ends_with('\n');
      const bool b_ends = b->ends_with('\n');
      const bool only_feed = a_ends != b_ends && a->substr(0, a->size() - (a_ends ? 1 : 0)) ==
                                                     b->substr(0, b->size() - (b_ends ? 1 : 0));
      row(a, only_feed ? (a_ends ? '/' : '\\') : '|', b, only_feed);
      return;
    }
    row(a, a != nullptr ? '<' : '>', b);
  }

 private:
  void row(const std::string_view* left, char mark, const std::string_view* right,
           bool feed_always = false) {
    std::size_t column = 0;
    if (left != nullptr) {
      column = half(*left, 0, half_);
    }
    if (mark != ' ') {
      pad(column, mark_);
      out_ << mark;
      column = mark_ + 1;
    }
    if (right != nullptr && !right->empty() && *right != "\n") {
      pad(column, right_);
      half(*right, right_, right_ + half_);
    }
    const std::string_view* last = right != nullptr ? right : left;
    if (feed_always || last == nullptr || last->ends_with('\n')) {
      out_ << '\n';
    }
  }

  // Writes a line's text from `column` up to `bound`; returns the column reached.
  std::size_t half(std::string_view line, std::size_t column, std::size_t bound) {
    if (line.ends_with('\n')) {
      line.remove_suffix(1);
    }
    std::string text;
    for (const char c : line) {
      if (c == '\t') {
        const std::size_t next = (column / kTab + 1) * kTab;
        if (next > bound) {
          break;
        }
        text += look_.expand_tabs ? std::string(next - column, ' ') : std::string(1, '\t');
        column = next;
      } else if (c == '\r') {
        text += c;  // back to the line's first column, as a terminal goes
        column = 0;
      } else if (c == '\b') {
        text += c;
        column -= column > 0 ? 1 : 0;
      } else if ((static_cast<unsigned char>(c) & 0xC0U) == 0x80U ||
                 static_cast<unsigned char>(c) < 0x20U || c == '\x7f') {
        text += c;  // no column of its own: a UTF-8 continuation byte, a control character
      } else {
        if (column + 1 > bound) {
          break;
        }
        text += c;
        ++column;
      }
    }
    out_ << text;
    return column;
  }

  // Blank space from `from` to `to`: tabs where they fit, then spaces.
  void pad(std::size_t from, std::size_t to) {
    if (!look_.expand_tabs) {
      while ((from / kTab + 1) * kTab <= to) {
        out_ << '\t';
        from = (from / kTab + 1) * kTab;
      }
    }
    if (to > from) {
      out_ << std::string(to - from, ' ');
    }
  }

  std::ostream& out_;
  const Look& look_;
  bool left_column_;
  std::size_t half_ = 0;
  std::size_t right_ = 0;
  std::size_t mark_ = 0;
};

}  // namespace

void write_side_by_side(std::ostream& out, const Changes& changes,
                        std::span<const std::string_view> a_lines,
                        std::span<const std::string_view> b_lines, const SideBySide& layout,
                        const Look& look) {
  Rows rows(out, layout, look);
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a_lines.size() || j < b_lines.size()) {
    if (i < a_lines.size() && j < b_lines.size() && !changes.a[i] && !changes.b[j]) {
      if (!layout.suppress_common_lines) {
        rows.common(a_lines[i], b_lines[j]);
      }
      ++i;
      ++j;
      continue;
    }
    std::size_t a_end = i;
    std::size_t b_end = j;
    while (a_end < a_lines.size() && changes.a[a_end]) {
      ++a_end;
    }
    while (b_end < b_lines.size() && changes.b[b_end]) {
      ++b_end;
    }
    if (a_end == i && b_end == j) {
      break;  // the two sides do not pair up
    }
    for (; i < a_end || j < b_end; ++i, ++j) {
      rows.changed(i < a_end ? &a_lines[i] : nullptr, j < b_end ? &b_lines[j] : nullptr);
    }
    i = a_end;
    j = b_end;
  }
}

}  // namespace lcs_diff
