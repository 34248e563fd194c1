// SPDX-License-Identifier: MIT
// Match masks of a text of ids, whose alphabet may be as large as the text:
// a row of words for each id frequent enough to fill one (as MatchMasks has
// for bytes), and for each rare id only its sorted positions, from which a
// pass sets the mask of a row in scratch words, over the window it needs, and
// clears it after use. A pass over all rows then costs its word steps plus
// one bit set and one cleared per matching pair in its windows.
#ifndef LCS_KERNELS_ID_MASKS_H
#define LCS_KERNELS_ID_MASKS_H

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <utility>
#include <vector>

#include "lcs/kernels/bit_vector.h"
#include "lcs/kernels/symbols.h"

namespace lcs_detail {

// The ascending positions of each id of a text, shared by the masks of both
// directions. An id is dense when it occurs at least once per four words of
// the text: scattering its bits for every row would cost more than a quarter
// of the row's word steps. So at most 256 ids are dense. An id that occurs
// less than once per sixteen words steps its rows alone, from its positions.
class IdPositions {
 public:
  static constexpr std::uint32_t kScattered = UINT32_MAX;
  struct Entry {
    std::uint32_t first;  // positions [first, last) of positions()
    std::uint32_t last;
    std::uint32_t dense;  // its row among the dense ones, or kScattered
    bool alone;           // rare: its rows are stepped from its positions
  };

  // Builds the lists of the ids below kOnlyInA, unless they were last built
  // from this very text. Space: one position per symbol, one slot per id up
  // to the largest seen.
  void build(Text<Id> text);

  // The entry of `id`, or nullptr when it does not occur in the text.
  [[nodiscard]] const Entry* find(Id id) const {
    if (id >= slot_of_.size() || slot_of_[id] == kNoSlot) {
      return nullptr;
    }
    return &entries_[slot_of_[id]];
  }
  [[nodiscard]] const std::uint32_t* positions() const { return positions_.data(); }
  [[nodiscard]] const std::vector<const Entry*>& dense() const { return dense_; }
  [[nodiscard]] std::size_t size() const { return source_.size(); }

 private:
  static constexpr std::uint32_t kNoSlot = UINT32_MAX;

  Text<Id> source_;
  bool built_ = false;
  std::vector<std::uint32_t> slot_of_;  // by id: its entry, or kNoSlot
  std::vector<Id> seen_;                // the ids that have an entry
  std::vector<Entry> entries_;
  std::vector<const Entry*> dense_;
  std::vector<std::uint32_t> positions_;
};

class IdMasks {
 public:
  using Handle = const IdPositions::Entry*;
  using Shared = IdPositions;

  // The dense rows of the text `positions` was built from, read from its end
  // when reversed; the rest stays in `positions`, which must outlive the
  // passes. Space: at most 256 rows of words.
  void build(Text<Id> text, bool reversed, const IdPositions& positions);

  [[nodiscard]] Handle find(Id id) const { return positions_->find(id); }

  // Whether the rows of an entry are best stepped alone (see step_alone).
  static bool alone(Handle entry) { return entry->alone; }

  // One row of a rare id over words [begin, end) of V, as advance() with its
  // mask would: a word without a match or an incoming carry stays as it is,
  // and so does a word of all ones that a carry passes through. So only the
  // words that its matches touch are stepped, and for each carry out of them
  // the next word with a zero bit, which takes it. V's words soon hold zeros
  // nearly everywhere, so a carry seldom looks far.
  void step_alone(Handle entry, Words& V, std::size_t begin, std::size_t end) const {
    const auto [from, to] = window(entry, begin, end);
    if (reversed_) {  // position p is bit size - 1 - p: the last position comes first
      const std::size_t last = positions_->size() - 1;
      step_alone(V.data(), begin, end, std::make_reverse_iterator(to),
                 std::make_reverse_iterator(from), [last](std::uint32_t p) { return last - p; });
    } else {
      step_alone(V.data(), begin, end, from, to, [](std::uint32_t p) { return std::size_t{p}; });
    }
  }

  // The mask of an entry, valid in words [begin, end): a dense row, or
  // scratch words 0 or 1, which clear(scratch) empties again. Inline: a
  // division visits every row at every level.
  const Word* bits(Handle entry, unsigned scratch, std::size_t begin, std::size_t end) {
    if (entry->dense != IdPositions::kScattered) {
      return dense_.data() + entry->dense * stride_;
    }
    const std::size_t size = positions_->size();
    const auto [from, to] = window(entry, begin, end);
    Word* bits = scratch_[scratch].data();
    for (const std::uint32_t* p = from; p != to; ++p) {
      const std::size_t t = reversed_ ? size - 1 - *p : *p;
      bits[t / kWordBits] |= Word{1} << (t % kWordBits);
    }
    set_from_[scratch] = from;
    set_to_[scratch] = to;
    return bits;
  }

  void clear(unsigned scratch) {
    const std::size_t size = positions_->size();
    Word* bits = scratch_[scratch].data();
    for (const std::uint32_t* p = set_from_[scratch]; p != set_to_[scratch]; ++p) {
      bits[(reversed_ ? size - 1 - *p : *p) / kWordBits] = 0;
    }
    set_to_[scratch] = set_from_[scratch];
  }

  [[nodiscard]] std::size_t words() const { return words_; }

 private:
  // Positions in [p, p_end) in ascending order of bit(p).
  template <class Position, class Bit>
  static void step_alone(Word* V, std::size_t begin, std::size_t end, Position p, Position p_end,
                         Bit bit) {
    Carry carry = 0;
    std::size_t w = begin;  // the words below w are done
    // Whether a carry is pending is as likely as not: the first word with a
    // zero bit is found either way, and takes the carry by arithmetic.
    const auto carry_to = [&](std::size_t word) {
      while (w < word && V[w] == ~Word{0}) {
        ++w;
      }
      if (w < word) {
        V[w] |= V[w] + carry;  // the lowest zero bit takes a carry
        carry = 0;
      }
    };
    while (p != p_end) {
      const std::size_t first = bit(*p);
      const std::size_t word = first / kWordBits;
      Word match = Word{1} << (first % kWordBits);
      for (++p; p != p_end && bit(*p) / kWordBits == word; ++p) {
        match |= Word{1} << (bit(*p) % kWordBits);
      }
      carry_to(word);
      V[word] = step(V[word], match, carry);
      w = word + 1;
    }
    carry_to(end);
  }

  // The positions of an entry that fall in words [begin, end) of this
  // direction: reversed, position p is bit size - 1 - p.
  [[nodiscard]] std::pair<const std::uint32_t*, const std::uint32_t*> window(
      Handle entry, std::size_t begin, std::size_t end) const {
    const std::size_t size = positions_->size();
    const std::size_t low = reversed_ ? size - std::min(size, end * kWordBits) : begin * kWordBits;
    const std::size_t high = reversed_ ? size - std::min(size, begin * kWordBits) : end * kWordBits;
    const std::uint32_t* from = positions_->positions() + entry->first;
    const std::uint32_t* to = positions_->positions() + entry->last;
    if (*from < low) {  // a window narrower than the text: a band
      from = std::lower_bound(from, to, low);
    }
    if (from != to && *(to - 1) >= high) {
      to = std::lower_bound(from, to, high);
    }
    return {from, to};
  }

  const IdPositions* positions_ = nullptr;
  Text<Id> source_;
  bool reversed_ = false;
  Words dense_;
  std::array<Words, 2> scratch_;
  std::array<const std::uint32_t*, 2> set_from_{};  // the positions set in each scratch
  std::array<const std::uint32_t*, 2> set_to_{};
  std::size_t words_ = 0;
  std::size_t stride_ = 0;  // words from one dense row to the next: whole cache lines
};

}  // namespace lcs_detail

#endif  // LCS_KERNELS_ID_MASKS_H
