// SPDX-License-Identifier: MIT
// The matrix of similarities of queries × choices: queries in vector lanes,
// each choice driving a vector of them (pairs.h); rows written a run of
// choices at a time. Time: |queries| / (lanes) × (total length of the choices)
// vector steps; memory: the matrix the caller gives.
#include <array>
#include <limits>
#include <stdexcept>

#include "lcs/many.h"
#include "lcs/many/sides.h"

namespace lcs_detail {
namespace {

template <class Symbol>
void cdist_of(Sides<Symbol>& sides, std::span<float> scores, double cutoff,
              const lcs::Options& options) {
  const std::size_t rows = sides.queries.texts.size();
  const std::size_t columns = sides.choices.texts.size();
  if (columns != 0 && rows > std::numeric_limits<std::size_t>::max() / columns) {
    throw std::length_error("lcs::cdist: queries × choices is too large");
  }
  if (scores.size() < rows * columns) {
    throw std::length_error("lcs::cdist: scores must hold queries × choices values");
  }
  arrange(sides.queries, true);
  const PairsJob<Symbol> job{&sides.queries, &sides.choices, sides.alphabet, cutoff};
  const LeastLcs least(longest(sides.queries), longest(sides.choices), cutoff);
  for_each_chunk(job, options, [&](unsigned /*worker*/, const Chunk& chunk) {
    const Group& group = *chunk.group;
    std::array<double, kChunk> n{};
    std::array<std::size_t, kChunk> n_sizes{};
    for (std::size_t d = 0; d < chunk.count; ++d) {
      n_sizes[d] = sides.choices.texts[chunk.first + d].size();
      n[d] = static_cast<double>(n_sizes[d]);
    }
    // With a cut-off, the least LCS that reaches it for each driver, for lanes
    // of one length (most of a group): a row that reaches it nowhere is zeros.
    std::array<std::uint32_t, kChunk> needed{};
    std::size_t needed_for = SIZE_MAX;
    for (std::size_t k = 0; k < group.end - group.begin; ++k) {
      const std::size_t query = sides.queries.order[group.begin + k];
      const std::size_t m = sides.queries.texts[query].size();
      float* row = scores.data() + query * columns + chunk.first;
      const std::uint32_t* lcs = chunk.lcs + k * chunk.stride;
      if (cutoff > 0) {
        if (needed_for != m) {
          for (std::size_t d = 0; d < chunk.count; ++d) {
            needed[d] = static_cast<std::uint32_t>(
                std::min<std::size_t>(least(m + n_sizes[d]), UINT32_MAX));
          }
          needed_for = m;
        }
        unsigned reached = 0;  // not ||: the loop goes into vector steps
        for (std::size_t d = 0; d < chunk.count; ++d) {
          reached |= static_cast<unsigned>(lcs[d] >= needed[d]);
        }
        if (reached == 0) {
          std::fill_n(row, chunk.count, 0.0F);
          continue;
        }
      }
      lane_similarities(lcs, static_cast<double>(m), n.data(), cutoff, row, chunk.count);
    }
  });
}

}  // namespace
}  // namespace lcs_detail

namespace lcs {

void cdist(std::span<const std::string_view> queries, std::span<const std::string_view> choices,
           std::span<float> scores, double score_cutoff, const Options& options) {
  auto sides = lcs_detail::sides_of(queries, choices);
  lcs_detail::cdist_of(sides, scores, score_cutoff, options);
}

void cdist(std::span<const std::span<const std::uint32_t>> queries,
           std::span<const std::span<const std::uint32_t>> choices, std::span<float> scores,
           double score_cutoff, const Options& options) {
  auto sides = lcs_detail::sides_of(queries, choices);
  lcs_detail::cdist_of(sides, scores, score_cutoff, options);
}

}  // namespace lcs
