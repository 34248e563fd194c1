// SPDX-License-Identifier: MIT
// A method and its reference called in turn, call after call, so that the
// machine's load, which drifts on a shared host, weighs on both alike: the
// time ratio of the two is then measured side by side. Counters: each one's
// time per call and the ratio, method over reference.
#ifndef LCS_BENCH_IN_TURN_H
#define LCS_BENCH_IN_TURN_H

#include <benchmark/benchmark.h>

#include <chrono>

template <class Reference, class Method>
void time_in_turn(benchmark::State& state, Reference reference, Method method) {
  using Clock = std::chrono::steady_clock;
  Clock::duration reference_time{};
  Clock::duration method_time{};
  for (auto _ : state) {
    const Clock::time_point start = Clock::now();
    benchmark::DoNotOptimize(reference());
    const Clock::time_point middle = Clock::now();
    benchmark::DoNotOptimize(method());
    reference_time += middle - start;
    method_time += Clock::now() - middle;
  }
  const auto per_call_ms = [&](Clock::duration total) {
    return std::chrono::duration<double, std::milli>(total).count() /
           static_cast<double>(state.iterations());
  };
  state.counters["reference_ms"] = per_call_ms(reference_time);
  state.counters["method_ms"] = per_call_ms(method_time);
  state.counters["time_ratio"] = per_call_ms(method_time) / per_call_ms(reference_time);
}

#endif  // LCS_BENCH_IN_TURN_H
