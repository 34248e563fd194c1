// SPDX-License-Identifier: MIT
// Dense ids for symbols of any value: an open-addressing hash table (linear
// probing, Fibonacci hashing) numbers the distinct symbols of a in the order
// they are first seen, and b's symbols are looked up in it; then a's symbols
// that b does not have become kOnlyInA. Time O(|a| + |b|)
// expected; space two table slots per distinct symbol of a at most (per
// symbol of a, when a's first symbols are mostly distinct), freed on return.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

#include "lcs/kernels/symbols.h"

namespace lcs_detail {

namespace {

template <class Symbol>
class SymbolTable {
 public:
  // The number of `symbol`, given when it is first seen.
  Id number(Symbol symbol) {
    if (2 * (size_ + 1) > slots_.size()) {
      grow(slots_.empty() ? 16 : 2 * slots_.size());
    }
    Slot& slot = slots_[find(symbol)];
    if (slot.number == kFree) {
      slot = {symbol, static_cast<Id>(size_++)};  // size_ < |a| <= kMaxIdLength
    }
    return slot.number;
  }

  // The number of `symbol`, or kOnlyInB when it has none.
  [[nodiscard]] Id lookup(Symbol symbol) const {
    return slots_.empty() ? kOnlyInB : slots_[find(symbol)].number;
  }
  [[nodiscard]] std::size_t size() const { return size_; }

  // Room for `symbols` distinct symbols without growing.
  void reserve(std::size_t symbols) {
    std::size_t slots = 16;
    while (slots < 2 * symbols) {
      slots *= 2;
    }
    if (slots > slots_.size()) {
      grow(slots);
    }
  }

  // Asks for the slot where `symbol` would be looked up first: the symbols
  // come in any order and the table is larger than the caches.
  void prefetch(Symbol symbol) const {
    if (!slots_.empty()) {
      __builtin_prefetch(&slots_[home(symbol)]);
    }
  }

 private:
  static constexpr Id kFree = kOnlyInB;  // a free slot's number: looked up, it says "not in a"
  struct Slot {
    Symbol symbol;
    Id number;
  };

  // The slot of `symbol`, or the free slot where it would go.
  [[nodiscard]] std::size_t find(Symbol symbol) const {
    std::size_t at = home(symbol);
    while (slots_[at].number != kFree && slots_[at].symbol != symbol) {
      at = (at + 1) & (slots_.size() - 1);
    }
    return at;
  }

  [[nodiscard]] std::size_t home(Symbol symbol) const {
    return static_cast<std::size_t>((std::uint64_t{symbol} * 0x9E3779B97F4A7C15U) >> shift_);
  }

  void grow(std::size_t slots) {
    std::vector<Slot> old(slots, Slot{Symbol{}, kFree});
    old.swap(slots_);
    shift_ = 64;
    for (std::size_t size = slots_.size(); size > 1; size /= 2) {
      --shift_;
    }
    for (const Slot& slot : old) {
      if (slot.number != kFree) {
        slots_[find(slot.symbol)] = slot;
      }
    }
  }

  std::vector<Slot> slots_;
  std::size_t size_ = 0;
  unsigned shift_ = 64;
};

// Whether most of the first few thousand symbols differ, as lines, tokens
// and item ids do.
template <class Symbol>
bool mostly_distinct(Text<Symbol> text) {
  constexpr std::size_t kSample = 4096;
  if (text.size() < kSample) {
    return false;
  }
  std::vector<Symbol> sample(text.begin(), text.begin() + kSample);
  std::sort(sample.begin(), sample.end());
  const auto distinct =
      static_cast<std::size_t>(std::unique(sample.begin(), sample.end()) - sample.begin());
  return 2 * distinct > kSample;
}

}  // namespace

template <class Symbol>
Interned intern(Text<Symbol> a, Text<Symbol> b) {
  if (a.size() > kMaxIdLength || b.size() > kMaxIdLength) {
    throw std::bad_alloc();
  }
  Interned ids{std::vector<Id>(a.size()), std::vector<Id>(b.size()), 0};
  SymbolTable<Symbol> table;
  if (mostly_distinct(a)) {
    table.reserve(a.size());  // growing step by step would move every slot again each time
  }
  // Each slot is asked for a few symbols ahead: the symbols come in any
  // order and the table is larger than the caches.
  constexpr std::size_t kAhead = 16;
  for (std::size_t t = 0; t < a.size(); ++t) {
    if (t + kAhead < a.size()) {
      table.prefetch(a[t + kAhead]);
    }
    ids.a[t] = table.number(a[t]);
  }
  std::vector<bool> in_b(table.size(), false);
  for (std::size_t t = 0; t < b.size(); ++t) {
    if (t + kAhead < b.size()) {
      table.prefetch(b[t + kAhead]);
    }
    ids.b[t] = table.lookup(b[t]);
    if (ids.b[t] != kOnlyInB) {
      in_b[ids.b[t]] = true;
    }
  }
  // Symbols of a alone match nothing: no mask or occurrence list is made for them.
  for (Id& id : ids.a) {
    if (!in_b[id]) {
      id = kOnlyInA;
    }
  }
  ids.shared = static_cast<Id>(table.size());
  return ids;
}

template Interned intern(Text<std::uint16_t>, Text<std::uint16_t>);
template Interned intern(Text<std::uint32_t>, Text<std::uint32_t>);

}  // namespace lcs_detail
