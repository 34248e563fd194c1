// SPDX-License-Identifier: MIT
// Two pieces of work at once: the second on a thread of its own when asked
// for, else one after the other. Whatever either throws reaches the caller
// once both have ended.
#ifndef LCS_ALIGNMENT_SIDE_BY_SIDE_H
#define LCS_ALIGNMENT_SIDE_BY_SIDE_H

#include <algorithm>
#include <exception>
#include <system_error>
#include <thread>

namespace lcs_detail {

template <class First, class Second>
void side_by_side(bool parallel, First&& first, Second&& second) {
  if (!parallel) {
    first();
    second();
    return;
  }
  std::exception_ptr second_failed;
  std::thread helper;
  try {
    helper = std::thread([&] {
      try {
        second();
      } catch (...) {
        second_failed = std::current_exception();
      }
    });
  } catch (const std::system_error&) {  // no thread to be had: one after the other
    first();
    second();
    return;
  }
  std::exception_ptr first_failed;
  try {
    first();
  } catch (...) {
    first_failed = std::current_exception();
  }
  helper.join();
  if (first_failed) {
    std::rethrow_exception(first_failed);
  }
  if (second_failed) {
    std::rethrow_exception(second_failed);
  }
}

// The number of threads that `threads` asks for: 0 means all the hardware has.
// Where there are no threads (WebAssembly built without them), one.
inline unsigned thread_count(unsigned threads) {
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
  static_cast<void>(threads);
  return 1;
#else
  return threads != 0 ? threads : std::max(1U, std::thread::hardware_concurrency());
#endif
}

}  // namespace lcs_detail

#endif  // LCS_ALIGNMENT_SIDE_BY_SIDE_H
