// SPDX-License-Identifier: MIT
// The benchmarks' inputs, from fixed seeds: random DNA, random bytes, and
// alike pairs (random DNA and a copy with 1 % of its positions substituted,
// inserted or deleted).
#ifndef LCS_BENCH_PAIRS_H
#define LCS_BENCH_PAIRS_H

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <utility>

#include "tests/test_support.h"

enum class Shape : std::uint8_t { dna, bytes, alike };

inline std::string random_string(std::mt19937& rng, std::size_t n, Shape shape) {
  std::string text(n, '\0');
  for (char& c : text) {
    c = shape == Shape::bytes ? static_cast<char>(rng() & 255U) : "ACGT"[rng() & 3U];
  }
  return text;
}

// A pair of n characters each (alike: about n), the same for every method.
inline std::pair<std::string, std::string> make_pair(std::size_t n, Shape shape) {
  std::mt19937 rng(static_cast<std::mt19937::result_type>(n + static_cast<std::size_t>(shape)));
  std::string a = random_string(rng, n, shape);
  if (shape != Shape::alike) {
    return {a, random_string(rng, n, shape)};
  }
  std::string b = a;
  b = with_edits(rng, std::move(b), n / 100, [&] { return "ACGT"[rng() & 3U]; });
  return {a, b};
}

#endif  // LCS_BENCH_PAIRS_H
