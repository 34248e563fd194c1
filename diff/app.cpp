// SPDX-License-Identifier: MIT
// The command line of lcs-diff and the comparison of files and trees.
#include "diff/app.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "diff/changes.h"
#include "diff/files.h"
#include "diff/lines.h"
#include "diff/unified.h"
#include "lcs/alignment.h"

#ifndef LCS_VERSION
#define LCS_VERSION "unknown"
#endif

namespace lcs_diff {

namespace {

constexpr std::string_view kUsage = "Usage: lcs-diff [OPTION]... FILE1 FILE2\n";

constexpr std::string_view kHelp =
    "Compares two files line by line and prints the differences in unified format,\n"
    "always with the fewest changed lines there are (a longest common subsequence of\n"
    "the lines). FILE is a path or - for standard input (once); two directories are\n"
    "compared file by file, a directory and a file as DIR/FILE and FILE.\n"
    "\n"
    "  -u, -U NUM, --unified[=NUM]  NUM (default 3) lines of context\n"
    "  -q, --brief                  only say whether the files differ\n"
    "  -r, --recursive              compare subdirectories too\n"
    "  -N, --new-file               a file on one side only is compared with nothing\n"
    "  -i, --ignore-case            upper and lower case letters are equal\n"
    "  -b, --ignore-space-change    any run of white space equals any other,\n"
    "                               white space at the end of a line counts nothing\n"
    "  -w, --ignore-all-space       white space counts nothing\n"
    "      --label LABEL            use LABEL for the file's name and time (twice:\n"
    "                               the first for FILE1, the second for FILE2)\n"
    "      --color[=WHEN]           colour the output: never, always or auto (when\n"
    "                               standard output is a terminal); alone: auto\n"
    "      --threads N              threads to compare with (default 0: all cores)\n"
    "      --help                   print this help and exit\n"
    "      --version                print the version and exit\n"
    "\n"
    "Exit status: 0 if the inputs are the same, 1 if they differ, 2 on trouble.\n";

enum class Color : std::uint8_t { never, always, automatic };

struct Settings {
  std::size_t context = 3;
  bool brief = false;
  bool recursive = false;
  bool new_file = false;
  Equality equality;
  std::vector<std::string> labels;
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

// Reads GNU-style options: bundled short ones (-ruN, -U5), long ones with
// "=VALUE" or a separate value.
class Parser {
 public:
  explicit Parser(std::span<const char* const> arguments) : arguments_(arguments) {}

  Settings parse() {
    bool options_end = false;
    for (next_ = 0; next_ < arguments_.size();) {
      const std::string_view argument = arguments_[next_++];
      if (options_end || argument == "-" || !argument.starts_with('-')) {
        settings_.paths.emplace_back(argument);
      } else if (argument == "--") {
        options_end = true;
      } else {
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
    }
    check_operands();
    return settings_;
  }

 private:
  std::string_view value_of(std::string_view option) {
    if (next_ == arguments_.size()) {
      throw UsageError(std::string(option) + " needs a value");
    }
    return arguments_[next_++];
  }

  void long_option(std::string_view text) {
    const std::size_t equals = text.find('=');
    const std::string_view name = text.substr(0, equals);
    const bool has_value = equals != std::string_view::npos;
    const std::string_view value = has_value ? text.substr(equals + 1) : std::string_view();
    const std::string option = "--" + std::string(name);
    const auto flag = [&](bool& setting) {
      if (has_value) {
        throw UsageError(option + " takes no value");
      }
      setting = true;
    };
    if (name == "unified") {
      if (has_value) {
        settings_.context = parse_number<std::size_t>(option, value, SIZE_MAX / 4);
      }
    } else if (name == "brief") {
      flag(settings_.brief);
    } else if (name == "recursive") {
      flag(settings_.recursive);
    } else if (name == "new-file") {
      flag(settings_.new_file);
    } else if (name == "ignore-case") {
      flag(settings_.equality.ignore_case);
    } else if (name == "ignore-space-change" || name == "ignore-all-space") {
      bool set = false;
      flag(set);
      blanks(name == "ignore-all-space" ? Blanks::none : Blanks::amount);
    } else if (name == "label") {
      settings_.labels.emplace_back(has_value ? value : value_of(option));
    } else if (name == "color") {
      settings_.color = has_value ? parse_color(value) : Color::automatic;
    } else if (name == "threads") {
      settings_.threads =
          parse_number<unsigned>(option, has_value ? value : value_of(option), 4096);
    } else if (name == "help") {
      flag(settings_.help);
    } else if (name == "version") {
      flag(settings_.version);
    } else {
      throw UsageError("unknown option '" + option + "'");
    }
  }

  void short_options(std::string_view letters) {
    for (std::size_t k = 0; k < letters.size(); ++k) {
      switch (letters[k]) {
        case 'u':
          break;
        case 'U': {
          const std::string_view rest = letters.substr(k + 1);
          settings_.context =
              parse_number<std::size_t>("-U", rest.empty() ? value_of("-U") : rest, SIZE_MAX / 4);
          return;
        }
        case 'q':
          settings_.brief = true;
          break;
        case 'r':
          settings_.recursive = true;
          break;
        case 'N':
          settings_.new_file = true;
          break;
        case 'i':
          settings_.equality.ignore_case = true;
          break;
        case 'b':
          blanks(Blanks::amount);
          break;
        case 'w':
          blanks(Blanks::none);
          break;
        default:
          throw UsageError("unknown option '-" + std::string(1, letters[k]) + "'");
      }
    }
  }

  // -w includes -b, whichever comes first.
  void blanks(Blanks blanks) {
    if (settings_.equality.blanks != Blanks::none) {
      settings_.equality.blanks = blanks;
    }
  }

  void check_operands() const {
    if (settings_.help || settings_.version) {
      return;
    }
    if (settings_.paths.size() != 2) {
      throw UsageError("expects two files, FILE1 and FILE2, not " +
                       std::to_string(settings_.paths.size()));
    }
    if (settings_.paths[0] == "-" && settings_.paths[1] == "-") {
      throw UsageError("only one of the two files can be standard input ('-')");
    }
    if (settings_.labels.size() > 2) {
      throw UsageError("--label is given at most twice");
    }
  }

  std::span<const char* const> arguments_;
  std::size_t next_ = 0;
  Settings settings_;
};

// Whether a file looks binary to diff: a zero byte in its first block.
bool is_binary(std::string_view bytes) {
  constexpr std::size_t kFirstBlock = 4096;
  return bytes.substr(0, kFirstBlock).find('\0') != std::string_view::npos;
}

// One side of a comparison: where it is and what it is.
struct Operand {
  std::string path;
  Kind kind;
};

std::string joined(const std::string& directory, const std::string& name) {
  return directory.ends_with('/') ? directory + name : directory + '/' + name;
}

std::string base_name(const std::string& path) {
  std::string trimmed = path;
  while (trimmed.size() > 1 && trimmed.ends_with('/')) {
    trimmed.pop_back();
  }
  return trimmed.substr(trimmed.find_last_of('/') + 1);
}

class Session {
 public:
  Session(const Settings& settings, std::istream& in, std::ostream& out, std::ostream& err,
          lcs_cli::Terminals terminals)
      : settings_(settings),
        in_(in),
        out_(out),
        err_(err),
        progress_(err, "lcs-diff"),
        color_(settings.color == Color::always ||
               (settings.color == Color::automatic && terminals.out)) {
    options_.threads = settings.threads;
    if (terminals.err) {
      options_.progress = [this](double done) { progress_(done); };
    }
  }

  int compare(const std::string& path1, const std::string& path2) {
    try {
      Operand a{path1, kind_of(path1)};
      Operand b{path2, kind_of(path2)};
      if (a.kind == Kind::directory && b.kind == Kind::directory) {
        compare_directories(a, b);
      } else if (a.kind == Kind::directory || b.kind == Kind::directory) {
        Operand& directory = a.kind == Kind::directory ? a : b;
        const Operand& file = a.kind == Kind::directory ? b : a;
        if (file.path == "-") {
          throw FileError("cannot compare '-' to a directory");
        }
        directory.path = joined(directory.path, base_name(file.path));
        directory.kind = kind_of(directory.path);
        compare_files(a, b, false);
      } else {
        compare_files(a, b, false);
      }
    } catch (const FileError& error) {
      trouble(error.what());
    }
    return status_;
  }

 private:
  void trouble(const std::string& message) {
    progress_.erase();
    err_ << "lcs-diff: " << message << '\n';
    status_ = 2;
  }

  void differ() { status_ = std::max(status_, 1); }

  void compare_directories(const Operand& a, const Operand& b) {
    const std::vector<std::string> a_names = directory_names(a.path, a.kind);
    const std::vector<std::string> b_names = directory_names(b.path, b.kind);
    std::vector<std::string> names;
    std::set_union(a_names.begin(), a_names.end(), b_names.begin(), b_names.end(),
                   std::back_inserter(names));
    for (const std::string& name : names) {
      try {
        compare_entry(Operand{joined(a.path, name), entry_kind(a, a_names, name)},
                      Operand{joined(b.path, name), entry_kind(b, b_names, name)}, a, b, name);
      } catch (const FileError& error) {
        trouble(error.what());
      }
    }
  }

  // What a directory's entry is: missing when the directory lacks the name,
  // trouble when it has the name but it leads nowhere (a dangling link).
  static Kind entry_kind(const Operand& directory, const std::vector<std::string>& names,
                         const std::string& name) {
    if (!std::binary_search(names.begin(), names.end(), name)) {
      return Kind::missing;
    }
    const std::string path = joined(directory.path, name);
    const Kind kind = kind_of(path);
    if (kind == Kind::missing) {
      throw FileError(path + ": No such file or directory");
    }
    return kind;
  }

  void compare_entry(const Operand& a, const Operand& b, const Operand& a_directory,
                     const Operand& b_directory, const std::string& name) {
    if (a.kind == Kind::missing || b.kind == Kind::missing) {
      const Operand& present = a.kind == Kind::missing ? b : a;
      if (settings_.new_file && (present.kind == Kind::file || settings_.recursive)) {
        present.kind == Kind::file ? compare_files(a, b, true) : compare_directories(a, b);
      } else {
        out_ << "Only in " << (a.kind == Kind::missing ? b_directory : a_directory).path << ": "
             << name << '\n';
        differ();
      }
    } else if (a.kind == Kind::directory && b.kind == Kind::directory) {
      if (settings_.recursive) {
        compare_directories(a, b);
      } else {
        out_ << "Common subdirectories: " << a.path << " and " << b.path << '\n';
      }
    } else if (a.kind != b.kind) {
      const auto what = [](Kind kind) {
        return kind == Kind::directory ? "a directory" : "a regular file";
      };
      out_ << "File " << a.path << " is " << what(a.kind) << " while file " << b.path << " is "
           << what(b.kind) << '\n';
      differ();
    } else {
      compare_files(a, b, true);
    }
  }

  std::string read(const Operand& operand) {
    return operand.kind == Kind::missing ? std::string() : read_file(operand.path, in_);
  }

  [[nodiscard]] std::string header_name(const Operand& operand, std::size_t label) const {
    if (label < settings_.labels.size()) {
      return settings_.labels[label];
    }
    return operand.path + '\t' + modification_time(operand.path, operand.kind);
  }

  // Compares two files (one may be missing, as empty) and prints their diff;
  // `in_tree` adds the "diff" line that tells the pairs of a tree apart.
  void compare_files(const Operand& a, const Operand& b, bool in_tree) {
    for (const Operand* operand : {&a, &b}) {
      if (operand->kind == Kind::missing && (!settings_.new_file || a.kind == b.kind)) {
        throw FileError(operand->path + ": No such file or directory");
      }
    }
    const std::string a_bytes = read(a);
    const std::string b_bytes = read(b);
    if (a_bytes == b_bytes) {
      return;
    }
    if (is_binary(a_bytes) || is_binary(b_bytes)) {
      out_ << "Binary files " << a.path << " and " << b.path << " differ\n";
      differ();
      return;
    }
    try {
      write_diff(a, b, a_bytes, b_bytes, in_tree);
    } catch (const std::bad_alloc&) {
      throw FileError("not enough memory to compare " + a.path + " and " + b.path);
    }
  }

  void write_diff(const Operand& a, const Operand& b, std::string_view a_bytes,
                  std::string_view b_bytes, bool in_tree) {
    const std::vector<std::string_view> a_lines = lcs::split_lines(a_bytes);
    const std::vector<std::string_view> b_lines = lcs::split_lines(b_bytes);
    const lcs::DenseIds ids = line_ids(a_lines, b_lines, settings_.equality);
    if (ids.a == ids.b) {
      return;  // equal under -i, -b or -w
    }
    differ();
    if (settings_.brief) {
      out_ << "Files " << a.path << " and " << b.path << " differ\n";
      return;
    }
    Changes changes = minimal_changes(ids, options_);
    place_readably(changes, ids, a_lines, b_lines);
    const std::vector<Hunk> found = hunks(changes, settings_.context);
    progress_.erase();
    if (in_tree) {
      out_ << "diff" << settings_.option_words << ' ' << a.path << ' ' << b.path << '\n';
    }
    write_header(out_, header_name(a, 0), header_name(b, 1), color_);
    write_hunks(out_, found, a_lines, b_lines, changes, color_);
  }

  const Settings& settings_;
  std::istream& in_;
  std::ostream& out_;
  std::ostream& err_;
  lcs_cli::ProgressLine progress_;
  bool color_;
  lcs::Options options_;
  int status_ = 0;
};

}  // namespace

int run(std::span<const char* const> arguments, std::istream& in, std::ostream& out,
        std::ostream& err, lcs_cli::Terminals terminals) {
  Settings settings;
  try {
    settings = Parser(arguments).parse();
  } catch (const UsageError& error) {
    err << "lcs-diff: " << error.what() << " (see 'lcs-diff --help')\n";
    return 2;
  }
  if (settings.help) {
    out << kUsage << '\n' << kHelp;
    return out.flush() ? 0 : 2;
  }
  if (settings.version) {
    out << "lcs-diff " LCS_VERSION "\n";
    return out.flush() ? 0 : 2;
  }
  Session session(settings, in, out, err, terminals);
  const int status = session.compare(settings.paths[0], settings.paths[1]);
  if (!out.flush()) {
    err << "lcs-diff: cannot write the output\n";
    return 2;
  }
  return status;
}

}  // namespace lcs_diff
