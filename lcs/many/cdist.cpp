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

// Queries up to this length have their cells looked up.
constexpr std::size_t kMostTableQuery = 64;

// The cell of the matrix for every pair of short strings, looked up: the
// score as float, or 0 below the cut-off, for each sum of lengths and LCS.
class CellTable {
 public:
  CellTable(std::size_t longest_query, std::size_t longest_choice, double cutoff)
      : lcs_count_(longest_query + 1), totals_(longest_query + longest_choice + 1) {
    if (totals_ * lcs_count_ > kMostCells) {
      return;
    }
    cells_.resize(totals_ * lcs_count_);
    for (std::size_t total = 0; total < totals_; ++total) {
      for (std::size_t lcs = 0; lcs < lcs_count_; ++lcs) {
        const double score = similarity_of(lcs, total, 0);
        cells_[total * lcs_count_ + lcs] = score >= cutoff ? static_cast<float>(score) : 0.0F;
      }
    }
  }
  // The cells of a query of length m (at(n, lcs) into them), or null.
  [[nodiscard]] const float* for_query(std::size_t m) const {
    return cells_.empty() || m >= lcs_count_ ? nullptr : cells_.data() + m * lcs_count_;
  }
  [[nodiscard]] std::size_t at(std::size_t n, std::size_t lcs) const {
    return n * lcs_count_ + lcs;
  }

 private:
  static constexpr std::size_t kMostCells = std::size_t{1} << 20;
  std::size_t lcs_count_;
  std::size_t totals_;
  std::vector<float> cells_;
};

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
  const CellTable cells(std::min(longest(sides.queries), kMostTableQuery), longest(sides.choices),
                        cutoff);
  for_each_chunk(job, options, [&](unsigned /*worker*/, const Chunk& chunk) {
    const Group& group = *chunk.group;
    std::array<std::size_t, kChunk> n{};
    for (std::size_t d = 0; d < chunk.positions.size(); ++d) {
      n[d] = sides.choices.texts[chunk.positions[d]].size();
    }
    for (std::size_t k = 0; k < group.end - group.begin; ++k) {
      const std::size_t query = sides.queries.order[group.begin + k];
      const std::size_t m = sides.queries.texts[query].size();
      float* row = scores.data() + query * columns;
      if (chunk.positions.size() < chunk.count) {
        std::fill_n(row + chunk.first, chunk.count, 0.0F);
      }
      const std::uint32_t* lcs = chunk.lcs + k * chunk.stride;
      if (const float* cell = cells.for_query(m)) {
        for (std::size_t d = 0; d < chunk.positions.size(); ++d) {
          row[chunk.positions[d]] = cell[cells.at(n[d], lcs[d])];
        }
        continue;
      }
      for (std::size_t d = 0; d < chunk.positions.size(); ++d) {
        const double score = similarity_of(lcs[d], m, n[d]);
        row[chunk.positions[d]] = score >= cutoff ? static_cast<float>(score) : 0.0F;
      }
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
