// SPDX-License-Identifier: MIT
// Cutting texts into the units lcs-align compares, and numbering them. UTF-8
// as RFC 3629 defines it: no overlong forms, no surrogates, nothing beyond
// U+10FFFF.
#include "align/units.h"

#include <algorithm>
#include <array>
#include <string>

#include "lcs/alignment.h"

namespace lcs_align {

namespace {

bool is_space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool continuation(unsigned char byte) { return (byte & 0xC0U) == 0x80U; }

// Where the unit that starts at `at` ends.
std::size_t unit_end(std::string_view text, std::size_t at, Unit unit) {
  switch (unit) {
    case Unit::character:
      return at + std::max<std::size_t>(1, utf8_sequence_length(text.substr(at)));
    case Unit::word: {
      const bool space = is_space(text[at]);
      std::size_t end = at + 1;
      while (end < text.size() && is_space(text[end]) == space) {
        ++end;
      }
      return end;
    }
    case Unit::line: {
      const std::size_t feed = text.find('\n', at);
      return feed == std::string_view::npos ? text.size() : feed + 1;
    }
    default:
      return at + 1;
  }
}

// The words or lines of a text as they are compared (see symbols_of); `last`
// holds the last one's text when it differs from the file's.
std::vector<std::string_view> compared_pieces(std::string_view text, const Units& units, Unit unit,
                                              std::string& last) {
  std::vector<std::string_view> out(units.size());
  for (std::size_t k = 0; k < out.size(); ++k) {
    out[k] = units.piece(text, k);
  }
  if (out.empty()) {
    return out;
  }
  if (unit == Unit::line) {
    // A last line with no break at all ends as the line before it does.
    const bool crlf_before = out.size() > 1 && out[out.size() - 2].ends_with("\r\n");
    last = std::string(out.back()) +
           (units.final_break.empty() && crlf_before ? "\r\n" : units.final_break);
    out.back() = last;
    for (std::string_view& line : out) {
      if (line.ends_with('\n')) {
        line.remove_suffix(1);
      }
    }
  } else if (is_space(out.back().front())) {
    last = std::string(out.back()) + units.final_break;
    out.back() = last;
  }
  return out;
}

// Each unit's name on the command line and its plural in the output.
constexpr std::array<std::array<std::string_view, 2>, 4> kNames{
    {{"byte", "bytes"}, {"char", "characters"}, {"word", "words"}, {"line", "lines"}}};

}  // namespace

std::string_view unit_name(Unit unit) { return kNames[static_cast<std::size_t>(unit)][0]; }

std::string_view unit_plural(Unit unit) { return kNames[static_cast<std::size_t>(unit)][1]; }

std::size_t utf8_sequence_length(std::string_view text) {
  if (text.empty()) {
    return 0;
  }
  const auto lead = static_cast<unsigned char>(text[0]);
  if (lead < 0x80U) {
    return 1;
  }
  const std::size_t length = lead >= 0xF0U ? 4 : lead >= 0xE0U ? 3 : lead >= 0xC2U ? 2 : 0;
  if (length == 0 || lead > 0xF4U || text.size() < length) {
    return 0;
  }
  for (std::size_t k = 1; k < length; ++k) {
    if (!continuation(static_cast<unsigned char>(text[k]))) {
      return 0;
    }
  }
  const std::uint32_t code = decode_utf8(text, length);
  const bool overlong = (length == 3 && code < 0x800U) || (length == 4 && code < 0x10000U);
  const bool surrogate = code >= 0xD800U && code <= 0xDFFFU;
  return overlong || surrogate || code > 0x10FFFFU ? 0 : length;
}

std::uint32_t decode_utf8(std::string_view sequence, std::size_t length) {
  static constexpr unsigned char kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  std::uint32_t code = static_cast<unsigned char>(sequence[0]) & kLeadBits[length];
  for (std::size_t k = 1; k < length; ++k) {
    code = (code << 6U) | (static_cast<unsigned char>(sequence[k]) & 0x3FU);
  }
  return code;
}

bool is_utf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = utf8_sequence_length(text.substr(at));
    if (length == 0) {
      return false;
    }
    at += length;
  }
  return true;
}

Units split_units(std::string_view text, Unit unit, std::string_view final_break) {
  Units units{{}, text.size(), std::string(final_break)};
  if (unit == Unit::byte) {
    return units;
  }
  units.starts.reserve(text.size() / 4 + 2);
  for (std::size_t at = 0; at < text.size(); at = unit_end(text, at, unit)) {
    units.starts.push_back(at);
  }
  const bool empty_last_line =
      unit == Unit::line && !final_break.empty() && (text.empty() || text.back() == '\n');
  if (empty_last_line) {
    units.starts.push_back(text.size());
  }
  units.starts.push_back(text.size());
  return units;
}

Symbols symbols_of(std::string_view a, const Units& a_units, std::string_view b,
                   const Units& b_units, Unit unit) {
  if (unit == Unit::word || unit == Unit::line) {
    std::string a_last;
    std::string b_last;
    lcs::DenseIds ids = lcs::dense_ids(compared_pieces(a, a_units, unit, a_last),
                                       compared_pieces(b, b_units, unit, b_last));
    return {std::move(ids.a), std::move(ids.b)};
  }
  const auto code_points = [](std::string_view text, const Units& units) {
    std::vector<std::uint32_t> out(units.size());
    for (std::size_t k = 0; k < out.size(); ++k) {
      const std::string_view piece = units.piece(text, k);
      const std::size_t length = utf8_sequence_length(piece);
      out[k] = length == 0 ? 0x110000U + static_cast<unsigned char>(piece[0])
                           : decode_utf8(piece, length);
    }
    return out;
  };
  return {code_points(a, a_units), code_points(b, b_units)};
}

}  // namespace lcs_align
