// SPDX-License-Identifier: MIT
// Benchmarks of the alignment layer on 32-bit symbols against its own byte
// path, on pairs of the same shape and size, each ratio measured in turn:
// four symbols against random DNA; 2000 symbols against random bytes; two
// permutations of a million ids against the byte length of two random
// million-byte strings; a million symbols from 2^20 values and a copy with 1 %
// edits against the alike DNA million. Counters: peak heap growth of one call
// and the path taken (1: the threshold method, 0: bit vectors).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "bench/in_turn.h"
#include "bench/pairs.h"
#include "bench/peak_memory.h"
#include "lcs/alignment.h"
#include "lcs/alignment/common_ends.h"
#include "lcs/alignment/sparse.h"
#include "lcs/kernels/symbols.h"

namespace {

using Symbols = std::vector<std::uint32_t>;

// Value k of a vocabulary, far from k - 1 and k + 1.
std::uint32_t spread(std::uint32_t k) { return k * 2654435761U; }

enum class Kind : std::uint8_t { four, vocabulary_2000, permutation, alike };

// A byte pair to measure against and a pair of symbols of the same size.
struct Pairs {
  std::string a;
  std::string b;
  Symbols x;
  Symbols y;
};

Symbols random_symbols(std::mt19937& rng, std::size_t n, std::uint32_t vocabulary) {
  Symbols s(n);
  std::generate(s.begin(), s.end(),
                [&] { return spread(static_cast<std::uint32_t>(rng() % vocabulary)); });
  return s;
}

Pairs make_pairs(std::size_t n, Kind kind) {
  std::mt19937 rng(static_cast<std::mt19937::result_type>(n + static_cast<std::size_t>(kind)));
  Pairs p;
  switch (kind) {
    case Kind::four: {  // the very DNA pair, its bases as far-apart values
      std::tie(p.a, p.b) = make_pair(n, Shape::dna);
      const auto as_symbols = [](const std::string& dna) {
        Symbols s;
        for (const char base : dna) {
          s.push_back(spread(static_cast<std::uint32_t>(std::string_view("ACGT").find(base))));
        }
        return s;
      };
      p.x = as_symbols(p.a);
      p.y = as_symbols(p.b);
      break;
    }
    case Kind::vocabulary_2000:
      std::tie(p.a, p.b) = make_pair(n, Shape::bytes);
      p.x = random_symbols(rng, n, 2000);
      p.y = random_symbols(rng, n, 2000);
      break;
    case Kind::permutation:
      std::tie(p.a, p.b) = make_pair(n, Shape::bytes);
      p.x.resize(n);
      std::iota(p.x.begin(), p.x.end(), 0U);
      std::transform(p.x.begin(), p.x.end(), p.x.begin(), spread);
      p.y = p.x;
      std::shuffle(p.x.begin(), p.x.end(), rng);
      std::shuffle(p.y.begin(), p.y.end(), rng);
      break;
    case Kind::alike:
      std::tie(p.a, p.b) = make_pair(n, Shape::alike);
      p.x = random_symbols(rng, n, 1U << 20);
      p.y = with_edits(rng, p.x, n / 100,
                       [&] { return spread(static_cast<std::uint32_t>(rng() % (1U << 20))); });
      break;
  }
  return p;
}

std::size_t blocks_total(const std::vector<lcs::MatchingBlock>& blocks) {
  std::size_t total = 0;
  for (const lcs::MatchingBlock& block : blocks) {
    total += block.size;
  }
  return total;
}

// Whether the layer takes the threshold method for this pair.
bool takes_threshold_method(const Symbols& x, const Symbols& y) {
  using namespace lcs_detail;
  const Interned ids = intern<std::uint32_t>(x, y);
  const CommonEnds<Id> ends = common_ends(Text<Id>(ids.a), Text<Id>(ids.b));
  return !ends.a.empty() && !ends.b.empty() &&
         pairs_pay(ends.a.size(), ends.b.size(), matching_pairs(ends.a, ends.b, ids.shared));
}

// One call's peak memory and path; then matching_blocks, timed.
void symbols_blocks(benchmark::State& state, Kind kind) {
  const Pairs p = make_pairs(static_cast<std::size_t>(state.range(0)), kind);
  reset_peak_memory();
  const std::size_t total = blocks_total(lcs::matching_blocks(p.x, p.y));
  state.counters["peak_MB"] = static_cast<double>(peak_memory_growth()) / 1e6;
  if (total != lcs::length(p.x, p.y)) {
    state.SkipWithError("matching_blocks and length differ");
    return;
  }
  state.counters["threshold_method"] = takes_threshold_method(p.x, p.y) ? 1 : 0;
  // NOLINTNEXTLINE(clang-analyzer-deadcode.DeadStores): the library's own loop idiom
  for (auto _ : state) {
    benchmark::DoNotOptimize(blocks_total(lcs::matching_blocks(p.x, p.y)));
  }
}

enum class Call : std::uint8_t { length, blocks };

std::size_t call(Call what, auto a, auto b) {
  return what == Call::length ? lcs::length(a, b) : blocks_total(lcs::matching_blocks(a, b));
}

// The byte path's `reference` call and the symbols' `method` call in turn.
void in_turn(benchmark::State& state, Kind kind, Call reference, Call method) {
  const Pairs p = make_pairs(static_cast<std::size_t>(state.range(0)), kind);
  time_in_turn(
      state, [&] { return call(reference, std::string_view(p.a), std::string_view(p.b)); },
      [&] {
        return call(method, std::span<const std::uint32_t>(p.x),
                    std::span<const std::uint32_t>(p.y));
      });
}

const bool registered = [] {
  const struct {
    const char* name;
    std::int64_t n;
    Kind kind;
    Call reference;
    Call method;
  } pairs[] = {
      {"four/length", 100000, Kind::four, Call::length, Call::length},
      {"four/matching_blocks", 100000, Kind::four, Call::blocks, Call::blocks},
      {"vocabulary_2000/matching_blocks", 100000, Kind::vocabulary_2000, Call::blocks,
       Call::blocks},
      {"permutation/matching_blocks", 1000000, Kind::permutation, Call::length, Call::blocks},
      {"alike/matching_blocks", 1000000, Kind::alike, Call::blocks, Call::blocks},
  };
  for (const auto& pair : pairs) {
    const std::string name = std::string("symbols.in_turn/") + pair.name;
    benchmark::RegisterBenchmark(
        name.c_str(),
        [pair](benchmark::State& s) { in_turn(s, pair.kind, pair.reference, pair.method); })
        ->Arg(pair.n)
        ->Unit(benchmark::kMillisecond);
    if (pair.method == Call::blocks) {
      const std::string alone = std::string("symbols.matching_blocks/") + pair.name;
      benchmark::RegisterBenchmark(
          alone.c_str(), [kind = pair.kind](benchmark::State& s) { symbols_blocks(s, kind); })
          ->Arg(pair.n)
          ->Unit(benchmark::kMillisecond);
    }
  }
  return true;
}();

}  // namespace
