// SPDX-License-Identifier: MIT
// The many-pair calls against a loop over lcs::similarity: every length
// around the lanes' widths (8, 16, 32, 64 bits and several words), any byte,
// scores tied and exactly at the cut-off, any number of threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "lcs/many.h"
#include "tests/test_support.h"

namespace {

// Strings across the lane boundaries, some near copies of others (high
// scores), some equal (ties), with zero bytes and bytes >= 0x80.
std::vector<std::string> strings_for_lanes(unsigned seed, std::size_t count, int alphabet) {
  std::mt19937 rng(seed);
  const std::size_t lengths[] = {0,  1,  7,  8,   9,   15,  16,  17,  31,   32,   33,
                                 63, 64, 65, 127, 128, 129, 200, 700, 2049, 2100, 4500};
  std::vector<std::string> strings;
  while (strings.size() < count) {
    const std::size_t length = lengths[rng() % std::size(lengths)];
    if (!strings.empty() && rng() % 3 == 0) {
      const std::string& base = strings[rng() % strings.size()];
      strings.push_back(with_edits(rng, base, rng() % 3, [&] {
        return static_cast<char>(rng() % static_cast<unsigned>(alphabet));
      }));
    } else {
      strings.push_back(random_text(rng, length, alphabet));
    }
  }
  return strings;
}

lcs::Options on_threads(unsigned threads) {
  lcs::Options options;
  options.threads = threads;
  return options;
}

bool best_first(const lcs::ScoredChoice& x, const lcs::ScoredChoice& y) {
  return x.score != y.score ? x.score > y.score : x.index < y.index;
}

std::vector<std::string_view> views(const std::vector<std::string>& strings) {
  return {strings.begin(), strings.end()};
}

std::vector<std::uint32_t> widened(std::string_view s, std::uint32_t offset) {
  std::vector<std::uint32_t> out;
  for (const char c : s) {
    out.push_back(static_cast<unsigned char>(c) + offset);
  }
  return out;
}

struct WideStrings {
  std::vector<std::vector<std::uint32_t>> storage;
  std::vector<std::span<const std::uint32_t>> spans;
  WideStrings(const std::vector<std::string>& strings, std::uint32_t offset) {
    for (const std::string& s : strings) {
      storage.push_back(widened(s, offset));
    }
    spans.assign(storage.begin(), storage.end());
  }
};

struct Case {
  const char* name;
  std::size_t queries;
  std::size_t choices;
  int alphabet;
  unsigned threads;
  double cutoff;
};

// Cut-offs that real scores hit exactly (0.5, 0.8, 1) and between them.
const Case kCases[] = {
    {"everything", 40, 60, 4, 1, 0.0},     {"bytes of any value", 30, 50, 256, 2, 0.0},
    {"at one half", 50, 50, 2, 1, 0.5},    {"at 0.8, all cores", 60, 70, 26, 0, 0.8},
    {"only equal", 40, 40, 3, 2, 1.0},     {"no query", 0, 10, 4, 1, 0.0},
    {"no choice", 10, 0, 4, 2, 0.3},       {"one each", 1, 1, 4, 1, 0.0},
    {"two-thirds", 70, 90, 4, 2, 2.0 / 3},
};

class ManyPairs : public ::testing::TestWithParam<Case> {};

std::string name_of(const ::testing::TestParamInfo<Case>& info) {
  std::string name = info.param.name;
  std::replace_if(
      name.begin(), name.end(), [](char c) { return std::isalnum(c) == 0; }, '_');
  return name;
}

INSTANTIATE_TEST_SUITE_P(Cases, ManyPairs, ::testing::ValuesIn(kCases), name_of);

TEST_P(ManyPairs, CdistIsTheSimilarityOfEveryPairAboveTheCutoff) {
  const Case& c = GetParam();
  const auto queries = strings_for_lanes(11, c.queries, c.alphabet);
  const auto choices = strings_for_lanes(12, c.choices, c.alphabet);
  const lcs::Options options = on_threads(c.threads);
  std::vector<float> scores(c.queries * c.choices, -1.0F);
  lcs::cdist(views(queries), views(choices), scores, c.cutoff, options);
  const WideStrings wide_queries(queries, 1U << 30);
  const WideStrings wide_choices(choices, 1U << 30);
  std::vector<float> wide_scores(scores.size(), -1.0F);
  lcs::cdist(wide_queries.spans, wide_choices.spans, wide_scores, c.cutoff, options);
  for (std::size_t q = 0; q < c.queries; ++q) {
    for (std::size_t k = 0; k < c.choices; ++k) {
      const double expected = lcs::similarity(queries[q], choices[k]);
      const float wanted = expected >= c.cutoff ? static_cast<float>(expected) : 0.0F;
      ASSERT_EQ(scores[q * c.choices + k], wanted) << q << " " << k;
      ASSERT_EQ(wide_scores[q * c.choices + k], wanted) << q << " " << k;
    }
  }
}

TEST_P(ManyPairs, SimilarPairsAreEveryPairAtOrAboveTheCutoffInOrder) {
  const Case& c = GetParam();
  const auto queries = strings_for_lanes(21, c.queries, c.alphabet);
  const auto choices = strings_for_lanes(22, c.choices, c.alphabet);
  const lcs::Options options = on_threads(c.threads);
  std::vector<lcs::SimilarPair> across;
  std::vector<lcs::SimilarPair> within;
  for (std::size_t q = 0; q < c.queries; ++q) {
    for (std::size_t k = 0; k < c.choices; ++k) {
      if (const double score = lcs::similarity(queries[q], choices[k]); score >= c.cutoff) {
        across.push_back({q, k, score});
      }
    }
    for (std::size_t k = q + 1; k < c.queries; ++k) {
      if (const double score = lcs::similarity(queries[q], queries[k]); score >= c.cutoff) {
        within.push_back({q, k, score});
      }
    }
  }
  EXPECT_EQ(lcs::similar_pairs(views(queries), views(choices), c.cutoff, options), across);
  EXPECT_EQ(lcs::similar_pairs(views(queries), c.cutoff, options), within);
  const WideStrings wide(queries, 0x10FF00);
  EXPECT_EQ(lcs::similar_pairs(wide.spans, c.cutoff, options), within);
}

TEST_P(ManyPairs, ExtractGivesTheBestChoicesBestFirstTiesByIndex) {
  const Case& c = GetParam();
  const auto queries = strings_for_lanes(31, std::min<std::size_t>(c.queries, 8), c.alphabet);
  const auto choices = strings_for_lanes(32, c.choices, c.alphabet);
  const lcs::Options options = on_threads(c.threads);
  for (const std::string& query : queries) {
    std::vector<lcs::ScoredChoice> all;
    for (std::size_t k = 0; k < c.choices; ++k) {
      if (const double score = lcs::similarity(query, choices[k]); score >= c.cutoff) {
        all.push_back({k, score});
      }
    }
    std::sort(all.begin(), all.end(), best_first);
    for (const std::size_t limit :
         {std::size_t{0}, std::size_t{1}, std::size_t{5}, c.choices + 1}) {
      const std::vector<lcs::ScoredChoice> expected(
          all.begin(), all.begin() + static_cast<std::ptrdiff_t>(std::min(limit, all.size())));
      EXPECT_EQ(lcs::extract(query, views(choices), limit, c.cutoff, options), expected)
          << "limit " << limit << " query of " << query.size();
      const WideStrings wide_choices(choices, 7);
      EXPECT_EQ(lcs::extract(widened(query, 7), wide_choices.spans, limit, c.cutoff, options),
                expected);
    }
  }
}

TEST(ManyPairsContract, ExtractOverManyBlocksOfChoicesOnAnyThreads) {
  std::mt19937 rng(51);
  std::vector<std::string> choices(20000);
  for (std::string& choice : choices) {
    choice = random_text(rng, 5 + rng() % 66, 4);
  }
  // Queries whose own copy, the best choice, ends or starts a block of choices.
  for (const std::size_t q :
       {std::size_t{3}, std::size_t{8191}, std::size_t{8192}, std::size_t{19999}}) {
    std::vector<lcs::ScoredChoice> all;
    for (std::size_t k = 0; k < choices.size(); ++k) {
      all.push_back({k, lcs::similarity(choices[q], choices[k])});
    }
    std::sort(all.begin(), all.end(), best_first);
    for (const unsigned threads : {1U, 2U}) {
      EXPECT_EQ(lcs::extract(choices[q], views(choices), 7, 0.0, on_threads(threads)),
                std::vector<lcs::ScoredChoice>(all.begin(), all.begin() + 7));
    }
  }
}

TEST(ManyPairsContract, TwoEmptyStringsAreAlikeAndTheMatrixMustFit) {
  const std::vector<std::string_view> empty = {"", "a"};
  std::vector<float> scores(4);
  lcs::cdist(empty, empty, scores);
  EXPECT_EQ(scores, (std::vector<float>{1.0F, 0.0F, 0.0F, 1.0F}));
  std::vector<float> small(3);
  EXPECT_THROW(lcs::cdist(empty, empty, small), std::length_error);
}

TEST(ManyPairsContract, ProgressEndsAtOneAndStopEndsTheCall) {
  const auto strings = strings_for_lanes(41, 300, 4);
  std::vector<float> scores(strings.size() * strings.size());
  std::vector<double> reports;
  lcs::Options options;
  options.threads = 2;
  options.progress = [&](double done) { reports.push_back(done); };
  lcs::cdist(views(strings), views(strings), scores, 0.0, options);
  ASSERT_FALSE(reports.empty());
  EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
  EXPECT_EQ(reports.back(), 1.0);
  const std::atomic<bool> stop{true};
  options.stop = &stop;
  EXPECT_THROW(lcs::cdist(views(strings), views(strings), scores, 0.0, options), lcs::Stopped);
  EXPECT_THROW((void)lcs::similar_pairs(views(strings), 0.5, options), lcs::Stopped);
  EXPECT_THROW((void)lcs::extract(strings[0], views(strings), 3, 0.0, options), lcs::Stopped);
}

}  // namespace
