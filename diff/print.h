// SPDX-License-Identifier: MIT
// What every output format shares: how a line is written after its mark
// (-t, -T, colour, the note on a missing line feed), a range as GNU diff
// numbers it, and the function line of a hunk (-p, -F).
#ifndef LCS_DIFF_PRINT_H
#define LCS_DIFF_PRINT_H

#include <cstddef>
#include <memory>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "diff/lines.h"

namespace lcs_diff {

struct Look {
  bool color = false;
  bool expand_tabs = false;  // -t
  bool initial_tab = false;  // -T
};

namespace color {
inline constexpr std::string_view kBold = "\033[1m";
inline constexpr std::string_view kRed = "\033[31m";
inline constexpr std::string_view kGreen = "\033[32m";
inline constexpr std::string_view kCyan = "\033[36m";
inline constexpr std::string_view kReset = "\033[0m";
}  // namespace color

// Writes `line` after `mark` (-T turns the space that ends a mark into a tab,
// or puts one after a mark of a letter alone), with tabs expanded under -t, coloured in `paint` up
// to its line feed, and "\ No newline at end of file" after a line without one.
void print_line(std::ostream& out, std::string_view mark, std::string_view line, const Look& look,
                std::string_view paint);

// Text coloured in `paint` when colour is on.
void print_painted(std::ostream& out, std::string_view text, const Look& look,
                   std::string_view paint);

// The nearest line before each hunk that matches one of the patterns, as the
// hunk headers of -p and -F show it: without leading white space, at most 40
// bytes, without trailing white space. Hunks are asked for in order.
class FunctionLines {
 public:
  FunctionLines(const std::vector<std::string>& patterns, std::span<const std::string_view> lines);
  // The text to show after a hunk that starts at line `begin` of a, "" for none.
  std::string_view before(std::size_t begin);

 private:
  std::vector<Pattern> patterns_;
  std::span<const std::string_view> lines_;
  std::size_t searched_ = 0;
  std::string_view found_;
};

}  // namespace lcs_diff

#endif  // LCS_DIFF_PRINT_H
