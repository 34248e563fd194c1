// SPDX-License-Identifier: MIT
// Benchmarks of the alignment layer against AllisonDix_Alg, the family's
// fastest LCS length, on the same pairs: two random DNA strings, two random
// byte strings, and an alike pair (random DNA and a copy with 1 % of its
// positions substituted, inserted or deleted). Counters: cells of the n x n
// table per second, and the peak heap growth of one call.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <utility>

#include "bench/allison_dix_baseline.h"
#include "bench/in_turn.h"
#include "bench/pairs.h"
#include "bench/peak_memory.h"
#include "lcs/alignment.h"
#include "lcs/kernels/lcs_row.h"
#include "lcs/lcs_algorithms.h"

namespace {

std::size_t allison_dix(const std::string& a, const std::string& b) {
  const std::string A = '\0' + a;
  const std::string B = '\0' + b;
  return static_cast<std::size_t>(
      AllisonDix_Alg(A.data(), B.data(), static_cast<int>(a.size()), static_cast<int>(b.size())));
}

std::size_t baseline(const std::string& a, const std::string& b) {
  const std::string A = '\0' + a;
  const std::string B = '\0' + b;
  return static_cast<std::size_t>(allison_dix_baseline(
      A.data(), B.data(), static_cast<int>(a.size()), static_cast<int>(b.size())));
}

template <unsigned Threads>
std::size_t blocks_total(const std::string& a, const std::string& b) {
  lcs::Options options;
  options.threads = Threads;
  std::size_t total = 0;
  for (const lcs::MatchingBlock& block : lcs::matching_blocks(a, b, options)) {
    total += block.size;
  }
  return total;
}

template <unsigned Threads>
std::size_t length(const std::string& a, const std::string& b) {
  lcs::Options options;
  options.threads = Threads;
  return lcs::length(a, b, options);
}

template <std::size_t (*Method)(const std::string&, const std::string&)>
void run(benchmark::State& state, Shape shape) {
  const auto n = static_cast<std::size_t>(state.range(0));
  const auto [a, b] = make_pair(n, shape);
  reset_peak_memory();
  const std::size_t result = Method(a, b);
  const std::size_t peak = peak_memory_growth();
  // Checked against the family beside it where that takes seconds, not minutes.
  const std::size_t expected = n <= 100000 ? allison_dix(a, b) : lcs::length(a, b);
  if (result != expected) {
    state.SkipWithError("LCS lengths differ");
    return;
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(Method(a, b));
  }
  state.counters["cells/s"] =
      benchmark::Counter(static_cast<double>(a.size()) * static_cast<double>(b.size()),
                         benchmark::Counter::kIsIterationInvariantRate);
  state.counters["peak_MB"] = static_cast<double>(peak) / 1e6;
}

using Call = std::size_t (*)(const std::string&, const std::string&);

// A method and its reference on the same pair in turn (see in_turn.h).
template <Call Reference, Call Method>
void in_turn(benchmark::State& state, Shape shape) {
  const std::pair<std::string, std::string> pair =
      make_pair(static_cast<std::size_t>(state.range(0)), shape);
  const std::string& a = pair.first;  // not a structured binding: lambdas capture these
  const std::string& b = pair.second;
  time_in_turn(
      state, [&] { return Reference(a, b); }, [&] { return Method(a, b); });
}

struct Method {
  const char* name;
  void (*run)(benchmark::State&, Shape);
  std::int64_t largest_unrelated;  // n of the largest random pair (200000: DNA only)
  std::int64_t largest_alike;
};

const bool registered = [] {
  benchmark::AddCustomContext("row_path", lcs_detail::row_path_name(lcs_detail::row_path()));
  const std::pair<Shape, const char*> shapes[] = {
      {Shape::dna, "dna"}, {Shape::bytes, "bytes"}, {Shape::alike, "alike"}};
  const Method methods[] = {
      {"align.AllisonDix_baseline", run<baseline>, 100000, 100000},
      {"align.AllisonDix_Alg", run<allison_dix>, 100000, 1000000},
      {"align.lcs::length", run<length<1>>, 200000, 1000000},
      {"align.lcs::matching_blocks", run<blocks_total<1>>, 200000, 1000000},
      {"align.lcs::length[2 threads]", run<length<2>>, 200000, 1000000},
      {"align.lcs::matching_blocks[2 threads]", run<blocks_total<2>>, 200000, 1000000},
  };
  for (const Method& method : methods) {
    for (const auto& [shape, shape_name] : shapes) {
      const std::string name = std::string(method.name) + "/" + shape_name;
      auto* b = benchmark::RegisterBenchmark(
          name.c_str(), [run = method.run, shape = shape](benchmark::State& s) { run(s, shape); });
      for (const std::int64_t n : {1000, 10000, 100000, 200000, 1000000}) {
        const bool wanted = shape == Shape::alike ? n != 200000 && n <= method.largest_alike
                                                  : n <= method.largest_unrelated &&
                                                        (n != 200000 || shape == Shape::dna);
        if (wanted) {
          b->Arg(n);
        }
      }
      b->Unit(benchmark::kMillisecond);
    }
  }
  // The n of each shape's pair, 0 for none.
  const struct {
    const char* name;
    void (*run)(benchmark::State&, Shape);
    std::int64_t n[3];  // dna, bytes, alike
  } pairs[] = {
      {"align.in_turn[AllisonDix_Alg, AllisonDix_baseline]",
       in_turn<allison_dix, baseline>,
       {100000, 100000, 0}},
      {"align.in_turn[AllisonDix_Alg, lcs::length]",
       in_turn<allison_dix, length<1>>,
       {100000, 100000, 1000000}},
      {"align.in_turn[AllisonDix_Alg, lcs::matching_blocks]",
       in_turn<allison_dix, blocks_total<1>>,
       {100000, 100000, 1000000}},
      {"align.in_turn[1 thread, lcs::length]", in_turn<length<1>, length<2>>, {200000, 0, 0}},
      {"align.in_turn[1 thread, lcs::matching_blocks]",
       in_turn<blocks_total<1>, blocks_total<2>>,
       {200000, 0, 0}},
  };
  for (const auto& pair : pairs) {
    for (const auto& [shape, shape_name] : shapes) {
      const std::int64_t n = pair.n[static_cast<std::size_t>(shape)];
      if (n == 0) {
        continue;
      }
      const std::string name = std::string(pair.name) + "/" + shape_name;
      benchmark::RegisterBenchmark(
          name.c_str(), [run = pair.run, shape = shape](benchmark::State& s) { run(s, shape); })
          ->Arg(n)
          ->Unit(benchmark::kMillisecond);
    }
  }
  return true;
}();

}  // namespace
