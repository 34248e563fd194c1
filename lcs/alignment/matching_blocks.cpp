// SPDX-License-Identifier: MIT
// One longest common subsequence in linear space: Hirschberg's divide and
// conquer (1975) whose forward and backward passes are bit vectors (Allison
// and Dix, 1986), restricted to the diagonal band that holds an optimal path
// (Ukkonen, 1985; each half's LCS length is known from its parent's crossing,
// so its band is too), common prefixes and suffixes matched at once, and at
// the bottom, once a piece's pass is small, one pass traced back from its
// kept words. Ids with few matching pairs go to the threshold method instead
// (see sparse.h). Time about twice lcs::length; space O(|a| + |b|) plus the
// result.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "lcs/alignment.h"
#include "lcs/alignment/band.h"
#include "lcs/alignment/block_writer.h"
#include "lcs/alignment/common_ends.h"
#include "lcs/alignment/side_by_side.h"
#include "lcs/alignment/sparse.h"
#include "lcs/kernels/bit_vector.h"
#include "lcs/kernels/symbols.h"

namespace lcs {

namespace {

using namespace lcs_detail;

// Sub-problems whose pass takes at most this many word steps are traced back
// from the words of that pass (512 KiB of them) instead of divided.
constexpr std::uint64_t kTracedWords = std::uint64_t{1} << 16;

// A rectangle of the table: a[a, a + a_size) against b[b, b + b_size).
struct Piece {
  std::size_t a;
  std::size_t b;
  std::size_t a_size;
  std::size_t b_size;
};

// A piece seen with its shorter string along the rows, so that bit vectors run
// along the longer one; translates row and column positions back to a and b.
template <class Symbol>
class Oriented {
 public:
  Oriented(Text<Symbol> a, Text<Symbol> b, const Piece& piece)
      : piece_(piece), rows_are_a_(piece.a_size <= piece.b_size) {
    const Text<Symbol> in_a = a.subspan(piece.a, piece.a_size);
    const Text<Symbol> in_b = b.subspan(piece.b, piece.b_size);
    rows = rows_are_a_ ? in_a : in_b;
    columns = rows_are_a_ ? in_b : in_a;
  }

  // Rows [row, row + row_count) against columns [column, column + column_count).
  [[nodiscard]] Piece part(std::size_t row, std::size_t row_count, std::size_t column,
                           std::size_t column_count) const {
    return rows_are_a_ ? Piece{piece_.a + row, piece_.b + column, row_count, column_count}
                       : Piece{piece_.a + column, piece_.b + row, column_count, row_count};
  }
  // `size` matches along the diagonal from (row, column).
  void emit(BlockWriter& out, std::size_t row, std::size_t column, std::size_t size) const {
    const Piece p = part(row, size, column, size);
    out.add(p.a, p.b, size);
  }

  Text<Symbol> rows;
  Text<Symbol> columns;

 private:
  Piece piece_;
  bool rows_are_a_;
};

// `shared`: for ids, the number of symbols that occur in both sequences.
template <class Symbol>
class Aligner {
 public:
  Aligner(Text<Symbol> a, Text<Symbol> b, Progress& progress, unsigned threads, Id shared = 0)
      : a_(a), b_(b), progress_(progress), threads_(thread_count(threads)), shared_(shared) {}

  std::vector<MatchingBlock> run() {
    const CommonEnds<Symbol> ends = common_ends(a_, b_);
    out_.add(0, 0, ends.prefix);
    const Piece middle{ends.prefix, ends.prefix, ends.a.size(), ends.b.size()};
    const Oriented<Symbol> view(a_, b_, middle);
    if (!view.rows.empty() && !solved_sparsely(ends)) {
      const BandChoice choice =
          choose_band(view.rows, view.columns, space_,
                      threads_ > 1 ? Probe::halves_side_by_side : Probe::halves, progress_);
      if (choice.length != 0) {
        progress_.expect(2 * pass_cost(view.rows.size(), view.columns.size(), choice.band));
        solve_middle(middle, choice.length, choice.band);
      }
    }
    out_.add(a_.size() - ends.suffix, b_.size() - ends.suffix, ends.suffix);
    return out_.take();
  }

 private:
  // Ids with few matching pairs: the threshold method solves the middle.
  bool solved_sparsely([[maybe_unused]] const CommonEnds<Symbol>& ends) {
    if constexpr (std::is_same_v<Symbol, Id>) {
      const std::uint64_t pairs = matching_pairs(ends.a, ends.b, shared_);
      if (pairs_pay(ends.a.size(), ends.b.size(), pairs)) {
        sparse_blocks(ends.a, ends.b, shared_, pairs, ends.prefix, out_, progress_);
        return true;
      }
    }
    return false;
  }

  // A sub-problem whose LCS length `lcs` is known from its parent.
  void solve(const Piece& piece, std::size_t lcs) {
    Text<Symbol> x = a_.subspan(piece.a, piece.a_size);
    Text<Symbol> y = b_.subspan(piece.b, piece.b_size);
    const std::size_t prefix = common_prefix(x, y);
    out_.add(piece.a, piece.b, prefix);
    x = x.subspan(prefix);
    y = y.subspan(prefix);
    const std::size_t suffix = common_suffix(x, y);
    const Piece middle{piece.a + prefix, piece.b + prefix, x.size() - suffix, y.size() - suffix};
    const std::size_t rest = lcs - prefix - suffix;
    if (rest != 0) {
      const std::size_t shorter = std::min(middle.a_size, middle.b_size);
      solve_middle(middle, rest, band_for(shorter, std::max(middle.a_size, middle.b_size), rest));
    }
    out_.add(middle.a + middle.a_size, middle.b + middle.b_size, suffix);
  }

  // A piece with no common prefix or suffix whose optimal paths `band` holds.
  void solve_middle(const Piece& piece, std::optional<std::size_t> lcs, Band band) {
    const Oriented<Symbol> view(a_, b_, piece);
    if (view.rows.size() == 1) {
      const auto at = std::find(view.columns.begin(), view.columns.end(), view.rows[0]);
      if (at != view.columns.end()) {
        view.emit(out_, 0, static_cast<std::size_t>(at - view.columns.begin()), 1);
      }
    } else if (lcs == view.rows.size()) {
      match_all_rows(view);
    } else if (pass_cost(view.rows.size(), view.columns.size(), band) <= kTracedWords) {
      trace_in_band(view.rows, view.columns, band, space_, progress_, matches_);
      for (const auto& [row, column] : matches_) {
        view.emit(out_, row, column, 1);
      }
    } else {
      split(view, band);
    }
  }

  // The rows are a subsequence of the columns: the leftmost embedding.
  void match_all_rows(const Oriented<Symbol>& view) {
    auto column = view.columns.begin();
    for (std::size_t row = 0; row < view.rows.size(); ++row, ++column) {
      column = std::find(column, view.columns.end(), view.rows[row]);
      view.emit(out_, row, static_cast<std::size_t>(column - view.columns.begin()), 1);
    }
  }

  // Hirschberg's step, then the halves with the lengths it found: in turn, or,
  // when there are threads to share and work enough, side by side, each with
  // its own storage and half the threads, their blocks joined in order.
  void split(const Oriented<Symbol>& view, Band band) {
    const std::size_t rows = view.rows.size();
    const std::size_t columns = view.columns.size();
    const bool parallel = threads_ > 1 && pass_cost(rows, columns, band) >= kParallelPassCost;
    const Crossing cross = divide(view.rows, view.columns, band, space_, progress_, parallel);
    const std::size_t upper = rows / 2;
    const Piece first = view.part(0, upper, 0, cross.column);
    const Piece second = view.part(upper, rows - upper, cross.column, columns - cross.column);
    if (!parallel) {
      solve(first, cross.upper);
      solve(second, cross.lower);
      return;
    }
    // The halves build masks of their own columns: this division's are done
    // with, and kept they would hold as much memory again as the halves.
    space_ = DivisionSpace<Symbol>{};
    Aligner first_half(a_, b_, progress_, threads_ / 2, shared_);
    Aligner second_half(a_, b_, progress_, threads_ - threads_ / 2, shared_);
    side_by_side(
        true, [&] { first_half.solve(first, cross.upper); },
        [&] { second_half.solve(second, cross.lower); });
    for (Aligner* half : {&first_half, &second_half}) {
      for (const MatchingBlock& block : half->out_.take()) {
        out_.add(block.a, block.b, block.size);
      }
    }
  }

  Text<Symbol> a_;
  Text<Symbol> b_;
  Progress& progress_;
  BlockWriter out_;
  unsigned threads_;
  Id shared_;
  DivisionSpace<Symbol> space_;
  Matches matches_;
};

template <class Symbol>
std::vector<MatchingBlock> blocks_of(Text<Symbol> a, Text<Symbol> b, const Options& options,
                                     Id shared = 0) {
  Progress progress(options);
  std::vector<MatchingBlock> blocks =
      Aligner<Symbol>(a, b, progress, options.threads, shared).run();
  progress.finish();
  return blocks;
}

template <class Symbol>
std::vector<MatchingBlock> wide_blocks(std::span<const Symbol> a, std::span<const Symbol> b,
                                       const Options& options) {
  const Interned ids = intern(a, b);
  return blocks_of(Text<Id>(ids.a), Text<Id>(ids.b), options, ids.shared);
}

// The symbols of the blocks, in order.
template <class Sequence, class Symbols>
Sequence common_symbols(const Symbols& a, const std::vector<MatchingBlock>& blocks) {
  Sequence common;
  for (const MatchingBlock& block : blocks) {
    common.insert(common.end(), a.begin() + static_cast<std::ptrdiff_t>(block.a),
                  a.begin() + static_cast<std::ptrdiff_t>(block.a + block.size));
  }
  return common;
}

}  // namespace

std::vector<MatchingBlock> matching_blocks(std::string_view a, std::string_view b,
                                           const Options& options) {
  return blocks_of(text_of(a), text_of(b), options);
}

std::vector<MatchingBlock> matching_blocks(std::span<const std::uint16_t> a,
                                           std::span<const std::uint16_t> b,
                                           const Options& options) {
  return wide_blocks(a, b, options);
}

std::vector<MatchingBlock> matching_blocks(std::span<const std::uint32_t> a,
                                           std::span<const std::uint32_t> b,
                                           const Options& options) {
  return wide_blocks(a, b, options);
}

std::string subsequence(std::string_view a, std::string_view b) {
  return common_symbols<std::string>(a, matching_blocks(a, b));
}

std::vector<std::uint16_t> subsequence(std::span<const std::uint16_t> a,
                                       std::span<const std::uint16_t> b) {
  return common_symbols<std::vector<std::uint16_t>>(a, matching_blocks(a, b));
}

std::vector<std::uint32_t> subsequence(std::span<const std::uint32_t> a,
                                       std::span<const std::uint32_t> b) {
  return common_symbols<std::vector<std::uint32_t>>(a, matching_blocks(a, b));
}

}  // namespace lcs
