// SPDX-License-Identifier: MIT
// Bit-vector passes restricted to a diagonal band (Ukkonen, 1985), the
// crossing point of Hirschberg's divide and conquer (1975) read off two bit
// vectors, and the probe that picks the band. A pass costs one word step per
// row and word of the band; the probe costs at most 1/8 of a full pass.
#include "lcs/alignment/band.h"
#include "lcs/alignment/side_by_side.h"

#include <algorithm>
#include <atomic>
#include <functional>

namespace lcs_detail {

namespace {

std::int64_t signed_size(std::size_t size) { return static_cast<std::int64_t>(size); }

}  // namespace

Band Band::around(std::size_t rows, std::size_t columns, std::size_t slack) {
  const std::int64_t d = signed_size(columns) - signed_size(rows);
  // Beyond the table's own width a wider slack changes nothing.
  const std::int64_t w = signed_size(std::min(slack, rows + columns));
  return {std::min<std::int64_t>(0, d) - w, std::max<std::int64_t>(0, d) + w};
}

std::uint64_t pass_cost(std::size_t rows, std::size_t columns, Band band) {
  // The band's window narrows at the table's corners: sum it over rows, on a
  // sample of about 128 of them (every piece of a division asks).
  const std::int64_t last_column = signed_size(columns) - 1;
  const std::size_t stride = rows / 128 + 1;
  std::uint64_t sampled = 0;
  for (std::size_t i = 0; i < rows; i += stride) {
    const std::int64_t first = std::max<std::int64_t>(0, signed_size(i) + band.low);
    const std::int64_t last = std::min(last_column, signed_size(i) + band.high);
    if (first <= last) {
      sampled += static_cast<std::uint64_t>(last / 64 - first / 64 + 1);
    }
  }
  return sampled * stride;
}

Band band_for(std::size_t rows, std::size_t columns, std::size_t lcs) {
  const Band band = Band::around(rows, columns, std::min(rows, columns) - lcs);
  const std::uint64_t full = pass_cost(rows, columns, Band::full());
  return pass_cost(rows, columns, band) * 4 > full * 3 ? Band::full() : band;
}

template <class Symbol>
void run_pass(Text<Symbol> rows, bool reversed, std::size_t first_row, Masks<Symbol>& masks,
              std::size_t columns, Band band, Words& V, Progress& progress) {
  using Handle = typename Masks<Symbol>::Handle;
  const std::size_t count = rows.size();
  std::uint64_t steps = 0;
  const auto stepped = [&](std::size_t words) {
    steps += words;
    if (steps >= (std::uint64_t{1} << 16)) {
      progress.add(steps);
      steps = 0;
    }
  };
  Handle pending = nullptr;  // a row waiting for a second one to share its pass
  std::size_t pending_begin = 0;
  std::size_t pending_end = 0;
  const auto flush = [&] {
    if (pending != nullptr) {
      advance(V.data(), masks.bits(pending, 0, pending_begin, pending_end), pending_begin,
              pending_end);
      masks.clear(0);
      stepped(pending_end - pending_begin);
      pending = nullptr;
    }
  };
  for (std::size_t i = 0; i < count; ++i) {
    const auto [begin, end] = row_window(first_row + i, columns, band);
    if (begin == end) {
      break;  // the band has left the table
    }
    const Handle match = masks.find(rows[reversed ? count - 1 - i : i]);
    if (match == nullptr) {
      continue;  // a symbol absent from the columns leaves V as it is
    }
    if (Masks<Symbol>::alone(match)) {  // after the row that waits, if any
      flush();
      masks.step_alone(match, V, begin, end);
      stepped(end - begin);
    } else if (pending == nullptr) {
      pending = match;
      pending_begin = begin;
      pending_end = end;
    } else {
      // Both rows over the union of their windows: the first row's starts no
      // later, the second's ends no earlier.
      advance2(V.data(), masks.bits(pending, 0, pending_begin, end),
               masks.bits(match, 1, pending_begin, end), pending_begin, end);
      masks.clear(0);
      masks.clear(1);
      pending = nullptr;
      stepped(2 * (end - pending_begin));
    }
  }
  flush();
  progress.add(steps);
}

Crossing best_crossing(const Words& forward, const Words& backward, std::size_t columns,
                       std::size_t upper_rows, Band band) {
  const auto clamp = [&](std::int64_t j) {
    return static_cast<std::size_t>(std::clamp<std::int64_t>(j, 0, signed_size(columns)));
  };
  const std::size_t first = clamp(signed_size(upper_rows) + band.low);
  const std::size_t last = clamp(signed_size(upper_rows) + band.high);
  std::size_t upper = zeros_below(forward.data(), first);
  std::size_t lower = zeros_below(backward.data(), columns - first);
  Crossing best{first, upper, lower};
  for (std::size_t j = first; j < last; ++j) {
    upper += bit_at(forward.data(), j) ? 0U : 1U;
    lower -= bit_at(backward.data(), columns - 1 - j) ? 0U : 1U;
    if (upper + lower > best.upper + best.lower) {
      best = {j + 1, upper, lower};
    }
  }
  return best;
}

namespace {

// Rows a thread takes at a time when the middle may move.
constexpr std::size_t kBatchRows = 256;

// Up to `wanted` of the rows not yet taken; 0 when none are left.
std::size_t take_rows(std::atomic<std::size_t>& untaken, std::size_t wanted) {
  std::size_t left = untaken.load();
  std::size_t taken = 0;
  do {
    taken = std::min(wanted, left);
  } while (taken != 0 && !untaken.compare_exchange_weak(left, left - taken));
  return taken;
}

}  // namespace

template <class Symbol>
Crossing divide(Text<Symbol> rows, Text<Symbol> columns, Band band, DivisionSpace<Symbol>& space,
                Progress& progress, bool parallel, Middle middle) {
  const std::size_t half = rows.size() / 2;
  const bool anywhere = middle == Middle::anywhere && parallel;
  std::atomic<std::size_t> untaken{rows.size()};
  // Applies rows of the table read forward, or backward, to V until no rows
  // are left to take, in batches, or as `share` rows at once for the exact
  // middle; returns how many it applied.
  space.shared.build(columns);
  const auto sweep = [&](bool reversed, std::size_t share, Masks<Symbol>& masks, Words& V) {
    masks.build(columns, reversed, space.shared);
    V.assign(masks.words(), ~Word{0});
    std::size_t done = 0;
    while (const std::size_t batch = take_rows(untaken, anywhere ? kBatchRows : share - done)) {
      const std::size_t from = reversed ? rows.size() - done - batch : done;
      run_pass(rows.subspan(from, batch), reversed, done, masks, columns.size(), band, V, progress);
      done += batch;
    }
    return done;
  };
  std::size_t upper = 0;
  side_by_side(
      parallel, [&] { upper = sweep(false, half, space.forward_masks, space.forward); },
      [&] { sweep(true, rows.size() - half, space.backward_masks, space.backward); });
  return best_crossing(space.forward, space.backward, columns.size(), upper, band);
}

template <class Symbol>
std::size_t length_in_band(Text<Symbol> rows, Text<Symbol> columns, Band band,
                           DivisionSpace<Symbol>& space, Progress& progress) {
  space.shared.build(columns);
  space.forward_masks.build(columns, false, space.shared);
  space.forward.assign(space.forward_masks.words(), ~Word{0});
  run_pass(rows, false, 0, space.forward_masks, columns.size(), band, space.forward, progress);
  return zeros_below(space.forward.data(), columns.size());
}

template <class Symbol>
BandChoice choose_band(Text<Symbol> rows, Text<Symbol> columns, DivisionSpace<Symbol>& space,
                       Probe how, const Progress& progress) {
  const std::uint64_t full = pass_cost(rows.size(), columns.size(), Band::full());
  const Band probe = Band::around(rows.size(), columns.size(), kProbeSlack);
  const std::uint64_t probe_cost = pass_cost(rows.size(), columns.size(), probe);
  if (probe_cost * 8 > full) {
    return {Band::full(), std::nullopt};
  }
  // The probe is cheap and may settle everything: its progress is not shown,
  // but a request to stop is heard in it as anywhere.
  Progress silent = progress.silenced();
  std::size_t found = 0;
  if (how == Probe::one_pass) {
    found = length_in_band(rows, columns, probe, space, silent);
  } else {
    const bool parallel = how == Probe::halves_side_by_side && probe_cost >= kParallelPassCost;
    const Crossing cross = divide(rows, columns, probe, space, silent, parallel);
    found = cross.upper + cross.lower;
  }
  if (std::min(rows.size(), columns.size()) - found <= kProbeSlack) {
    return {probe, found};  // no path outside the probe can beat it
  }
  return {band_for(rows.size(), columns.size(), found), std::nullopt};
}

// The engine runs on bytes and on ids.
template void run_pass(Text<char>, bool, std::size_t, Masks<char>&, std::size_t, Band, Words&,
                       Progress&);
template void run_pass(Text<Id>, bool, std::size_t, Masks<Id>&, std::size_t, Band, Words&,
                       Progress&);
template Crossing divide(Text<char>, Text<char>, Band, DivisionSpace<char>&, Progress&, bool,
                         Middle);
template Crossing divide(Text<Id>, Text<Id>, Band, DivisionSpace<Id>&, Progress&, bool, Middle);
template std::size_t length_in_band(Text<char>, Text<char>, Band, DivisionSpace<char>&, Progress&);
template std::size_t length_in_band(Text<Id>, Text<Id>, Band, DivisionSpace<Id>&, Progress&);
template BandChoice choose_band(Text<char>, Text<char>, DivisionSpace<char>&, Probe,
                                const Progress&);
template BandChoice choose_band(Text<Id>, Text<Id>, DivisionSpace<Id>&, Probe, const Progress&);

}  // namespace lcs_detail
