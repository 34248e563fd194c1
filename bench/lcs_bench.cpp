// SPDX-License-Identifier: MIT
// Benchmarks of every function of the library against the textbook two-row
// LCS, on inputs from a fixed seed: random DNA, random bytes, and pairs that
// differ in 1% of their positions.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "bench/allison_dix_baseline.h"
#include "bench/textbook_lcs.h"
#include "lcs/lcs_algorithms.h"

#ifdef LCS_BENCH_PARASAIL
#include <parasail.h>
#endif

namespace {

#ifdef LCS_BENCH_PARASAIL
// parasail's scan method (its striped ones go wrong when gap open equals gap
// extend); its alphabet is a C string, so only DNA inputs are given to it.
int parasail_lcs(const char* A, const char* B, int m, int n) {
  static const parasail_matrix_t* const matrix = parasail_matrix_create("ACGT", 1, 0);
  parasail_result_t* result = parasail_nw_scan_32(A + 1, m, B + 1, n, 0, 0, matrix);
  const int score = parasail_result_get_score(result);
  parasail_result_free(result);
  return score;
}
#endif

enum class Kind : std::uint8_t { dna, bytes, near };

// A one-based pair of n characters each.
struct Pair {
  std::string a;
  std::string b;
};

std::string random_text(std::mt19937& rng, std::size_t n, Kind kind) {
  static constexpr char kBases[] = {'A', 'C', 'G', 'T'};
  std::uniform_int_distribution<int> byte(0, 255);
  std::string text(n + 1, '\0');
  for (std::size_t i = 1; i <= n; ++i) {
    text[i] = kind == Kind::bytes ? static_cast<char>(byte(rng))
                                  : kBases[static_cast<std::size_t>(byte(rng)) & 3U];
  }
  return text;
}

Pair make_pair(std::size_t n, Kind kind) {
  std::mt19937 rng(static_cast<std::mt19937::result_type>(n * 3 + static_cast<std::size_t>(kind)));
  Pair pair{random_text(rng, n, kind), ""};
  if (kind == Kind::near) {
    pair.b = pair.a;
    std::uniform_int_distribution<std::size_t> position(1, n);
    std::uniform_int_distribution<int> base(0, 3);
    for (std::size_t edit = 0; edit < n / 100; ++edit) {
      pair.b[position(rng)] = "ACGT"[base(rng)];
    }
  } else {
    pair.b = random_text(rng, n, kind);
  }
  return pair;
}

template <class Function>
void run(benchmark::State& state, Function function, Kind kind) {
  const auto n = static_cast<std::size_t>(state.range(0));
  const Pair pair = make_pair(n, kind);
  const int length = static_cast<int>(n);
  const auto call = [&] { return function(pair.a.data(), pair.b.data(), length, length); };
  if constexpr (std::is_same_v<decltype(call()), int>) {
    if (call() != Hirschberg_AlgB(pair.a.data(), pair.b.data(), length, length)) {
      state.SkipWithError("wrong LCS length");
      return;
    }
  }
  // One untimed call first, so that a table's pages are already the process's
  // own: the timed calls still allocate and zero their tables, but do not pay
  // the kernel's first touch of fresh memory (see bench/run.sh).
  benchmark::DoNotOptimize(call());
  for (auto _ : state) {
    benchmark::DoNotOptimize(call());
  }
  state.SetComplexityN(state.range(0));
  state.counters["cells/s"] = benchmark::Counter(static_cast<double>(n) * static_cast<double>(n),
                                                 benchmark::Counter::kIsIterationInvariantRate);
}

void quadratic_sizes(benchmark::internal::Benchmark* b) {
  for (const int n : {250, 500, 800, 1600, 3200, 6400, 8000, 12800, 20000}) {
    b->Arg(n);
  }
  b->Complexity(benchmark::oNSquared)->Unit(benchmark::kMillisecond);
}

void cubic_sizes(benchmark::internal::Benchmark* b) {
  for (const int n : {50, 100, 200, 400, 800}) {
    b->Arg(n);
  }
  b->Complexity(benchmark::oNCubed)->Unit(benchmark::kMillisecond);
}

struct Registered {
  const char* name;
  double (*score)(const char*, const char*, int, int);
  int (*length)(const char*, const char*, int, int);
  bool cubic;
  bool dna_only = false;
};

const Registered kFunctions[] = {
    {"textbook", nullptr, textbook_lcs, false},
    {"Hirschberg_AlgB", nullptr, Hirschberg_AlgB, false},
    {"Hirschberg_AlgA", nullptr, Hirschberg_AlgA, false},
    {"Hirschberg_AlgC", nullptr, Hirschberg_AlgC, false},
    {"Diff_Alg", nullptr, Diff_Alg, false},
    {"WagnerFischer_Alg", nullptr, WagnerFischer_Alg, false},
    {"AllisonDix_Alg", nullptr, AllisonDix_Alg, false},
    {"AllisonDix_baseline", nullptr, allison_dix_baseline, false},
    {"NeedlemanWunsch_Alg", nullptr, NeedlemanWunsch_Alg, true},
    {"SmithWaterman_Alg", SmithWaterman_Alg, nullptr, true},
#ifdef LCS_BENCH_PARASAIL
    {"parasail_nw_scan_32", nullptr, parasail_lcs, false, true},
#endif
};

void register_all() {
  const std::pair<Kind, const char*> kinds[] = {
      {Kind::dna, "dna"}, {Kind::bytes, "bytes"}, {Kind::near, "near"}};
  for (const Registered& f : kFunctions) {
    for (const auto& [kind, kind_name] : kinds) {
      if (f.dna_only && kind == Kind::bytes) {
        continue;
      }
      const std::string name = std::string(f.name) + "/" + kind_name;
      auto* b =
          f.score != nullptr
              ? benchmark::RegisterBenchmark(
                    name.c_str(), [f, kind = kind](benchmark::State& s) { run(s, f.score, kind); })
              : benchmark::RegisterBenchmark(name.c_str(), [f, kind = kind](benchmark::State& s) {
                  run(s, f.length, kind);
                });
      f.cubic ? cubic_sizes(b) : quadratic_sizes(b);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  register_all();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
