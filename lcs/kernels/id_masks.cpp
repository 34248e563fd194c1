// SPDX-License-Identifier: MIT
// The positions of the ids of a text, and the dense rows of its masks in
// either direction (see id_masks.h).
#include "lcs/kernels/id_masks.h"

#include <cstddef>
#include <cstdint>
#include <new>

namespace lcs_detail {

void IdPositions::build(Text<Id> text) {
  if (built_ && text.data() == source_.data() && text.size() == source_.size()) {
    return;
  }
  built_ = false;  // until the new lists are complete
  for (const Id id : seen_) {
    slot_of_[id] = kNoSlot;
  }
  seen_.clear();
  entries_.clear();
  for (const Id id : text) {  // the count of each id, in its entry's `last` for now
    if (id >= kOnlyInA) {
      continue;  // in this text only: it matches nothing
    }
    if (id >= slot_of_.size()) {
      slot_of_.resize(std::size_t{id} + 1, kNoSlot);
    }
    if (slot_of_[id] == kNoSlot) {
      slot_of_[id] = static_cast<std::uint32_t>(entries_.size());
      seen_.push_back(id);
      entries_.push_back({0, 0, kScattered, false});
    }
    ++entries_[slot_of_[id]].last;
  }
  const std::size_t words = words_for(text.size());
  const std::size_t dense_from = std::max<std::size_t>(1, words / 4);
  dense_.clear();
  std::uint32_t start = 0;
  for (Entry& entry : entries_) {
    const std::uint32_t count = entry.last;
    if (count >= dense_from) {
      entry.dense = static_cast<std::uint32_t>(dense_.size());
      dense_.push_back(&entry);
    }
    entry.alone = count < words / 16;
    entry.first = entry.last = start;  // the fill below moves `last` on
    start += count;
  }
  positions_.resize(start);
  for (std::size_t t = 0; t < text.size(); ++t) {
    if (text[t] < kOnlyInA) {
      positions_[entries_[slot_of_[text[t]]].last++] = static_cast<std::uint32_t>(t);
    }
  }
  source_ = text;
  built_ = true;
}

void IdMasks::build(Text<Id> text, bool reversed, const IdPositions& positions) {
  if (positions_ == &positions && text.data() == source_.data() && text.size() == source_.size() &&
      reversed == reversed_ && !scratch_[0].empty()) {
    return;
  }
  positions_ = &positions;
  source_ = {};  // until the new masks are complete
  reversed_ = reversed;
  words_ = words_for(text.size());
  stride_ = (words_ + kLineWords - 1) / kLineWords * kLineWords;
  const std::size_t rows = positions.dense().size();
  // Checked in 64 bits: on a 32-bit platform the product can exceed size_t.
  if (std::uint64_t{rows} * stride_ > dense_.max_size()) {
    throw std::bad_alloc();
  }
  dense_.assign(rows * stride_, 0);
  for (const IdPositions::Entry* entry : positions.dense()) {
    Word* row = dense_.data() + entry->dense * stride_;
    for (std::uint32_t k = entry->first; k < entry->last; ++k) {
      const std::size_t p = positions.positions()[k];
      const std::size_t t = reversed ? text.size() - 1 - p : p;
      row[t / kWordBits] |= Word{1} << (t % kWordBits);
    }
  }
  for (Words& scratch : scratch_) {
    scratch.assign(stride_, 0);
  }
  source_ = text;
}

}  // namespace lcs_detail
