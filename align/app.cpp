// The command line of lcs-align, and the run from reading to output.
#include "align/app.h"

#include <cstddef>
#include <cstdio>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "align/picture.h"
#include "align/sequence_file.h"
#include "cli/progress_line.h"
#include "lcs/alignment.h"

#ifndef LCS_VERSION
#define LCS_VERSION "unknown"
#endif

namespace lcs_align {

namespace {

constexpr std::string_view kUsage =
    "Usage: lcs-align [--length | --blocks | --subsequence] [--width N] [--threads N]\n"
    "                 FILE_A FILE_B\n";

constexpr std::string_view kHelp =
    "Compares two files by a longest common subsequence of their bytes and shows how\n"
    "they line up. FILE is a path, or - for standard input (for one of them at most).\n"
    "A file that starts with '>' is FASTA: its first record's sequence is compared,\n"
    "without line breaks and white space. Any other file is compared byte for byte,\n"
    "less one final line break.\n"
    "\n"
    "  --length        print the length of the longest common subsequence\n"
    "  --blocks        print the matching blocks, one a line: A_OFFSET B_OFFSET SIZE,\n"
    "                  zero-based, separated by tabs\n"
    "  --subsequence   print the common subsequence's bytes, then a line feed\n"
    "  --width N       columns per chunk of the picture (default 60)\n"
    "  --threads N     threads to compare with (default: one per processor core)\n"
    "  --help          print this help and exit\n"
    "  --version       print the version and exit\n"
    "\n"
    "Without a format option the alignment is drawn: '|' marks matching columns and\n"
    "'-' stands where only the other file has a character.\n"
    "Exit status: 0 when the files were compared, 2 on an error.\n";

enum class Format : unsigned char { picture, length, blocks, subsequence };

struct Request {
  Format format = Format::picture;
  std::size_t width = 60;
  unsigned threads = 0;  // all the hardware has
  std::vector<std::string> paths;
  bool help = false;
  bool version = false;
};

// A mistake on the command line: reported with a pointer to --help.
struct UsageError : Failure {
  using Failure::Failure;
};

// A whole number from 1 to `most` given to `option`, or a usage error.
std::size_t parse_count(std::string_view option, std::string_view text, std::size_t most) {
  std::size_t value = 0;
  bool valid = !text.empty() && text.size() <= 7;
  for (const char c : text) {
    valid = valid && c >= '0' && c <= '9';
    value = value * 10 + static_cast<std::size_t>(c - '0');
  }
  if (!valid || value == 0 || value > most) {
    throw UsageError(std::string(option) + " takes a whole number from 1 to " +
                     std::to_string(most) + ", not '" + std::string(text) + "'");
  }
  return value;
}

Request parse(std::span<const char* const> arguments) {
  Request request;
  bool format_given = false;
  bool options_end = false;
  const auto set_format = [&](Format format) {
    if (format_given && request.format != format) {
      throw UsageError("--length, --blocks and --subsequence exclude each other");
    }
    format_given = true;
    request.format = format;
  };
  const auto set_count = [&](std::string_view option, std::string_view text) {
    if (option == "--width") {
      request.width = parse_count(option, text, 1000000);
    } else {
      request.threads = static_cast<unsigned>(parse_count(option, text, 4096));
    }
  };
  for (std::size_t k = 0; k < arguments.size(); ++k) {
    const std::string_view argument = arguments[k];
    if (options_end || argument == "-" || !argument.starts_with('-')) {
      request.paths.emplace_back(argument);
    } else if (argument == "--") {
      options_end = true;
    } else if (argument == "--length") {
      set_format(Format::length);
    } else if (argument == "--blocks") {
      set_format(Format::blocks);
    } else if (argument == "--subsequence") {
      set_format(Format::subsequence);
    } else if (argument == "--help") {
      request.help = true;
    } else if (argument == "--version") {
      request.version = true;
    } else if (argument == "--width" || argument == "--threads") {
      if (k + 1 == arguments.size()) {
        throw UsageError(std::string(argument) + " needs a number");
      }
      set_count(argument, arguments[++k]);
    } else if (argument.starts_with("--width=") || argument.starts_with("--threads=")) {
      const std::size_t equals = argument.find('=');
      set_count(argument.substr(0, equals), argument.substr(equals + 1));
    } else {
      throw UsageError("unknown option '" + std::string(argument) + "'");
    }
  }
  if (request.help || request.version) {
    return request;
  }
  if (request.paths.size() != 2) {
    throw UsageError("expects two files, FILE_A and FILE_B, not " +
                     std::to_string(request.paths.size()));
  }
  if (request.paths[0] == "-" && request.paths[1] == "-") {
    throw UsageError("only one of the two files can be standard input ('-')");
  }
  return request;
}

void compare(const Request& request, std::istream& in, std::ostream& out, std::ostream& err,
             bool err_is_terminal) {
  const Sequence a = read_sequence(request.paths[0], in, err);
  const Sequence b = read_sequence(request.paths[1], in, err);
  lcs_cli::ProgressLine progress_line(err, "lcs-align");
  lcs::Options options;
  options.threads = request.threads;
  if (err_is_terminal) {
    options.progress = [&](double done) { progress_line(done); };
  }
  try {
    if (request.format == Format::length) {
      const std::size_t length = lcs::length(a.bytes, b.bytes, options);
      out << length << '\n';
      return;
    }
    const std::vector<lcs::MatchingBlock> blocks = lcs::matching_blocks(a.bytes, b.bytes, options);
    switch (request.format) {
      case Format::blocks:
        for (const lcs::MatchingBlock& block : blocks) {
          out << block.a << '\t' << block.b << '\t' << block.size << '\n';
        }
        break;
      case Format::subsequence:
        for (const lcs::MatchingBlock& block : blocks) {
          out.write(a.bytes.data() + block.a, static_cast<std::streamsize>(block.size));
        }
        out << '\n';
        break;
      default:
        write_picture(out, a, b, blocks, request.width);
        break;
    }
  } catch (const std::bad_alloc&) {
    throw Failure("not enough memory to compare '" + a.name + "' and '" + b.name + "'");
  }
}

}  // namespace

int run(std::span<const char* const> arguments, std::istream& in, std::ostream& out,
        std::ostream& err, bool err_is_terminal) {
  try {
    const Request request = parse(arguments);
    if (request.help) {
      out << kUsage << '\n' << kHelp;
    } else if (request.version) {
      out << "lcs-align " LCS_VERSION "\n";
    } else {
      compare(request, in, out, err, err_is_terminal);
    }
    out.flush();
    if (!out) {
      throw Failure("cannot write the output");
    }
    return 0;
  } catch (const UsageError& error) {
    err << "lcs-align: " << error.what() << " (see 'lcs-align --help')\n";
  } catch (const Failure& error) {
    err << "lcs-align: " << error.what() << '\n';
  }
  return 2;
}

}  // namespace lcs_align
