// SPDX-License-Identifier: MIT
// The command line of lcs-diff: GNU diff's options, with their meaning.
#ifndef LCS_DIFF_OPTIONS_H
#define LCS_DIFF_OPTIONS_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "diff/lines.h"

namespace lcs_diff {

enum class Format : std::uint8_t { normal, unified, context, ed, side_by_side };
enum class Color : std::uint8_t { never, always, automatic };

// The side-by-side layout (-y): the width of the output and what is shown.
struct SideBySide {
  std::size_t width = 130;
  bool left_column = false;            // common lines only on the left, marked '('
  bool suppress_common_lines = false;  // common lines not shown
};

struct Settings {
  Format format = Format::normal;
  std::optional<std::size_t> context;  // lines of context; 3 when a format needs them
  bool brief = false;                  // -q
  bool report_identical = false;       // -s
  bool recursive = false;
  bool new_file = false;        // -N: a file on one side only is compared with nothing
  bool new_first_file = false;  // --unidirectional-new-file: only when FILE1's is missing
  bool text = false;            // -a: no file is binary
  bool no_dereference = false;
  bool expand_tabs = false;  // -t
  bool initial_tab = false;  // -T
  Equality equality;
  LineFilter ignore;  // -B and -I: changes of such lines alone are not shown
  std::vector<std::string> function_patterns;  // -p and -F: hunk headers name the nearest match
  std::vector<std::string> labels;
  std::vector<std::string> excludes;  // -x and the lines of -X files: patterns of names
  SideBySide side_by_side;
  Color color = Color::never;
  unsigned threads = 0;
  std::vector<std::string> paths;
  std::string option_words;  // as given, for the "diff ..." line before each pair of a tree
  bool help = false;
  bool version = false;
};

// A mistake on the command line: reported with a pointer to --help.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Reads GNU diff's options: bundled short ones (-ruN, -U5, -u5), long ones
// by any unambiguous prefix with "=VALUE" or a separate value, "--" ending
// them. Reads -X files at once. Throws UsageError.
Settings parse_settings(std::span<const char* const> arguments);

// What --help prints.
extern const char* const kHelp;

}  // namespace lcs_diff

#endif  // LCS_DIFF_OPTIONS_H
