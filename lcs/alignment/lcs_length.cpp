// SPDX-License-Identifier: MIT
// LCS length of two sequences of any size: the common prefix and suffix
// matched at once, then the bit-vector passes of Allison and Dix (1986) along
// the longer string, restricted to a provably sufficient diagonal band when a
// cheap probe shows the strings are alike (Ukkonen, 1985). Time
// O(min·max/64) word steps, O(min·band/64) for alike strings; space O(max/64)
// words per distinct symbol. On two threads the upper and lower halves of the
// rows run side by side and meet in the middle (Hirschberg, 1975). Ids with
// few matching pairs take the threshold method instead (see sparse.h).
#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "lcs/alignment.h"
#include "lcs/alignment/band.h"
#include "lcs/alignment/common_ends.h"
#include "lcs/alignment/side_by_side.h"
#include "lcs/alignment/sparse.h"
#include "lcs/kernels/bit_vector.h"
#include "lcs/kernels/symbols.h"

namespace lcs {

namespace {

using namespace lcs_detail;

// The LCS length of two sequences with no common prefix or suffix.
template <class Symbol>
std::size_t bit_vector_length(Text<Symbol> rows, Text<Symbol> columns, unsigned threads,
                              Progress& progress) {
  if (rows.size() > columns.size()) {
    std::swap(rows, columns);  // the bit vector runs along the longer string
  }
  if (rows.empty()) {
    return 0;
  }
  DivisionSpace<Symbol> space;
  const bool share = thread_count(threads) > 1;
  const BandChoice choice = choose_band(
      rows, columns, space, share ? Probe::halves_side_by_side : Probe::one_pass, progress);
  const std::uint64_t cost = pass_cost(rows.size(), columns.size(), choice.band);
  progress.expect(cost);
  if (choice.length) {
    return *choice.length;
  }
  if (share && rows.size() > 1 && cost >= kParallelPassCost) {
    // The upper and lower halves of the rows side by side, met in the middle.
    const Crossing cross =
        divide(rows, columns, choice.band, space, progress, true, Middle::anywhere);
    return cross.upper + cross.lower;
  }
  return length_in_band(rows, columns, choice.band, space, progress);
}

// The LCS length when the shorter string fits in one word: one step a
// column, nothing allocated (Hyyro, 2004). Short pairs are the common case
// of callers that compare many names or words, where the fixed cost of a
// call is what counts.
std::size_t one_word_length(Text<char> rows, Text<char> columns) {
  if (rows.size() > columns.size()) {
    std::swap(rows, columns);
  }
  std::array<std::uint64_t, 256> masks{};
  for (std::size_t i = 0; i < rows.size(); ++i) {
    masks[static_cast<unsigned char>(rows[i])] |= std::uint64_t{1} << i;
  }
  std::uint64_t v = ~std::uint64_t{0};
  for (const char c : columns) {
    const std::uint64_t u = v & masks[static_cast<unsigned char>(c)];
    v = (v + u) | (v - u);
  }
  const std::uint64_t used =
      rows.size() == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << rows.size()) - 1;
  return static_cast<std::size_t>(std::popcount(~v & used));
}

template <class Symbol>
std::size_t wide_length(std::span<const Symbol> a, std::span<const Symbol> b,
                        const Options& options) {
  const Interned ids = intern(a, b);
  const CommonEnds<Id> ends = common_ends(Text<Id>(ids.a), Text<Id>(ids.b));
  Progress progress(options);
  const std::uint64_t pairs = matching_pairs(ends.a, ends.b, ids.shared);
  const std::size_t middle =
      !ends.a.empty() && !ends.b.empty() && pairs_pay(ends.a.size(), ends.b.size(), pairs)
          ? sparse_length(ends.a, ends.b, ids.shared, pairs, progress)
          : bit_vector_length(ends.a, ends.b, options.threads, progress);
  progress.finish();
  return ends.prefix + middle + ends.suffix;
}

double similarity_of(std::size_t lcs, std::size_t a_size, std::size_t b_size) {
  if (a_size == 0 && b_size == 0) {
    return 1.0;
  }
  return 2.0 * static_cast<double>(lcs) /
         (static_cast<double>(a_size) + static_cast<double>(b_size));
}

}  // namespace

std::size_t length(std::string_view a, std::string_view b, const Options& options) {
  const CommonEnds<char> ends = common_ends(text_of(a), text_of(b));
  Progress progress(options);
  const std::size_t middle = std::min(ends.a.size(), ends.b.size()) <= 64
                                 ? one_word_length(ends.a, ends.b)
                                 : bit_vector_length(ends.a, ends.b, options.threads, progress);
  progress.finish();
  return ends.prefix + middle + ends.suffix;
}

std::size_t length(std::span<const std::uint16_t> a, std::span<const std::uint16_t> b,
                   const Options& options) {
  return wide_length(a, b, options);
}

std::size_t length(std::span<const std::uint32_t> a, std::span<const std::uint32_t> b,
                   const Options& options) {
  return wide_length(a, b, options);
}

double similarity(std::string_view a, std::string_view b) {
  return similarity_of(length(a, b), a.size(), b.size());
}

double similarity(std::span<const std::uint16_t> a, std::span<const std::uint16_t> b) {
  return similarity_of(length(a, b), a.size(), b.size());
}

double similarity(std::span<const std::uint32_t> a, std::span<const std::uint32_t> b) {
  return similarity_of(length(a, b), a.size(), b.size());
}

}  // namespace lcs
