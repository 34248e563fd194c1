// SPDX-License-Identifier: MIT
// Fuzzes the many-pair calls: cdist, similar_pairs (across and within) and
// extract must give exactly the scores of lcs::similarity pair by pair. Byte
// 0 chooses the threads and how the strings are cut, byte 1 the cut-off (in
// steps of 1/16, so that real scores land on it); the rest is cut into
// strings at each byte equal to byte 0, the first half queries, the second
// choices, so that lengths around every lane width come up.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "lcs/alignment.h"
#include "lcs/many.h"

namespace {

void require(bool condition) {
  if (!condition) {
    __builtin_trap();
  }
}

std::vector<std::string_view> cut(std::string_view data, char separator) {
  std::vector<std::string_view> pieces;
  for (std::size_t start = 0; start <= data.size();) {
    const std::size_t end = std::min(data.find(separator, start), data.size());
    pieces.push_back(data.substr(start, end - start));
    start = end + 1;
  }
  return pieces;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  if (size < 2) {
    return 0;
  }
  // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): the fuzzer's bytes as chars
  const std::string_view data(reinterpret_cast<const char*>(bytes) + 2, size - 2);
  const auto strings = cut(data, static_cast<char>(bytes[0]));
  const std::span<const std::string_view> all(strings);
  const auto queries = all.first(all.size() / 2);
  const auto choices = all.subspan(all.size() / 2);
  const double cutoff = (bytes[1] % 17) / 16.0;
  lcs::Options options;
  options.threads = bytes[0] % 3;

  std::vector<float> scores(queries.size() * choices.size());
  lcs::cdist(queries, choices, scores, cutoff, options);
  std::vector<lcs::SimilarPair> across;
  for (std::size_t q = 0; q < queries.size(); ++q) {
    for (std::size_t c = 0; c < choices.size(); ++c) {
      const double score = lcs::similarity(queries[q], choices[c]);
      require(scores[q * choices.size() + c] ==
              (score >= cutoff ? static_cast<float>(score) : 0.0F));
      if (score >= cutoff) {
        across.push_back({q, c, score});
      }
    }
  }
  require(lcs::similar_pairs(queries, choices, cutoff, options) == across);

  std::vector<lcs::SimilarPair> within;
  for (std::size_t q = 0; q < all.size(); ++q) {
    for (std::size_t c = q + 1; c < all.size(); ++c) {
      if (const double score = lcs::similarity(all[q], all[c]); score >= cutoff) {
        within.push_back({q, c, score});
      }
    }
  }
  require(lcs::similar_pairs(all, cutoff, options) == within);

  if (!queries.empty()) {
    std::vector<lcs::ScoredChoice> best;
    for (std::size_t c = 0; c < choices.size(); ++c) {
      if (const double score = lcs::similarity(queries[0], choices[c]); score >= cutoff) {
        best.push_back({c, score});
      }
    }
    std::sort(best.begin(), best.end(), [](const auto& x, const auto& y) {
      return x.score != y.score ? x.score > y.score : x.index < y.index;
    });
    best.resize(std::min<std::size_t>(best.size(), 3));
    require(lcs::extract(queries[0], choices, 3, cutoff, options) == best);
  }
  return 0;
}
