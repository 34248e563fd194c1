// SPDX-License-Identifier: MIT
// The bit-vector word step, out of line, in two versions chosen once by the
// processor (with the row step's choice, see lcs_row.h):
//  - scalar: per word and row an and, an add-with-carry, a xor and an or, the
//    carry kept in a byte register between words (19 instructions a word for
//    two rows on x86-64); inlined into a large caller, GCC would also keep
//    each sum in memory, hence out of line;
//  - AVX-512: eight words per vector. The carries between the eight lanes are
//    settled by one 9-bit addition: with G the lanes whose sum overflowed and
//    P the lanes whose sum is all ones, (G | P) + G + carry-in has the carry
//    into lane i as bit i of its sum xor P, and the carry out as bit 8.
// Spans of a few words go the scalar way on every processor: the passes over
// a narrow band apply row after row to the same words, so each step waits for
// the last, and the vector step's latency (and a masked store that a masked
// load cannot forward from) costs more than its width saves.
#include "lcs/kernels/bit_vector.h"

#include "lcs/kernels/lcs_row.h"

#if !defined(LCS_PORTABLE) && defined(__GNUC__) && defined(__x86_64__) && !defined(_WIN32)
#include <immintrin.h>
#define LCS_BIT_VECTOR_AVX512 1
#else
#define LCS_BIT_VECTOR_AVX512 0
#endif

namespace lcs_detail {

namespace {

// Word w of a mask: one row's, or the and of the rows of a byte's halves.
struct RowWords {
  const Word* row;
  Word operator()(std::size_t w) const { return row[w]; }
};
struct HalfWords {
  Halves halves;
  Word operator()(std::size_t w) const { return halves.high[w] & halves.low[w]; }
};

template <class Mask>
void advance_scalar(Word* V, Mask M, std::size_t begin, std::size_t end) {
  Carry carry = 0;
  for (std::size_t w = begin; w < end; ++w) {
    V[w] = step(V[w], M(w), carry);
  }
}

template <class Mask>
void advance2_scalar(Word* V, Mask M, Mask N, std::size_t begin, std::size_t end) {
  Carry carry_m = 0;
  Carry carry_n = 0;
  for (std::size_t w = begin; w < end; ++w) {
    V[w] = step(step(V[w], M(w), carry_m), N(w), carry_n);
  }
}

#if LCS_BIT_VECTOR_AVX512
#define LCS_AVX512 __attribute__((target("avx512f,avx512dq")))

// Words [w, w + 8) of a mask, the lanes not in `lanes` zero.
LCS_AVX512 inline __m512i load8(const RowWords& mask, __mmask8 lanes, std::size_t w) {
  return _mm512_maskz_loadu_epi64(lanes, mask.row + w);
}
LCS_AVX512 inline __m512i load8(const HalfWords& mask, __mmask8 lanes, std::size_t w) {
  return _mm512_and_si512(_mm512_maskz_loadu_epi64(lanes, mask.halves.high + w),
                          _mm512_maskz_loadu_epi64(lanes, mask.halves.low + w));
}
// One row's step on eight words; `carry` goes in at lane 0 and out of lane 7.
LCS_AVX512 inline __m512i step8(__m512i v, __m512i match, unsigned& carry) {
  const __m512i all_ones = _mm512_set1_epi64(-1);
  const __m512i matched = _mm512_and_si512(v, match);
  const __m512i sum = _mm512_add_epi64(v, matched);
  const unsigned generate = _cvtmask8_u32(_mm512_cmplt_epu64_mask(sum, v));
  const unsigned propagate = _cvtmask8_u32(_mm512_cmpeq_epi64_mask(sum, all_ones));
  const unsigned lanes = (generate | propagate) + generate + carry;
  carry = lanes >> 8;
  const __m512i result =
      _mm512_mask_sub_epi64(sum, _cvtu32_mask8(lanes ^ propagate), sum, all_ones);
  return _mm512_ternarylogic_epi64(result, v, matched, 0xF6);  // result | (v ^ matched)
}

// The lanes of words [w, end) within the next eight.
LCS_AVX512 inline __mmask8 lanes_from(std::size_t w, std::size_t end) {
  return end - w >= 8 ? static_cast<__mmask8>(0xFF) : static_cast<__mmask8>((1U << (end - w)) - 1);
}

// Calls step(w, lanes) on the vectors of words [begin, end) in order. They
// start on the cache line that holds word `begin`: the lanes below it are
// masked off (they load as zeros, which neither carry nor change, and are not
// stored), whole vectors in between go unmasked, and the last is masked to
// `end`.
template <class Step>
LCS_AVX512 inline void for_each_vector(std::size_t begin, std::size_t end, Step step) {
  std::size_t w = begin / 8 * 8;
  if (w != begin || end - w < 8) {
    step(w, static_cast<__mmask8>(lanes_from(w, end) & (0xFFU << (begin - w))));
    w += 8;
  }
  for (; w + 8 <= end; w += 8) {
    step(w, static_cast<__mmask8>(0xFF));
  }
  if (w < end) {
    step(w, lanes_from(w, end));
  }
}

template <class Mask>
LCS_AVX512 void advance_avx512(Word* V, Mask M, std::size_t begin, std::size_t end) {
  unsigned carry = 0;
  for_each_vector(begin, end, [&](std::size_t w, __mmask8 lanes) LCS_AVX512 {
    const __m512i v = _mm512_maskz_loadu_epi64(lanes, V + w);
    _mm512_mask_storeu_epi64(V + w, lanes, step8(v, load8(M, lanes, w), carry));
  });
}

template <class Mask>
LCS_AVX512 void advance2_avx512(Word* V, Mask M, Mask N, std::size_t begin, std::size_t end) {
  unsigned carry_m = 0;
  unsigned carry_n = 0;
  for_each_vector(begin, end, [&](std::size_t w, __mmask8 lanes) LCS_AVX512 {
    const __m512i v = _mm512_maskz_loadu_epi64(lanes, V + w);
    const __m512i m = load8(M, lanes, w);
    const __m512i n = load8(N, lanes, w);
    _mm512_mask_storeu_epi64(V + w, lanes, step8(step8(v, m, carry_m), n, carry_n));
  });
}
#endif

template <class Mask>
struct WordSteps {
  void (*one)(Word*, Mask, std::size_t, std::size_t);
  void (*two)(Word*, Mask, Mask, std::size_t, std::size_t);
};

template <class Mask>
const WordSteps<Mask>& word_steps() {
#if LCS_BIT_VECTOR_AVX512
  static const WordSteps<Mask> chosen =
      row_path() == RowPath::avx512 && __builtin_cpu_supports("avx512dq")
          ? WordSteps<Mask>{advance_avx512<Mask>, advance2_avx512<Mask>}
          : WordSteps<Mask>{advance_scalar<Mask>, advance2_scalar<Mask>};
#else
  static const WordSteps<Mask> chosen{advance_scalar<Mask>, advance2_scalar<Mask>};
#endif
  return chosen;
}

// Spans shorter than this many words take the scalar step.
constexpr std::size_t kVectorSpan = 16;

template <class Mask>
void advance_by(Word* V, Mask M, std::size_t begin, std::size_t end) {
  if (end - begin < kVectorSpan) {
    advance_scalar(V, M, begin, end);
  } else {
    word_steps<Mask>().one(V, M, begin, end);
  }
}

template <class Mask>
void advance2_by(Word* V, Mask M, Mask N, std::size_t begin, std::size_t end) {
  if (end - begin < kVectorSpan) {
    advance2_scalar(V, M, N, begin, end);
  } else {
    word_steps<Mask>().two(V, M, N, begin, end);
  }
}

}  // namespace

void advance(Word* V, const Word* M, std::size_t begin, std::size_t end) {
  advance_by(V, RowWords{M}, begin, end);
}

void advance2(Word* V, const Word* M, const Word* N, std::size_t begin, std::size_t end) {
  advance2_by(V, RowWords{M}, RowWords{N}, begin, end);
}

void advance_halves(Word* V, Halves M, std::size_t begin, std::size_t end) {
  advance_by(V, HalfWords{M}, begin, end);
}

void advance2_halves(Word* V, Halves M, Halves N, std::size_t begin, std::size_t end) {
  advance2_by(V, HalfWords{M}, HalfWords{N}, begin, end);
}

}  // namespace lcs_detail
