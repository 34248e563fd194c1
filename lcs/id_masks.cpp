// Dense and scattered match masks of a text of ids (see id_masks.h). An id is
// dense when it occurs at least once per four words of the text: scattering
// its bits for every row would cost more than a quarter of the row's word
// steps. So at most 256 ids are dense, and the masks take no more space than
// those of a byte string.
#include "lcs/id_masks.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <new>

namespace lcs_detail {

void IdMasks::build(Text<Id> text, bool reversed) {
  if (text.data() == source_.data() && text.size() == source_.size() && reversed == reversed_ &&
      !scratch_[0].empty()) {
    return;
  }
  source_ = {};  // until the new masks are complete
  for (const Id id : seen_) {
    slot_of_[id] = kNoSlot;
  }
  seen_.clear();
  counts_.clear();
  for (const Id id : text) {
    if (id >= kOnlyInA) {
      continue;  // in this text only: it matches nothing
    }
    if (id >= slot_of_.size()) {
      slot_of_.resize(std::size_t{id} + 1, kNoSlot);
    }
    if (slot_of_[id] == kNoSlot) {
      slot_of_[id] = static_cast<std::uint32_t>(seen_.size());
      seen_.push_back(id);
      counts_.push_back(0);
    }
    ++counts_[slot_of_[id]];
  }
  words_ = words_for(text.size());
  const std::size_t stride = (words_ + kLineWords - 1) / kLineWords * kLineWords;
  const std::size_t dense_from = std::max<std::size_t>(1, words_ / 4);
  const auto dense_rows = static_cast<std::size_t>(std::count_if(
      counts_.begin(), counts_.end(), [&](auto count) { return count >= dense_from; }));
  // Checked in 64 bits: on a 32-bit platform the product can exceed size_t.
  if (std::uint64_t{dense_rows} * stride > dense_.max_size()) {
    throw std::bad_alloc();
  }
  dense_.assign(dense_rows * stride, 0);
  entries_.assign(counts_.size(), {nullptr, 0, 0});
  std::size_t row = 0;
  std::uint32_t scattered = 0;
  for (std::size_t slot = 0; slot < counts_.size(); ++slot) {
    if (counts_[slot] >= dense_from) {
      entries_[slot].dense = dense_.data() + row++ * stride;
    } else {
      entries_[slot].first = entries_[slot].last = scattered;  // the fill moves `last` on
      scattered += counts_[slot];
    }
  }
  positions_.resize(scattered);
  const std::size_t last = text.size() - 1;
  for (std::size_t t = 0; t < text.size(); ++t) {
    const Id id = text[reversed ? last - t : t];
    if (id >= kOnlyInA) {
      continue;
    }
    Entry& entry = entries_[slot_of_[id]];
    if (entry.dense != nullptr) {
      entry.dense[t / kWordBits] |= Word{1} << (t % kWordBits);
    } else {
      positions_[entry.last++] = static_cast<std::uint32_t>(t);
    }
  }
  for (Words& scratch : scratch_) {
    scratch.assign(stride, 0);
  }
  source_ = text;
  reversed_ = reversed;
}

const Word* IdMasks::bits(Handle entry, unsigned scratch, std::size_t begin, std::size_t end) {
  if (entry->dense != nullptr) {
    return entry->dense;
  }
  const std::uint32_t* const all = positions_.data() + entry->first;
  const std::uint32_t* const all_end = positions_.data() + entry->last;
  const std::uint32_t* const from = std::lower_bound(all, all_end, begin * kWordBits);
  const std::uint32_t* const to = std::lower_bound(from, all_end, end * kWordBits);
  Word* bits = scratch_[scratch].data();
  for (const std::uint32_t* p = from; p != to; ++p) {
    bits[*p / kWordBits] |= Word{1} << (*p % kWordBits);
  }
  set_from_[scratch] = from;
  set_to_[scratch] = to;
  return bits;
}

void IdMasks::clear(unsigned scratch) {
  Word* bits = scratch_[scratch].data();
  for (const std::uint32_t* p = set_from_[scratch]; p != set_to_[scratch]; ++p) {
    bits[*p / kWordBits] = 0;
  }
  set_from_[scratch] = set_to_[scratch] = nullptr;
}

}  // namespace lcs_detail
