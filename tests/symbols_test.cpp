// SPDX-License-Identifier: MIT
// The alignment layer on 16- and 32-bit symbols: the same contract as for
// bytes, with symbols of extreme and sparse values, over vocabularies small
// enough for bit vectors and large enough for the threshold method; the edit
// operations that tile both sequences; lines and dense ids.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <numeric>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "lcs/alignment.h"
#include "tests/blocks_contract.h"
#include "tests/test_support.h"

namespace {

using Wide = std::vector<std::uint32_t>;
using Narrow = std::vector<std::uint16_t>;

// Symbol k of a vocabulary as a value spread over the whole type, so that
// nothing can take values for dense ids: 0, then the largest value, then
// values far apart.
template <class Symbol>
Symbol spread(std::uint32_t k) {
  if (k == 1) {
    return static_cast<Symbol>(~Symbol{0});
  }
  return static_cast<Symbol>(k * 2654435761U);  // odd: distinct for distinct k
}

template <class Symbol>
std::vector<Symbol> random_symbols(std::mt19937& rng, std::size_t length,
                                   std::uint32_t vocabulary) {
  std::vector<Symbol> symbols(length);
  for (Symbol& symbol : symbols) {
    symbol = spread<Symbol>(static_cast<std::uint32_t>(rng() % vocabulary));
  }
  return symbols;
}

// A copy of `s` with `edits` random edits of symbols of the vocabulary.
template <class Symbol>
std::vector<Symbol> edited(std::mt19937& rng, std::vector<Symbol> s, std::size_t edits,
                           std::uint32_t vocabulary) {
  return with_edits(rng, std::move(s), edits,
                    [&] { return spread<Symbol>(static_cast<std::uint32_t>(rng() % vocabulary)); });
}

// Fails unless `edits` tile a and b from start to end, equal ranges hold
// equal symbols and add up to `lcs`, and each tag fits its ranges.
template <class Symbol>
void expect_tiling(const std::vector<Symbol>& a, const std::vector<Symbol>& b,
                   const std::vector<lcs::Opcode>& edits, std::size_t lcs,
                   const std::string& label) {
  using Tag = lcs::Opcode::Tag;
  std::size_t i = 0;
  std::size_t j = 0;
  std::size_t equal = 0;
  for (std::size_t k = 0; k < edits.size(); ++k) {
    const lcs::Opcode& e = edits[k];
    ASSERT_TRUE(e.a_begin == i && e.b_begin == j) << label << ", edit " << k << " leaves a gap";
    ASSERT_TRUE(e.a_end >= e.a_begin && e.b_end >= e.b_begin) << label << ", edit " << k;
    ASSERT_TRUE(e.a_end > e.a_begin || e.b_end > e.b_begin) << label << ", empty edit " << k;
    const std::size_t a_size = e.a_end - e.a_begin;
    const std::size_t b_size = e.b_end - e.b_begin;
    switch (e.tag) {
      case Tag::equal:
        ASSERT_EQ(a_size, b_size) << label;
        ASSERT_TRUE(std::equal(a.begin() + static_cast<std::ptrdiff_t>(i),
                               a.begin() + static_cast<std::ptrdiff_t>(e.a_end),
                               b.begin() + static_cast<std::ptrdiff_t>(j)))
            << label;
        equal += a_size;
        break;
      case Tag::replace:
        ASSERT_TRUE(a_size > 0 && b_size > 0) << label;
        break;
      case Tag::remove:
        ASSERT_EQ(b_size, 0U) << label;
        break;
      case Tag::insert:
        ASSERT_EQ(a_size, 0U) << label;
        break;
    }
    ASSERT_FALSE(k > 0 && (edits[k - 1].tag == Tag::equal) == (e.tag == Tag::equal))
        << label << ", edits " << k - 1 << " and " << k << " should be one";
    i = e.a_end;
    j = e.b_end;
  }
  ASSERT_TRUE(i == a.size() && j == b.size()) << label << ", the edits stop short";
  ASSERT_EQ(equal, lcs) << label;
}

// The whole contract for one pair, in both widths where the values fit.
template <class Symbol>
void expect_exact(const std::vector<Symbol>& a, const std::vector<Symbol>& b, std::size_t lcs,
                  const std::string& label) {
  expect_lcs_blocks(a, b, lcs, label);
  const std::vector<lcs::MatchingBlock> blocks = lcs::matching_blocks(a, b);
  expect_tiling(a, b, lcs::opcodes(blocks, a.size(), b.size()), lcs, label);
}

// The byte image of symbols of a vocabulary of at most 256: each symbol's
// number in the order first seen, so the byte family's LCS is theirs.
template <class Symbol>
std::string bytes_of(const std::vector<Symbol>& symbols, std::map<Symbol, char>& numbers) {
  std::string bytes;
  for (const Symbol symbol : symbols) {
    bytes.push_back(numbers.try_emplace(symbol, static_cast<char>(numbers.size())).first->second);
  }
  return bytes;
}

template <class Symbol>
std::vector<Symbol> as_symbols(std::string_view text) {
  std::vector<Symbol> symbols;
  for (const char c : text) {
    symbols.push_back(spread<Symbol>(static_cast<std::uint32_t>(c - 'a')));
  }
  return symbols;
}

TEST(WideSymbols, AgreeWithBruteForceOnEveryTinyPair) {
  const std::vector<std::string> strings = all_strings("abc", 4);
  for (const std::string& x : strings) {
    for (const std::string& y : strings) {
      const auto lcs = static_cast<std::size_t>(brute_force_lcs(x, y));
      const std::string label = std::string(x).append(" / ").append(y);
      expect_exact(as_symbols<std::uint32_t>(x), as_symbols<std::uint32_t>(y), lcs, label);
      expect_exact(as_symbols<std::uint16_t>(x), as_symbols<std::uint16_t>(y), lcs, label);
    }
  }
}

// Vocabularies from one symbol (bit vectors, dense masks) through a few
// hundred (masks set from occurrence lists) to tens of thousands (the
// threshold method), and a skewed one that mixes dense and scattered masks.
TEST(WideSymbols, AgreeWithTheTextbookOnRandomPairs) {
  std::mt19937 rng(1717);
  const std::size_t lengths[] = {1, 63, 64, 65, 129, 1000, 2100};
  for (const std::uint32_t vocabulary : {1U, 2U, 4U, 300U, 5000U, 70000U}) {
    for (const std::size_t m : lengths) {
      const std::size_t n = lengths[rng() % std::size(lengths)];
      const Wide a = random_symbols<std::uint32_t>(rng, m, vocabulary);
      const Wide b = random_symbols<std::uint32_t>(rng, n, vocabulary);
      const std::string label = std::to_string(m) + " x " + std::to_string(n) + ", vocabulary " +
                                std::to_string(vocabulary);
      expect_exact(a, b, textbook_lcs(a, b), label);
      const Wide reversed(a.rbegin(), a.rend());
      expect_exact(a, reversed, textbook_lcs(a, reversed), label + ", reversed");
    }
  }
  Wide skewed_a = random_symbols<std::uint32_t>(rng, 3000, 5000);
  Wide skewed_b = random_symbols<std::uint32_t>(rng, 2500, 5000);
  for (Wide* s : {&skewed_a, &skewed_b}) {
    for (std::size_t t = 0; t < s->size(); t += 2) {
      (*s)[t] = spread<std::uint32_t>(static_cast<std::uint32_t>(t % 3));
    }
  }
  expect_exact(skewed_a, skewed_b, textbook_lcs(skewed_a, skewed_b), "skewed vocabulary");
}

// Alike pairs take the banded paths; over four symbols their byte images
// are long enough to need the family's fast two-row method as the reference.
TEST(WideSymbols, AgreeOnAlikePairs) {
  std::mt19937 rng(1818);
  for (const std::size_t n : {std::size_t{3000}, std::size_t{12000}}) {
    for (const std::size_t edits : {std::size_t{1}, n / 100, n / 10}) {
      const std::string label = std::to_string(n) + " with " + std::to_string(edits) + " edits";
      const Narrow a = random_symbols<std::uint16_t>(rng, n, 4);
      const Narrow b = edited(rng, a, edits, 4);
      std::map<std::uint16_t, char> numbers;
      const auto lcs = static_cast<std::size_t>(
          lcs_of(Hirschberg_AlgB, bytes_of(a, numbers), bytes_of(b, numbers)));
      expect_exact(a, b, lcs, label + ", vocabulary 4");
      if (n == 3000) {
        const Narrow x = random_symbols<std::uint16_t>(rng, n, 5000);
        const Narrow y = edited(rng, x, edits, 5000);
        expect_exact(x, y, textbook_lcs(x, y), label + ", vocabulary 5000");
      }
    }
  }
}

// Enough repeats on both sides that the threshold method divides the pair
// before it keeps its matches.
TEST(WideSymbols, AgreeWithTheTextbookWhereTheThresholdMethodDivides) {
  std::mt19937 rng(1919);
  const Wide a = random_symbols<std::uint32_t>(rng, 9000, 2100);
  const Wide b = random_symbols<std::uint32_t>(rng, 9000, 2100);
  expect_exact(a, b, textbook_lcs(a, b), "9000 x 9000, vocabulary 2100");
}

// Between two permutations the LCS is the longest increasing run of the
// positions in b of a's symbols: a reference in O(n log n).
TEST(WideSymbols, PermutationsAgreeWithTheLongestIncreasingSubsequence) {
  std::mt19937 rng(2020);
  for (const std::size_t n : {std::size_t{1000}, std::size_t{60000}}) {
    Wide b(n);
    std::iota(b.begin(), b.end(), 0U);
    Wide a = b;
    std::shuffle(a.begin(), a.end(), rng);
    std::shuffle(b.begin(), b.end(), rng);
    std::vector<std::size_t> position(n);
    for (std::size_t j = 0; j < n; ++j) {
      position[b[j]] = j;
    }
    std::vector<std::size_t> tails;  // tails[k]: the least end of an increasing run of k + 1
    for (const std::uint32_t symbol : a) {
      const auto at = std::lower_bound(tails.begin(), tails.end(), position[symbol]);
      if (at == tails.end()) {
        tails.push_back(position[symbol]);
      } else {
        *at = position[symbol];
      }
    }
    for (std::uint32_t& symbol : a) {
      symbol = spread<std::uint32_t>(symbol);
    }
    for (std::uint32_t& symbol : b) {
      symbol = spread<std::uint32_t>(symbol);
    }
    expect_exact(a, b, tails.size(), "permutations of " + std::to_string(n));
  }
}

TEST(WideSymbols, AnyNumberOfThreadsGivesTheSameResult) {
  std::mt19937 rng(2121);
  const Wide alike = random_symbols<std::uint32_t>(rng, 20000, 4);
  const std::pair<Wide, Wide> pairs[] = {
      {random_symbols<std::uint32_t>(rng, 6000, 300),
       random_symbols<std::uint32_t>(rng, 7000, 300)},
      {alike, edited(rng, alike, 2000, 4)},
      {random_symbols<std::uint32_t>(rng, 30000, 20000),
       random_symbols<std::uint32_t>(rng, 30000, 20000)},
  };
  for (const auto& [a, b] : pairs) {
    const std::vector<lcs::MatchingBlock> one = lcs::matching_blocks(a, b);
    const std::size_t length = lcs::length(a, b);
    for (const unsigned threads : {2U, 0U}) {
      std::vector<double> reports;
      const lcs::Options options{[&](double done) { reports.push_back(done); }, threads};
      EXPECT_EQ(lcs::matching_blocks(a, b, options), one) << threads << " threads";
      ASSERT_FALSE(reports.empty());
      EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
      EXPECT_EQ(reports.back(), 1.0);
      EXPECT_EQ(lcs::length(a, b, options), length) << threads << " threads";
    }
  }
}

TEST(Opcodes, AreDifflibsOnItsOwnExample) {
  using Tag = lcs::Opcode::Tag;
  // difflib's documentation: "qabxcd" against "abycdf".
  const std::vector<lcs::MatchingBlock> blocks = lcs::matching_blocks("qabxcd", "abycdf");
  const std::vector<lcs::Opcode> expected = {{Tag::remove, 0, 1, 0, 0},
                                             {Tag::equal, 1, 3, 0, 2},
                                             {Tag::replace, 3, 4, 2, 3},
                                             {Tag::equal, 4, 6, 3, 5},
                                             {Tag::insert, 6, 6, 5, 6}};
  EXPECT_EQ(lcs::opcodes(blocks, 6, 6), expected);
  EXPECT_EQ(lcs::opcodes({}, 0, 0), std::vector<lcs::Opcode>{});
  EXPECT_EQ(lcs::opcodes({}, 2, 0), (std::vector<lcs::Opcode>{{Tag::remove, 0, 2, 0, 0}}));
  // Blocks that touch, as a caller may pass them, make one equal range.
  const lcs::MatchingBlock touching[] = {{0, 0, 1}, {1, 1, 2}};
  EXPECT_EQ(lcs::opcodes(touching, 3, 3), (std::vector<lcs::Opcode>{{Tag::equal, 0, 3, 0, 3}}));
  const std::pair<Tag, std::string_view> names[] = {{Tag::equal, "equal"},
                                                    {Tag::replace, "replace"},
                                                    {Tag::remove, "delete"},
                                                    {Tag::insert, "insert"}};
  for (const auto& [tag, name] : names) {
    EXPECT_EQ(lcs::tag_name(tag), name);
  }
  const lcs::MatchingBlock out_of_order[] = {{2, 2, 1}, {0, 0, 1}};
  const lcs::MatchingBlock too_long[] = {{0, 0, 4}};
  EXPECT_THROW(lcs::opcodes(out_of_order, 3, 3), std::invalid_argument);
  EXPECT_THROW(lcs::opcodes(too_long, 3, 5), std::invalid_argument);
}

TEST(Lines, KeepTheirTerminators) {
  using Lines = std::vector<std::string_view>;
  const std::pair<std::string_view, Lines> cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\n", {"a\n"}},
      {"a\r\nb", {"a\r\n", "b"}},
      {"\n\n", {"\n", "\n"}},
      {"x\ry\n", {"x\ry\n"}},
  };
  for (const auto& [text, lines] : cases) {
    EXPECT_EQ(lcs::split_lines(text), lines) << text;
  }
}

// Lines of two texts through dense ids: the LCS counts whole lines, and a
// last line without its line feed is a line of its own.
TEST(DenseIds, NumberEqualItemsAlike) {
  const std::vector<std::string_view> a = lcs::split_lines("x\ny\nz\ny\n");
  const std::vector<std::string_view> b = lcs::split_lines("y\nx\nz\ny");
  const lcs::DenseIds ids = lcs::dense_ids(a, b);
  EXPECT_EQ(ids.a, (Wide{0, 1, 2, 1}));
  EXPECT_EQ(ids.b, (Wide{1, 0, 2, 3}));
  EXPECT_EQ(ids.distinct, 4U);
  EXPECT_EQ(lcs::length(ids.a, ids.b), 2U);
  EXPECT_EQ(lcs::subsequence(ids.a, ids.b).size(), 2U);  // x z, or y z
  EXPECT_DOUBLE_EQ(lcs::similarity(ids.a, ids.b), 0.5);
  const Narrow x = {0, 0xFFFF, 7};
  EXPECT_EQ(lcs::subsequence(x, Narrow{0xFFFF, 7, 0}), (Narrow{0xFFFF, 7}));
  EXPECT_EQ(lcs::similarity(Narrow{}, Narrow{}), 1.0);
  const std::vector<int> numbers = {7, -1, 7};
  EXPECT_EQ(lcs::dense_ids(numbers, std::vector<int>{-1}).b, Wide{1});
}

}  // namespace
