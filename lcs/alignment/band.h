// SPDX-License-Identifier: MIT
// Bit-vector passes over a diagonal band of the LCS table, and the choice of
// a band narrow enough to be fast and wide enough to hold an optimal path.
//
// A path from (0, 0) to (rows, columns) that touches diagonal k = j - i makes
// at least |k| + |d - k| insertions and deletions (d = columns - rows), so one
// that leaves the band of diagonals [min(0, d) - w, max(0, d) + w] keeps at
// most min(rows, columns) - w - 1 matches (Ukkonen, 1985). A pass outside the
// band leaves V's words as they are: every value it computes is then still the
// length of a real common subsequence, and inside the band it is at least the
// best path that stays there.
#ifndef LCS_ALIGNMENT_BAND_H
#define LCS_ALIGNMENT_BAND_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "lcs/alignment/progress.h"
#include "lcs/kernels/bit_vector.h"
#include "lcs/kernels/id_masks.h"
#include "lcs/kernels/symbols.h"

namespace lcs_detail {

struct Band {
  std::int64_t low;   // lowest diagonal j - i evaluated
  std::int64_t high;  // highest

  static Band full() { return {INT64_MIN / 4, INT64_MAX / 4}; }
  // Every diagonal within `slack` of the two corners' diagonals.
  static Band around(std::size_t rows, std::size_t columns, std::size_t slack);
};

// The words [begin, end) of V that a pass in `band` evaluates in row `row`
// (counted from 0 in the pass's direction); empty once the band has left the
// table. Both ends only move right from one row to the next.
struct Window {
  std::size_t begin;
  std::size_t end;
};
inline Window row_window(std::size_t row, std::size_t columns, Band band) {
  const auto at = static_cast<std::int64_t>(row);
  const std::int64_t last_column = static_cast<std::int64_t>(columns) - 1;
  const std::int64_t first = std::max<std::int64_t>(0, at + band.low);
  if (first > last_column) {
    return {words_for(columns), words_for(columns)};
  }
  return {static_cast<std::size_t>(first) / kWordBits,
          static_cast<std::size_t>(std::min(last_column, at + band.high)) / kWordBits + 1};
}

// Word steps a pass of `rows` rows over `columns` columns makes in `band`.
std::uint64_t pass_cost(std::size_t rows, std::size_t columns, Band band);

// The band that must hold an optimal path when the LCS length is `lcs`, or
// the whole table when that band would cost nearly as much.
Band band_for(std::size_t rows, std::size_t columns, std::size_t lcs);

// The masks of a text of bytes, or of ids.
template <class Symbol>
struct MasksOf;
template <>
struct MasksOf<char> {
  using type = MatchMasks;
};
template <>
struct MasksOf<Id> {
  using type = IdMasks;
};
template <class Symbol>
using Masks = typename MasksOf<Symbol>::type;

// Applies the symbols of `rows` (from its end when reversed) to V, whose
// bits stand for the columns that `masks` was built from, evaluating `band`;
// the first of them is row `first_row` of the table read in that direction.
template <class Symbol>
void run_pass(Text<Symbol> rows, bool reversed, std::size_t first_row, Masks<Symbol>& masks,
              std::size_t columns, Band band, Words& V, Progress& progress);

// Where an optimal path crosses from the upper rows to the lower ones.
struct Crossing {
  std::size_t column;  // the path passes through (upper rows, column)
  std::size_t upper;   // LCS length of the upper rows and columns [0, column)
  std::size_t lower;   // LCS length of the lower rows and columns [column, n)
};

// Given V after the upper rows (forward) and V after the lower rows (both
// strings read from their ends), the first column with the largest total,
// among the columns that `band` holds at row `upper_rows`.
Crossing best_crossing(const Words& forward, const Words& backward, std::size_t columns,
                       std::size_t upper_rows, Band band);

// The words of V that a pass evaluated, row after row, for a traceback: row
// r's are V's words [first[r], first[r] + start[r + 1] - start[r]), stored at
// words[start[r], start[r + 1]).
struct KeptRows {
  Words words;
  std::vector<std::size_t> first;
  std::vector<std::size_t> start;
};

// Storage for one division, kept from one division to the next.
template <class Symbol>
struct DivisionSpace {
  typename Masks<Symbol>::Shared shared;  // what the masks of both directions read
  Masks<Symbol> forward_masks;
  Masks<Symbol> backward_masks;
  Words forward;
  Words backward;
  KeptRows kept;
};

// Hirschberg's division (1975): the upper half of the rows forward, the lower
// half backward (both strings read from their ends), each in `band`, on two
// threads when `parallel`; an optimal path crosses the middle where the two
// counts add up to the most. Masks already built from `columns` are reused.
// `Middle::anywhere` lets two threads take rows in batches from either end
// until they meet, so that neither waits for the other: the crossing's
// column then depends on timing, but not its total, the LCS length.
enum class Middle : std::uint8_t { half, anywhere };
template <class Symbol>
Crossing divide(Text<Symbol> rows, Text<Symbol> columns, Band band, DivisionSpace<Symbol>& space,
                Progress& progress, bool parallel, Middle middle = Middle::half);

// The band a pass of rows against columns (rows the shorter) must evaluate,
// from a probe of a narrow band: the probe's result is a common subsequence,
// so when it falls short of the longer path the band has to allow for is
// known. Carries the LCS length when the probe alone proved it. The probe is
// one pass, or a division, which can use two threads; a caller whose later
// choices must not depend on the threads always asks for a division. The
// probe reports no progress but stops when `progress` is asked to.
enum class Probe : std::uint8_t { one_pass, halves, halves_side_by_side };
struct BandChoice {
  Band band;
  std::optional<std::size_t> length;
};
template <class Symbol>
BandChoice choose_band(Text<Symbol> rows, Text<Symbol> columns, DivisionSpace<Symbol>& space,
                       Probe how, const Progress& progress);

// Passes smaller than this many word steps are not worth a thread.
inline constexpr std::uint64_t kParallelPassCost = std::uint64_t{1} << 18;

// The LCS length from a fresh V after the rows, in `band`, with the forward
// masks of `space`.
template <class Symbol>
std::size_t length_in_band(Text<Symbol> rows, Text<Symbol> columns, Band band,
                           DivisionSpace<Symbol>& space, Progress& progress);

// One longest common subsequence of rows and columns, as the (row, column)
// of each match in order, when `band` holds an optimal path: one forward pass
// that keeps the words of V it evaluates, traced back from the far corner.
// Time: the pass and a step per row and column, each counting the zeros of
// one row's words; space: a word per word step of the pass.
using Matches = std::vector<std::pair<std::size_t, std::size_t>>;
template <class Symbol>
void trace_in_band(Text<Symbol> rows, Text<Symbol> columns, Band band, DivisionSpace<Symbol>& space,
                   Progress& progress, Matches& matches);

// The slack of the probe: alike strings whose optimal path strays less than
// this from the diagonal are settled by the probe alone.
inline constexpr std::size_t kProbeSlack = 256;

}  // namespace lcs_detail

#endif  // LCS_ALIGNMENT_BAND_H
