// SPDX-License-Identifier: MIT
// Among the longest common subsequences of two sequences, one whose edits form
// the fewest groups (maximal runs of insertions and deletions between matches):
// the LCS table evaluated with a second count, of groups, as a tie-breaker, in
// two states per cell (the path last matched, or last skipped). Applied to the
// stretches between long blocks of a given LCS, which any LCS may keep.
// Time and space O(cells) per stretch, 1 byte a cell for the traceback.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

#include "lcs/alignment.h"
#include "lcs/kernels/symbols.h"

namespace lcs_detail {

namespace {

// A block this long or longer is kept; the stretches between such blocks are matched again.
constexpr std::size_t kAnchor = 4;
// The largest stretch, in cells, matched again.
constexpr std::size_t kMostCells = std::size_t{1} << 16;

// A path's worth: its matches in the high half, less its groups, less (on a
// tie) its blocks.
using Worth = std::int64_t;
constexpr Worth kMatch = Worth{1} << 40;
constexpr Worth kGroup = Worth{1} << 20;
constexpr Worth kNone = std::numeric_limits<Worth>::min() / 4;

// Traceback bits of a cell: how its "matched" and its "skipped" states were reached.
constexpr std::uint8_t kMatchedAfterSkip = 1;  // the diagonal came from the skipped state
constexpr std::uint8_t kSkipFromLeft = 2;      // the skip came from (i, j - 1), else (i - 1, j)
constexpr std::uint8_t kSkipAfterSkip = 4;     // ... and from that cell's skipped state

// One LCS of a and b with the fewest groups, as blocks from (a_at, b_at).
template <class Symbol>
void fewest_groups(Text<Symbol> a, Text<Symbol> b, std::size_t a_at, std::size_t b_at,
                   std::vector<lcs::MatchingBlock>& out) {
  const std::size_t m = a.size();
  const std::size_t n = b.size();
  std::vector<std::uint8_t> trace((m + 1) * (n + 1), 0);
  std::vector<Worth> matched(n + 1, kNone);
  std::vector<Worth> skipped(n + 1, kNone);
  std::vector<Worth> matched_above(n + 1, kNone);
  std::vector<Worth> skipped_above(n + 1, kNone);
  for (std::size_t i = 0; i <= m; ++i) {
    for (std::size_t j = 0; j <= n; ++j) {
      std::uint8_t bits = 0;
      Worth match = kNone;
      if (i == 0 && j == 0) {
        match = 0;  // the start counts as a match: a skip there begins a group
      } else if (i > 0 && j > 0 && a[i - 1] == b[j - 1]) {
        // A match after a skip, or the first, begins a block.
        const Worth after_match = matched_above[j - 1] - (i == 1 && j == 1 ? 1 : 0);
        const Worth after_skipping = skipped_above[j - 1] - 1;
        const bool after_skip = after_skipping >= after_match;
        const Worth before = after_skip ? after_skipping : after_match;
        match = before > kNone ? before + kMatch : kNone;
        bits |= after_skip ? kMatchedAfterSkip : 0;
      }
      Worth skip = kNone;
      const auto consider = [&](Worth worth, std::uint8_t how) {
        if (worth >= skip && worth > kNone) {
          skip = worth;
          bits = static_cast<std::uint8_t>((bits & kMatchedAfterSkip) | how);
        }
      };
      if (i > 0) {
        consider(matched_above[j] - kGroup, 0);
        consider(skipped_above[j], kSkipAfterSkip);
      }
      if (j > 0) {
        consider(matched[j - 1] - kGroup, kSkipFromLeft);
        consider(skipped[j - 1], kSkipFromLeft | kSkipAfterSkip);
      }
      matched[j] = match;
      skipped[j] = skip;
      trace[i * (n + 1) + j] = bits;
    }
    std::swap(matched, matched_above);
    std::swap(skipped, skipped_above);
  }
  // Back from the end, collecting the matches in reverse.
  std::vector<lcs::MatchingBlock> reversed;
  std::size_t i = m;
  std::size_t j = n;
  bool in_skip = skipped_above[n] > matched_above[n];
  while (i > 0 || j > 0) {
    const std::uint8_t bits = trace[i * (n + 1) + j];
    if (!in_skip) {
      --i;
      --j;
      if (!reversed.empty() && reversed.back().a == a_at + i + 1 &&
          reversed.back().b == b_at + j + 1) {
        --reversed.back().a;
        --reversed.back().b;
        ++reversed.back().size;
      } else {
        reversed.push_back({a_at + i, b_at + j, 1});
      }
      in_skip = (bits & kMatchedAfterSkip) != 0;
    } else {
      (bits & kSkipFromLeft) != 0 ? --j : --i;
      in_skip = (bits & kSkipAfterSkip) != 0;
    }
  }
  out.insert(out.end(), reversed.rbegin(), reversed.rend());
}

std::size_t matched_in(std::span<const lcs::MatchingBlock> blocks) {
  std::size_t sum = 0;
  for (const lcs::MatchingBlock& block : blocks) {
    sum += block.size;
  }
  return sum;
}

// Matches one stretch again when it is small and has edits; else keeps its blocks.
template <class Symbol>
void stretch(std::span<const lcs::MatchingBlock> inside, Text<Symbol> a, Text<Symbol> b,
             std::size_t a_begin, std::size_t a_end, std::size_t b_begin, std::size_t b_end,
             std::vector<lcs::MatchingBlock>& out) {
  const std::size_t m = a_end - a_begin;
  const std::size_t n = b_end - b_begin;
  const std::size_t kept = matched_in(inside);
  const bool worth_it = !inside.empty() && (kept < m || kept < n);
  if (!worth_it || (m + 1) > kMostCells / (n + 1)) {
    out.insert(out.end(), inside.begin(), inside.end());
    return;
  }
  const std::size_t before = out.size();
  fewest_groups(a.subspan(a_begin, m), b.subspan(b_begin, n), a_begin, b_begin, out);
  if (matched_in(std::span(out).subspan(before)) != kept) {  // not an LCS: keep what was given
    out.resize(before);
    out.insert(out.end(), inside.begin(), inside.end());
  }
}

template <class Symbol>
std::vector<lcs::MatchingBlock> compact(std::span<const lcs::MatchingBlock> blocks, Text<Symbol> a,
                                        Text<Symbol> b) {
  std::vector<lcs::MatchingBlock> out;
  out.reserve(blocks.size());
  std::size_t a_from = 0;
  std::size_t b_from = 0;
  std::size_t first = 0;  // the first block of the stretch being gathered
  for (std::size_t k = 0; k <= blocks.size(); ++k) {
    const bool end = k == blocks.size();
    if (!end && blocks[k].size < kAnchor) {
      continue;
    }
    const std::size_t a_to = end ? a.size() : blocks[k].a;
    const std::size_t b_to = end ? b.size() : blocks[k].b;
    stretch(blocks.subspan(first, k - first), a, b, a_from, a_to, b_from, b_to, out);
    if (!end) {
      out.push_back(blocks[k]);
      a_from = blocks[k].a + blocks[k].size;
      b_from = blocks[k].b + blocks[k].size;
      first = k + 1;
    }
  }
  // A stretch matched again may now touch the long blocks around it: one run.
  std::vector<lcs::MatchingBlock> runs;
  runs.reserve(out.size());
  for (const lcs::MatchingBlock& block : out) {
    if (!runs.empty() && runs.back().a + runs.back().size == block.a &&
        runs.back().b + runs.back().size == block.b) {
      runs.back().size += block.size;
    } else {
      runs.push_back(block);
    }
  }
  return runs;
}

}  // namespace

}  // namespace lcs_detail

namespace lcs {

std::vector<MatchingBlock> compact_blocks(std::span<const MatchingBlock> blocks, std::string_view a,
                                          std::string_view b) {
  return lcs_detail::compact(blocks, lcs_detail::text_of(a), lcs_detail::text_of(b));
}

std::vector<MatchingBlock> compact_blocks(std::span<const MatchingBlock> blocks,
                                          std::span<const std::uint16_t> a,
                                          std::span<const std::uint16_t> b) {
  return lcs_detail::compact(blocks, a, b);
}

std::vector<MatchingBlock> compact_blocks(std::span<const MatchingBlock> blocks,
                                          std::span<const std::uint32_t> a,
                                          std::span<const std::uint32_t> b) {
  return lcs_detail::compact(blocks, a, b);
}

}  // namespace lcs
