// SPDX-License-Identifier: MIT
// Benchmarks of the many-pair calls, each against a loop over
// lcs::similarity on the same pairs, in turn (time_ratio: the call's time over
// the loop's), on real text: dictionary words, lines of this project's
// sources, paragraphs of the licence texts. Then two threads against one, and
// the peak memory of similar_pairs over 100,000 words.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "bench/in_turn.h"
#include "bench/peak_memory.h"
#include "lcs/kernels/lcs_row.h"
#include "lcs/many.h"
#include "tests/test_support.h"

namespace {

using Strings = std::vector<std::string>;

// The strings of a file's lines whose lengths are in [shortest, longest].
void add_lines(const std::filesystem::path& file, std::size_t shortest, std::size_t longest,
               Strings& out) {
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) {
    const auto first = line.find_first_not_of(" \t");
    line = first == std::string::npos ? "" : line.substr(first);
    if (line.size() >= shortest && line.size() <= longest) {
      out.push_back(line);
    }
  }
}

// `count` of them in a fixed random order; made up to `count` by copies
// with one random edit when there are too few.
Strings sample(Strings all, std::size_t count, unsigned seed) {
  std::sort(all.begin(), all.end());
  all.erase(std::unique(all.begin(), all.end()), all.end());
  std::mt19937 rng(seed);
  std::shuffle(all.begin(), all.end(), rng);
  for (std::size_t k = 0; all.size() < count && !all.empty(); ++k) {
    all.push_back(with_edits(rng, all[k], 1, [&] { return static_cast<char>('a' + rng() % 26); }));
  }
  all.resize(std::min(all.size(), count));
  return all;
}

Strings words(std::size_t count, unsigned seed) {
  Strings all;
  add_lines("/usr/share/dict/words", 3, 20, all);
  if (all.empty()) {
    throw std::runtime_error("many_bench: no /usr/share/dict/words (apt-get install wamerican)");
  }
  return sample(std::move(all), count, seed);
}

Strings source_lines(std::size_t count) {
  Strings all;
  for (const char* room : {"lcs", "diff", "align", "console", "python", "tests"}) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(
             std::filesystem::path(LCS_SOURCE_DIR) / room)) {
      if (entry.path().extension() == ".cpp" || entry.path().extension() == ".h" ||
          entry.path().extension() == ".py") {
        add_lines(entry.path(), 40, 120, all);
      }
    }
  }
  return sample(std::move(all), count, 7);
}

// A text's paragraphs (runs of lines between blank ones), their white space
// runs made one space.
Strings paragraphs_of(const std::string& text) {
  Strings found;
  std::string paragraph;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    const bool blank = line.find_first_not_of(" \t\r") == std::string::npos;
    if (blank && !paragraph.empty()) {
      found.push_back(std::exchange(paragraph, {}));
    }
    for (const char c : line + '\n') {
      const bool space = c == ' ' || c == '\t' || c == '\r' || c == '\n';
      if (!space) {
        paragraph += c;
      } else if (!paragraph.empty() && paragraph.back() != ' ') {
        paragraph += ' ';
      }
    }
  }
  if (!paragraph.empty()) {
    found.push_back(paragraph);
  }
  return found;
}

Strings paragraphs(std::size_t count) {
  Strings all;
  for (const auto& entry : std::filesystem::directory_iterator("/usr/share/common-licenses")) {
    std::ifstream in(entry.path());
    std::stringstream text;
    text << in.rdbuf();
    for (std::string& paragraph : paragraphs_of(text.str())) {
      if (paragraph.size() >= 300 && paragraph.size() <= 1500) {
        all.push_back(std::move(paragraph));
      }
    }
  }
  return sample(std::move(all), count, 9);
}

std::vector<std::string_view> views(const Strings& strings) {
  return {strings.begin(), strings.end()};
}

double loop_cdist(const Strings& queries, const Strings& choices, std::vector<float>& scores,
                  double cutoff) {
  for (std::size_t q = 0; q < queries.size(); ++q) {
    for (std::size_t c = 0; c < choices.size(); ++c) {
      const double score = lcs::similarity(queries[q], choices[c]);
      scores[q * choices.size() + c] = score >= cutoff ? static_cast<float>(score) : 0.0F;
    }
  }
  return scores.back();
}

lcs::Options with_threads(unsigned threads) {
  lcs::Options options;
  options.threads = threads;
  return options;
}

void label_path(benchmark::State& state) {
  state.SetLabel(lcs_detail::row_path_name(lcs_detail::row_path()));
}

enum class Data : std::uint8_t { words, lines, paragraphs };

const Strings& data_of(Data data, std::size_t count) {
  static const Strings kWords = words(4000, 1);
  static const Strings kLines = source_lines(1000);
  static const Strings kParagraphs = paragraphs(300);
  const Strings& all = data == Data::words ? kWords : data == Data::lines ? kLines : kParagraphs;
  static std::vector<Strings> kept;
  return all.size() <= count
             ? all
             : kept.emplace_back(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(count));
}

// cdist of the strings against themselves, against the loop.
void BM_cdist(benchmark::State& state, Data data, double cutoff) {
  const Strings& strings = data_of(data, static_cast<std::size_t>(state.range(0)));
  std::vector<float> expected(strings.size() * strings.size());
  std::vector<float> scores(expected.size());
  const auto items = views(strings);
  time_in_turn(
      state, [&] { return loop_cdist(strings, strings, expected, cutoff); },
      [&] {
        lcs::cdist(items, items, scores, cutoff);
        return scores.back();
      });
  if (scores != expected) {
    state.SkipWithError("cdist differs from the loop");
  }
  label_path(state);
}

// The best 5 of 500,000 words for a query, against the loop and a sort.
void BM_extract(benchmark::State& state) {
  const Strings choices = words(500000, 2);
  const auto items = views(choices);
  const Strings queries = words(16, 3);
  std::size_t next = 0;
  std::vector<lcs::ScoredChoice> expected;
  std::vector<lcs::ScoredChoice> best;
  time_in_turn(
      state,
      [&] {
        const std::string& query = queries[next % queries.size()];
        std::vector<lcs::ScoredChoice> all(choices.size());
        for (std::size_t c = 0; c < choices.size(); ++c) {
          all[c] = {c, lcs::similarity(query, choices[c])};
        }
        std::partial_sort(all.begin(), all.begin() + 5, all.end(),
                          [](const auto& x, const auto& y) {
                            return x.score != y.score ? x.score > y.score : x.index < y.index;
                          });
        expected.assign(all.begin(), all.begin() + 5);
        return expected.size();
      },
      [&] {
        best = lcs::extract(queries[next++ % queries.size()], items, 5);
        return best.size();
      });
  if (best != expected) {
    state.SkipWithError("extract differs from the loop");
  }
  label_path(state);
}

// Two threads against one, the same call.
void BM_threads(benchmark::State& state, Data data, bool extract) {
  const Strings& strings = data_of(data, static_cast<std::size_t>(state.range(0)));
  const auto items = views(strings);
  const Strings choices = extract ? words(500000, 2) : Strings{};
  const auto choice_items = views(choices);
  std::vector<float> scores(strings.size() * strings.size());
  const auto call = [&](unsigned threads) {
    if (extract) {
      return lcs::extract(strings[0], choice_items, 5, 0.0, with_threads(threads)).front().score;
    }
    lcs::cdist(items, items, scores, 0.0, with_threads(threads));
    return static_cast<double>(scores.back());
  };
  time_in_turn(
      state, [&] { return call(1); }, [&] { return call(2); });
  label_path(state);
}

// similar_pairs of 100,000 words against 100,000 others at 0.9: its peak heap.
void BM_similar_pairs_memory(benchmark::State& state) {
  const Strings queries = words(100000, 4);
  const Strings choices = words(100000, 5);
  std::size_t found = 0;
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop's counter
    reset_peak_memory();
    found = lcs::similar_pairs(views(queries), views(choices), 0.9, with_threads(2)).size();
    state.counters["peak_MB"] = static_cast<double>(peak_memory_growth()) / 1e6;
  }
  state.counters["pairs"] = static_cast<double>(found);
  label_path(state);
}

BENCHMARK_CAPTURE(BM_cdist, words, Data::words, 0.0)->Arg(4000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_cdist, words_cutoff_80_percent, Data::words, 0.8)
    ->Arg(4000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_extract)->Iterations(8)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_cdist, source_lines, Data::lines, 0.0)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_cdist, paragraphs, Data::paragraphs, 0.0)
    ->Arg(300)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_threads, cdist_words, Data::words, false)
    ->Arg(4000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_threads, cdist_source_lines, Data::lines, false)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_threads, cdist_paragraphs, Data::paragraphs, false)
    ->Arg(300)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_threads, extract_words, Data::words, true)
    ->Arg(16)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_similar_pairs_memory)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
