// One row of the LCS table from the row above it, 64 columns per step.
//
// The textbook step cur[j] = A[i] == B[j] ? prev[j-1] + 1 : max(prev[j], cur[j-1])
// makes every cell wait for its left neighbour and branches on data, so it runs
// at one dependent compare-and-select per cell. But cur[j] = prev[j] + e[j] with
// e[j] in {0, 1}: where prev steps up (prev[j] > prev[j-1]) e[j] = 0, and where
// prev is flat e[j] = match[j] | e[j-1]. That chain is the carry chain of the sum
// P + G (P the flat columns, G the flat matching ones), so one 64-bit addition
// settles 64 cells; only building P and G and writing the row are per cell, and
// those vectorise. The values are exactly the textbook ones, slot for slot.
#ifndef LCS_LCS_ROW_H
#define LCS_LCS_ROW_H

#include <algorithm>
#include <cstddef>
#include <cstdint>

#if !defined(LCS_PORTABLE) && \
    (defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2))
#include <emmintrin.h>
#define LCS_ROW_SSE2 1
#else
#define LCS_ROW_SSE2 0
#endif

namespace lcs_detail {

inline constexpr std::size_t kBlock = 64;

// Bit u is set when p[u] == a, for u = 0..63.
inline std::uint64_t match_mask64(const char* p, unsigned char a) {
  std::uint64_t bits = 0;
#if LCS_ROW_SSE2
  const __m128i key = _mm_set1_epi8(static_cast<char>(a));
  for (std::size_t q = 0; q < 4; ++q) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * q));
    const auto hits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, key)));
    bits |= std::uint64_t{hits} << (16 * q);
  }
#else
  for (std::size_t u = 0; u < 64; ++u) {
    bits |= std::uint64_t{static_cast<unsigned char>(p[u]) == a} << u;
  }
#endif
  return bits;
}

// Bit t is set when row[t] == row[t - 1], for t = 0..63.
inline std::uint64_t flat_mask64(const int* row) {
  std::uint64_t bits = 0;
#if LCS_ROW_SSE2
  for (std::size_t q = 0; q < 16; ++q) {
    const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + 4 * q));
    const __m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row - 1 + 4 * q));
    const auto flat =
        static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(here, before))));
    bits |= std::uint64_t{flat} << (4 * q);
  }
#else
  for (std::size_t t = 0; t < 64; ++t) {
    bits |= std::uint64_t{row[t] == row[static_cast<std::ptrdiff_t>(t) - 1]} << t;
  }
#endif
  return bits;
}

// out[t] = row[t] + (bit t of bits), for t = 0..63.
inline void add_bits64(const int* row, std::uint64_t bits, int* out) {
#if LCS_ROW_SSE2
  const __m128i lanes = _mm_setr_epi32(1, 2, 4, 8);
  for (std::size_t q = 0; q < 16; ++q) {
    const auto nibble = static_cast<int>((bits >> (4 * q)) & 15U);
    const __m128i set = _mm_cmpeq_epi32(_mm_and_si128(_mm_set1_epi32(nibble), lanes), lanes);
    const __m128i values = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + 4 * q));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * q), _mm_sub_epi32(values, set));
  }
#else
  for (std::size_t t = 0; t < 64; ++t) {
    out[t] = row[t] + static_cast<int>((bits >> t) & 1U);
  }
#endif
}

// Bit t moves to bit 63 - t.
inline std::uint64_t reverse_bits(std::uint64_t x) {
  x = ((x >> 1) & 0x5555555555555555ULL) | ((x & 0x5555555555555555ULL) << 1);
  x = ((x >> 2) & 0x3333333333333333ULL) | ((x & 0x3333333333333333ULL) << 2);
  x = ((x >> 4) & 0x0F0F0F0F0F0F0F0FULL) | ((x & 0x0F0F0F0F0F0F0F0FULL) << 4);
  x = ((x >> 8) & 0x00FF00FF00FF00FFULL) | ((x & 0x00FF00FF00FF00FFULL) << 8);
  x = ((x >> 16) & 0x0000FFFF0000FFFFULL) | ((x & 0x0000FFFF0000FFFFULL) << 16);
  return (x >> 32) | (x << 32);
}

// The columns of a one-based B read left to right: column j is B[j].
struct ForwardColumns {
  const char* B;
  [[nodiscard]] unsigned char at(std::size_t j) const { return static_cast<unsigned char>(B[j]); }
  // Bit t set when column j0 + t matches a; columns j0..j0+63 must exist.
  [[nodiscard]] std::uint64_t match64(std::size_t j0, unsigned char a) const {
    return match_mask64(B + j0, a);
  }
};

// The columns of a one-based B[1..n] read from its end: column j is B[n + 1 - j].
struct BackwardColumns {
  const char* B;
  std::size_t n;
  [[nodiscard]] unsigned char at(std::size_t j) const {
    return static_cast<unsigned char>(B[n + 1 - j]);
  }
  // Columns j0..j0+63 are the bytes B[n-j0-62..n+1-j0], lowest address last.
  [[nodiscard]] std::uint64_t match64(std::size_t j0, unsigned char a) const {
    return reverse_bits(match_mask64(B + (n - j0 - 62), a));
  }
};

// Writes cur[1..n] as the LCS row for one more character a of A, given the row
// prev above it. prev[0] and cur[0] are 0 and stay untouched.
template <class Columns>
void lcs_row(const int* prev, int* cur, std::size_t n, unsigned char a, const Columns& columns) {
  std::size_t j = 1;
  std::uint64_t carry = 0;  // e of the column left of the block
  for (; j + (kBlock - 1) <= n; j += kBlock) {
    const std::uint64_t flat = flat_mask64(prev + j);
    const std::uint64_t grow = flat & columns.match64(j, a);
    const std::uint64_t sum = flat + grow + carry;
    const std::uint64_t rise = flat & (grow | ~sum);  // carry out of each bit
    add_bits64(prev + j, rise, cur + j);
    carry = rise >> 63;
  }
  // Fewer than 64 columns left: the textbook step, without a branch on data.
  int left = cur[j - 1];
  for (; j <= n; ++j) {
    left = columns.at(j) == a ? prev[j - 1] + 1 : std::max(prev[j], left);
    cur[j] = left;
  }
}

}  // namespace lcs_detail

#endif  // LCS_LCS_ROW_H
