// SPDX-License-Identifier: MIT
// The lines of two files as ids for the library: equal ids for lines that
// count as equal, exactly or ignoring case or white space as GNU diff's -i,
// -b and -w do.
#ifndef LCS_DIFF_LINES_H
#define LCS_DIFF_LINES_H

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "lcs/alignment.h"

namespace lcs_diff {

enum class Blanks : std::uint8_t {
  exact,   // white space counts byte for byte, and so does the line's terminator
  amount,  // -b: a run of white space equals any other run, trailing runs are dropped
  none,    // -w: white space is dropped
};

struct Equality {
  bool ignore_case = false;            // -i: ASCII letters of either case are equal
  bool ignore_tab_expansion = false;   // -E: a tab equals the spaces it expands to
  bool ignore_trailing_space = false;  // -Z: white space at the end of a line counts nothing
  bool strip_trailing_cr = false;      // a CR before the line feed is not part of the line
  Blanks blanks = Blanks::exact;
  bool operator==(const Equality&) const = default;
};

// A regular expression as GNU grep and diff read them (a POSIX basic one
// with GNU's extensions where the C library has them).
class Pattern {
 public:
  explicit Pattern(const std::string& expression);
  Pattern(Pattern&&) noexcept;
  Pattern& operator=(Pattern&&) noexcept;
  Pattern(const Pattern&) = delete;
  Pattern& operator=(const Pattern&) = delete;
  ~Pattern();
  // Whether the line, without its line feed, has a match.
  [[nodiscard]] bool matches(std::string_view line) const;

 private:
  struct Compiled;
  std::unique_ptr<Compiled> compiled_;
};

// The lines whose changes alone are not shown (-B: blank lines, -I: lines
// that match one of the patterns).
struct LineFilter {
  bool blank_lines = false;
  std::vector<std::shared_ptr<const Pattern>> patterns;

  void add_pattern(const std::string& expression) {
    patterns.push_back(std::make_shared<const Pattern>(expression));
  }
  [[nodiscard]] bool empty() const { return !blank_lines && patterns.empty(); }
  [[nodiscard]] bool ignorable(std::string_view line) const;
};

// Tabs as spaces to the next multiple of 8, counting from the text's start.
std::string expand_tabs(std::string_view text);

// The text of a file with the CR of each CRLF taken out (--strip-trailing-cr).
std::string without_trailing_crs(std::string_view text);

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
