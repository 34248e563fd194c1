// SPDX-License-Identifier: MIT
// Helpers shared by the unit tests.
#ifndef LCS_TESTS_TEST_SUPPORT_H
#define LCS_TESTS_TEST_SUPPORT_H

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "lcs/lcs_algorithms.h"

// A sequence as the library takes it: one-based, with nothing allocated past
// its last character, so that a read beyond it is caught by the sanitizers.
class OneBased {
 public:
  explicit OneBased(std::string_view text) : bytes_(text.size() + 1) {
    std::copy(text.begin(), text.end(), bytes_.begin() + 1);
  }
  [[nodiscard]] const char* data() const { return bytes_.data(); }
  [[nodiscard]] int size() const { return static_cast<int>(bytes_.size() - 1); }

 private:
  std::vector<char> bytes_;
};

using LcsFunction = int (*)(const char*, const char*, int, int);

struct LcsMethod {
  const char* name;
  LcsFunction length;
  bool cubic;  // too slow for long inputs
};

inline constexpr LcsMethod kLcsMethods[] = {
    {"Hirschberg_AlgB", Hirschberg_AlgB, false},
    {"Hirschberg_AlgA", Hirschberg_AlgA, false},
    {"Hirschberg_AlgC", Hirschberg_AlgC, false},
    {"NeedlemanWunsch_Alg", NeedlemanWunsch_Alg, true},
    {"Diff_Alg", Diff_Alg, false},
    {"WagnerFischer_Alg", WagnerFischer_Alg, false},
    {"AllisonDix_Alg", AllisonDix_Alg, false},
};

// How GoogleTest names a method in its messages.
inline void PrintTo(const LcsMethod& method, std::ostream* out) { *out << method.name; }

inline int lcs_of(LcsFunction f, std::string_view a, std::string_view b) {
  const OneBased A(a);
  const OneBased B(b);
  return f(A.data(), B.data(), A.size(), B.size());
}

// A string of `length` bytes drawn from the first `alphabet` byte values
// (starting at 'a' for small alphabets, at 0 for all 256).
inline std::string random_text(std::mt19937& rng, std::size_t length, int alphabet) {
  const int first = alphabet == 256 ? 0 : 'a';
  std::uniform_int_distribution<int> pick(first, first + alphabet - 1);
  std::string text(length, '\0');
  for (char& c : text) {
    c = static_cast<char>(static_cast<unsigned char>(pick(rng)));
  }
  return text;
}

// The longest common subsequence by its definition: the longest subsequence
// of A (each one enumerated as a bit mask) that is also a subsequence of B.
inline int brute_force_lcs(const std::string& a, const std::string& b) {
  int best = 0;
  for (std::uint32_t mask = 0; mask < (1U << a.size()); ++mask) {
    std::size_t at = 0;
    bool inside = true;
    for (std::size_t i = 0; i < a.size() && inside; ++i) {
      if (((mask >> i) & 1U) == 0) {
        continue;
      }
      while (at < b.size() && b[at] != a[i]) {
        ++at;
      }
      inside = at < b.size();
      ++at;
    }
    if (inside) {
      best = std::max(best, std::popcount(mask));
    }
  }
  return best;
}

// A copy of `s` with `edits` random substitutions, insertions and deletions
// of symbols that draw() gives.
template <class Sequence, class Draw>
Sequence with_edits(std::mt19937& rng, Sequence s, std::size_t edits, Draw draw) {
  for (std::size_t e = 0; e < edits && !s.empty(); ++e) {
    const auto at = static_cast<std::ptrdiff_t>(rng() % s.size());
    const auto symbol = draw();
    switch (rng() % 3) {
      case 0:
        s[static_cast<std::size_t>(at)] = symbol;
        break;
      case 1:
        s.insert(s.begin() + at, symbol);
        break;
      default:
        s.erase(s.begin() + at);
        break;
    }
  }
  return s;
}

// The textbook recurrence, one row at a time: the reference for symbols
// that the byte family cannot take.
template <class Sequence>
std::size_t textbook_lcs(const Sequence& a, const Sequence& b) {
  std::vector<std::size_t> previous(b.size() + 1, 0);
  std::vector<std::size_t> current(b.size() + 1, 0);
  for (const auto x : a) {
    for (std::size_t j = 1; j <= b.size(); ++j) {
      current[j] = x == b[j - 1] ? previous[j - 1] + 1 : std::max(previous[j], current[j - 1]);
    }
    std::swap(previous, current);
  }
  return previous.back();
}

inline std::vector<std::string> all_strings(std::string_view alphabet, std::size_t max_length) {
  std::vector<std::string> strings = {""};
  for (std::size_t from = 0; from < strings.size(); ++from) {
    if (strings[from].size() == max_length) {
      continue;
    }
    for (const char c : alphabet) {
      strings.push_back(strings[from] + c);
    }
  }
  return strings;
}

#endif  // LCS_TESTS_TEST_SUPPORT_H
