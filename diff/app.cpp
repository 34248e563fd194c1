// SPDX-License-Identifier: MIT
// The comparison of files and trees, as GNU diff walks them and words what it
// finds; and the call that git makes of an external diff.
#include "diff/app.h"

#include <algorithm>
#include <iterator>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "diff/changes.h"
#include "diff/files.h"
#include "diff/lines.h"
#include "diff/normal.h"
#include "diff/options.h"
#include "diff/print.h"
#include "diff/script.h"
#include "diff/side_by_side.h"
#include "diff/unified.h"
#include "lcs/alignment.h"

#ifndef LCS_VERSION
#define LCS_VERSION "unknown"
#endif

namespace lcs_diff {

namespace {

constexpr std::string_view kUsage = "Usage: lcs-diff [OPTION]... FILES\n";

// A file is binary to diff when its first block holds a zero byte.
constexpr std::size_t kFirstBlock = 4096;
// The block in which files are compared byte for byte as they stream.
constexpr std::size_t kStreamBlock = 1 << 16;

// One side of a comparison: where it is and what it is.
struct Operand {
  std::string path;
  Status status;
  [[nodiscard]] Kind kind() const { return status.kind; }
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

// Reads two files side by side in blocks, for a comparison of their bytes
// that stops at the first difference; a missing side reads as empty.
class ByteStreams {
 public:
  ByteStreams(const Operand& a, const Operand& b, std::istream& in) {
    if (a.kind() != Kind::missing) {
      a_.emplace(a.path, in);
    }
    if (b.kind() != Kind::missing) {
      b_.emplace(b.path, in);
    }
  }

  // The first block of each, for the test for binary files.
  void read_first_blocks() {
    fill(a_, a_bytes_, kFirstBlock);
    fill(b_, b_bytes_, kFirstBlock);
  }
  [[nodiscard]] bool looks_binary() const {
    return a_bytes_.find('\0') != std::string::npos || b_bytes_.find('\0') != std::string::npos;
  }

  // Whether the rest of the two streams is the same, in bounded memory.
  bool same_to_the_end() {
    for (;;) {
      const std::size_t common = std::min(a_bytes_.size(), b_bytes_.size());
      if (a_bytes_.compare(0, common, b_bytes_, 0, common) != 0) {
        return false;
      }
      a_bytes_.erase(0, common);
      b_bytes_.erase(0, common);
      const bool a_more = !a_bytes_.empty() || fill(a_, a_bytes_, kStreamBlock) != 0;
      const bool b_more = !b_bytes_.empty() || fill(b_, b_bytes_, kStreamBlock) != 0;
      if (!a_more || !b_more) {
        return a_more == b_more;
      }
    }
  }

  // The whole of both, for a comparison of their lines.
  void read_all(std::string& a, std::string& b) {
    if (a_) {
      a_->read_all(a_bytes_);
    }
    if (b_) {
      b_->read_all(b_bytes_);
    }
    a = std::move(a_bytes_);
    b = std::move(b_bytes_);
  }

 private:
  static std::size_t fill(std::optional<Reader>& reader, std::string& bytes, std::size_t size) {
    return reader ? reader->read(bytes, size) : 0;
  }

  std::optional<Reader> a_;
  std::optional<Reader> b_;
  std::string a_bytes_;
  std::string b_bytes_;
};

class Session {
 public:
  Session(const Settings& settings, std::istream& in, std::ostream& out, std::ostream& err,
          lcs_cli::Terminals terminals)
      : settings_(settings),
        in_(in),
        out_(out),
        err_(err),
        progress_(err, "lcs-diff"),
        look_{settings.color == Color::always ||
                  (settings.color == Color::automatic && terminals.out),
              settings.expand_tabs, settings.initial_tab} {
    options_.threads = settings.threads;
    if (terminals.err) {
      options_.progress = [this](double done) { progress_(done); };
    }
  }

  int compare(const std::string& path1, const std::string& path2) {
    try {
      Operand a{path1, status_of(path1)};
      Operand b{path2, status_of(path2)};
      if (a.kind() == Kind::directory && b.kind() == Kind::directory) {
        compare_directories(a, b);
      } else if (a.kind() == Kind::directory || b.kind() == Kind::directory) {
        Operand& directory = a.kind() == Kind::directory ? a : b;
        const Operand& file = a.kind() == Kind::directory ? b : a;
        if (file.path == "-") {
          throw FileError("cannot compare '-' to a directory");
        }
        directory.path = joined(directory.path, base_name(file.path));
        directory.status = status_of(directory.path);
        compare_files(a, b, false);
      } else {
        compare_files(a, b, false);
      }
    } catch (const FileError& error) {
      trouble(error.what());
    } catch (const std::bad_alloc&) {
      trouble("memory exhausted");
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

  [[nodiscard]] bool excluded(const std::string& name) const {
    return std::any_of(settings_.excludes.begin(), settings_.excludes.end(),
                       [&](const std::string& pattern) { return matches_pattern(pattern, name); });
  }

  void compare_directories(const Operand& a, const Operand& b) {
    const std::vector<std::string> a_names = directory_names(a.path, a.kind());
    const std::vector<std::string> b_names = directory_names(b.path, b.kind());
    std::vector<std::string> names;
    std::set_union(a_names.begin(), a_names.end(), b_names.begin(), b_names.end(),
                   std::back_inserter(names));
    for (const std::string& name : names) {
      if (excluded(name)) {
        continue;
      }
      try {
        compare_entry(Operand{joined(a.path, name), entry_status(a, a_names, name)},
                      Operand{joined(b.path, name), entry_status(b, b_names, name)}, a, b, name);
      } catch (const FileError& error) {
        trouble(error.what());
      }
    }
  }

  // What a directory's entry is: missing when the directory lacks the name,
  // trouble when it has the name but it leads nowhere (a dangling link).
  [[nodiscard]] Status entry_status(const Operand& directory, const std::vector<std::string>& names,
                                    const std::string& name) const {
    if (!std::binary_search(names.begin(), names.end(), name)) {
      return {};
    }
    const std::string path = joined(directory.path, name);
    const Status status = status_of(path, !settings_.no_dereference);
    if (status.kind == Kind::missing) {
      throw FileError(path + ": No such file or directory");
    }
    return status;
  }

  // Whether a file on one side only is compared with nothing (-N, and
  // --unidirectional-new-file for files only on the second side).
  [[nodiscard]] bool as_new(const Operand& a) const {
    return settings_.new_file || (settings_.new_first_file && a.kind() == Kind::missing);
  }

  void compare_entry(const Operand& a, const Operand& b, const Operand& a_directory,
                     const Operand& b_directory, const std::string& name) {
    if (a.kind() == Kind::missing || b.kind() == Kind::missing) {
      const Operand& present = a.kind() == Kind::missing ? b : a;
      if (as_new(a) && (present.kind() == Kind::file ||
                        (present.kind() == Kind::directory && settings_.recursive))) {
        present.kind() == Kind::file ? compare_files(a, b, true) : compare_directories(a, b);
      } else {
        out_ << "Only in " << (a.kind() == Kind::missing ? b_directory : a_directory).path << ": "
             << name << '\n';
        differ();
      }
    } else if (a.kind() == Kind::directory && b.kind() == Kind::directory) {
      if (settings_.recursive) {
        compare_directories(a, b);
      } else {
        out_ << "Common subdirectories: " << a.path << " and " << b.path << '\n';
      }
    } else if (a.kind() == Kind::file && b.kind() == Kind::file) {
      compare_files(a, b, true);
    } else if (a.kind() == Kind::symbolic_link && b.kind() == Kind::symbolic_link) {
      if (link_target(a.path) != link_target(b.path)) {
        out_ << "Symbolic links " << a.path << " and " << b.path << " differ\n";
        differ();
      }
    } else {
      // Special files are never opened in a walk: a FIFO would block, a device never end.
      out_ << "File " << a.path << " is " << kind_name(a.status) << " while file " << b.path
           << " is " << kind_name(b.status) << '\n';
      differ();
    }
  }

  [[nodiscard]] std::string header_name(const Operand& operand, std::size_t label) const {
    if (label < settings_.labels.size()) {
      return settings_.labels[label];
    }
    return operand.path + '\t' + modification_time(operand.path, operand.kind());
  }

  // Whether -q can be answered from the bytes alone: nothing makes unequal lines equal.
  [[nodiscard]] bool bytes_decide() const {
    return settings_.equality == Equality{} && settings_.ignore.empty();
  }

  void identical(const Operand& a, const Operand& b) {
    if (settings_.report_identical) {
      out_ << "Files " << a.path << " and " << b.path << " are identical\n";
    }
  }

  void files_differ(const Operand& a, const Operand& b, bool binary) {
    out_ << (binary && !settings_.brief ? "Binary files " : "Files ") << a.path << " and " << b.path
         << " differ\n";
    differ();
  }

  // Compares two files (one may be missing, as empty) and prints their diff;
  // `in_tree` adds the "diff" line that tells the pairs of a tree apart.
  void compare_files(const Operand& a, const Operand& b, bool in_tree) {
    if (a.kind() == Kind::missing || b.kind() == Kind::missing) {
      const bool allowed = a.kind() != b.kind() && as_new(a);
      if (!allowed) {
        for (const Operand* operand : {&a, &b}) {
          if (operand->kind() == Kind::missing) {
            trouble(operand->path + ": No such file or directory");
          }
        }
        return;
      }
    }
    if (same_file(a.status, b.status) && a.path != "-" && b.path != "-") {
      identical(a, b);
      return;
    }
    const bool brief_by_bytes = settings_.brief && bytes_decide();
    if (brief_by_bytes && a.status.sized && b.status.sized && a.status.size != b.status.size) {
      files_differ(a, b, false);
      return;
    }
    ByteStreams streams(a, b, in_);
    streams.read_first_blocks();
    const bool binary = !settings_.text && streams.looks_binary();
    if (binary || brief_by_bytes) {
      streams.same_to_the_end() ? identical(a, b) : files_differ(a, b, binary);
      return;
    }
    std::string a_bytes;
    std::string b_bytes;
    streams.read_all(a_bytes, b_bytes);
    if (a_bytes == b_bytes) {
      identical(a, b);
      return;
    }
    if (settings_.equality.strip_trailing_cr) {
      a_bytes = without_trailing_crs(a_bytes);
      b_bytes = without_trailing_crs(b_bytes);
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
      identical(a, b);  // equal under -i, -b, -w and the like
      return;
    }
    Changes changes = minimal_changes(ids, options_);
    place_readably(changes, ids, a_lines, b_lines);
    const std::vector<Group> groups = groups_of(changes, a_lines, b_lines, settings_.ignore);
    progress_.erase();
    if (!any_shown(groups)) {
      return;  // only changes that -B or -I ignore
    }
    differ();
    if (settings_.brief) {
      files_differ(a, b, false);
      return;
    }
    if (in_tree) {
      out_ << "diff" << settings_.option_words << ' ' << a.path << ' ' << b.path << '\n';
    }
    write_format(a, b, a_lines, b_lines, changes, groups);
  }

  void write_format(const Operand& a, const Operand& b, std::span<const std::string_view> a_lines,
                    std::span<const std::string_view> b_lines, const Changes& changes,
                    std::span<const Group> groups) {
    const std::size_t context = settings_.context.value_or(3);
    FunctionLines functions(settings_.function_patterns, a_lines);
    switch (settings_.format) {
      case Format::normal:
        write_normal(out_, groups, a_lines, b_lines, look_);
        break;
      case Format::ed:
        if (adds_incomplete_line(groups, b_lines)) {
          trouble(b.path + ": No newline at end of file");
        } else {
          write_ed(out_, groups, b_lines);
        }
        break;
      case Format::side_by_side:
        write_side_by_side(out_, changes, a_lines, b_lines, settings_.side_by_side, look_);
        break;
      case Format::unified:
      case Format::context: {
        const bool unified = settings_.format == Format::unified;
        const std::vector<Hunk> found = hunks_of(groups, a_lines.size(), b_lines.size(), context);
        write_header(out_, header_name(a, 0), header_name(b, 1), look_, !unified);
        if (unified) {
          write_hunks(out_, found, a_lines, b_lines, changes, look_, &functions);
        } else {
          write_context_hunks(out_, found, a_lines, b_lines, groups, look_, &functions);
        }
        break;
      }
    }
  }

  const Settings& settings_;
  std::istream& in_;
  std::ostream& out_;
  std::ostream& err_;
  lcs_cli::ProgressLine progress_;
  Look look_;
  lcs::Options options_;
  int status_ = 0;
};

// git's call of an external diff: PATH OLD-FILE OLD-HEX OLD-MODE NEW-FILE
// NEW-HEX NEW-MODE, and NEW-PATH and a note for a rename.
bool is_git_call(std::span<const char* const> arguments) {
  if (arguments.size() != 7 && arguments.size() != 9) {
    return false;
  }
  const auto mode = [](std::string_view text) {
    return text == "." || (text.size() == 6 && std::all_of(text.begin(), text.end(), [](char c) {
                             return c >= '0' && c <= '7';
                           }));
  };
  const auto hex = [](std::string_view text) {
    return text == "." || (!text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
             return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           }));
  };
  return mode(arguments[3]) && mode(arguments[6]) && hex(arguments[2]) && hex(arguments[5]) &&
         !std::string_view(arguments[0]).starts_with('-');
}

}  // namespace

int run(std::span<const char* const> arguments, std::istream& in, std::ostream& out,
        std::ostream& err, lcs_cli::Terminals terminals) {
  try {
    Settings settings;
    const bool from_git = is_git_call(arguments);
    if (from_git) {
      settings.format = Format::unified;
      settings.labels = {std::string("a/") + arguments[0],
                         std::string("b/") + arguments[arguments.size() == 9 ? 7 : 0]};
      settings.paths = {arguments[1], arguments[4]};
    } else {
      try {
        settings = parse_settings(arguments);
      } catch (const UsageError& error) {
        err << "lcs-diff: " << error.what() << " (see 'lcs-diff --help')\n";
        return 2;
      }
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
    int status = session.compare(settings.paths[0], settings.paths[1]);
    if (!out.flush()) {
      err << "lcs-diff: cannot write the output\n";
      return 2;
    }
    // git takes any status but 0 for a diff that died.
    return from_git && status == 1 ? 0 : status;
  } catch (const std::bad_alloc&) {
    err << "lcs-diff: memory exhausted\n";
    return 2;
  }
}

}  // namespace lcs_diff
