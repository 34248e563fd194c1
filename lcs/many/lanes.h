// SPDX-License-Identifier: MIT
// Many LCS lengths at once: up to 64 strings packed side by side in the lanes
// of one vector (8, 16, 32 or 64 bits a string, several 64-bit words for
// longer ones), each lane running the bit-vector step of Allison and Dix
// (1986) and Hyyrö (2004) for the same symbol of another string. Lanes are
// added without carries between them. Time per other string: its length ×
// words vector steps for the whole group.
#ifndef LCS_MANY_LANES_H
#define LCS_MANY_LANES_H

#include <cstddef>
#include <cstdint>
#include <span>

#include "lcs/kernels/symbols.h"

namespace lcs_detail {

// Strings longer than this many 64-bit words are compared one pair at a time.
inline constexpr std::size_t kMaxLaneWords = 32;

// A group of strings in lanes, with their match masks.
struct LaneGroup {
  unsigned lane_bits = 64;  // 8, 16, 32 or 64
  std::size_t words = 1;    // vectors a lane's string spans; more than 1 only for 64-bit lanes
  // Slot of each symbol (indexed by its value), 0 for those in no lane.
  const std::uint16_t* slot_of = nullptr;
  // For each slot, `words` vectors: bit t of lane k is set where the t-th
  // symbol of lane k's string has that slot. Slot 0 is all zero.
  const std::byte* masks = nullptr;
};

// Bytes a vector of the chosen path holds (8 on the portable one).
std::size_t lane_vector_bytes();

// scores[d] = the similarity 2·lcs[d] / (m + n[d]) (1 where m + n[d] is 0) as
// float, the same as that of lcs::similarity, or 0 where it is below the
// cut-off; for d < count, several at a time.
void lane_similarities(const std::uint32_t* lcs, double m, const double* n, double cutoff,
                       float* scores, std::size_t count);

// For each driver d: lcs[k * stride + d] = the LCS length of lane k's string
// and drivers[d], for every lane k of the vector (empty lanes give 0): there
// are lane_vector_bytes() * 8 / group.lane_bits lanes; stride >= drivers.size().
template <class Symbol>
void lanes_lcs(const LaneGroup& group, std::span<const Text<Symbol>> drivers, std::uint32_t* lcs,
               std::size_t stride);

}  // namespace lcs_detail

#endif  // LCS_MANY_LANES_H
