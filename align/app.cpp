// SPDX-License-Identifier: MIT
// The command line of lcs-align, and the run from reading to output.
#include "align/app.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "align/picture.h"
#include "align/sequence_file.h"
#include "align/units.h"
#include "cli/progress_line.h"
#include "lcs/alignment.h"

#ifndef LCS_VERSION
#define LCS_VERSION "unknown"
#endif

namespace lcs_align {

namespace {

constexpr std::string_view kUsage =
    "Usage: lcs-align [--length | --blocks | --subsequence | --similarity]\n"
    "                 [--by byte|char|word|line] [--fasta | --no-fasta] [--width N]\n"
    "                 [--threads N] FILE_A FILE_B\n";

constexpr std::string_view kHelp =
    "Compares two files by a longest common subsequence and shows how they line up.\n"
    "FILE is a path, or - for standard input (for one of them at most). A file named\n"
    "*.fa, *.fasta, *.fna, *.faa, *.ffn, *.frn or *.fas is FASTA: its first\n"
    "record's sequence is compared, without line breaks and white space. Any other\n"
    "file is compared as it is, less one final line break.\n"
    "\n"
    "  --by UNIT       compare bytes, UTF-8 characters (char), words (runs of white\n"
    "                  space and of the rest) or lines; default: char when both\n"
    "                  files are valid UTF-8, else byte\n"
    "  --fasta         read both files as FASTA, whatever their names\n"
    "  --no-fasta      read both files as they are, whatever their names\n"
    "  --length        print the length of the longest common subsequence\n"
    "  --blocks        print the matching blocks, one a line: A_OFFSET B_OFFSET SIZE,\n"
    "                  zero-based, in units, separated by tabs\n"
    "  --subsequence   print the common subsequence, then a line feed\n"
    "  --similarity    print 2 * LCS / (length A + length B) to four decimals\n"
    "  --width N       columns of the picture (default: the terminal's, else 60)\n"
    "  --threads N     threads to compare with (default and 0: one per processor core)\n"
    "  --help          print this help and exit\n"
    "  --version       print the version and exit\n"
    "\n"
    "Without a format option the alignment is drawn: '|' marks matching columns and\n"
    "a gap is drawn as a line ('-' without UTF-8, where a real '-' is '\\-'). Line\n"
    "feeds, tabs, carriage returns and other control characters show as symbols,\n"
    "invalid bytes as \\xHH. Words are drawn as a word diff ([-deleted-]{+inserted+}),\n"
    "lines side by side ('|' differ, '<' only in A, '>' only in B).\n"
    "Exit status: 0 when the files were compared, 2 on an error.\n";

enum class Format : unsigned char { picture, length, blocks, subsequence, similarity };

struct Request {
  Format format = Format::picture;
  std::optional<std::size_t> width;
  unsigned threads = 0;  // all the hardware has
  std::optional<Unit> unit;
  Fasta fasta = Fasta::by_name;
  std::vector<std::string> paths;
  bool help = false;
  bool version = false;
};

// A mistake on the command line: reported with a pointer to --help.
struct UsageError : Failure {
  using Failure::Failure;
};

// A whole number from `least` to `most` given to `option`, or a usage error.
std::size_t parse_count(std::string_view option, std::string_view text, std::size_t least,
                        std::size_t most) {
  std::size_t value = 0;
  bool valid = !text.empty() && text.size() <= 7;
  for (const char c : text) {
    valid = valid && c >= '0' && c <= '9';
    value = value * 10 + static_cast<std::size_t>(c - '0');
  }
  if (!valid || value < least || value > most) {
    throw UsageError(std::string(option) + " takes a whole number from " + std::to_string(least) +
                     " to " + std::to_string(most) + ", not '" + std::string(text) + "'");
  }
  return value;
}

Unit parse_unit(std::string_view text) {
  for (const Unit unit : {Unit::byte, Unit::character, Unit::word, Unit::line}) {
    if (text == unit_name(unit)) {
      return unit;
    }
  }
  throw UsageError("--by takes byte, char, word or line, not '" + std::string(text) + "'");
}

Request parse(std::span<const char* const> arguments) {
  Request request;
  bool format_given = false;
  bool fasta_given = false;
  bool options_end = false;
  const auto set_format = [&](Format format) {
    if (format_given && request.format != format) {
      throw UsageError("--length, --blocks, --subsequence and --similarity exclude each other");
    }
    format_given = true;
    request.format = format;
  };
  const auto set_fasta = [&](Fasta fasta) {
    if (fasta_given && request.fasta != fasta) {
      throw UsageError("--fasta and --no-fasta exclude each other");
    }
    fasta_given = true;
    request.fasta = fasta;
  };
  const auto set_value = [&](std::string_view option, std::string_view text) {
    if (option == "--width") {
      request.width = parse_count(option, text, 1, 1000000);
    } else if (option == "--threads") {
      request.threads = static_cast<unsigned>(parse_count(option, text, 0, 4096));
    } else {
      request.unit = parse_unit(text);
    }
  };
  const auto takes_value = [](std::string_view option) {
    return option == "--width" || option == "--threads" || option == "--by";
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
    } else if (argument == "--similarity") {
      set_format(Format::similarity);
    } else if (argument == "--fasta") {
      set_fasta(Fasta::always);
    } else if (argument == "--no-fasta") {
      set_fasta(Fasta::never);
    } else if (argument == "--help") {
      request.help = true;
    } else if (argument == "--version") {
      request.version = true;
    } else if (takes_value(argument)) {
      if (k + 1 == arguments.size()) {
        throw UsageError(std::string(argument) +
                         (argument == "--by" ? " needs a unit" : " needs a number"));
      }
      set_value(argument, arguments[++k]);
    } else if (takes_value(argument.substr(0, argument.find('=')))) {
      const std::size_t equals = argument.find('=');
      set_value(argument.substr(0, equals), argument.substr(equals + 1));
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

std::size_t digits(std::size_t value) { return std::to_string(value).size(); }

// The picture's columns: as asked, else to fit the terminal's lines, else 60
// (130 side by side, as diff draws it).
std::size_t picture_width(const Request& request, const Environment& environment, Unit unit,
                          std::size_t longest) {
  if (request.width) {
    return *request.width;
  }
  if (unit == Unit::line || unit == Unit::word) {
    return environment.out_columns != 0 ? environment.out_columns : 130;
  }
  const std::size_t margins = 2 * digits(longest) + 4;  // "A 12 " and " 34"
  if (environment.out_columns > margins + 10) {
    return environment.out_columns - margins;
  }
  return 60;
}

void compare(const Request& request, std::istream& in, std::ostream& out, std::ostream& err,
             const Environment& environment) {
  const Sequence a = read_sequence(request.paths[0], request.fasta, in, err);
  const Sequence b = read_sequence(request.paths[1], request.fasta, in, err);
  const Unit unit =
      request.unit.value_or(is_utf8(a.bytes) && is_utf8(b.bytes) ? Unit::character : Unit::byte);
  lcs_cli::ProgressLine progress_line(err, "lcs-align");
  lcs::Options options;
  options.threads = request.threads;
  if (environment.err_is_terminal) {
    options.progress = [&](double done) { progress_line(done); };
  }
  try {
    const Units a_units = split_units(a.bytes, unit, a.final_break);
    const Units b_units = split_units(b.bytes, unit, b.final_break);
    const Symbols symbols =
        unit == Unit::byte ? Symbols{} : symbols_of(a.bytes, a_units, b.bytes, b_units, unit);
    const std::span<const std::uint32_t> a_symbols(symbols.a);
    const std::span<const std::uint32_t> b_symbols(symbols.b);
    if (request.format == Format::length || request.format == Format::similarity) {
      const std::size_t length = unit == Unit::byte ? lcs::length(a.bytes, b.bytes, options)
                                                    : lcs::length(a_symbols, b_symbols, options);
      progress_line.erase();
      if (request.format == Format::length) {
        out << length << '\n';
      } else {
        out << similarity_text(length, a_units.size(), b_units.size()) << '\n';
      }
      return;
    }
    const std::vector<lcs::MatchingBlock> blocks =
        unit == Unit::byte
            ? lcs::compact_blocks(lcs::matching_blocks(a.bytes, b.bytes, options), a.bytes, b.bytes)
            : lcs::compact_blocks(lcs::matching_blocks(a_symbols, b_symbols, options), a_symbols,
                                  b_symbols);
    progress_line.erase();
    switch (request.format) {
      case Format::blocks:
        for (const lcs::MatchingBlock& block : blocks) {
          out << block.a << '\t' << block.b << '\t' << block.size << '\n';
        }
        break;
      case Format::subsequence:
        for (const lcs::MatchingBlock& block : blocks) {
          const std::size_t begin = a_units.begin(block.a);
          out.write(a.bytes.data() + begin,
                    static_cast<std::streamsize>(a_units.begin(block.a + block.size) - begin));
        }
        out << '\n';
        break;
      default: {
        const Look look{environment.utf8, picture_width(request, environment, unit,
                                                        std::max(a_units.size(), b_units.size()))};
        write_picture(out, {a, a_units}, {b, b_units}, unit, blocks, look);
        break;
      }
    }
  } catch (const std::bad_alloc&) {
    throw Failure("not enough memory to compare '" + a.name + "' and '" + b.name + "'");
  }
}

}  // namespace

int run(std::span<const char* const> arguments, std::istream& in, std::ostream& out,
        std::ostream& err, const Environment& environment) {
  try {
    const Request request = parse(arguments);
    if (request.help) {
      out << kUsage << '\n' << kHelp;
    } else if (request.version) {
      out << "lcs-align " LCS_VERSION "\n";
    } else {
      compare(request, in, out, err, environment);
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
