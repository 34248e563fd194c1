// SPDX-License-Identifier: MIT
// Which instruction sets the vector paths may be compiled for on this
// platform; each path's functions carry its target attribute and are chosen at
// run time (see row_path()), so the build itself needs no -march.
#ifndef LCS_KERNELS_TARGETS_H
#define LCS_KERNELS_TARGETS_H

#if !defined(LCS_PORTABLE) && defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define LCS_X86 1
// Windows does not align the stack for 32-byte vectors that the compiler
// spills (and 32-bit Windows not even for 16-byte ones): wider paths only
// where the platform keeps the alignment they need.
#if defined(__x86_64__) || !defined(_WIN32)
#define LCS_SSE2 1
#else
#define LCS_SSE2 0
#endif
#ifndef _WIN32
#define LCS_WIDE 1
#else
#define LCS_WIDE 0
#endif
#else
#define LCS_X86 0
#define LCS_SSE2 0
#define LCS_WIDE 0
#endif

#define LCS_TARGET(isa) __attribute__((target(isa), flatten))

#endif  // LCS_KERNELS_TARGETS_H
