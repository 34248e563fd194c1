// SPDX-License-Identifier: MIT
// The units lcs-align compares: bytes, UTF-8 characters, words or lines.
#ifndef LCS_ALIGN_UNITS_H
#define LCS_ALIGN_UNITS_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lcs_align {

enum class Unit : unsigned char { byte, character, word, line };

// The unit's name as the command line and the output spell it ("byte", ...).
std::string_view unit_name(Unit unit);
// Its plural in the output ("bytes", "characters", ...).
std::string_view unit_plural(Unit unit);

// The length of the valid UTF-8 sequence that starts `text`, or 0 when it
// does not start with one (an overlong form, a surrogate, beyond U+10FFFF,
// cut short) or `text` is empty.
std::size_t utf8_sequence_length(std::string_view text);

// The code point of a valid UTF-8 sequence of `length` bytes.
std::uint32_t decode_utf8(std::string_view sequence, std::size_t length);

bool is_utf8(std::string_view text);

// A text cut into units: unit k is text[begin(k), begin(k + 1)). Bytes are
// their own units and need no table.
struct Units {
  std::vector<std::size_t> starts;  // one more than there are units; empty for bytes
  std::size_t bytes = 0;
  std::string final_break;  // taken off the text's end: its last word or line is compared with it

  [[nodiscard]] std::size_t size() const { return starts.empty() ? bytes : starts.size() - 1; }
  [[nodiscard]] std::size_t begin(std::size_t k) const { return starts.empty() ? k : starts[k]; }
  [[nodiscard]] std::string_view piece(std::string_view text, std::size_t k) const {
    return text.substr(begin(k), begin(k + 1) - begin(k));
  }
};

// Characters: each valid UTF-8 sequence, and each byte of an invalid one on
// its own. Words: runs of white space and runs of anything else. Lines: each
// with its line feed, and an empty last line where the text ends in a line
// feed before its `final_break`. Bytes: each byte.
Units split_units(std::string_view text, Unit unit, std::string_view final_break = {});

// Equal units of the two texts get equal symbols: a character its code point
// (an invalid byte 0x110000 and up, unequal to any), a word or line a dense
// id. A line is compared without its line feed (a carriage return before it
// stays: CRLF lines differ from LF lines), and a text's last line or space
// as though its final break were still there, so that the last line of one
// file equals the same line in the middle of the other.
struct Symbols {
  std::vector<std::uint32_t> a;
  std::vector<std::uint32_t> b;
};
Symbols symbols_of(std::string_view a, const Units& a_units, std::string_view b,
                   const Units& b_units, Unit unit);

}  // namespace lcs_align

#endif  // LCS_ALIGN_UNITS_H
