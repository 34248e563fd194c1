// SPDX-License-Identifier: MIT
// One row of the LCS table from the row above it, 64 columns per step, on the
// widest vectors the processor has (chosen once, at the first call).
//
// The textbook step cur[j] = A[i] == B[j] ? prev[j-1] + 1 : max(prev[j], cur[j-1])
// makes every cell wait for its left neighbour and branches on data, so it runs
// at one dependent compare-and-select per cell. But cur[j] = prev[j] + e[j] with
// e[j] in {0, 1}: where prev steps up (prev[j] > prev[j-1]) e[j] = 0, and where
// prev is flat e[j] = match[j] | e[j-1]. That chain is the carry chain of the sum
// P + G (P the flat columns, G the flat matching ones), so one 64-bit addition
// settles 64 cells; only building P and G and writing the row are per cell, and
// those vectorise. The values are exactly the textbook ones, slot for slot.
#ifndef LCS_KERNELS_LCS_ROW_H
#define LCS_KERNELS_LCS_ROW_H

#include <cstddef>
#include <cstdint>

namespace lcs_detail {

// The columns of a one-based B read left to right: column j is B[j].
struct ForwardColumns {
  const char* B;
};

// The columns of a one-based B[1..n] read from its end: column j is B[n + 1 - j].
struct BackwardColumns {
  const char* B;
  std::size_t n;
};

// Writes cur[1..n] as the LCS row for one more character a of A, given the row
// prev above it. prev[0] and cur[0] are 0 and stay untouched.
void lcs_row(const int* prev, int* cur, std::size_t n, unsigned char a, const ForwardColumns& b);
void lcs_row(const int* prev, int* cur, std::size_t n, unsigned char a, const BackwardColumns& b);

// Sets bit t of out[t / 64] where byte t of text[0, n) (counted from its end
// when reversed) is a, and clears the others: 64 bytes a compare on the same
// vectors as the rows. Writes words_for(n) words.
void match_mask(std::uint64_t* out, const char* text, std::size_t n, bool reversed,
                unsigned char a);

// The instruction sets a row can run on, narrowest first.
enum class RowPath : std::uint8_t { portable, sse2, avx2, avx512 };

// The path rows run on: the widest the processor and the build allow, capped
// by the environment variable LCS_SIMD (portable, sse2, avx2 or avx512) so
// that every path can be tested on one machine.
RowPath row_path();
const char* row_path_name(RowPath path);

}  // namespace lcs_detail

#endif  // LCS_KERNELS_LCS_ROW_H
