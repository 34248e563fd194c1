// SPDX-License-Identifier: MIT
// Items of work shared among threads: each thread takes the next item until
// none is left. The first exception thrown ends the others' work after their
// current item and reaches the caller once all have ended.
#ifndef LCS_MANY_WORKERS_H
#define LCS_MANY_WORKERS_H

#include <atomic>
#include <cstddef>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace lcs_detail {

// Calls work(worker, item) for every item in [0, items), on `workers`
// threads (the caller's among them), fewer when the system has no more.
template <class Work>
void run_workers(unsigned workers, std::size_t items, Work&& work) {
  std::atomic<std::size_t> next{0};
  std::atomic<bool> failed{false};
  std::exception_ptr failure;
  std::mutex failure_lock;
  const auto take_items = [&](unsigned worker) {
    try {
      for (std::size_t item = next++; item < items && !failed.load(); item = next++) {
        work(worker, item);
      }
    } catch (...) {
      const std::lock_guard<std::mutex> lock(failure_lock);
      if (!failure) {
        failure = std::current_exception();
      }
      failed = true;
    }
  };
  std::vector<std::thread> helpers;
  helpers.reserve(workers);
  for (unsigned worker = 1; worker < workers && worker < items; ++worker) {
    try {
      helpers.emplace_back(take_items, worker);
    } catch (const std::system_error&) {  // no more threads to be had: fewer
      break;
    }
  }
  take_items(0);
  for (std::thread& helper : helpers) {
    helper.join();
  }
  if (failure) {
    std::rethrow_exception(failure);
  }
}

}  // namespace lcs_detail

#endif  // LCS_MANY_WORKERS_H
