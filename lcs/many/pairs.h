// SPDX-License-Identifier: MIT
// The LCS lengths of many pairs, one side in vector lanes (lanes.h) and the
// other driving them, cut into items for threads; pairs that the lengths
// alone keep below the cut-off are never computed. What each batch call
// makes of the lengths is its own.
#ifndef LCS_MANY_PAIRS_H
#define LCS_MANY_PAIRS_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "lcs/alignment.h"
#include "lcs/alignment/progress.h"
#include "lcs/alignment/side_by_side.h"
#include "lcs/kernels/bit_vector.h"
#include "lcs/many/lanes.h"
#include "lcs/many/workers.h"

namespace lcs_detail {

// The similarity of a pair with this LCS, as lcs::similarity computes it.
inline double similarity_of(std::size_t lcs, std::size_t m, std::size_t n) {
  if (m == 0 && n == 0) {
    return 1.0;
  }
  return 2.0 * static_cast<double>(lcs) / (static_cast<double>(m) + static_cast<double>(n));
}

// The least LCS with which a pair whose lengths sum to `total` reaches the
// cut-off (by similarity_of), looked up: a pair is then tested without a
// division. SIZE_MAX where no LCS does.
class LeastLcs {
 public:
  LeastLcs(std::size_t longest_a, std::size_t longest_b, double cutoff);
  std::size_t operator()(std::size_t total) const {
    return total < least_.size() ? least_[total] : compute(total);
  }

 private:
  [[nodiscard]] std::size_t compute(std::size_t total) const;
  double cutoff_;
  std::vector<std::size_t> least_;
};

// Whether a pair of these lengths can reach the cut-off: the similarity of
// the longest LCS they allow, by the same formula, so never wrongly false.
inline bool reachable(std::size_t m, std::size_t n, double cutoff) {
  return similarity_of(std::min(m, n), m, n) >= cutoff;
}

// The LCS length of one pair, for strings too long for lanes.
std::size_t pair_lcs(Text<unsigned char> a, Text<unsigned char> b);
std::size_t pair_lcs(Text<std::uint32_t> a, Text<std::uint32_t> b);

// Lane strings of one vector, consecutive in their side's order.
struct Group {
  std::size_t begin = 0;  // in the order
  std::size_t end = 0;
  unsigned lane_bits = 0;  // 0: too long for lanes, a group of one compared pair by pair
  std::size_t words = 1;
  std::size_t shortest = 0;
  std::size_t longest = 0;
};

// Strings of one side, their symbols below `alphabet`.
template <class Symbol>
struct Side {
  std::vector<Text<Symbol>> texts;
  std::vector<std::size_t> order;  // positions of the texts by length, ties by position
  std::vector<Group> groups;       // of the lane side: the order cut into vectors
};

template <class Symbol>
std::size_t longest(const Side<Symbol>& side) {
  std::size_t most = 0;
  for (const Text<Symbol> text : side.texts) {
    most = std::max(most, text.size());
  }
  return most;
}

// Drivers per chunk: the lengths of a chunk stay in the first cache levels.
inline constexpr std::size_t kChunk = 256;

// Could any lane of `group` reach the cut-off with a string of length n?
inline bool reachable(const Group& group, std::size_t n, double cutoff) {
  if (n < group.shortest) {
    return reachable(group.shortest, n, cutoff);
  }
  return n <= group.longest || reachable(group.longest, n, cutoff);
}

// Sets side.order, the positions sorted by length (ties by position), and
// for a side that goes into lanes, side.groups.
template <class Symbol>
void arrange(Side<Symbol>& side, bool in_lanes);

// The masks of one group at a time, in one worker's memory.
template <class Symbol>
class GroupMasks {
 public:
  GroupMasks(std::size_t alphabet, std::size_t vector_bytes)
      : slot_of_(alphabet, 0), vector_bytes_(vector_bytes) {}
  // Slots for the symbols of these drivers only, kept for every group: the
  // masks of the other symbols are never read, so they are not built. Does
  // nothing when the drivers have too many distinct symbols.
  void fix_slots(std::span<const Text<Symbol>> drivers);
  LaneGroup build(const Group& group, const Side<Symbol>& side);

 private:
  void clear_slots();
  std::vector<std::uint16_t> slot_of_;
  std::vector<Symbol> used_;  // symbols whose slot is set
  bool fixed_ = false;
  std::vector<std::byte, LineAligned<std::byte>> masks_;
  std::size_t vector_bytes_;
};

// What a call asks of the pairs.
template <class Symbol>
struct PairsJob {
  const Side<Symbol>* lanes = nullptr;
  const Side<Symbol>* drivers = nullptr;
  std::size_t alphabet = 256;
  double cutoff = 0.0;
  bool drivers_by_length = false;  // drivers in their order (else by position)
  bool same_side = false;          // lanes == drivers: each pair once, driver after lane
};

// The LCS lengths of one group's lanes against the run of drivers at
// positions [first, first + count) (of the drivers' order, or positions when
// drivers are taken by position): lcs[k * stride + d] for the string at lane
// k and driver first + d; 0 for a driver that cannot reach the cut-off.
struct Chunk {
  const Group* group = nullptr;
  std::size_t first = 0;
  std::size_t count = 0;
  const std::uint32_t* lcs = nullptr;
  std::size_t stride = 0;
};

using Visit = std::function<void(unsigned worker, const Chunk& chunk)>;

// Calls visit(worker, chunk) for runs of drivers against every group, on
// options.threads threads (worker < the number of threads); reports progress
// and throws lcs::Stopped as options ask.
template <class Symbol>
void for_each_chunk(const PairsJob<Symbol>& job, const lcs::Options& options, const Visit& visit);

}  // namespace lcs_detail

#endif  // LCS_MANY_PAIRS_H
