// Input of lcs-align. FASTA (Pearson and Lipman, 1988): a '>' line naming a
// record, then its sequence over any number of lines; only the first record
// is compared.
#include "align/sequence_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <new>
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

Sequence parse_fasta(std::string_view text, const std::string& name, std::ostream& warnings) {
  std::size_t line_end = text.find('\n');
  Sequence sequence{
      record_name(text.substr(1, line_end == std::string_view::npos ? std::string_view::npos
                                                                    : line_end - 1),
                  name),
      {}};
  std::size_t further_records = 0;
  while (line_end != std::string_view::npos) {
    const std::size_t line = line_end + 1;
    line_end = text.find('\n', line);
    const std::string_view content = text.substr(line, line_end - std::min(line_end, line));
    if (!content.empty() && content[0] == '>') {
      ++further_records;
    } else if (further_records == 0) {
      for (const char c : content) {
        if (!is_space(c)) {
          sequence.bytes.push_back(c);
        }
      }
    }
  }
  if (further_records != 0) {
    warnings << "lcs-align: warning: " << name << ": " << further_records << " further FASTA "
             << (further_records == 1 ? "record" : "records") << " ignored\n";
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

Sequence parse_sequence(std::string text, const std::string& name, std::ostream& warnings) {
  if (!text.empty() && text[0] == '>') {
    return parse_fasta(text, name, warnings);
  }
  if (text.ends_with("\r\n")) {
    text.resize(text.size() - 2);
  } else if (text.ends_with('\n')) {
    text.pop_back();
  }
  return {name, std::move(text)};
}

Sequence read_sequence(const std::string& path, std::istream& standard_input,
                       std::ostream& warnings) {
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
      return parse_sequence(std::move(text), "stdin", warnings);
    }
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                               std::fclose);
    if (!file || !slurp(file.get(), text)) {
      throw Failure("cannot read '" + path + "': " + std::generic_category().message(errno));
    }
    return parse_sequence(std::move(text), path, warnings);
  } catch (const std::bad_alloc&) {
    throw Failure("'" + (path == "-" ? std::string("stdin") : path) +
                  "' is too large to hold in memory");
  }
}

}  // namespace lcs_align
