// SPDX-License-Identifier: MIT
// Input of lcs-align. FASTA (Pearson and Lipman, 1988): a '>' line naming a
// record, then its sequence over any number of lines; only the first record
// is compared.
#include "align/sequence_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

namespace lcs_align {

namespace {

bool is_space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The first word of a FASTA header line (without its '>').
std::string record_name(std::string_view header, const std::string& fallback) {
  std::size_t begin = 0;
  while (begin < header.size() && is_space(header[begin])) {
    ++begin;
  }
  std::size_t end = begin;
  while (end < header.size() && !is_space(header[end])) {
    ++end;
  }
  return end > begin ? std::string(header.substr(begin, end - begin)) : fallback;
}

bool is_residue(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '*' || c == '-';
}

Sequence parse_fasta(std::string_view text, const std::string& name, std::ostream& warnings) {
  const auto warn = [&](const std::string& what) {
    warnings << "lcs-align: warning: " << name << ": " << what << '\n';
  };
  const auto plural = [](std::size_t count, const char* one, const char* more) {
    return std::to_string(count) + ' ' + (count == 1 ? one : more);
  };
  Sequence sequence{name, {}, {}};
  std::size_t line = 0;  // where the next line starts
  if (text.starts_with('>')) {
    const std::size_t header_end = std::min(text.find('\n'), text.size());
    sequence.name = record_name(text.substr(1, header_end - 1), name);
    line = header_end + 1;
  } else {
    warn("no FASTA header line: the whole file is read as one sequence");
  }
  std::size_t further_records = 0;
  std::size_t strangers = 0;
  while (line < text.size()) {
    const std::size_t end = std::min(text.find('\n', line), text.size());
    const std::string_view content = text.substr(line, end - line);
    line = end + 1;
    if (!content.empty() && content[0] == '>') {
      ++further_records;
    } else if (further_records == 0) {
      for (const char c : content) {
        if (!is_space(c)) {
          sequence.bytes.push_back(c);
          strangers += is_residue(c) ? 0U : 1U;
        }
      }
    }
  }
  if (sequence.bytes.empty()) {
    warn("the FASTA record '" + sequence.name + "' is empty");
  }
  if (strangers != 0) {
    warn(plural(strangers, "character", "characters") + " of the FASTA record '" + sequence.name +
         "' " + (strangers == 1 ? "is" : "are") + " not residue letters");
  }
  if (further_records != 0) {
    warn(plural(further_records, "further FASTA record", "further FASTA records") + " ignored");
  }
  return sequence;
}

// The whole content of a file, in binary. errno tells why on failure.
bool slurp(std::FILE* file, std::string& text) {
  char buffer[1 << 16];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) != 0) {
    text.append(buffer, got);
  }
  return std::ferror(file) == 0;
}

}  // namespace

bool has_fasta_name(std::string_view path) {
  const std::size_t dot = path.find_last_of("./\\");
  if (dot == std::string_view::npos || path[dot] != '.') {
    return false;
  }
  std::string extension(path.substr(dot + 1));
  for (char& c : extension) {
    c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  }
  static constexpr std::array<std::string_view, 7> kKnown{"fa",  "fasta", "fna", "faa",
                                                          "ffn", "frn",   "fas"};
  return std::ranges::find(kKnown, extension) != kKnown.end();
}

Sequence parse_sequence(std::string text, const std::string& name, bool fasta,
                        std::ostream& warnings) {
  if (fasta) {
    return parse_fasta(text, name, warnings);
  }
  std::string final_break = text.ends_with("\r\n") ? "\r\n" : text.ends_with('\n') ? "\n" : "";
  text.resize(text.size() - final_break.size());
  return {name, std::move(text), std::move(final_break)};
}

Sequence read_sequence(const std::string& path, Fasta fasta, std::istream& standard_input,
                       std::ostream& warnings) {
  const bool as_fasta = fasta == Fasta::always || (fasta == Fasta::by_name && has_fasta_name(path));
  std::string text;
  try {
    if (path == "-") {
      std::string chunk(1 << 16, '\0');
      while (standard_input.read(chunk.data(), static_cast<std::streamsize>(chunk.size())) ||
             standard_input.gcount() > 0) {
        text.append(chunk.data(), static_cast<std::size_t>(standard_input.gcount()));
      }
      if (standard_input.bad()) {
        throw Failure("cannot read standard input");
      }
      return parse_sequence(std::move(text), "stdin", as_fasta, warnings);
    }
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                               std::fclose);
    if (!file || !slurp(file.get(), text)) {
      throw Failure("cannot read '" + path + "': " + std::generic_category().message(errno));
    }
    return parse_sequence(std::move(text), path, as_fasta, warnings);
  } catch (const std::bad_alloc&) {
    throw Failure("'" + (path == "-" ? std::string("stdin") : path) +
                  "' is too large to hold in memory");
  }
}

}  // namespace lcs_align
