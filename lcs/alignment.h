// Longest common subsequence of two byte strings: its length and the
// subsequence itself, as the runs in which the two strings match.
//
// Every function takes zero-based std::string_view of any bytes (zero bytes
// and bytes >= 0x80 are ordinary characters) and any length the machine can
// hold. Memory is linear in |a| + |b| beyond the result; the only exception
// that leaves a call is std::bad_alloc. No output, no state between calls.
//
// Cost: bit-parallel passes of 64 table cells per word operation (Allison and
// Dix, 1986; Hyyrö, 2004), restricted to a diagonal band that provably holds
// an optimal path when the strings are alike (Ukkonen, 1985): about
// min(|a|,|b|)·|b|/64 word steps for unrelated strings, |a|·(D + ||a|-|b||)/64
// for strings D insertions and deletions apart. matching_blocks takes about
// twice the time of length (Hirschberg's divide and conquer, 1975).
#ifndef LCS_ALIGNMENT_H
#define LCS_ALIGNMENT_H

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
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
};

// The LCS length of a and b.
std::size_t length(std::string_view a, std::string_view b, const Options& options = {});

// One longest common subsequence as maximal runs: sizes > 0, strictly
// increasing and non-overlapping in both strings, no two blocks that touch in
// both, sizes summing to length(a, b).
std::vector<MatchingBlock> matching_blocks(std::string_view a, std::string_view b,
                                           const Options& options = {});

// The bytes of matching_blocks(a, b), in order.
std::string subsequence(std::string_view a, std::string_view b);

// 2·length(a, b) / (|a| + |b|), in [0, 1]; 1.0 when both are empty.
double similarity(std::string_view a, std::string_view b);

}  // namespace lcs

#endif  // LCS_ALIGNMENT_H
