// SPDX-License-Identifier: MIT
// The lines of two files as ids for the library: equal ids for lines that
// count as equal, exactly or ignoring case or white space as GNU diff's -i,
// -b and -w do.
#ifndef LCS_DIFF_LINES_H
#define LCS_DIFF_LINES_H

#include <cstdint>
#include <span>
#include <string_view>

#include "lcs/alignment.h"

namespace lcs_diff {

enum class Blanks : std::uint8_t {
  exact,   // white space counts byte for byte, and so does the line's terminator
  amount,  // -b: a run of white space equals any other run, trailing runs are dropped
  none,    // -w: white space is dropped
};

struct Equality {
  bool ignore_case = false;  // -i: ASCII letters of either case are equal
  Blanks blanks = Blanks::exact;
  bool operator==(const Equality&) const = default;
};

// Ids for the lines of a and b, equal where the lines count as equal. Under -b
// and -w a line's terminator is white space, so a last line without a line
// feed equals the same line with one, as in GNU diff. Time O(bytes) expected.
lcs::DenseIds line_ids(std::span<const std::string_view> a, std::span<const std::string_view> b,
                       const Equality& equality);

// Whether a line holds only white space (its terminator included).
bool is_blank(std::string_view line);

// The column where a line's text starts, a tab advancing to the next multiple of 8.
std::size_t indentation(std::string_view line);

}  // namespace lcs_diff

#endif  // LCS_DIFF_LINES_H
