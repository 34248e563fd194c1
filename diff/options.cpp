// SPDX-License-Identifier: MIT
// GNU diff's command line, read as getopt_long reads it: short options
// bundled, an option's value glued or in the next word, long options by any
// unambiguous prefix, and the old -NUM for the lines of context.
#include "diff/options.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <string_view>

namespace lcs_diff {

const char* const kHelp =
    "Compares two files line by line and prints their differences, always with the\n"
    "fewest changed lines there are (a longest common subsequence of the lines).\n"
    "FILE is a path or - for standard input (once); two directories are compared file\n"
    "by file, a directory and a file as DIR/FILE and FILE.\n"
    "\n"
    "Output formats (the normal format of diff when none is given):\n"
    "  -u, -U NUM, --unified[=NUM]   unified, NUM (default 3) lines of context\n"
    "  -c, -C NUM, --context[=NUM]   context, NUM (default 3) lines of context\n"
    "  -NUM                          NUM lines of context (with -u or -c)\n"
    "  -e, --ed                      an ed script\n"
    "      --normal                  the normal format\n"
    "  -y, --side-by-side            two columns\n"
    "  -W, --width=NUM               at most NUM columns with -y (default 130)\n"
    "      --left-column             common lines only in the left column\n"
    "      --suppress-common-lines   no common lines with -y\n"
    "  -p, --show-c-function         hunk headers name the function they are in\n"
    "  -F, --show-function-line=RE   hunk headers show the nearest line matching RE\n"
    "  -L, --label LABEL             LABEL instead of the file's name and time (twice:\n"
    "                                the first for FILE1, the second for FILE2)\n"
    "  -t, --expand-tabs             tabs as spaces in the output\n"
    "  -T, --initial-tab             a tab, not a space, before each line's text\n"
    "      --color[=WHEN]            colour: never, always or auto (when standard\n"
    "                                output is a terminal); alone: auto\n"
    "  -q, --brief                   only say whether the files differ\n"
    "  -s, --report-identical-files  say when two files are the same\n"
    "\n"
    "What counts as a difference:\n"
    "  -i, --ignore-case             upper and lower case letters are equal\n"
    "  -E, --ignore-tab-expansion    tabs equal the spaces they expand to\n"
    "  -Z, --ignore-trailing-space   white space at the end of a line counts nothing\n"
    "  -b, --ignore-space-change     any run of white space equals any other,\n"
    "                                white space at the end of a line counts nothing\n"
    "  -w, --ignore-all-space        white space counts nothing\n"
    "  -B, --ignore-blank-lines      changes of blank lines alone are not shown\n"
    "  -I, --ignore-matching-lines=RE  changes of lines matching RE alone are not shown\n"
    "      --strip-trailing-cr       a carriage return before a line feed is dropped\n"
    "  -a, --text                    every file is text\n"
    "  -d, --minimal                 accepted: the diff is always minimal\n"
    "\n"
    "Directories and missing files:\n"
    "  -r, --recursive               compare subdirectories too\n"
    "  -N, --new-file                a file on one side only is compared with nothing\n"
    "      --unidirectional-new-file   the same, for files missing from FILE1's side\n"
    "  -x, --exclude=PAT             skip names that match the pattern PAT\n"
    "  -X, --exclude-from=FILE       skip names that match any pattern in FILE\n"
    "      --no-dereference          compare symbolic links as links\n"
    "\n"
    "      --threads N               threads to compare with (default 0: all cores)\n"
    "      --help                    print this help and exit\n"
    "  -v, --version                 print the version and exit\n"
    "\n"
    "Called by git as GIT_EXTERNAL_DIFF (7 or 9 arguments), it prints a unified diff\n"
    "labelled a/PATH and b/PATH and exits 0.\n"
    "\n"
    "Exit status: 0 if the inputs are the same, 1 if they differ, 2 on trouble.\n";

namespace {

template <class Number>
Number parse_number(std::string_view option, std::string_view text, Number most) {
  Number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value > most) {
    throw UsageError(std::string(option) + " takes a whole number from 0 to " +
                     std::to_string(most) + ", not '" + std::string(text) + "'");
  }
  return value;
}

constexpr std::size_t kMostContext = SIZE_MAX / 4;

Color parse_color(std::string_view when) {
  if (when == "never") {
    return Color::never;
  }
  if (when == "always") {
    return Color::always;
  }
  if (when == "auto") {
    return Color::automatic;
  }
  throw UsageError("--color takes never, always or auto, not '" + std::string(when) + "'");
}

std::vector<std::string> patterns_in(const std::string& path) {
  std::ifstream file(path);
  if (!file) {
    throw UsageError("cannot read the patterns of -X: " + path);
  }
  std::vector<std::string> patterns;
  for (std::string line; std::getline(file, line);) {
    if (!line.empty()) {
      patterns.push_back(line);
    }
  }
  return patterns;
}

enum class Value : std::uint8_t { none, required, optional };

struct LongOption {
  std::string_view name;
  Value value;
  char short_name;  // the short option it stands for, or 0
};

// Every long option; those with a short name act as it does.
constexpr std::array<LongOption, 39> kLongOptions{{
    {"unified", Value::optional, 0},
    {"context", Value::optional, 0},
    {"ed", Value::none, 'e'},
    {"normal", Value::none, 0},
    {"side-by-side", Value::none, 'y'},
    {"width", Value::required, 'W'},
    {"left-column", Value::none, 0},
    {"suppress-common-lines", Value::none, 0},
    {"show-c-function", Value::none, 'p'},
    {"show-function-line", Value::required, 'F'},
    {"label", Value::required, 'L'},
    {"expand-tabs", Value::none, 't'},
    {"initial-tab", Value::none, 'T'},
    {"color", Value::optional, 0},
    {"brief", Value::none, 'q'},
    {"report-identical-files", Value::none, 's'},
    {"ignore-case", Value::none, 'i'},
    {"ignore-tab-expansion", Value::none, 'E'},
    {"ignore-trailing-space", Value::none, 'Z'},
    {"ignore-space-change", Value::none, 'b'},
    {"ignore-all-space", Value::none, 'w'},
    {"ignore-blank-lines", Value::none, 'B'},
    {"ignore-matching-lines", Value::required, 'I'},
    {"strip-trailing-cr", Value::none, 0},
    {"text", Value::none, 'a'},
    {"minimal", Value::none, 'd'},
    {"speed-large-files", Value::none, 'H'},
    {"recursive", Value::none, 'r'},
    {"new-file", Value::none, 'N'},
    {"unidirectional-new-file", Value::none, 0},
    {"exclude", Value::required, 'x'},
    {"exclude-from", Value::required, 'X'},
    {"no-dereference", Value::none, 0},
    {"threads", Value::required, 0},
    {"help", Value::none, 0},
    {"version", Value::none, 'v'},
    {"no-ignore-file-name-case", Value::none, 0},
    {"tabsize", Value::required, 0},
    {"paginate", Value::none, 0},
}};

// The short options that take a value.
bool takes_value(char letter) {
  return std::string_view("UCWFLIxX").find(letter) != std::string_view::npos;
}

class Parser {
 public:
  explicit Parser(std::span<const char* const> arguments) : arguments_(arguments) {}

  Settings parse() {
    bool options_end = false;
    for (next_ = 0; next_ < arguments_.size();) {
      const std::string_view argument = arguments_[next_++];
      if (options_end || argument == "-" || !argument.starts_with('-')) {
        settings_.paths.emplace_back(argument);
        continue;
      }
      if (argument == "--") {
        options_end = true;
        continue;
      }
      const std::size_t first = next_ - 1;
      if (argument.starts_with("--")) {
        long_option(argument.substr(2));
      } else {
        short_options(argument.substr(1));
      }
      for (std::size_t k = first; k < next_; ++k) {
        settings_.option_words += ' ';
        settings_.option_words += arguments_[k];
      }
    }
    finish();
    return settings_;
  }

 private:
  std::string_view next_value(std::string_view option) {
    if (next_ == arguments_.size()) {
      throw UsageError("option '" + std::string(option) + "' requires an argument");
    }
    return arguments_[next_++];
  }

  static const LongOption& find_long(std::string_view name) {
    const LongOption* found = nullptr;
    for (const LongOption& option : kLongOptions) {
      if (option.name == name) {
        return option;
      }
      if (option.name.starts_with(name)) {
        if (found != nullptr) {
          throw UsageError("option '--" + std::string(name) + "' is ambiguous");
        }
        found = &option;
      }
    }
    if (found == nullptr) {
      throw UsageError("unrecognized option '--" + std::string(name) + "'");
    }
    return *found;
  }

  void long_option(std::string_view text) {
    const std::size_t equals = text.find('=');
    const LongOption& option = find_long(text.substr(0, equals));
    const std::string spelled = "--" + std::string(option.name);
    std::optional<std::string_view> value;
    if (equals != std::string_view::npos) {
      if (option.value == Value::none) {
        throw UsageError("option '" + spelled + "' doesn't allow an argument");
      }
      value = text.substr(equals + 1);
    } else if (option.value == Value::required) {
      value = next_value(spelled);
    }
    if (option.short_name != 0) {
      short_option(option.short_name, value.value_or(""), spelled);
      return;
    }
    named_option(option.name, value, spelled);
  }

  void named_option(std::string_view name, std::optional<std::string_view> value,
                    const std::string& spelled) {
    if (name == "unified" || name == "context") {
      settings_.format = name == "unified" ? Format::unified : Format::context;
      if (value) {
        settings_.context = parse_number<std::size_t>(spelled, *value, kMostContext);
      }
    } else if (name == "normal") {
      settings_.format = Format::normal;
      format_given_ = true;
    } else if (name == "left-column") {
      settings_.side_by_side.left_column = true;
    } else if (name == "suppress-common-lines") {
      settings_.side_by_side.suppress_common_lines = true;
    } else if (name == "color") {
      settings_.color = value ? parse_color(*value) : Color::automatic;
    } else if (name == "strip-trailing-cr") {
      settings_.equality.strip_trailing_cr = true;
    } else if (name == "unidirectional-new-file") {
      settings_.new_first_file = true;
    } else if (name == "no-dereference") {
      settings_.no_dereference = true;
    } else if (name == "threads") {
      settings_.threads = parse_number<unsigned>(spelled, *value, 4096);
    } else if (name == "help") {
      settings_.help = true;
    } else if (name == "tabsize") {
      if (parse_number<std::size_t>(spelled, *value, kMostContext) != 8) {
        throw UsageError("only --tabsize=8 is supported");
      }
    }
    // --no-ignore-file-name-case and --paginate ask for nothing different here.
  }

  void short_options(std::string_view letters) {
    for (std::size_t k = 0; k < letters.size(); ++k) {
      const char letter = letters[k];
      if (letter >= '0' && letter <= '9') {  // -NUM: lines of context
        std::size_t end = k;
        while (end < letters.size() && letters[end] >= '0' && letters[end] <= '9') {
          ++end;
        }
        settings_.context =
            parse_number<std::size_t>("-NUM", letters.substr(k, end - k), kMostContext);
        k = end - 1;
        continue;
      }
      if (takes_value(letter)) {
        const std::string_view rest = letters.substr(k + 1);
        const std::string spelled{'-', letter};
        short_option(letter, rest.empty() ? next_value(spelled) : rest, spelled);
        return;
      }
      short_option(letter, "", std::string{'-', letter});
    }
  }

  void short_option(char letter, std::string_view value, const std::string& spelled) {
    switch (letter) {
      case 'u':
        settings_.format = Format::unified;
        break;
      case 'U':
        settings_.format = Format::unified;
        settings_.context = parse_number<std::size_t>(spelled, value, kMostContext);
        break;
      case 'c':
        settings_.format = Format::context;
        break;
      case 'C':
        settings_.format = Format::context;
        settings_.context = parse_number<std::size_t>(spelled, value, kMostContext);
        break;
      case 'e':
        settings_.format = Format::ed;
        break;
      case 'y':
        settings_.format = Format::side_by_side;
        break;
      case 'W':
        settings_.side_by_side.width = parse_number<std::size_t>(spelled, value, 1U << 20);
        break;
      case 'p':
        settings_.function_patterns.emplace_back("^[[:alpha:]$_]");
        break;
      case 'F':
        settings_.function_patterns.emplace_back(value);
        break;
      case 'L':
        settings_.labels.emplace_back(value);
        break;
      case 't':
        settings_.expand_tabs = true;
        break;
      case 'T':
        settings_.initial_tab = true;
        break;
      case 'q':
        settings_.brief = true;
        break;
      case 's':
        settings_.report_identical = true;
        break;
      case 'i':
        settings_.equality.ignore_case = true;
        break;
      case 'E':
        settings_.equality.ignore_tab_expansion = true;
        break;
      case 'Z':
        settings_.equality.ignore_trailing_space = true;
        break;
      case 'b':
        blanks(Blanks::amount);
        break;
      case 'w':
        blanks(Blanks::none);
        break;
      case 'B':
        settings_.ignore.blank_lines = true;
        break;
      case 'I':
        try {
          settings_.ignore.add_pattern(std::string(value));
        } catch (const std::invalid_argument& error) {
          throw UsageError(std::string("-I: ") + error.what());
        }
        break;
      case 'a':
        settings_.text = true;
        break;
      case 'd':
      case 'H':
        break;  // always minimal, whatever is asked
      case 'r':
        settings_.recursive = true;
        break;
      case 'N':
        settings_.new_file = true;
        break;
      case 'x':
        settings_.excludes.emplace_back(value);
        break;
      case 'X': {
        const std::vector<std::string> more = patterns_in(std::string(value));
        settings_.excludes.insert(settings_.excludes.end(), more.begin(), more.end());
        break;
      }
      case 'v':
        settings_.version = true;
        break;
      default:
        throw UsageError(std::string("invalid option -- '") + letter + '\'');
    }
  }

  // -w includes -b, whichever comes first.
  void blanks(Blanks blanks) {
    if (settings_.equality.blanks != Blanks::none) {
      settings_.equality.blanks = blanks;
    }
  }

  void finish() {
    if (settings_.help || settings_.version) {
      return;
    }
    // -p and -F alone ask for the context format, as in GNU diff.
    if (!settings_.function_patterns.empty() && settings_.format == Format::normal &&
        !format_given_) {
      settings_.format = Format::context;
    }
    if (settings_.paths.size() < 2) {
      throw UsageError(settings_.paths.empty()
                           ? "missing operand"
                           : "missing operand after '" + settings_.paths[0] + "'");
    }
    if (settings_.paths.size() > 2) {
      throw UsageError("extra operand '" + settings_.paths[2] + "'");
    }
    if (settings_.paths[0] == "-" && settings_.paths[1] == "-") {
      throw UsageError("only one of the two files can be standard input ('-')");
    }
    if (settings_.labels.size() > 2) {
      throw UsageError("too many file label options");
    }
  }

  std::span<const char* const> arguments_;
  std::size_t next_ = 0;
  bool format_given_ = false;
  Settings settings_;
};

}  // namespace

Settings parse_settings(std::span<const char* const> arguments) {
  return Parser(arguments).parse();
}

}  // namespace lcs_diff
