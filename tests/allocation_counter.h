// SPDX-License-Identifier: MIT
// Counts calls of the global operator new, so that a test can tell that a
// function allocated nothing.
#ifndef LCS_TESTS_ALLOCATION_COUNTER_H
#define LCS_TESTS_ALLOCATION_COUNTER_H

#include <cstddef>

std::size_t allocations_so_far();

class AllocationCount {
 public:
  AllocationCount() : start_(allocations_so_far()) {}
  [[nodiscard]] std::size_t since() const { return allocations_so_far() - start_; }

 private:
  std::size_t start_;
};

#endif  // LCS_TESTS_ALLOCATION_COUNTER_H
