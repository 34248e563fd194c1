// SPDX-License-Identifier: MIT
// The LCS from the matching pairs themselves, for texts of ids whose symbols
// seldom match: the threshold method of Hunt and Szymanski (1977), in time
// O(R log L + |a| log |b|) for R matching pairs and an LCS of length L,
// instead of the bit vectors' |a|·|b|/64 word steps.
#ifndef LCS_ALIGNMENT_SPARSE_H
#define LCS_ALIGNMENT_SPARSE_H

#include <cstddef>
#include <cstdint>

#include "lcs/alignment/block_writer.h"
#include "lcs/alignment/progress.h"
#include "lcs/kernels/symbols.h"

namespace lcs_detail {

// R, the pairs (i, j) with a[i] == b[j], for ids below `shared` (the others
// match nothing). Time O(|a| + |b| + shared).
std::uint64_t matching_pairs(Text<Id> a, Text<Id> b, Id shared);

// Whether visiting `pairs` matching pairs costs less than the bit-vector
// passes over the whole a_size x b_size table.
bool pairs_pay(std::size_t a_size, std::size_t b_size, std::uint64_t pairs);

// The LCS length of a and b from their `pairs` matching pairs. Space
// O(|b| + shared).
std::size_t sparse_length(Text<Id> a, Text<Id> b, Id shared, std::uint64_t pairs,
                          Progress& progress);

// One LCS of a and b, written to `out` with both positions moved on by
// `offset`. Each match the thresholds take is kept with a link to its
// predecessor while that is at most two per symbol of the piece; larger
// pieces are divided first (Hirschberg, 1975), the thresholds of the upper
// half forward and of the lower half backward telling where an optimal path
// crosses the middle. Space O(|a| + |b| + shared).
void sparse_blocks(Text<Id> a, Text<Id> b, Id shared, std::uint64_t pairs, std::size_t offset,
                   BlockWriter& out, Progress& progress);

}  // namespace lcs_detail

#endif  // LCS_ALIGNMENT_SPARSE_H
