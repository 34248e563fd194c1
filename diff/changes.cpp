// SPDX-License-Identifier: MIT
// The changed lines of a minimal diff, from the library's matching blocks, and
// their placement among the equally short diffs. A run of changed lines can
// slide by one line where the line it uncovers equals the one it covers: the
// unchanged lines still pair in order with equal lines of the other file, so
// the count stays minimal. The idea is old (GNU diff and git slide runs too);
// the choice of a place here is this program's own.
#include "diff/changes.h"

#include <algorithm>
#include <cstddef>

#include "diff/lines.h"

namespace lcs_diff {

Changes minimal_changes(const lcs::DenseIds& ids, const lcs::Options& options) {
  Changes changes{std::vector<bool>(ids.a.size(), true), std::vector<bool>(ids.b.size(), true)};
  const std::span<const std::uint32_t> a(ids.a);
  const std::span<const std::uint32_t> b(ids.b);
  for (const lcs::MatchingBlock& block :
       lcs::compact_blocks(lcs::matching_blocks(a, b, options), a, b)) {
    std::fill_n(changes.a.begin() + static_cast<std::ptrdiff_t>(block.a), block.size, false);
    std::fill_n(changes.b.begin() + static_cast<std::ptrdiff_t>(block.b), block.size, false);
  }
  return changes;
}

namespace {

// Positions tried for one run, from its lowest up: enough for any run a
// person reads, and a bound on the time for long runs of equal lines.
constexpr std::size_t kMostPlaces = 100;
// Lines looked at past blank lines for the indentation of the next text.
constexpr std::size_t kLookahead = 20;
// What one side of a run costs when it is not after a blank line.
constexpr long kInsideText = 10;
// What being beside a change of the other file is worth: it makes one hunk of a replacement.
constexpr long kBesideOtherChange = 1000;

// A run of changed lines [begin, end), with the count of unchanged lines before it.
struct Run {
  std::size_t begin;
  std::size_t end;
  std::size_t kept_before;
};

// One file's changes, placed while the other file's stay as they are.
class Side {
 public:
  Side(std::vector<bool>& changed, std::span<const std::uint32_t> ids,
       std::span<const std::string_view> lines, const std::vector<bool>& other_changed)
      : changed_(changed), ids_(ids), lines_(lines), other_size_(other_changed.size()) {
    for (std::size_t j = 0; j < other_changed.size(); ++j) {
      if (!other_changed[j]) {
        other_kept_.push_back(j);
      }
    }
  }

  void place_all() {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < changed_.size();) {
      if (!changed_[i]) {
        ++kept;
        ++i;
        continue;
      }
      Run run{i, i, kept};
      while (run.end < changed_.size() && changed_[run.end]) {
        ++run.end;
      }
      place(run);
      i = run.end;
      kept = run.kept_before;
    }
  }

 private:
  // Slides the run to its lowest place, merging with the runs it meets on the
  // way up or down, then back up to its best place.
  void place(Run& run) {
    std::size_t size = 0;
    do {
      size = run.end - run.begin;
      while (up(run)) {
      }
      while (down(run)) {
      }
    } while (run.end - run.begin != size);
    std::size_t best_rise = 0;
    long best_cost = cost(run.begin, run.end, run.kept_before);
    for (std::size_t rise = 1; rise < kMostPlaces && rise <= run.begin; ++rise) {
      const std::size_t begin = run.begin - rise;
      const std::size_t end = run.end - rise;
      if (ids_[begin] != ids_[end] || (begin > 0 && changed_[begin - 1])) {
        break;
      }
      const long place_cost = cost(begin, end, run.kept_before - rise);
      if (place_cost < best_cost) {
        best_cost = place_cost;
        best_rise = rise;
      }
    }
    for (std::size_t rise = 0; rise < best_rise; ++rise) {
      up(run);
    }
  }

  // One line up, when the line above equals the run's last; merges with a run above.
  bool up(Run& run) {
    if (run.begin == 0 || ids_[run.begin - 1] != ids_[run.end - 1]) {
      return false;
    }
    changed_[--run.begin] = true;
    changed_[--run.end] = false;
    --run.kept_before;
    while (run.begin > 0 && changed_[run.begin - 1]) {
      --run.begin;
    }
    return true;
  }

  // One line down, when the line below equals the run's first; merges with a run below.
  bool down(Run& run) {
    if (run.end == changed_.size() || ids_[run.begin] != ids_[run.end]) {
      return false;
    }
    changed_[run.begin++] = false;
    changed_[run.end++] = true;
    ++run.kept_before;
    while (run.end < changed_.size() && changed_[run.end]) {
      ++run.end;
    }
    return true;
  }

  [[nodiscard]] long cost(std::size_t begin, std::size_t end, std::size_t kept_before) const {
    const long beside = beside_other_change(kept_before) ? kBesideOtherChange : 0;
    return split_cost(begin) + split_cost(end) - beside;
  }

  // Nothing at the ends of the file or after a blank line; else more the
  // deeper the next text is indented.
  [[nodiscard]] long split_cost(std::size_t at) const {
    if (at == 0 || at == lines_.size() || is_blank(lines_[at - 1])) {
      return 0;
    }
    const std::size_t stop = std::min(lines_.size(), at + kLookahead);
    for (std::size_t k = at; k < stop; ++k) {
      if (!is_blank(lines_[k])) {
        return kInsideText + static_cast<long>(std::min<std::size_t>(indentation(lines_[k]), 80));
      }
    }
    return kInsideText;
  }

  // Whether the other file has changed lines where a run with `kept_before`
  // unchanged lines before it stands.
  [[nodiscard]] bool beside_other_change(std::size_t kept_before) const {
    const std::size_t low = kept_before == 0 ? 0 : other_kept_[kept_before - 1] + 1;
    const std::size_t high =
        kept_before < other_kept_.size() ? other_kept_[kept_before] : other_size_;
    return high > low;
  }

  std::vector<bool>& changed_;
  std::span<const std::uint32_t> ids_;
  std::span<const std::string_view> lines_;
  std::size_t other_size_;
  std::vector<std::size_t> other_kept_;
};

}  // namespace

void place_readably(Changes& changes, const lcs::DenseIds& ids,
                    std::span<const std::string_view> a_lines,
                    std::span<const std::string_view> b_lines) {
  Side(changes.a, ids.a, a_lines, changes.b).place_all();
  Side(changes.b, ids.b, b_lines, changes.a).place_all();
}

}  // namespace lcs_diff
