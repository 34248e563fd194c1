// SPDX-License-Identifier: MIT
// The engine as a WebAssembly module: plain C functions over buffers in the
// module's memory, which js/lcs.mjs wraps. Texts come in as UTF-8 and are cut
// into tokens here (code points or lines), so that JavaScript never loops
// over them; positions go back as UTF-16 offsets, JavaScript's own. A call
// returns a status (0, or out of memory, or a bad argument) and leaves its
// result in one buffer that the next call replaces.
#include <cstddef>
#include <cstdint>
#include <new>
#include <numeric>
#include <span>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "diff/changes.h"
#include "lcs/alignment.h"

namespace {

enum Status : int { kOk = 0, kOutOfMemory = 1, kBadArgument = 2 };

// The last call's result, read by JavaScript through lcs_result().
std::vector<std::uint32_t> result;

// One side of a text: its tokens' ids and where each token starts in UTF-16
// units, with the text's length at the end.
struct Tokens {
  std::vector<std::uint32_t> symbols;
  std::vector<std::uint32_t> starts;
};

// The UTF-16 units of the UTF-8 sequence that starts with `lead`.
std::uint32_t utf16_units(unsigned char lead) { return lead >= 0xF0 ? 2 : 1; }

Tokens code_points(std::string_view text) {
  Tokens tokens;
  std::uint32_t at = 0;
  for (std::size_t k = 0; k < text.size();) {
    const auto lead = static_cast<unsigned char>(text[k]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    std::uint32_t point = length == 1 ? lead : lead & (0x3FU >> (length - 1));
    for (std::size_t j = 1; j < length && k + j < text.size(); ++j) {
      point = (point << 6) | (static_cast<unsigned char>(text[k + j]) & 0x3FU);
    }
    tokens.symbols.push_back(point);
    tokens.starts.push_back(at);
    at += utf16_units(lead);
    k += length;
  }
  tokens.starts.push_back(at);
  return tokens;
}

std::uint32_t utf16_length(std::string_view text) {
  std::uint32_t units = 0;
  for (const char byte : text) {
    const auto value = static_cast<unsigned char>(byte);
    if ((value & 0xC0) != 0x80) {
      units += utf16_units(value);
    }
  }
  return units;
}

std::vector<std::uint32_t> line_starts(std::span<const std::string_view> lines) {
  std::vector<std::uint32_t> starts{0};
  for (const std::string_view line : lines) {
    starts.push_back(starts.back() + utf16_length(line));
  }
  return starts;
}

// The result of a diff: the number of runs and of tokens in a and in b, then
// for each run its kind (0 equal, 1 removed, 2 added) and its token range
// [begin, end) (in b for equal runs, whose value is b's), then the token starts of a and of b (each
// with the end).
void put_runs(const std::vector<bool>& a_changed, const std::vector<bool>& b_changed,
              const std::vector<std::uint32_t>& a_starts,
              const std::vector<std::uint32_t>& b_starts) {
  std::vector<std::uint32_t> runs;
  const auto add = [&runs](std::uint32_t kind, std::size_t begin, std::size_t end) {
    if (begin < end) {
      runs.insert(runs.end(),
                  {kind, static_cast<std::uint32_t>(begin), static_cast<std::uint32_t>(end)});
    }
  };
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a_changed.size() || j < b_changed.size()) {
    const std::size_t removed_from = i;
    while (i < a_changed.size() && a_changed[i]) {
      ++i;
    }
    add(1, removed_from, i);
    const std::size_t added_from = j;
    while (j < b_changed.size() && b_changed[j]) {
      ++j;
    }
    add(2, added_from, j);
    const std::size_t equal_from = j;
    while (i < a_changed.size() && j < b_changed.size() && !a_changed[i] && !b_changed[j]) {
      ++i;
      ++j;
    }
    add(0, equal_from, j);
  }
  result.assign({static_cast<std::uint32_t>(runs.size() / 3),
                 static_cast<std::uint32_t>(a_changed.size()),
                 static_cast<std::uint32_t>(b_changed.size())});
  result.insert(result.end(), runs.begin(), runs.end());
  result.insert(result.end(), a_starts.begin(), a_starts.end());
  result.insert(result.end(), b_starts.begin(), b_starts.end());
}

template <class Call>
int guarded(Call&& call) {
  try {
    call();
    return kOk;
  } catch (const std::bad_alloc&) {
    result.clear();
    result.shrink_to_fit();
    return kOutOfMemory;
  } catch (const std::exception&) {
    return kBadArgument;
  }
}

// Every thread there is: one in this module, which has none, and the engine
// knows it.
lcs::Options all_threads() {
  lcs::Options options;
  options.threads = 0;
  return options;
}

}  // namespace

extern "C" {

// Memory for the arguments; null when there is none.
void* lcs_alloc(std::size_t bytes) { return ::operator new(bytes, std::nothrow); }
void lcs_free(void* memory) { ::operator delete(memory); }

// The last result and its size in 32-bit words.
const std::uint32_t* lcs_result() { return result.data(); }
std::size_t lcs_result_size() { return result.size(); }

// LCS length of two sequences of 32-bit symbols, into result[0..1] (low,
// high 32 bits).
int lcs_length(const std::uint32_t* a, std::size_t a_size, const std::uint32_t* b,
               std::size_t b_size) {
  return guarded([&] {
    const std::size_t length =
        lcs::length(std::span(a, a_size), std::span(b, b_size), all_threads());
    result.assign(
        {static_cast<std::uint32_t>(length), static_cast<std::uint32_t>(length >> 16 >> 16)});
  });
}

// The matching blocks of a longest common subsequence of two sequences of
// 32-bit symbols, compacted as lcs-diff does: (a, b, size) triples.
int lcs_blocks(const std::uint32_t* a, std::size_t a_size, const std::uint32_t* b,
               std::size_t b_size) {
  return guarded([&] {
    const std::span<const std::uint32_t> left(a, a_size);
    const std::span<const std::uint32_t> right(b, b_size);
    result.clear();
    for (const lcs::MatchingBlock& block :
         lcs::compact_blocks(lcs::matching_blocks(left, right, all_threads()), left, right)) {
      result.insert(result.end(),
                    {static_cast<std::uint32_t>(block.a), static_cast<std::uint32_t>(block.b),
                     static_cast<std::uint32_t>(block.size)});
    }
  });
}

// The fewest changes between two UTF-8 texts, by code point (by_lines 0) or
// by line (1, each line with its line feed, changes placed as lcs-diff
// places them): the runs of put_runs.
int lcs_diff_text(const char* a, std::size_t a_size, const char* b, std::size_t b_size,
                  int by_lines) {
  return guarded([&] {
    const std::string_view left(a, a_size);
    const std::string_view right(b, b_size);
    if (by_lines != 0) {
      const std::vector<std::string_view> a_lines = lcs::split_lines(left);
      const std::vector<std::string_view> b_lines = lcs::split_lines(right);
      const lcs::DenseIds ids = lcs::dense_ids(a_lines, b_lines);
      lcs_diff::Changes changes = lcs_diff::minimal_changes(ids, all_threads());
      lcs_diff::place_readably(changes, ids, a_lines, b_lines);
      put_runs(changes.a, changes.b, line_starts(a_lines), line_starts(b_lines));
      return;
    }
    const Tokens a_points = code_points(left);
    const Tokens b_points = code_points(right);
    lcs::DenseIds ids;
    ids.a = a_points.symbols;
    ids.b = b_points.symbols;
    const lcs_diff::Changes changes = lcs_diff::minimal_changes(ids, all_threads());
    put_runs(changes.a, changes.b, a_points.starts, b_points.starts);
  });
}

// The same for two sequences of 32-bit symbols (words, tokens, items): the
// runs, with token starts 0, 1, 2, ...
int lcs_diff_symbols(const std::uint32_t* a, std::size_t a_size, const std::uint32_t* b,
                     std::size_t b_size) {
  return guarded([&] {
    lcs::DenseIds ids;
    ids.a.assign(a, a + a_size);
    ids.b.assign(b, b + b_size);
    const lcs_diff::Changes changes = lcs_diff::minimal_changes(ids, all_threads());
    std::vector<std::uint32_t> a_starts(a_size + 1);
    std::vector<std::uint32_t> b_starts(b_size + 1);
    std::iota(a_starts.begin(), a_starts.end(), 0U);
    std::iota(b_starts.begin(), b_starts.end(), 0U);
    put_runs(changes.a, changes.b, a_starts, b_starts);
  });
}

}  // extern "C"
