// SPDX-License-Identifier: MIT
// LCS over the matching pairs (Hunt and Szymanski, 1977) for texts of ids:
// row by row, the matches of a row in descending column order, each lowering
// the threshold of one length k (the smallest column where a common
// subsequence of length k + 1 ends so far) found by binary search. Time
// O(R log L + |a| log |b|); space O(|b| + shared), and for matching blocks
// one node per match taken, two per symbol of a piece at most, larger pieces
// being divided as Hirschberg (1975) divides the table.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "lcs/alignment/sparse.h"

namespace lcs_detail {

namespace {

// A pair costs a binary search and a few branches: about as much as this many
// bit-vector word steps.
constexpr std::uint64_t kPairCost = 32;

// Nodes a piece may hold, per symbol of it, before it is divided.
constexpr std::uint64_t kNodesPerSymbol = 2;

// The ascending positions of each id in a text.
class Occurrences {
 public:
  Occurrences(Text<Id> text, Id shared) : start_(std::size_t{shared} + 2, 0) {
    for (const Id id : text) {
      if (id < shared) {
        ++start_[std::size_t{id} + 2];
      }
    }
    for (std::size_t id = 2; id < start_.size(); ++id) {
      start_[id] += start_[id - 1];
    }
    position_.resize(start_.back());
    for (std::size_t t = 0; t < text.size(); ++t) {
      if (text[t] < shared) {
        position_[start_[std::size_t{text[t]} + 1]++] = static_cast<std::uint32_t>(t);
      }
    }
  }

  // The positions of `id` within [from, to).
  [[nodiscard]] std::span<const std::uint32_t> of(Id id, std::size_t from, std::size_t to) const {
    if (id + std::size_t{1} >= start_.size()) {
      return {};
    }
    const std::uint32_t* first = position_.data() + start_[id];
    const std::uint32_t* last = position_.data() + start_[std::size_t{id} + 1];
    first = std::lower_bound(first, last, from);
    last = std::lower_bound(first, last, to);
    return {first, last};
  }

 private:
  std::vector<std::uint32_t> start_;  // by id: where its positions begin
  std::vector<std::uint32_t> position_;
};

constexpr std::uint32_t kNoNode = UINT32_MAX;

// The first of values[0, size) (ascending) that is not below `value`, or
// size: a binary search whose steps are conditional moves, not branches,
// which the random order of the matches would mispredict half the time.
inline std::size_t first_not_below(const std::uint32_t* values, std::size_t size,
                                   std::uint32_t value) {
  const std::uint32_t* base = values;
  while (size > 1) {
    const std::size_t half = size / 2;
    base = base[half - 1] < value ? base + half : base;
    size -= half;
  }
  return static_cast<std::size_t>(base - values) + (size == 1 && *base < value ? 1 : 0);
}

// A match taken by the thresholds, with the match before it on its path.
struct Node {
  std::uint32_t row;
  std::uint32_t column;
  std::uint32_t previous;
};

// The thresholds of rows [row_begin, row_end) of a against columns
// [column_begin, column_end) of b. Read backward, both from their ends, the
// columns are counted from column_end - 1 down, so that the thresholds
// always increase.
class Thresholds {
 public:
  Thresholds(Text<Id> a, const Occurrences& b, Progress& progress)
      : a_(a), b_(b), progress_(progress) {}

  // Returns the matching pairs visited; nodes are kept when `nodes` is set.
  std::uint64_t run(std::size_t row_begin, std::size_t row_end, std::size_t column_begin,
                    std::size_t column_end, bool backward, std::vector<Node>* nodes) {
    ends_.clear();
    firsts_.clear();
    links_.clear();
    std::uint64_t visited = 0;
    std::uint64_t unreported = 0;
    for (std::size_t r = 0; r < row_end - row_begin; ++r) {
      const std::size_t row = backward ? row_end - 1 - r : row_begin + r;
      const std::span<const std::uint32_t> columns = b_.of(a_[row], column_begin, column_end);
      std::size_t limit = ends_.size();  // a row's matches only lower thresholds left of the last
      for (std::size_t k = 0; k < columns.size(); ++k) {
        const std::uint32_t column = columns[backward ? k : columns.size() - 1 - k];
        const auto at = backward ? static_cast<std::uint32_t>(column_end - 1 - column) : column;
        limit = take(at, limit, nodes, row, column);
      }
      visited += columns.size();
      unreported += columns.size();
      if (unreported >= (std::uint64_t{1} << 16)) {
        progress_.add(unreported);
        unreported = 0;
      }
    }
    progress_.add(unreported);
    return visited;
  }

  [[nodiscard]] const std::vector<std::uint32_t>& ends() const { return ends_; }
  [[nodiscard]] std::uint32_t last_node() const { return links_.empty() ? kNoNode : links_.back(); }

 private:
  // The first of slots [0, limit) whose threshold is not below `at`, or
  // limit. Alike texts mostly extend the longest subsequence: one compare
  // then. Otherwise the first threshold of each block of slots, small enough
  // to stay in the caches, says which block to search.
  [[nodiscard]] std::size_t search(std::uint32_t at, std::size_t limit) const {
    if (limit == 0 || ends_[limit - 1] < at) {
      return limit;
    }
    const std::size_t block = first_not_below(firsts_.data(), (limit - 1) / kBlock + 1, at);
    if (block == 0) {
      return 0;
    }
    const std::size_t from = kBlock * (block - 1) + 1;  // slot from - 1 is below `at`
    const std::size_t to = std::min(kBlock * block, limit);
    return from + first_not_below(ends_.data() + from, to - from, at);
  }

  // Lowers the first threshold not below `at`, searching slots [0, limit];
  // returns the slot, the next match's limit.
  std::size_t take(std::uint32_t at, std::size_t limit, std::vector<Node>* nodes, std::size_t row,
                   std::uint32_t column) {
    const std::size_t slot = search(at, limit);
    if (slot < ends_.size() && ends_[slot] == at) {
      return slot;
    }
    if (slot % kBlock == 0) {
      (slot == ends_.size() ? firsts_.emplace_back() : firsts_[slot / kBlock]) = at;
    }
    if (slot == ends_.size()) {
      ends_.push_back(at);
    } else {
      ends_[slot] = at;
    }
    if (nodes != nullptr) {
      const std::uint32_t previous = slot == 0 ? kNoNode : links_[slot - 1];
      links_.resize(ends_.size());
      links_[slot] = static_cast<std::uint32_t>(nodes->size());
      nodes->push_back({static_cast<std::uint32_t>(row), column, previous});
    }
    return slot;
  }

  Text<Id> a_;
  const Occurrences& b_;
  Progress& progress_;
  static constexpr std::size_t kBlock = 64;
  std::vector<std::uint32_t> ends_;
  std::vector<std::uint32_t> firsts_;  // by block of kBlock slots: its first threshold
  std::vector<std::uint32_t> links_;   // by slot: the node that set it
};

class SparseAligner {
 public:
  SparseAligner(Text<Id> a, Text<Id> b, Id shared, std::size_t offset, BlockWriter& out,
                Progress& progress)
      : b_(b, shared),
        forward_(a, b_, progress),
        backward_(a, b_, progress),
        offset_(offset),
        out_(out) {}

  // Rows [row_begin, row_end) against columns [column_begin, column_end),
  // with at most `pairs` matching pairs.
  void solve(std::size_t row_begin, std::size_t row_end, std::size_t column_begin,
             std::size_t column_end, std::uint64_t pairs) {
    const std::uint64_t symbols = row_end - row_begin + column_end - column_begin;
    if (pairs == 0) {
      return;
    }
    if (pairs <= kNodesPerSymbol * symbols) {
      trace(row_begin, row_end, column_begin, column_end, pairs);
      return;
    }
    const std::size_t middle = row_begin + (row_end - row_begin) / 2;
    const std::uint64_t upper_pairs =
        forward_.run(row_begin, middle, column_begin, column_end, false, nullptr);
    const std::uint64_t lower_pairs =
        backward_.run(middle, row_end, column_begin, column_end, true, nullptr);
    const std::size_t column = crossing(column_begin, column_end);
    solve(row_begin, middle, column_begin, column, upper_pairs);
    solve(middle, row_end, column, column_end, lower_pairs);
  }

 private:
  // The first column where the upper rows' LCS of the columns before it and
  // the lower rows' LCS of the columns from it add up to the most.
  [[nodiscard]] std::size_t crossing(std::size_t column_begin, std::size_t column_end) const {
    const std::vector<std::uint32_t>& upper = forward_.ends();
    const std::vector<std::uint32_t>& lower = backward_.ends();  // counted from column_end - 1
    std::size_t above = 0;                                       // upper thresholds before column j
    std::size_t below = lower.size();  // lower thresholds at column j or after
    std::size_t best_column = column_begin;
    std::size_t best = 0;
    for (std::size_t j = column_begin; j <= column_end; ++j) {
      while (above < upper.size() && upper[above] < j) {
        ++above;
      }
      while (below > 0 && lower[below - 1] >= column_end - j) {
        --below;
      }
      if (above + below > best || j == column_begin) {
        best = above + below;
        best_column = j;
      }
    }
    return best_column;
  }

  // The thresholds with a node per match taken, read back from the last.
  void trace(std::size_t row_begin, std::size_t row_end, std::size_t column_begin,
             std::size_t column_end, std::uint64_t pairs) {
    nodes_.clear();
    nodes_.reserve(static_cast<std::size_t>(pairs));
    forward_.run(row_begin, row_end, column_begin, column_end, false, &nodes_);
    path_.clear();
    for (std::uint32_t node = forward_.last_node(); node != kNoNode; node = nodes_[node].previous) {
      path_.push_back(node);
    }
    std::reverse(path_.begin(), path_.end());
    for (const std::uint32_t node : path_) {
      out_.add(offset_ + nodes_[node].row, offset_ + nodes_[node].column, 1);
    }
  }

  Occurrences b_;
  Thresholds forward_;
  Thresholds backward_;
  std::size_t offset_;
  BlockWriter& out_;
  std::vector<Node> nodes_;
  std::vector<std::uint32_t> path_;
};

}  // namespace

std::uint64_t matching_pairs(Text<Id> a, Text<Id> b, Id shared) {
  std::vector<std::uint32_t> in_a(shared, 0);
  for (const Id id : a) {
    if (id < shared) {
      ++in_a[id];
    }
  }
  std::uint64_t pairs = 0;
  for (const Id id : b) {
    if (id < shared) {
      pairs += in_a[id];
    }
  }
  return pairs;
}

bool pairs_pay(std::size_t a_size, std::size_t b_size, std::uint64_t pairs) {
  const std::uint64_t shorter = std::min(a_size, b_size);
  const std::uint64_t longer = std::max(a_size, b_size);
  return pairs <= shorter * ((longer + 63) / 64) / kPairCost;
}

std::size_t sparse_length(Text<Id> a, Text<Id> b, Id shared, std::uint64_t pairs,
                          Progress& progress) {
  progress.expect(pairs);
  const Occurrences in_b(b, shared);
  Thresholds thresholds(a, in_b, progress);
  thresholds.run(0, a.size(), 0, b.size(), false, nullptr);
  return thresholds.ends().size();
}

void sparse_blocks(Text<Id> a, Text<Id> b, Id shared, std::uint64_t pairs, std::size_t offset,
                   BlockWriter& out, Progress& progress) {
  progress.expect(2 * pairs);
  SparseAligner(a, b, shared, offset, out, progress).solve(0, a.size(), 0, b.size(), pairs);
}

}  // namespace lcs_detail
