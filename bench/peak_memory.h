// SPDX-License-Identifier: MIT
// Heap bytes in use by the benchmark process and their peak, counted by a
// replacement of the global operator new, so that a benchmark can report how
// much memory one call needed beyond what it was given.
#ifndef LCS_BENCH_PEAK_MEMORY_H
#define LCS_BENCH_PEAK_MEMORY_H

#include <cstddef>

// Starts a new peak from the bytes in use now.
void reset_peak_memory();
// The highest number of bytes in use since the last reset, minus those in use then.
std::size_t peak_memory_growth();

#endif  // LCS_BENCH_PEAK_MEMORY_H
