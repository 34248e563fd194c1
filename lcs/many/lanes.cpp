// SPDX-License-Identifier: MIT
// The lane step of lanes.h on each vector path (lane_step.inc, once per
// path): a lane-wise add is the add of vector elements, so no carry crosses
// from one string to the next. Each path's entry points are compiled for its
// instruction set with the step inlined into them.
#include "lcs/many/lanes.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "lcs/kernels/lcs_row.h"
#include "lcs/kernels/targets.h"

// Vectors are passed only between functions inlined into one path's entry
// point (flatten), so the ABI of a vector argument never reaches a call.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wpsabi"
#endif

namespace lcs_detail {

namespace {

static_assert(std::endian::native == std::endian::little, "lanes are laid out little-endian");

namespace portable {
constexpr std::size_t kVectorBytes = 8;
#include "lcs/many/lane_step.inc"  // NOLINT(readability-duplicate-include): once per path
}  // namespace portable

#if LCS_SSE2
LCS_TARGET_BEGIN("sse2")
namespace sse2 {
constexpr std::size_t kVectorBytes = 16;
#include "lcs/many/lane_step.inc"  // NOLINT(readability-duplicate-include)
}  // namespace sse2
LCS_TARGET_END
#endif

#if LCS_WIDE
LCS_TARGET_BEGIN("avx2")
namespace avx2 {
constexpr std::size_t kVectorBytes = 32;
#include "lcs/many/lane_step.inc"  // NOLINT(readability-duplicate-include)
}  // namespace avx2
LCS_TARGET_END

LCS_TARGET_BEGIN("avx512f,avx512bw")
namespace avx512 {
constexpr std::size_t kVectorBytes = 64;
#include "lcs/many/lane_step.inc"  // NOLINT(readability-duplicate-include)
}  // namespace avx512
LCS_TARGET_END
#endif

template <class Symbol>
using LanesLoop = void (*)(const LaneGroup&, std::span<const Text<Symbol>>, std::uint32_t*,
                           std::size_t);
using Similarities = void (*)(const std::uint32_t*, double, const double*, double, float*,
                              std::size_t);

template <class Symbol>
struct LanePath {
  std::size_t bytes;
  LanesLoop<Symbol> loop;
  Similarities similarities;
};

// The same path as the row step, so that LCS_SIMD caps both.
template <class Symbol>
LanePath<Symbol> lane_path_for(RowPath path) {
  switch (path) {
#if LCS_SSE2
    case RowPath::sse2:
      return {16, sse2::lanes<Symbol>, sse2::Similarities::run};
#endif
#if LCS_WIDE
    case RowPath::avx2:
      return {32, avx2::lanes<Symbol>, avx2::Similarities::run};
    case RowPath::avx512:
      return {64, avx512::lanes<Symbol>, avx512::Similarities::run};
#endif
    default:
      return {8, portable::lanes<Symbol>, portable::Similarities::run};
  }
}

template <class Symbol>
const LanePath<Symbol>& lane_path() {
  static const LanePath<Symbol> chosen = lane_path_for<Symbol>(row_path());
  return chosen;
}

}  // namespace

std::size_t lane_vector_bytes() { return lane_path<unsigned char>().bytes; }

void lane_similarities(const std::uint32_t* lcs, double m, const double* n, double cutoff,
                       float* scores, std::size_t count) {
  lane_path<unsigned char>().similarities(lcs, m, n, cutoff, scores, count);
}

template <class Symbol>
void lanes_lcs(const LaneGroup& group, std::span<const Text<Symbol>> drivers, std::uint32_t* lcs,
               std::size_t stride) {
  lane_path<Symbol>().loop(group, drivers, lcs, stride);
}

template void lanes_lcs(const LaneGroup&, std::span<const Text<unsigned char>>, std::uint32_t*,
                        std::size_t);
template void lanes_lcs(const LaneGroup&, std::span<const Text<std::uint32_t>>, std::uint32_t*,
                        std::size_t);

}  // namespace lcs_detail
