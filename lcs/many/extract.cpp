// SPDX-License-Identifier: MIT
// The best choices for one query: the choices are taken a block at a time,
// sorted by length within it and put into vector lanes; the query drives
// each vector (lanes.h), the masks of its symbols alone built. Each worker
// keeps its best `limit`; the limit-th best score it has seen raises the
// cut-off for all, so that vectors whose lengths cannot reach it are
// skipped. Time: about (total length of the compared choices) bit
// operations, plus the query's length in vector steps a vector; memory:
// `limit` results and one block a worker.
#include <algorithm>
#include <atomic>
#include <memory>
#include <optional>
#include <queue>

#include "lcs/many.h"
#include "lcs/many/sides.h"

namespace lcs_detail {
namespace {

// Choices a worker takes at once: their strings stay in its caches.
constexpr std::size_t kBlock = 8192;

// Higher score first, then lower index: a strict order, the same whatever the
// order in which results arrive.
bool better(const lcs::ScoredChoice& x, const lcs::ScoredChoice& y) {
  return x.score != y.score ? x.score > y.score : x.index < y.index;
}

// The best `limit` results seen, the worst of them on top.
class Best {
 public:
  explicit Best(std::size_t limit) : limit_(limit) {}
  // Returns the limit-th best score once there are `limit` results.
  std::optional<double> offer(lcs::ScoredChoice choice) {
    if (kept_.size() == limit_ && !better(choice, kept_.top())) {
      return kept_.top().score;
    }
    kept_.push(choice);
    if (kept_.size() > limit_) {
      kept_.pop();
    }
    return kept_.size() == limit_ ? std::optional<double>(kept_.top().score) : std::nullopt;
  }
  void move_into(std::vector<lcs::ScoredChoice>& all) {
    for (; !kept_.empty(); kept_.pop()) {
      all.push_back(kept_.top());
    }
  }

 private:
  std::size_t limit_;
  std::priority_queue<lcs::ScoredChoice, std::vector<lcs::ScoredChoice>, decltype(&better)> kept_{
      &better};
};

void raise_to(std::atomic<double>& cutoff, double score) {
  double now = cutoff.load(std::memory_order_relaxed);
  while (now < score && !cutoff.compare_exchange_weak(now, score, std::memory_order_relaxed)) {
  }
}

// One worker's memory: its block of choices sorted and grouped, the masks of
// a group, the lengths of its lanes and the best results it has seen.
template <class Symbol>
struct BlockWorker {
  BlockWorker(std::size_t alphabet, Text<Symbol> query, std::size_t limit)
      : masks(alphabet, lane_vector_bytes()), lcs(lane_vector_bytes()), best(limit) {
    masks.fix_slots(std::span(&query, 1));
  }
  GroupMasks<Symbol> masks;
  Side<Symbol> block;
  std::vector<std::uint32_t> lcs;
  Best best;
};

// The choices text(k) for k in [begin, end) against the query: read in order
// into the worker's block (which stays in its caches), sorted, then compared
// group by group.
template <class Symbol, class Choice>
void run_block(const Choice& text, std::size_t begin, std::size_t end, Text<Symbol> query,
               std::atomic<double>& rising, BlockWorker<Symbol>& worker) {
  Side<Symbol>& block = worker.block;
  block.texts.clear();
  for (std::size_t k = begin; k < end; ++k) {
    block.texts.push_back(text(k));
    __builtin_prefetch(block.texts.back().data());
  }
  arrange(block, true);
  for (const Group& group : block.groups) {
    const double cutoff = rising.load(std::memory_order_relaxed);
    if (!reachable(group, query.size(), cutoff)) {
      continue;
    }
    if (group.lane_bits != 0) {
      lanes_lcs<Symbol>(worker.masks.build(group, block), std::span(&query, 1), worker.lcs.data(),
                        1);
    } else {
      worker.lcs[0] =
          static_cast<std::uint32_t>(pair_lcs(block.texts[block.order[group.begin]], query));
    }
    for (std::size_t k = 0; k < group.end - group.begin; ++k) {
      const std::size_t at = block.order[group.begin + k];
      const double score = similarity_of(worker.lcs[k], block.texts[at].size(), query.size());
      if (score < cutoff) {
        continue;
      }
      if (const std::optional<double> limit_th = worker.best.offer({begin + at, score})) {
        raise_to(rising, *limit_th);
      }
    }
  }
}

// The best `limit` of `size` choices, text(k) the k-th, symbols below `alphabet`.
template <class Symbol, class Choice>
std::vector<lcs::ScoredChoice> extract_of(Text<Symbol> query, std::size_t size, const Choice& text,
                                          std::size_t alphabet, std::size_t limit, double cutoff,
                                          const lcs::Options& options) {
  if (limit == 0 || size == 0) {
    return {};
  }
  std::atomic<double> rising{cutoff};
  const std::size_t blocks = (size + kBlock - 1) / kBlock;
  const unsigned workers =
      static_cast<unsigned>(std::min<std::size_t>(thread_count(options.threads), blocks));
  std::vector<std::unique_ptr<BlockWorker<Symbol>>> memory(workers);
  for (auto& worker : memory) {
    worker = std::make_unique<BlockWorker<Symbol>>(alphabet, query, limit);
  }
  Progress progress(options);
  progress.expect(size);
  run_workers(workers, blocks, [&](unsigned worker, std::size_t block) {
    const std::size_t begin = block * kBlock;
    const std::size_t end = std::min(size, begin + kBlock);
    run_block(text, begin, end, query, rising, *memory[worker]);
    progress.add(end - begin);
  });
  progress.finish();
  std::vector<lcs::ScoredChoice> all;
  for (auto& worker : memory) {
    worker->best.move_into(all);
  }
  std::sort(all.begin(), all.end(), better);
  all.resize(std::min(all.size(), limit));
  return all;
}

}  // namespace
}  // namespace lcs_detail

namespace lcs {

std::vector<ScoredChoice> extract(std::string_view query, std::span<const std::string_view> choices,
                                  std::size_t limit, double score_cutoff, const Options& options) {
  using lcs_detail::bytes_of;
  return lcs_detail::extract_of(
      bytes_of(query), choices.size(), [&](std::size_t k) { return bytes_of(choices[k]); }, 256,
      limit, score_cutoff, options);
}

std::vector<ScoredChoice> extract(std::span<const std::uint32_t> query,
                                  std::span<const std::span<const std::uint32_t>> choices,
                                  std::size_t limit, double score_cutoff, const Options& options) {
  const std::uint32_t largest = std::max(lcs_detail::largest_symbol(std::span(&query, 1)),
                                         lcs_detail::largest_symbol(choices));
  if (largest < lcs_detail::kDirectSymbols) {
    return lcs_detail::extract_of(
        lcs_detail::batch_text(query), choices.size(),
        [&](std::size_t k) { return lcs_detail::batch_text(choices[k]); }, std::size_t{largest} + 1,
        limit, score_cutoff, options);
  }
  // Symbols too large to index a table: dense ids for all, made first.
  const auto sides = lcs_detail::sides_of(std::span(&query, 1), choices);
  return lcs_detail::extract_of(
      sides.queries.texts.front(), choices.size(),
      [&](std::size_t k) { return sides.choices.texts[k]; }, sides.alphabet, limit, score_cutoff,
      options);
}

}  // namespace lcs
