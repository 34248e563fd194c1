// SPDX-License-Identifier: MIT
// The console dialogue. Input follows the C library's "%d" and "%s" reads:
// white space (newlines included) separates the four items, which may stand on
// one line or on several. A length must be a whole token, so "7abc" is refused.
#include "console/dialogue.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <istream>
#include <memory>
#include <new>
#include <ostream>
#include <stdexcept>
#include <streambuf>
#include <string>

#include "lcs/lcs_algorithms.h"

namespace {

constexpr int kEnd = std::char_traits<char>::eof();

bool is_space(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Moves past white space; false when input ends first.
bool skip_space(std::streambuf& in) {
  for (int c = in.sgetc(); c != kEnd; c = in.snextc()) {
    if (!is_space(c)) {
      return true;
    }
  }
  return false;
}

struct Word {
  bool present;
  std::uint64_t dropped;  // characters past the capacity
};

// Reads the next word, storing its first `capacity` bytes at dest.
Word read_word(std::streambuf& in, char* dest, std::size_t capacity) {
  if (!skip_space(in)) {
    return {false, 0};
  }
  std::size_t kept = 0;
  std::uint64_t dropped = 0;
  for (int c = in.sgetc(); c != kEnd && !is_space(c); c = in.snextc()) {
    if (kept < capacity) {
      dest[kept++] = static_cast<char>(c);
    } else {
      ++dropped;
    }
  }
  return {true, dropped};
}

struct FreeBytes {
  void operator()(char* bytes) const { std::free(bytes); }
};
using Buffer = std::unique_ptr<char[], FreeBytes>;

// Position 0, `length` characters and a terminator, all zero. calloc leaves
// the pages of a large buffer untouched until they are used.
Buffer zeroed_buffer(int length) {
  return Buffer(static_cast<char*>(std::calloc(static_cast<std::size_t>(length) + 2, 1)));
}

// Writes one line on the error stream.
void report(std::ostream& err, const std::string& message) {
  err << "lcs: " << message << '\n' << std::flush;
}

int out_of_memory(std::ostream& err, const int (&lengths)[2]) {
  report(err, "not enough memory for strings of lengths " + std::to_string(lengths[0]) + " and " +
                  std::to_string(lengths[1]));
  return 1;
}

constexpr const char* kNames[2] = {"A", "B"};

}  // namespace

LengthToken read_length(std::istream& in) {
  std::streambuf& source = *in.rdbuf();
  if (!skip_space(source)) {
    return {LengthToken::Status::end_of_input, 0};
  }
  bool well_formed = true;
  bool negative = false;
  bool has_digits = false;
  std::int64_t value = 0;
  bool first = true;
  for (int c = source.sgetc(); c != kEnd && !is_space(c); c = source.snextc(), first = false) {
    if (first && (c == '+' || c == '-')) {
      negative = c == '-';
    } else if (c >= '0' && c <= '9' && well_formed) {
      has_digits = true;
      value = value * 10 + (c - '0');
      well_formed = value <= INT_MAX;
    } else {
      well_formed = false;  // keep reading: the whole token is refused
    }
  }
  if (!well_formed || !has_digits || (negative && value != 0)) {
    return {LengthToken::Status::not_a_length, 0};
  }
  return {LengthToken::Status::ok, static_cast<int>(value)};
}

namespace {

// Asks for and reads both declared lengths; false after an error line.
bool ask_lengths(std::istream& in, std::ostream& out, std::ostream& err, int (&lengths)[2]) {
  for (int s = 0; s < 2; ++s) {
    out << "Input the length of string " << kNames[s] << ": " << std::flush;
    const LengthToken token = read_length(in);
    const std::string what = std::string("the length of string ") + kNames[s];
    if (token.status == LengthToken::Status::end_of_input) {
      report(err, "input ended before " + what);
      return false;
    }
    if (token.status == LengthToken::Status::not_a_length) {
      report(err, what + " must be a whole number from 0 to 2147483647");
      return false;
    }
    lengths[s] = token.value;
  }
  return true;
}

// Reads both words into their buffers from byte 1, each cut to its declared
// length with a warning line; false after an error line.
bool read_words(std::istream& in, std::ostream& err, char* const (&buffers)[2],
                const int (&lengths)[2]) {
  std::uint64_t dropped[2] = {0, 0};
  for (int s = 0; s < 2; ++s) {
    const Word word = read_word(*in.rdbuf(), buffers[s] + 1, static_cast<std::size_t>(lengths[s]));
    if (!word.present) {
      report(err, std::string("input ended before string ") + kNames[s]);
      return false;
    }
    dropped[s] = word.dropped;
  }
  for (int s = 0; s < 2; ++s) {
    if (dropped[s] != 0) {
      err << "lcs: warning: string " << kNames[s] << " is longer than its declared length "
          << lengths[s] << "; " << dropped[s] << (dropped[s] == 1 ? " character" : " characters")
          << " dropped\n";
    }
  }
  return true;
}

}  // namespace

int run_dialogue(std::istream& in, std::ostream& out, std::ostream& err) {
  int lengths[2] = {0, 0};
  if (!ask_lengths(in, out, err, lengths)) {
    return 1;
  }
  const Buffer buffer_a = zeroed_buffer(lengths[0]);
  const Buffer buffer_b = buffer_a ? zeroed_buffer(lengths[1]) : nullptr;
  if (!buffer_a || !buffer_b) {
    return out_of_memory(err, lengths);
  }
  char* const buffers[2] = {buffer_a.get(), buffer_b.get()};
  if (!read_words(in, err, buffers, lengths)) {
    return 1;
  }
  int lcs = 0;
  try {
    lcs = Hirschberg_AlgB(buffers[0], buffers[1], lengths[0], lengths[1]);
  } catch (const std::bad_alloc&) {
    return out_of_memory(err, lengths);
  } catch (const std::length_error&) {
    return out_of_memory(err, lengths);
  }
  out << "Hirschberg_AlgB LCS : " << lcs << '\n' << std::flush;
  return 0;
}
