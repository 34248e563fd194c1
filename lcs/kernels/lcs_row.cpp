// SPDX-License-Identifier: MIT
// The 64-column row step of lcs_row.h on four instruction sets: plain C++,
// SSE2 (16 bytes a vector), AVX2 (32) and AVX-512BW (64, with mask registers),
// each compiled for its own target and chosen once by what the processor
// supports. The row loop is one template; each path differs only in how it
// builds the match and flat masks and writes the row. The same compares build
// the match masks of the bit-vector passes.
#include "lcs/kernels/lcs_row.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "lcs/kernels/targets.h"

namespace lcs_detail {

namespace {

constexpr std::size_t kBlock = 64;

struct Portable {
  // Bit u is set when p[u] == a, for u = 0..63.
  static std::uint64_t match64(const char* p, unsigned char a) {
    std::uint64_t bits = 0;
    for (std::size_t u = 0; u < 64; ++u) {
      bits |= (static_cast<unsigned char>(p[u]) == a ? std::uint64_t{1} : 0U) << u;
    }
    return bits;
  }
  // Bit t is set when row[t] == row[t - 1], for t = 0..63.
  static std::uint64_t flat64(const int* row) {
    std::uint64_t bits = 0;
    for (std::size_t t = 0; t < 64; ++t) {
      bits |= (row[t] == row[static_cast<std::ptrdiff_t>(t) - 1] ? std::uint64_t{1} : 0U) << t;
    }
    return bits;
  }
  // out[t] = row[t] + (bit t of bits), for t = 0..63.
  static void add_bits64(const int* row, std::uint64_t bits, int* out) {
    for (std::size_t t = 0; t < 64; ++t) {
      out[t] = row[t] + static_cast<int>((bits >> t) & 1U);
    }
  }
};

#if LCS_SSE2
struct Sse2 {
  LCS_TARGET("sse2") static std::uint64_t match64(const char* p, unsigned char a) {
    const __m128i key = _mm_set1_epi8(static_cast<char>(a));
    std::uint64_t bits = 0;
    for (std::size_t q = 0; q < 4; ++q) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * q));
      const auto hits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, key)));
      bits |= std::uint64_t{hits} << (16 * q);
    }
    return bits;
  }
  LCS_TARGET("sse2") static std::uint64_t flat64(const int* row) {
    std::uint64_t bits = 0;
    for (std::size_t q = 0; q < 16; ++q) {
      const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + 4 * q));
      const __m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row - 1 + 4 * q));
      const auto flat =
          static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(here, before))));
      bits |= std::uint64_t{flat} << (4 * q);
    }
    return bits;
  }
  LCS_TARGET("sse2") static void add_bits64(const int* row, std::uint64_t bits, int* out) {
    const __m128i lanes = _mm_setr_epi32(1, 2, 4, 8);
    for (std::size_t q = 0; q < 16; ++q) {
      const auto nibble = static_cast<int>((bits >> (4 * q)) & 15U);
      const __m128i set = _mm_cmpeq_epi32(_mm_and_si128(_mm_set1_epi32(nibble), lanes), lanes);
      const __m128i values = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + 4 * q));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * q), _mm_sub_epi32(values, set));
    }
  }
};
#endif

#if LCS_WIDE
struct Avx2 {
  LCS_TARGET("avx2") static std::uint64_t match64(const char* p, unsigned char a) {
    const __m256i key = _mm256_set1_epi8(static_cast<char>(a));
    const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32));
    const auto low_hits = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(low, key)));
    const auto high_hits =
        static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(high, key)));
    return std::uint64_t{low_hits} | (std::uint64_t{high_hits} << 32);
  }
  LCS_TARGET("avx2") static std::uint64_t flat64(const int* row) {
    std::uint64_t bits = 0;
    for (std::size_t q = 0; q < 8; ++q) {
      const __m256i here = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + 8 * q));
      const __m256i before = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row - 1 + 8 * q));
      const auto flat = static_cast<unsigned>(
          _mm256_movemask_ps(_mm256_castsi256_ps(_mm256_cmpeq_epi32(here, before))));
      bits |= std::uint64_t{flat} << (8 * q);
    }
    return bits;
  }
  LCS_TARGET("avx2") static void add_bits64(const int* row, std::uint64_t bits, int* out) {
    const __m256i lanes = _mm256_setr_epi32(1, 2, 4, 8, 16, 32, 64, 128);
    for (std::size_t q = 0; q < 8; ++q) {
      const auto byte = static_cast<int>((bits >> (8 * q)) & 255U);
      const __m256i set =
          _mm256_cmpeq_epi32(_mm256_and_si256(_mm256_set1_epi32(byte), lanes), lanes);
      const __m256i values = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + 8 * q));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 8 * q), _mm256_sub_epi32(values, set));
    }
  }
};

struct Avx512 {
  LCS_TARGET("avx512f,avx512bw") static std::uint64_t match64(const char* p, unsigned char a) {
    return _mm512_cmpeq_epi8_mask(_mm512_loadu_si512(p), _mm512_set1_epi8(static_cast<char>(a)));
  }
  LCS_TARGET("avx512f,avx512bw") static std::uint64_t flat64(const int* row) {
    std::uint64_t bits = 0;
    for (std::size_t q = 0; q < 4; ++q) {
      const __mmask16 flat = _mm512_cmpeq_epi32_mask(_mm512_loadu_si512(row + 16 * q),
                                                     _mm512_loadu_si512(row - 1 + 16 * q));
      bits |= std::uint64_t{flat} << (16 * q);
    }
    return bits;
  }
  LCS_TARGET("avx512f,avx512bw")
  static void add_bits64(const int* row, std::uint64_t bits, int* out) {
    const __m512i one = _mm512_set1_epi32(1);
    for (std::size_t q = 0; q < 4; ++q) {
      const auto set = static_cast<__mmask16>(bits >> (16 * q));
      const __m512i values = _mm512_loadu_si512(row + 16 * q);
      _mm512_storeu_si512(out + 16 * q, _mm512_mask_add_epi32(values, set, values, one));
    }
  }
};
#endif

// Bit t moves to bit 63 - t.
std::uint64_t reverse_bits(std::uint64_t x) {
  x = ((x >> 1) & 0x5555555555555555ULL) | ((x & 0x5555555555555555ULL) << 1);
  x = ((x >> 2) & 0x3333333333333333ULL) | ((x & 0x3333333333333333ULL) << 2);
  x = ((x >> 4) & 0x0F0F0F0F0F0F0F0FULL) | ((x & 0x0F0F0F0F0F0F0F0FULL) << 4);
  x = ((x >> 8) & 0x00FF00FF00FF00FFULL) | ((x & 0x00FF00FF00FF00FFULL) << 8);
  x = ((x >> 16) & 0x0000FFFF0000FFFFULL) | ((x & 0x0000FFFF0000FFFFULL) << 16);
  return (x >> 32) | (x << 32);
}

unsigned char column(const ForwardColumns& b, std::size_t j) {
  return static_cast<unsigned char>(b.B[j]);
}
unsigned char column(const BackwardColumns& b, std::size_t j) {
  return static_cast<unsigned char>(b.B[b.n + 1 - j]);
}

// Bit t set when column j0 + t matches a; columns j0..j0+63 must exist.
template <class Isa>
std::uint64_t matches(const ForwardColumns& b, std::size_t j0, unsigned char a) {
  return Isa::match64(b.B + j0, a);
}
// Backward columns j0..j0+63 are the bytes B[n-j0-62..n+1-j0], lowest address last.
template <class Isa>
std::uint64_t matches(const BackwardColumns& b, std::size_t j0, unsigned char a) {
  return reverse_bits(Isa::match64(b.B + (b.n - j0 - 62), a));
}

template <class Isa, class Columns>
void row_loop(const int* prev, int* cur, std::size_t n, unsigned char a, const Columns& b) {
  std::size_t j = 1;
  std::uint64_t carry = 0;  // e of the column left of the block
  for (; j + (kBlock - 1) <= n; j += kBlock) {
    const std::uint64_t flat = Isa::flat64(prev + j);
    const std::uint64_t grow = flat & matches<Isa>(b, j, a);
    const std::uint64_t sum = flat + grow + carry;
    const std::uint64_t rise = flat & (grow | ~sum);  // carry out of each bit
    Isa::add_bits64(prev + j, rise, cur + j);
    carry = rise >> 63;
  }
  // Fewer than 64 columns left: the textbook step, without a branch on data.
  int left = cur[j - 1];
  for (; j <= n; ++j) {
    left = column(b, j) == a ? prev[j - 1] + 1 : std::max(prev[j], left);
    cur[j] = left;
  }
}

template <class Isa>
void mask_loop(std::uint64_t* out, const char* text, std::size_t n, bool reversed,
               unsigned char a) {
  std::size_t w = 0;
  for (; kBlock * (w + 1) <= n; ++w) {
    // Reversed, word w holds the bytes that end kBlock * w bytes before the end.
    out[w] = reversed ? reverse_bits(Isa::match64(text + (n - kBlock * (w + 1)), a))
                      : Isa::match64(text + kBlock * w, a);
  }
  if (kBlock * w == n) {
    return;
  }
  std::uint64_t tail = 0;
  for (std::size_t t = kBlock * w; t < n; ++t) {
    const auto c = static_cast<unsigned char>(text[reversed ? n - 1 - t : t]);
    tail |= (c == a ? std::uint64_t{1} : 0U) << (t % kBlock);
  }
  out[w] = tail;
}

using ForwardRow = void (*)(const int*, int*, std::size_t, unsigned char, const ForwardColumns&);
using BackwardRow = void (*)(const int*, int*, std::size_t, unsigned char, const BackwardColumns&);
using MaskLoop = void (*)(std::uint64_t*, const char*, std::size_t, bool, unsigned char);

struct RowKernels {
  RowPath path;
  ForwardRow forward;
  BackwardRow backward;
  MaskLoop mask;
};

// Each path's entry points are compiled for its instruction set, with the row
// loop and the helpers inlined into them.
constexpr RowKernels kPortable{RowPath::portable, row_loop<Portable, ForwardColumns>,
                               row_loop<Portable, BackwardColumns>, mask_loop<Portable>};

#if LCS_SSE2
template <class Columns>
LCS_TARGET("sse2")
void sse2_row(const int* prev, int* cur, std::size_t n, unsigned char a, const Columns& b) {
  row_loop<Sse2>(prev, cur, n, a, b);
}
LCS_TARGET("sse2")
void sse2_mask(std::uint64_t* out, const char* text, std::size_t n, bool reversed,
               unsigned char a) {
  mask_loop<Sse2>(out, text, n, reversed, a);
}
#endif

#if LCS_WIDE
template <class Columns>
LCS_TARGET("avx2")
void avx2_row(const int* prev, int* cur, std::size_t n, unsigned char a, const Columns& b) {
  row_loop<Avx2>(prev, cur, n, a, b);
}

template <class Columns>
LCS_TARGET("avx512f,avx512bw")
void avx512_row(const int* prev, int* cur, std::size_t n, unsigned char a, const Columns& b) {
  row_loop<Avx512>(prev, cur, n, a, b);
}

LCS_TARGET("avx2")
void avx2_mask(std::uint64_t* out, const char* text, std::size_t n, bool reversed,
               unsigned char a) {
  mask_loop<Avx2>(out, text, n, reversed, a);
}
LCS_TARGET("avx512f,avx512bw")
void avx512_mask(std::uint64_t* out, const char* text, std::size_t n, bool reversed,
                 unsigned char a) {
  mask_loop<Avx512>(out, text, n, reversed, a);
}
#endif

// The widest path the processor supports, as the build allows.
RowPath widest_path() {
#if LCS_X86
  __builtin_cpu_init();
#if LCS_WIDE
  if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw")) {
    return RowPath::avx512;
  }
  if (__builtin_cpu_supports("avx2")) {
    return RowPath::avx2;
  }
#endif
#if LCS_SSE2
  if (__builtin_cpu_supports("sse2")) {
    return RowPath::sse2;
  }
#endif
#endif
  return RowPath::portable;
}

RowPath capped_path() {
  RowPath path = widest_path();
  // NOLINTNEXTLINE(concurrency-mt-unsafe): read once, under a static's initialisation
  if (const char* cap = std::getenv("LCS_SIMD")) {
    for (const RowPath narrower : {RowPath::portable, RowPath::sse2, RowPath::avx2}) {
      if (std::string_view(cap) == row_path_name(narrower)) {
        path = std::min(path, narrower);
      }
    }
  }
  return path;
}

RowKernels kernels_for([[maybe_unused]] RowPath path) {
  switch (path) {
#if LCS_SSE2
    case RowPath::sse2:
      return {path, sse2_row<ForwardColumns>, sse2_row<BackwardColumns>, sse2_mask};
#endif
#if LCS_WIDE
    case RowPath::avx2:
      return {path, avx2_row<ForwardColumns>, avx2_row<BackwardColumns>, avx2_mask};
    case RowPath::avx512:
      return {path, avx512_row<ForwardColumns>, avx512_row<BackwardColumns>, avx512_mask};
#endif
    default:
      return kPortable;
  }
}

const RowKernels& kernels() {
  static const RowKernels chosen = kernels_for(capped_path());
  return chosen;
}

}  // namespace

void lcs_row(const int* prev, int* cur, std::size_t n, unsigned char a, const ForwardColumns& b) {
  kernels().forward(prev, cur, n, a, b);
}

void lcs_row(const int* prev, int* cur, std::size_t n, unsigned char a, const BackwardColumns& b) {
  kernels().backward(prev, cur, n, a, b);
}

void match_mask(std::uint64_t* out, const char* text, std::size_t n, bool reversed,
                unsigned char a) {
  kernels().mask(out, text, n, reversed, a);
}

RowPath row_path() { return kernels().path; }

const char* row_path_name(RowPath path) {
  switch (path) {
    case RowPath::sse2:
      return "sse2";
    case RowPath::avx2:
      return "avx2";
    case RowPath::avx512:
      return "avx512";
    default:
      return "portable";
  }
}

}  // namespace lcs_detail
