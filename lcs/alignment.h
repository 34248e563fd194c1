// SPDX-License-Identifier: MIT
// Longest common subsequence of two sequences: its length and the
// subsequence itself, as the runs in which the two sequences match.
//
// Every function takes zero-based std::string_view of any bytes (zero bytes
// and bytes >= 0x80 are ordinary characters), or spans of 16- or 32-bit
// symbols of any value, and any length the machine can hold (wider symbols:
// up to 2^32 - 2 of them). Memory is linear in |a| + |b| beyond the result;
// the only exceptions that leave a call are std::bad_alloc and lcs::Stopped
// (when asked for). No output, no state between calls.
//
// Cost: bit-parallel passes of 64 table cells per word operation (Allison and
// Dix, 1986; Hyyro, 2004), restricted to a diagonal band that provably holds
// an optimal path when the sequences are alike (Ukkonen, 1985): about
// min(|a|,|b|)·|b|/64 word steps for unrelated sequences, |a|·(D + ||a|-|b||)/64
// for sequences D insertions and deletions apart. matching_blocks takes about
// twice the time of length (Hirschberg's divide and conquer, 1975). Wider
// symbols are given dense ids first (O(|a| + |b|) expected); when few pairs
// of them match (R pairs, much fewer than |a|·|b|/64), the threshold method
// of Hunt and Szymanski (1977) takes O(R log |b| + |a| log |b|) instead.
#ifndef LCS_ALIGNMENT_H
#define LCS_ALIGNMENT_H

#include <atomic>
#include <bit>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <new>
#include <ranges>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace lcs {

// a[a .. a+size) == b[b .. b+size), zero-based.
struct MatchingBlock {
  std::size_t a;
  std::size_t b;
  std::size_t size;
  bool operator==(const MatchingBlock&) const = default;
};

struct Options {
  // Called now and then with the fraction of the work done (0 to 1), at most
  // about 100 times a call, the last time with 1; empty: not called. Never two
  // calls at once, though not always from the calling thread.
  std::function<void(double)> progress;
  // Threads to use: the forward and backward passes of a division run side by
  // side, and after a large division its two halves, each with half the
  // threads; 0: as many as the hardware has. The result is the same for any
  // number.
  unsigned threads = 1;
  // When set and it becomes true (from any thread), a call of length or
  // matching_blocks stops within a few milliseconds of work, with all its
  // threads ended, and throws lcs::Stopped.
  const std::atomic<bool>* stop = nullptr;
};

// Thrown by a call that options.stop stopped.
struct Stopped : std::exception {
  [[nodiscard]] const char* what() const noexcept override { return "lcs: stopped"; }
};

// The LCS length of a and b.
std::size_t length(std::string_view a, std::string_view b, const Options& options = {});
std::size_t length(std::span<const std::uint16_t> a, std::span<const std::uint16_t> b,
                   const Options& options = {});
std::size_t length(std::span<const std::uint32_t> a, std::span<const std::uint32_t> b,
                   const Options& options = {});

// One longest common subsequence as maximal runs: sizes > 0, strictly
// increasing and non-overlapping in both sequences, no two blocks that touch
// in both, sizes summing to length(a, b). The same for any options.threads.
std::vector<MatchingBlock> matching_blocks(std::string_view a, std::string_view b,
                                           const Options& options = {});
std::vector<MatchingBlock> matching_blocks(std::span<const std::uint16_t> a,
                                           std::span<const std::uint16_t> b,
                                           const Options& options = {});
std::vector<MatchingBlock> matching_blocks(std::span<const std::uint32_t> a,
                                           std::span<const std::uint32_t> b,
                                           const Options& options = {});

// The same longest common subsequence's length as `blocks` (one of a and b,
// as matching_blocks gives it), matched so that the edits between the blocks
// form as few groups as there can be: every stretch between blocks of at
// least 4 symbols is matched again, exactly, by a
// table of the longest subsequences that counts groups too, where it is at
// most 2^16 cells; larger stretches stay as they are. What diff-like output
// reads best: changes that can be together are. Time O(cells of the small
// stretches), space 1 byte a cell of the largest.
std::vector<MatchingBlock> compact_blocks(std::span<const MatchingBlock> blocks, std::string_view a,
                                          std::string_view b);
std::vector<MatchingBlock> compact_blocks(std::span<const MatchingBlock> blocks,
                                          std::span<const std::uint16_t> a,
                                          std::span<const std::uint16_t> b);
std::vector<MatchingBlock> compact_blocks(std::span<const MatchingBlock> blocks,
                                          std::span<const std::uint32_t> a,
                                          std::span<const std::uint32_t> b);

// The symbols of matching_blocks(a, b), in order.
std::string subsequence(std::string_view a, std::string_view b);
std::vector<std::uint16_t> subsequence(std::span<const std::uint16_t> a,
                                       std::span<const std::uint16_t> b);
std::vector<std::uint32_t> subsequence(std::span<const std::uint32_t> a,
                                       std::span<const std::uint32_t> b);

// 2·length(a, b) / (|a| + |b|), in [0, 1]; 1.0 when both are empty.
double similarity(std::string_view a, std::string_view b);
double similarity(std::span<const std::uint16_t> a, std::span<const std::uint16_t> b);
double similarity(std::span<const std::uint32_t> a, std::span<const std::uint32_t> b);

// One edit of a[a_begin, a_end) into b[b_begin, b_end), as Python's difflib
// prints it: equal ranges, a replace (a deletion and an insertion side by
// side), a deletion (b's range empty) or an insertion (a's range empty).
struct Opcode {
  enum class Tag : std::uint8_t { equal, replace, remove, insert };
  Tag tag;
  std::size_t a_begin;
  std::size_t a_end;
  std::size_t b_begin;
  std::size_t b_end;
  bool operator==(const Opcode&) const = default;
};

// difflib's word for a tag: "equal", "replace", "delete" or "insert".
std::string_view tag_name(Opcode::Tag tag);

// The edits that turn a (a_size long) into b (b_size long) around `blocks`
// (as matching_blocks gives them): ranges that tile both sequences from start
// to end, no two neighbours of the same tag. Blocks that are out of order or
// outside the sizes throw std::invalid_argument. Time O(blocks).
std::vector<Opcode> opcodes(std::span<const MatchingBlock> blocks, std::size_t a_size,
                            std::size_t b_size);

// The lines of a text with their terminators: each line ends after its line
// feed (so a CRLF line keeps both bytes), and a last line without one is
// returned as it is, unequal to the same line with one. No lines in an empty
// text. Views into `text`.
std::vector<std::string_view> split_lines(std::string_view text);

// Two sequences of any items as 32-bit ids for the functions above: equal
// items (by `equal`, hashed by `hash`) get equal ids, numbered from 0 in the
// order first seen, a before b. For lines, words, tokens, or any hashable
// values. Time O(|a| + |b|) expected; space a table of 8 bytes per item and
// 16 per distinct item, which it refers to, not copies. More than 2^32 - 1 distinct items:
// std::bad_alloc.
struct DenseIds {
  std::vector<std::uint32_t> a;
  std::vector<std::uint32_t> b;
  std::size_t distinct = 0;
};

namespace detail {
// The number of items in a range, by its size where it has one (some
// standard libraries have no std::ranges::distance).
template <std::ranges::forward_range R>
std::size_t item_count(const R& range) {
  if constexpr (std::ranges::sized_range<const R>) {
    return static_cast<std::size_t>(std::ranges::size(range));
  } else {
    std::size_t count = 0;
    for (auto at = std::ranges::begin(range); at != std::ranges::end(range); ++at) {
      ++count;
    }
    return count;
  }
}
}  // namespace detail

template <std::ranges::forward_range A, std::ranges::forward_range B,
          class Hash = std::hash<std::ranges::range_value_t<A>>, class Equal = std::equal_to<>>
requires std::same_as<std::ranges::range_value_t<A>, std::ranges::range_value_t<B>> DenseIds
dense_ids(const A& a, const B& b, Hash hash = {}, Equal equal = {}) {
  using Item = std::ranges::range_value_t<A>;
  static_assert(std::is_lvalue_reference_v<std::ranges::range_reference_t<const A>> &&
                    std::is_lvalue_reference_v<std::ranges::range_reference_t<const B>>,
                "dense_ids refers to the items: pass ranges that hold them");
  constexpr std::uint32_t kFree = UINT32_MAX;
  const std::size_t a_size = detail::item_count(a);
  const std::size_t b_size = detail::item_count(b);
  // Open addressing with linear probing, at most half full: each slot holds
  // an id, and each id its first item and that item's hash, which settles
  // most probes without comparing items.
  std::vector<std::uint32_t> slots(std::bit_ceil(2 * (a_size + b_size) + 2), kFree);
  const std::size_t mask = slots.size() - 1;
  std::vector<const Item*> first;
  std::vector<std::size_t> first_hash;
  DenseIds out;
  out.a.reserve(a_size);
  out.b.reserve(b_size);
  const auto number = [&](const auto& items, std::vector<std::uint32_t>& to) {
    for (const Item& item : items) {
      const std::size_t item_hash = hash(item);
      std::size_t at = item_hash & mask;
      for (; slots[at] != kFree; at = (at + 1) & mask) {
        const std::uint32_t id = slots[at];
        if (first_hash[id] == item_hash && equal(*first[id], item)) {
          break;
        }
      }
      if (slots[at] == kFree) {
        if (first.size() == kFree) {
          throw std::bad_alloc();
        }
        slots[at] = static_cast<std::uint32_t>(first.size());
        first.push_back(&item);
        first_hash.push_back(item_hash);
      }
      to.push_back(slots[at]);
    }
  };
  number(a, out.a);
  number(b, out.b);
  out.distinct = first.size();
  return out;
}

}  // namespace lcs

#endif  // LCS_ALIGNMENT_H
