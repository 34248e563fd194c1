// SPDX-License-Identifier: MIT
// The pairs above a cut-off: queries in vector lanes, choices sorted by
// length, so that each vector of queries meets only the run of choices
// whose lengths allow the cut-off (pairs.h); each worker keeps its own pairs,
// merged and sorted at the end. Memory: the answer and one chunk a worker.
#include <algorithm>
#include <array>

#include "lcs/many.h"
#include "lcs/many/sides.h"

namespace lcs_detail {
namespace {

// The pairs of the job; with `within`, of one side with itself (query < choice).
template <class Symbol>
std::vector<lcs::SimilarPair> pairs_of(const PairsJob<Symbol>& job, const lcs::Options& options) {
  std::vector<std::vector<lcs::SimilarPair>> found(thread_count(options.threads));
  const Side<Symbol>& lanes = *job.lanes;
  const Side<Symbol>& drivers = *job.drivers;
  const LeastLcs least(longest(lanes), longest(drivers), job.cutoff);
  for_each_chunk(job, options, [&](unsigned worker, const Chunk& chunk) {
    const Group& group = *chunk.group;
    std::array<std::size_t, kChunk> choice{};
    std::array<std::size_t, kChunk> n{};
    for (std::size_t d = 0; d < chunk.count; ++d) {
      choice[d] = drivers.order[chunk.first + d];
      n[d] = drivers.texts[choice[d]].size();
    }
    for (std::size_t k = 0; k < group.end - group.begin; ++k) {
      const std::size_t lane_position = group.begin + k;
      const std::size_t query = lanes.order[lane_position];
      const std::size_t m = lanes.texts[query].size();
      const std::uint32_t* lcs = chunk.lcs + k * chunk.stride;
      for (std::size_t d = 0; d < chunk.count; ++d) {
        // (A driver not compared has LCS 0, below the least.)
        if (lcs[d] < least(m + n[d]) || (job.same_side && chunk.first + d <= lane_position)) {
          continue;
        }
        const double score = similarity_of(lcs[d], m, n[d]);
        found[worker].push_back(job.same_side ? lcs::SimilarPair{std::min(query, choice[d]),
                                                                 std::max(query, choice[d]), score}
                                              : lcs::SimilarPair{query, choice[d], score});
      }
    }
  });
  std::size_t total = 0;
  for (const auto& pairs : found) {
    total += pairs.size();
  }
  std::vector<lcs::SimilarPair> all;
  all.reserve(total);
  for (auto& pairs : found) {
    all.insert(all.end(), pairs.begin(), pairs.end());
    std::vector<lcs::SimilarPair>().swap(pairs);
  }
  std::sort(all.begin(), all.end(), [](const lcs::SimilarPair& x, const lcs::SimilarPair& y) {
    return x.query != y.query ? x.query < y.query : x.choice < y.choice;
  });
  return all;
}

template <class Symbol>
std::vector<lcs::SimilarPair> across(Sides<Symbol>& sides, double cutoff,
                                     const lcs::Options& options) {
  arrange(sides.queries, true);
  arrange(sides.choices, false);
  PairsJob<Symbol> job{&sides.queries, &sides.choices, sides.alphabet, cutoff};
  job.drivers_by_length = true;
  return pairs_of(job, options);
}

template <class Symbol>
std::vector<lcs::SimilarPair> within(Sides<Symbol>& sides, double cutoff,
                                     const lcs::Options& options) {
  arrange(sides.queries, true);
  PairsJob<Symbol> job{&sides.queries, &sides.queries, sides.alphabet, cutoff};
  job.drivers_by_length = true;
  job.same_side = true;
  return pairs_of(job, options);
}

}  // namespace
}  // namespace lcs_detail

namespace lcs {

std::vector<SimilarPair> similar_pairs(std::span<const std::string_view> queries,
                                       std::span<const std::string_view> choices,
                                       double score_cutoff, const Options& options) {
  auto sides = lcs_detail::sides_of(queries, choices);
  return lcs_detail::across(sides, score_cutoff, options);
}

std::vector<SimilarPair> similar_pairs(std::span<const std::span<const std::uint32_t>> queries,
                                       std::span<const std::span<const std::uint32_t>> choices,
                                       double score_cutoff, const Options& options) {
  auto sides = lcs_detail::sides_of(queries, choices);
  return lcs_detail::across(sides, score_cutoff, options);
}

std::vector<SimilarPair> similar_pairs(std::span<const std::string_view> items, double score_cutoff,
                                       const Options& options) {
  auto sides = lcs_detail::sides_of(items, {});
  return lcs_detail::within(sides, score_cutoff, options);
}

std::vector<SimilarPair> similar_pairs(std::span<const std::span<const std::uint32_t>> items,
                                       double score_cutoff, const Options& options) {
  auto sides = lcs_detail::sides_of(items, {});
  return lcs_detail::within(sides, score_cutoff, options);
}

}  // namespace lcs
