// SPDX-License-Identifier: MIT
// One string against many, many against many: the similarity of every pair
// (2·LCS / (|a| + |b|), exactly lcs::similarity), the best choices of a query,
// a matrix of scores, or only the pairs above a cut-off.
//
// Strings are bytes (std::string_view; any byte values) or code points
// (spans of 32-bit symbols of any value). Options work as for one pair:
// `threads` (0: every core) share the pairs, `progress` is told the share
// done, `stop` ends a call with lcs::Stopped; results are the same for any
// number of threads.
//
// Cost: strings of up to 64 symbols go side by side into the lanes of the
// widest vectors the processor has (8, 16, 32 or 64 bits a string: up to 64
// strings a vector), longer ones of up to 2,048 symbols into 64-bit lanes of
// several words; each string of the other side then takes one vector step a
// symbol and word for the whole vector (Allison and Dix, 1986; Hyyrö, 2004).
// Longer strings are compared pair by pair (lcs::length). A pair whose lengths
// alone keep it below the cut-off (2·min/(m + n) < cut-off) is not compared.
// A string of 2^32 symbols or more throws std::length_error.
#ifndef LCS_MANY_H
#define LCS_MANY_H

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "lcs/alignment.h"

namespace lcs {

// A choice and its similarity to the query.
struct ScoredChoice {
  std::size_t index;
  double score;
  bool operator==(const ScoredChoice&) const = default;
};

// A pair of a query and a choice, and their similarity.
struct SimilarPair {
  std::size_t query;
  std::size_t choice;
  double score;
  bool operator==(const SimilarPair&) const = default;
};

// The best `limit` choices for the query with score >= score_cutoff, best
// first, ties by lower index. The cut-off rises to the limit-th best score
// found so far, so that choices too short or too long for it are skipped.
// Time: about (total length of the choices) / (strings a vector) steps.
std::vector<ScoredChoice> extract(std::string_view query, std::span<const std::string_view> choices,
                                  std::size_t limit, double score_cutoff = 0.0,
                                  const Options& options = {});
std::vector<ScoredChoice> extract(std::span<const std::uint32_t> query,
                                  std::span<const std::span<const std::uint32_t>> choices,
                                  std::size_t limit, double score_cutoff = 0.0,
                                  const Options& options = {});

// scores[q * choices.size() + c] = the similarity of queries[q] and
// choices[c] (as float), or 0 where it is below score_cutoff. scores must hold
// queries.size() × choices.size() values (else std::length_error).
// Time: about |queries| / (strings a vector) × (total length of the choices) steps.
void cdist(std::span<const std::string_view> queries, std::span<const std::string_view> choices,
           std::span<float> scores, double score_cutoff = 0.0, const Options& options = {});
void cdist(std::span<const std::span<const std::uint32_t>> queries,
           std::span<const std::span<const std::uint32_t>> choices, std::span<float> scores,
           double score_cutoff = 0.0, const Options& options = {});

// Every pair with score >= score_cutoff, ordered by (query, choice). Memory
// grows with the answer, not with queries × choices; with a cut-off, pairs
// of far apart lengths are never looked at.
std::vector<SimilarPair> similar_pairs(std::span<const std::string_view> queries,
                                       std::span<const std::string_view> choices,
                                       double score_cutoff, const Options& options = {});
std::vector<SimilarPair> similar_pairs(std::span<const std::span<const std::uint32_t>> queries,
                                       std::span<const std::span<const std::uint32_t>> choices,
                                       double score_cutoff, const Options& options = {});

// The same within one set: every pair of items with query < choice, each once.
std::vector<SimilarPair> similar_pairs(std::span<const std::string_view> items, double score_cutoff,
                                       const Options& options = {});
std::vector<SimilarPair> similar_pairs(std::span<const std::span<const std::uint32_t>> items,
                                       double score_cutoff, const Options& options = {});

}  // namespace lcs

#endif  // LCS_MANY_H
