// SPDX-License-Identifier: MIT
// One longest common subsequence of a piece whose band is narrow: one
// bit-vector pass (Allison and Dix, 1986) in the band (Ukkonen, 1985) that
// keeps every row's words of V, then the traceback of the textbook table read
// off those bits (as Hyyrö, 2004, reads the table's values from the vectors).
// Time: the pass, a count of one row's words per row and one step per row
// and column; space: the pass's words.
#include <algorithm>
#include <bit>
#include <cstddef>

#include "lcs/alignment/band.h"

namespace lcs_detail {

namespace {

// The pass's rows as the traceback reads them: row i of the table (i from 1)
// is V after the pass's row i - 1, and row 0 is the all-ones V before it.
class KeptTable {
 public:
  explicit KeptTable(const KeptRows& kept) : kept_(kept) {}

  // V's words [begin, end) in row i were evaluated there; the words left of
  // them are as in row i - 1, and those right of them still all ones.
  [[nodiscard]] std::size_t begin(std::size_t i) const { return kept_.first[i - 1]; }
  [[nodiscard]] std::size_t end(std::size_t i) const {
    return begin(i) + kept_.start[i] - kept_.start[i - 1];
  }
  // Word w of row i, for w from begin(i) on (row 0 and the untouched words: ones).
  [[nodiscard]] Word word(std::size_t i, std::size_t w) const {
    if (i == 0 || w >= end(i)) {
      return ~Word{0};
    }
    return kept_.words[kept_.start[i - 1] + w - begin(i)];
  }
  [[nodiscard]] bool rises_at(std::size_t i, std::size_t t) const {
    return ((word(i, t / kWordBits) >> (t % kWordBits)) & 1U) == 0;
  }
  // Row i's value at column j less its value at column from * 64.
  [[nodiscard]] std::size_t rise(std::size_t i, std::size_t from, std::size_t j) const {
    std::size_t zeros = 0;
    for (std::size_t w = from; w * kWordBits < j; ++w) {
      const std::size_t bits = std::min(kWordBits, j - w * kWordBits);
      const Word counted = bits == kWordBits ? ~Word{0} : (Word{1} << bits) - 1;
      zeros += static_cast<std::size_t>(std::popcount(~word(i, w) & counted));
    }
    return zeros;
  }

 private:
  const KeptRows& kept_;
};

}  // namespace

template <class Symbol>
void trace_in_band(Text<Symbol> rows, Text<Symbol> columns, Band band, DivisionSpace<Symbol>& space,
                   Progress& progress, Matches& matches) {
  space.shared.build(columns);
  space.forward_masks.build(columns, false, space.shared);
  Words& V = space.forward;
  V.assign(space.forward_masks.words(), ~Word{0});
  KeptRows& kept = space.kept;
  kept.words.clear();
  kept.first.clear();
  kept.start.assign(1, 0);
  // A pass per row, so the steps are reported once, after them: the passes
  // of two threads would otherwise meet at the count after every row.
  Progress row_by_row = progress.silenced();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    run_pass(rows.subspan(i, 1), false, i, space.forward_masks, columns.size(), band, V,
             row_by_row);
    const auto [begin, end] = row_window(i, columns.size(), band);
    kept.words.insert(kept.words.end(), V.begin() + static_cast<std::ptrdiff_t>(begin),
                      V.begin() + static_cast<std::ptrdiff_t>(end));
    kept.first.push_back(begin);
    kept.start.push_back(kept.words.size());
  }
  progress.add(kept.words.size());
  // From the far corner, as a table's traceback: along a match, else up where
  // the row above has the same value, else left. Inside the words a row
  // evaluated, its values follow the table's recurrence, so a match is always
  // on an optimal path and, without one, the value comes from above or left.
  // Whether the row above has the same value is counted once per row, then
  // kept up to date step by step.
  const KeptTable table(kept);
  matches.clear();
  std::size_t here = 0;   // rows i and i - 1 at column j, less their values
  std::size_t above = 0;  // at column begin(i) * 64, which are equal
  bool counted = false;
  for (std::size_t i = rows.size(), j = columns.size(); i > 0 && j > 0;) {
    const std::size_t begin = table.begin(i);
    if (j <= begin * kWordBits) {
      --i;  // left of the words this row evaluated: the same as the row above
      counted = false;
    } else if (j > table.end(i) * kWordBits) {
      j = table.end(i) * kWordBits;  // ones to the right: the value does not change
      counted = false;
    } else if (rows[i - 1] == columns[j - 1]) {
      matches.emplace_back(--i, --j);
      counted = false;
    } else {
      if (!counted) {
        here = table.rise(i, begin, j);
        above = table.rise(i - 1, begin, j);
        counted = true;
      }
      if (here == above) {
        --i;
        counted = false;
      } else {
        --j;
        here -= table.rises_at(i, j) ? 1U : 0U;
        above -= table.rises_at(i - 1, j) ? 1U : 0U;
      }
    }
  }
  std::reverse(matches.begin(), matches.end());
}

template void trace_in_band(Text<char>, Text<char>, Band, DivisionSpace<char>&, Progress&,
                            Matches&);
template void trace_in_band(Text<Id>, Text<Id>, Band, DivisionSpace<Id>&, Progress&, Matches&);

}  // namespace lcs_detail
