// Match masks of a text of ids, whose alphabet may be as large as the text:
// a row of words for each id frequent enough to fill one (as MatchMasks has
// for bytes), and for each rare id only its sorted positions, from which a
// pass sets the mask of a row in scratch words, over the window it needs, and
// clears it after use. A pass over all rows then costs its word steps plus
// one bit set and one cleared per matching pair in its windows.
#ifndef LCS_ID_MASKS_H
#define LCS_ID_MASKS_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "lcs/bit_vector.h"
#include "lcs/symbols.h"

namespace lcs_detail {

class IdMasks {
 public:
  struct Entry {
    Word* dense;          // the id's whole row, or nullptr for a rare id
    std::uint32_t first;  // a rare id's positions: positions_[first, last)
    std::uint32_t last;
  };
  using Handle = const Entry*;

  // Builds the masks of the ids below kOnlyInA, unless they were last built
  // from this very text in the same direction. Space: at most 256 rows of
  // words, one position per symbol, one slot per id up to the largest seen.
  void build(Text<Id> text, bool reversed);

  // The entry of `id`, or nullptr when it does not occur in the text.
  [[nodiscard]] Handle find(Id id) const {
    if (id >= slot_of_.size() || slot_of_[id] == kNoSlot) {
      return nullptr;
    }
    return &entries_[slot_of_[id]];
  }

  // The mask of an entry, valid in words [begin, end): a dense row, or
  // scratch words 0 or 1, which clear(scratch) empties again.
  const Word* bits(Handle entry, unsigned scratch, std::size_t begin, std::size_t end);
  void clear(unsigned scratch);

  [[nodiscard]] std::size_t words() const { return words_; }

 private:
  static constexpr std::uint32_t kNoSlot = UINT32_MAX;

  Text<Id> source_;
  bool reversed_ = false;
  std::vector<std::uint32_t> slot_of_;  // by id: its entry, or kNoSlot
  std::vector<Id> seen_;                // the ids that have an entry
  std::vector<Entry> entries_;
  std::vector<std::uint32_t> counts_;  // by entry: occurrences in the text
  std::vector<std::uint32_t> positions_;
  Words dense_;
  std::array<Words, 2> scratch_;
  std::array<const std::uint32_t*, 2> set_from_{};  // the positions set in each scratch
  std::array<const std::uint32_t*, 2> set_to_{};
  std::size_t words_ = 0;
};

}  // namespace lcs_detail

#endif  // LCS_ID_MASKS_H
