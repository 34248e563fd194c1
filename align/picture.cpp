// SPDX-License-Identifier: MIT
// The picture of an alignment, written chunk by chunk so that its size in
// memory stays that of one chunk whatever the texts' lengths. Widths of
// characters after Unicode's East Asian Width (UAX #11): wide and fullwidth
// take two columns, combining and format characters are shown as escapes.
#include "align/picture.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <utility>

namespace lcs_align {

namespace {

using Range = std::pair<std::uint32_t, std::uint32_t>;

constexpr std::array kWide{
    Range{0x1100, 0x115F},   Range{0x2E80, 0x303E},   Range{0x3041, 0x33FF},
    Range{0x3400, 0x4DBF},   Range{0x4E00, 0x9FFF},   Range{0xA000, 0xA4CF},
    Range{0xAC00, 0xD7A3},   Range{0xF900, 0xFAFF},   Range{0xFE30, 0xFE4F},
    Range{0xFF00, 0xFF60},   Range{0xFFE0, 0xFFE6},   Range{0x1F300, 0x1F64F},
    Range{0x1F900, 0x1F9FF}, Range{0x20000, 0x3FFFD},
};

// Characters that take no column of their own or are not seen: C1 controls,
// combining marks, zero-width and direction marks, line and paragraph
// separators, the byte order mark, and those this picture uses as symbols.
constexpr std::array kEscaped{
    Range{0x80, 0x9F},     Range{0xAD, 0xAD},       Range{0x300, 0x36F},   Range{0x483, 0x489},
    Range{0x591, 0x5BD},   Range{0x610, 0x61A},     Range{0x64B, 0x65F},   Range{0x1AB0, 0x1AFF},
    Range{0x1DC0, 0x1DFF}, Range{0x200B, 0x200F},   Range{0x2028, 0x202E}, Range{0x2060, 0x206F},
    Range{0x20D0, 0x20FF}, Range{0x2192, 0x2192},   Range{0x21B5, 0x21B5}, Range{0x2400, 0x2426},
    Range{0x2500, 0x2500}, Range{0xFE00, 0xFE0F},   Range{0xFE20, 0xFE2F}, Range{0xFEFF, 0xFEFF},
    Range{0xFFF9, 0xFFFB}, Range{0xE0000, 0xE0FFF},
};

template <std::size_t N>
bool within(const std::array<Range, N>& ranges, std::uint32_t code) {
  return std::any_of(ranges.begin(), ranges.end(),
                     [&](const Range& r) { return code >= r.first && code <= r.second; });
}

std::string escape(const char* format, std::uint32_t value) {
  char text[16];
  (void)std::snprintf(text, sizeof text, format, static_cast<unsigned>(value));
  return text;
}

Shown ascii(char c, bool utf8, bool strict) {
  const auto byte = static_cast<unsigned char>(c);
  switch (c) {
    case '\n':
      return utf8 ? Shown{"\u21B5", 1} : Shown{"\\n", 2};
    case '\t':
      return utf8 ? Shown{"\u2192", 1} : Shown{"\\t", 2};
    case '\r':
      return utf8 ? Shown{"\u240D", 1} : Shown{"\\r", 2};
    case '\\':
      return strict ? Shown{"\\\\", 2} : Shown{"\\", 1};
    case '-':
      return strict && !utf8 ? Shown{"\\-", 2} : Shown{"-", 1};
    default:
      break;
  }
  if (byte < 0x20 || byte == 0x7F) {
    if (!utf8) {
      return {escape("\\x%02x", byte), 4};
    }
    // The control pictures: U+2400 and up for 0x00 to 0x1F, U+2421 for DEL.
    const std::uint32_t picture = byte == 0x7F ? 0x2421U : 0x2400U + byte;
    return {std::string{'\xE2', '\x90', static_cast<char>(0x80U + (picture & 0x3FU))}, 1};
  }
  return {std::string(1, c), 1};
}

}  // namespace

Shown shown(std::string_view character, bool utf8, bool strict) {
  const auto lead = static_cast<unsigned char>(character[0]);
  if (lead < 0x80U) {
    return ascii(character[0], utf8, strict);
  }
  const std::size_t length = utf8_sequence_length(character);
  if (length == 0 || length != character.size()) {
    return {escape("\\x%02x", lead), 4};
  }
  const std::uint32_t code = decode_utf8(character, length);
  if (!utf8 || within(kEscaped, code)) {
    return code > 0xFFFFU ? Shown{escape("\\U%08x", code), 10} : Shown{escape("\\u%04x", code), 6};
  }
  return {std::string(character), within(kWide, code) ? std::size_t{2} : std::size_t{1}};
}

namespace {

std::size_t digits(std::size_t value) {
  std::size_t count = 1;
  for (; value >= 10; value /= 10) {
    ++count;
  }
  return count;
}

// One text's line of a chunk and the positions it covers.
struct Row {
  std::string text;
  std::size_t first = 0;  // one-based position of the first unit, 0: none yet
  std::size_t last = 0;   // of the last unit shown so far, in any chunk
};

class ChunkWriter {
 public:
  ChunkWriter(std::ostream& out, const Look& look, std::size_t longest)
      : out_(out),
        look_(look),
        number_width_(digits(longest)),
        gap_(look.utf8 ? Shown{"\u2500", 1} : Shown{"-", 1}) {}

  // One column: A's unit or none, B's or none.
  void column(const std::string_view* a, const std::string_view* b, bool match) {
    const Shown a_shown = a == nullptr ? gap_ : shown_unit(*a);
    const Shown b_shown = b == nullptr ? gap_ : shown_unit(*b);
    const std::size_t width = std::max(a_shown.width, b_shown.width);
    if (used_ + width > look_.width) {
      flush();
    }
    add(rows_[0], a_shown, width, a != nullptr);
    add(rows_[1], b_shown, width, b != nullptr);
    markers_ += match ? '|' : ' ';
    markers_.append(width - 1, ' ');
    used_ += width;
  }

  void flush() {
    if (used_ == 0) {
      return;
    }
    line('A', rows_[0]);
    std::string marker_line = std::string(number_width_ + 3, ' ') + markers_;
    marker_line.erase(marker_line.find_last_not_of(' ') + 1);
    out_ << marker_line << '\n';
    line('B', rows_[1]);
    out_ << '\n';
    markers_.clear();
    used_ = 0;
  }

 private:
  // A unit of bytes is one byte even where it starts a UTF-8 sequence.
  [[nodiscard]] Shown shown_unit(std::string_view unit) const { return shown(unit, look_.utf8); }

  static void add(Row& row, const Shown& cell, std::size_t width, bool counts) {
    row.text += cell.text;
    row.text.append(width - cell.width, ' ');
    if (counts) {
      ++row.last;
      if (row.first == 0) {
        row.first = row.last;
      }
    }
  }

  void line(char label, Row& row) {
    const std::size_t first = row.first == 0 ? row.last : row.first;
    const std::string number = std::to_string(first);
    out_ << label << ' ' << std::string(number_width_ - number.size(), ' ') << number << ' '
         << row.text << ' ' << row.last << '\n';
    row.text.clear();
    row.first = 0;
  }

  std::ostream& out_;
  const Look& look_;
  std::size_t number_width_;
  Shown gap_;
  Row rows_[2];
  std::string markers_;
  std::size_t used_ = 0;
};

// Walks the alignment: `column(a, b, match)` for each column, a unit of A
// or none, of B or none. Between two matching blocks, units of both face
// each other before the gap.
template <class Column>
void walk(Compared a, Compared b, const std::vector<lcs::MatchingBlock>& blocks, Column column) {
  std::size_t i = 0;
  std::size_t j = 0;
  const auto piece = [](Compared text, std::size_t k) {
    return text.units.piece(text.sequence.bytes, k);
  };
  const auto to = [&](std::size_t next_i, std::size_t next_j) {
    for (; i < next_i && j < next_j; ++i, ++j) {
      const std::string_view x = piece(a, i);
      const std::string_view y = piece(b, j);
      column(&x, &y, false);
    }
    for (; i < next_i; ++i) {
      const std::string_view x = piece(a, i);
      column(&x, nullptr, false);
    }
    for (; j < next_j; ++j) {
      const std::string_view y = piece(b, j);
      column(nullptr, &y, false);
    }
  };
  for (const lcs::MatchingBlock& block : blocks) {
    to(block.a, block.b);
    for (std::size_t k = 0; k < block.size; ++k, ++i, ++j) {
      const std::string_view x = piece(a, i);
      const std::string_view y = piece(b, j);
      column(&x, &y, true);
    }
  }
  to(a.units.size(), b.units.size());
}

// Text for a word diff or a side: line feeds and tabs as they are (a word
// diff keeps its lines), everything else that would not show as a symbol.
std::string readable(std::string_view text, bool utf8, bool keep_breaks,
                     std::size_t* width = nullptr) {
  std::string out;
  std::size_t columns = 0;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = std::max<std::size_t>(1, utf8_sequence_length(text.substr(at)));
    const std::string_view character = text.substr(at, length);
    at += length;
    if (keep_breaks && (character == "\n" || character == "\t")) {
      out += character;
      continue;
    }
    const Shown cell = shown(character, utf8, false);
    out += cell.text;
    columns += cell.width;
  }
  if (width != nullptr) {
    *width = columns;
  }
  return out;
}

void write_word_diff(std::ostream& out, Compared a, Compared b,
                     const std::vector<lcs::MatchingBlock>& blocks, bool utf8) {
  const std::vector<lcs::Opcode> edits = lcs::opcodes(blocks, a.units.size(), b.units.size());
  const auto text = [&](Compared side, std::size_t begin, std::size_t end) {
    const std::string_view bytes = side.sequence.bytes;
    return readable(
        bytes.substr(side.units.begin(begin), side.units.begin(end) - side.units.begin(begin)),
        utf8, true);
  };
  for (const lcs::Opcode& edit : edits) {
    if (edit.tag == lcs::Opcode::Tag::equal) {
      out << text(a, edit.a_begin, edit.a_end);
      continue;
    }
    if (edit.a_end > edit.a_begin) {
      out << "[-" << text(a, edit.a_begin, edit.a_end) << "-]";
    }
    if (edit.b_end > edit.b_begin) {
      out << "{+" << text(b, edit.b_begin, edit.b_end) << "+}";
    }
  }
  out << '\n';
}

// One line, without its terminator, cut or padded to `width` columns.
std::string side(const std::string_view* line, std::size_t width, bool utf8) {
  std::string out;
  std::size_t used = 0;
  if (line != nullptr) {
    std::string_view content = *line;
    if (content.ends_with('\n')) {
      content.remove_suffix(1);
    }
    for (std::size_t at = 0; at < content.size();) {
      const std::size_t length = std::max<std::size_t>(1, utf8_sequence_length(content.substr(at)));
      const Shown cell = shown(content.substr(at, length), utf8, false);
      at += length;
      if (used + cell.width > width) {
        break;
      }
      out += cell.text;
      used += cell.width;
    }
  }
  out.append(width - used, ' ');
  return out;
}

void write_side_by_side(std::ostream& out, Compared a, Compared b,
                        const std::vector<lcs::MatchingBlock>& blocks, const Look& look) {
  const std::size_t half = std::max<std::size_t>(look.width, 5) / 2 - 2;
  walk(a, b, blocks, [&](const std::string_view* x, const std::string_view* y, bool match) {
    const char mark = match ? ' ' : x == nullptr ? '>' : y == nullptr ? '<' : '|';
    std::string line = side(x, half, look.utf8) + ' ' + mark + ' ' + side(y, half, look.utf8);
    line.erase(line.find_last_not_of(' ') + 1);
    out << line << '\n';
  });
}

}  // namespace

std::string similarity_text(std::size_t lcs, std::size_t a_size, std::size_t b_size) {
  const std::size_t total = a_size + b_size;
  char text[32];
  (void)std::snprintf(
      text, sizeof text, "%.4f",
      total == 0 ? 1.0 : 2.0 * static_cast<double>(lcs) / static_cast<double>(total));
  return text;
}

void write_picture(std::ostream& out, Compared a, Compared b, Unit unit,
                   const std::vector<lcs::MatchingBlock>& blocks, const Look& look) {
  std::size_t lcs = 0;
  for (const lcs::MatchingBlock& block : blocks) {
    lcs += block.size;
  }
  const std::string similarity = similarity_text(lcs, a.units.size(), b.units.size());
  const std::string units = ' ' + std::string(unit_plural(unit));
  out << "A: " << readable(a.sequence.name, look.utf8, false) << ", length " << a.units.size()
      << units << '\n'
      << "B: " << readable(b.sequence.name, look.utf8, false) << ", length " << b.units.size()
      << units << '\n'
      << "LCS length " << lcs << units << ", similarity " << similarity << "\n\n";
  if (unit == Unit::word) {
    write_word_diff(out, a, b, blocks, look.utf8);
    return;
  }
  if (unit == Unit::line) {
    write_side_by_side(out, a, b, blocks, look);
    return;
  }
  ChunkWriter chunks(out, look, std::max(a.units.size(), b.units.size()));
  walk(a, b, blocks, [&](const std::string_view* x, const std::string_view* y, bool match) {
    chunks.column(x, y, match);
  });
  chunks.flush();
}

}  // namespace lcs_align
