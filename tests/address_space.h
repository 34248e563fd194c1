// SPDX-License-Identifier: MIT
// Lowers the address space a (death-test child) process may still take, so
// that allocations fail, or must stay small, as they would on a small machine.
// Not under AddressSanitizer, which needs address space of its own.
#ifndef LCS_TESTS_ADDRESS_SPACE_H
#define LCS_TESTS_ADDRESS_SPACE_H

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LCS_TESTS_UNDER_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define LCS_TESTS_UNDER_ASAN 1
#endif

#if defined(__linux__) && !defined(LCS_TESTS_UNDER_ASAN)
#define LCS_TESTS_CAN_LIMIT_ADDRESS_SPACE 1
#include <sys/resource.h>
#include <unistd.h>

#include <cstddef>
#include <fstream>

// The process may take `extra` bytes more than it has now.
inline void limit_address_space_growth(std::size_t extra) {
  std::size_t pages = 0;
  std::ifstream("/proc/self/statm") >> pages;
  rlimit limit{};
  getrlimit(RLIMIT_AS, &limit);
  limit.rlim_cur = pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE)) + extra;
  setrlimit(RLIMIT_AS, &limit);
}
#endif

#endif  // LCS_TESTS_ADDRESS_SPACE_H
