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

// Every function defined between LCS_TARGET_BEGIN(isa) and LCS_TARGET_END is
// compiled for that instruction set, templates and their members included.
#define LCS_PRAGMA(text) _Pragma(#text)
#if defined(__clang__)
#define LCS_TARGET_BEGIN(isa) \
  LCS_PRAGMA(clang attribute push(__attribute__((target(isa))), apply_to = function))
#define LCS_TARGET_END LCS_PRAGMA(clang attribute pop)
#else
#define LCS_TARGET_BEGIN(isa) LCS_PRAGMA(GCC push_options) LCS_PRAGMA(GCC target(isa))
#define LCS_TARGET_END LCS_PRAGMA(GCC pop_options)
#endif

#endif  // LCS_KERNELS_TARGETS_H
