// SPDX-License-Identifier: MIT
// The pairs of lanes and drivers (pairs.h): the sides sorted by length, cut
// into groups and items, the masks of a group built once an item, and the
// lengths of the pairs computed chunk by chunk on the workers.
#include "lcs/many/pairs.h"

#include <cmath>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>

namespace lcs_detail {

namespace {

// The lengths of lane k start at k * kLanesStride: a power of two would put
// every lane's lengths into the same cache set.
constexpr std::size_t kLanesStride = kChunk + 16;

// Lengths up to this are sorted by counting; longer ones after them, by comparing.
constexpr std::size_t kCountedLength = 4096;

// The narrowest lane a string of n symbols fits in, with its words; 0 when none does.
std::pair<unsigned, std::size_t> lane_for(std::size_t n) {
  for (const unsigned bits : {8U, 16U, 32U}) {
    if (n <= bits) {
      return {bits, 1};
    }
  }
  const std::size_t words = words_for(n);
  return words <= kMaxLaneWords ? std::pair{64U, words} : std::pair{0U, words};
}

}  // namespace

std::size_t pair_lcs(Text<unsigned char> a, Text<unsigned char> b) {
  // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): bytes as char, the same storage
  const auto view = [](Text<unsigned char> t) {
    return std::string_view(reinterpret_cast<const char*>(t.data()), t.size());
  };
  return lcs::length(view(a), view(b));
}

std::size_t pair_lcs(Text<std::uint32_t> a, Text<std::uint32_t> b) { return lcs::length(a, b); }

namespace {

// A group's drivers: the range of positions that can reach the cut-off.
struct Item {
  std::size_t group;
  std::size_t begin;
  std::size_t end;
};

template <class Symbol>
std::pair<std::size_t, std::size_t> driver_range(const PairsJob<Symbol>& job, const Group& group) {
  const Side<Symbol>& drivers = *job.drivers;
  std::size_t begin = job.same_side ? group.begin : 0;
  std::size_t end = drivers.texts.size();
  if (!job.drivers_by_length) {
    return {begin, end};
  }
  const auto length_at = [&](std::size_t p) { return drivers.texts[drivers.order[p]].size(); };
  const auto first = [&](std::size_t lo, std::size_t hi, auto&& passed) {
    while (lo < hi) {
      const std::size_t mid = lo + (hi - lo) / 2;
      if (passed(length_at(mid))) {
        lo = mid + 1;
      } else {
        hi = mid;
      }
    }
    return lo;
  };
  begin = first(begin, end, [&](std::size_t n) {
    return n < group.shortest && !reachable(group, n, job.cutoff);
  });
  end = first(begin, end,
              [&](std::size_t n) { return n <= group.longest || reachable(group, n, job.cutoff); });
  return {begin, end};
}

template <class Symbol>
std::vector<Item> items_of(const PairsJob<Symbol>& job, unsigned workers) {
  const std::vector<Group>& groups = job.lanes->groups;
  std::vector<Item> whole;
  std::size_t drivers = 0;
  for (std::size_t g = 0; g < groups.size(); ++g) {
    const auto [begin, end] = driver_range(job, groups[g]);
    if (begin < end) {
      whole.push_back({g, begin, end});
      drivers += end - begin;
    }
  }
  // Items small enough that every worker has several, large enough that
  // building a group's masks again is worth it.
  const std::size_t wanted = 4 * std::size_t{workers};
  if (whole.size() >= wanted || workers == 1) {
    return whole;
  }
  const std::size_t piece = std::max(kChunk, drivers / wanted + 1);
  std::vector<Item> items;
  for (const Item& item : whole) {
    for (std::size_t begin = item.begin; begin < item.end; begin += piece) {
      items.push_back({item.group, begin, std::min(item.end, begin + piece)});
    }
  }
  return items;
}

// One worker's memory: the masks of its group, the drivers and lengths of a chunk.
template <class Symbol>
struct Worker {
  Worker(std::size_t alphabet, std::size_t vector_bytes)
      : masks(alphabet, vector_bytes), lcs(kLanesStride * vector_bytes) {}
  GroupMasks<Symbol> masks;
  std::vector<Text<Symbol>> texts;
  std::vector<std::uint32_t> lcs;
};

template <class Symbol>
void run_item(const PairsJob<Symbol>& job, const Item& item, Worker<Symbol>& worker,
              Progress& progress, const std::function<void(const Chunk&)>& visit) {
  const Group& group = job.lanes->groups[item.group];
  const Side<Symbol>& drivers = *job.drivers;
  std::optional<LaneGroup> lanes;  // built once a chunk has a driver to compute
  for (std::size_t first = item.begin; first < item.end; first += kChunk) {
    const std::size_t count = std::min(kChunk, item.end - first);
    // A driver that cannot reach the cut-off is taken as empty: its LCS is 0.
    worker.texts.clear();
    bool any = false;
    for (std::size_t p = first; p < first + count; ++p) {
      const Text<Symbol> text = drivers.texts[job.drivers_by_length ? drivers.order[p] : p];
      const bool compared = reachable(group, text.size(), job.cutoff);
      if (compared) {
        __builtin_prefetch(text.data());  // drivers in order of length lie apart
      }
      worker.texts.push_back(compared ? text : Text<Symbol>());
      any = any || compared;
    }
    if (!any) {
      std::fill_n(worker.lcs.begin(), worker.lcs.size(), 0U);
    } else if (group.lane_bits != 0) {
      if (!lanes) {
        lanes = worker.masks.build(group, *job.lanes);
      }
      lanes_lcs<Symbol>(*lanes, worker.texts, worker.lcs.data(), kLanesStride);
    } else {
      const Text<Symbol> lane = job.lanes->texts[job.lanes->order[group.begin]];
      for (std::size_t d = 0; d < worker.texts.size(); ++d) {
        worker.lcs[d] = static_cast<std::uint32_t>(pair_lcs(lane, worker.texts[d]));
      }
    }
    visit({&group, first, count, worker.lcs.data(), kLanesStride});
    progress.add((group.end - group.begin) * count);
  }
}

}  // namespace

// Sets side.order to the positions sorted by length, ties by position: by
// counting, linear for all but very long strings.
template <class Symbol>
void sort_by_length(Side<Symbol>& side) {
  const std::vector<Text<Symbol>>& texts = side.texts;
  const std::size_t end = texts.size();
  side.order.resize(end);
  const std::size_t longest = lcs_detail::longest(side);
  const std::size_t counted = std::min(longest, kCountedLength + 1);
  std::vector<std::size_t> starts(counted + 1, 0);
  for (std::size_t k = 0; k < end; ++k) {
    ++starts[std::min(texts[k].size(), counted)];
  }
  std::size_t total = 0;
  for (std::size_t& start : starts) {
    total += std::exchange(start, total);
  }
  for (std::size_t k = 0; k < end; ++k) {
    side.order[starts[std::min(texts[k].size(), counted)]++] = k;
  }
  if (longest > kCountedLength) {
    const auto first = side.order.begin() + static_cast<std::ptrdiff_t>(starts[kCountedLength]);
    std::sort(first, side.order.end(), [&](std::size_t x, std::size_t y) {
      return texts[x].size() != texts[y].size() ? texts[x].size() < texts[y].size() : x < y;
    });
  }
}

// Cuts the order, sorted by length, into side.groups: the run of each lane
// width (and words) into vectors of as many strings.
template <class Symbol>
void add_groups(Side<Symbol>& side) {
  const std::size_t vector_bits = lane_vector_bytes() * 8;
  const std::size_t end = side.order.size();
  const auto length_at = [&](std::size_t p) { return side.texts[side.order[p]].size(); };
  side.groups.clear();
  for (std::size_t run = 0; run < end;) {
    const auto lane = lane_for(length_at(run));
    const auto after = std::partition_point(
        side.order.begin() + static_cast<std::ptrdiff_t>(run), side.order.end(),
        [&](std::size_t k) { return lane_for(side.texts[k].size()) == lane; });
    const auto run_end = static_cast<std::size_t>(after - side.order.begin());
    const std::size_t lanes = lane.first == 0 ? 1 : vector_bits / lane.first;
    for (std::size_t p = run; p < run_end; p += lanes) {
      const std::size_t group_end = std::min(run_end, p + lanes);
      side.groups.push_back(
          {p, group_end, lane.first, lane.second, length_at(p), length_at(group_end - 1)});
    }
    run = run_end;
  }
}

LeastLcs::LeastLcs(std::size_t longest_a, std::size_t longest_b, double cutoff) : cutoff_(cutoff) {
  constexpr std::size_t kMostTotals = std::size_t{1} << 16;
  least_.resize(std::min(longest_a + longest_b + 1, kMostTotals));
  for (std::size_t total = 0; total < least_.size(); ++total) {
    least_[total] = compute(total);
  }
}

std::size_t LeastLcs::compute(std::size_t total) const {
  if (!(cutoff_ <= 1.0)) {  // above every similarity, or NaN
    return SIZE_MAX;
  }
  // Near cutoff * total / 2, then the same formula decides (it rounds).
  const double estimate = std::floor(std::max(cutoff_, 0.0) * static_cast<double>(total) / 2.0);
  std::size_t lcs = estimate >= 1.0 ? static_cast<std::size_t>(estimate) - 1 : 0;
  while (similarity_of(lcs, total, 0) < cutoff_) {
    ++lcs;
  }
  return lcs;
}

template <class Symbol>
void arrange(Side<Symbol>& side, bool in_lanes) {
  sort_by_length(side);
  side.groups.clear();
  if (in_lanes) {
    add_groups(side);
  }
}

template <class Symbol>
void GroupMasks<Symbol>::clear_slots() {
  for (const Symbol symbol : used_) {
    slot_of_[symbol] = 0;
  }
  used_.clear();
}

template <class Symbol>
void GroupMasks<Symbol>::fix_slots(std::span<const Text<Symbol>> drivers) {
  constexpr std::size_t kMostFixed = 1024;  // masks of a group stay within the caches
  clear_slots();
  for (const Text<Symbol> text : drivers) {
    for (const Symbol symbol : text) {
      if (slot_of_[symbol] == 0) {
        if (used_.size() == kMostFixed) {
          clear_slots();
          return;
        }
        used_.push_back(symbol);
        slot_of_[symbol] = static_cast<std::uint16_t>(used_.size());
      }
    }
  }
  fixed_ = true;
}

template <class Symbol>
LaneGroup GroupMasks<Symbol>::build(const Group& group, const Side<Symbol>& side) {
  // The strings of a group lie apart in memory: fetched all at once, they
  // arrive together rather than one after another.
  for (std::size_t p = group.begin; p < group.end; ++p) {
    __builtin_prefetch(side.texts[side.order[p]].data());
  }
  if (!fixed_) {
    clear_slots();
    for (std::size_t p = group.begin; p < group.end; ++p) {
      for (const Symbol symbol : side.texts[side.order[p]]) {
        if (slot_of_[symbol] == 0) {
          used_.push_back(symbol);
          slot_of_[symbol] = static_cast<std::uint16_t>(used_.size());
        }
      }
    }
  }
  const std::size_t row = group.words * vector_bytes_;
  masks_.assign((used_.size() + 1) * row, std::byte{0});
  const std::size_t lane_bytes = group.lane_bits / 8;
  for (std::size_t p = group.begin; p < group.end; ++p) {
    const Text<Symbol> text = side.texts[side.order[p]];
    std::byte* lane = masks_.data() + (p - group.begin) * lane_bytes;
    for (std::size_t t = 0; t < text.size(); ++t) {
      // Symbol t is bit t % 64 of word t / 64 (a narrower lane has one word).
      const std::size_t slot = slot_of_[text[t]];
      lane[slot * row + (t >> 6U) * vector_bytes_ + ((t & 63U) >> 3U)] |=
          std::byte{static_cast<unsigned char>(1U << (t & 7U))};
    }
  }
  // Slot 0 collects the symbols no driver has (fixed slots); it must stay zero.
  std::fill_n(masks_.data(), row, std::byte{0});
  return {group.lane_bits, group.words, slot_of_.data(), masks_.data()};
}

template <class Symbol>
void for_each_chunk(const PairsJob<Symbol>& job, const lcs::Options& options, const Visit& visit) {
  const unsigned workers = thread_count(options.threads);
  const std::vector<Item> items = items_of(job, workers);
  Progress progress(options);
  std::uint64_t work = 0;
  for (const Item& item : items) {
    const Group& group = job.lanes->groups[item.group];
    work += (group.end - group.begin) * (item.end - item.begin);
  }
  progress.expect(work);
  std::vector<std::unique_ptr<Worker<Symbol>>> memory(
      std::min<std::size_t>(workers, std::max<std::size_t>(items.size(), 1)));
  for (auto& worker : memory) {
    worker = std::make_unique<Worker<Symbol>>(job.alphabet, lane_vector_bytes());
  }
  run_workers(static_cast<unsigned>(memory.size()), items.size(),
              [&](unsigned worker, std::size_t k) {
                run_item(job, items[k], *memory[worker], progress,
                         [&](const Chunk& chunk) { visit(worker, chunk); });
              });
  progress.finish();
}

template void arrange(Side<unsigned char>&, bool);
template void arrange(Side<std::uint32_t>&, bool);
template class GroupMasks<unsigned char>;
template class GroupMasks<std::uint32_t>;
template void for_each_chunk(const PairsJob<unsigned char>&, const lcs::Options&, const Visit&);
template void for_each_chunk(const PairsJob<std::uint32_t>&, const lcs::Options&, const Visit&);

}  // namespace lcs_detail
