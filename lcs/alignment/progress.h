// SPDX-License-Identifier: MIT
// Progress of a long call, reported as whole percentages through the
// caller's callback: at most 100 reports before the final 1.0, never two at
// once, though passes that run side by side may each make one.
#ifndef LCS_ALIGNMENT_PROGRESS_H
#define LCS_ALIGNMENT_PROGRESS_H

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>

#include "lcs/alignment.h"

namespace lcs_detail {

class Progress {
 public:
  explicit Progress(const lcs::Options& options) : Progress(options.progress, options.stop) {}

  // Reports nothing but stops when this one does: for work whose share of
  // the whole is not known before it is done.
  [[nodiscard]] Progress silenced() const {
    static const std::function<void(double)> kNoReport;
    return {kNoReport, stop_};
  }

  // More work is expected than was known so far. Not while passes run.
  void expect(std::uint64_t work) { total_ += work; }

  // `work` units are done; reports when the percentage done has grown. The
  // estimate may fall short, so it stays below 100 % until finish(). Throws
  // lcs::Stopped when the caller asked to stop.
  void add(std::uint64_t work) {
    if (stop_ != nullptr && stop_->load(std::memory_order_relaxed)) {
      throw lcs::Stopped();
    }
    if (!report_) {
      return;
    }
    const std::uint64_t done = done_.fetch_add(work) + work;
    const auto percent = static_cast<int>(
        std::min<std::uint64_t>(done * 100 / std::max<std::uint64_t>(total_, 1), 99));
    if (percent > reported_.load()) {
      const std::lock_guard<std::mutex> lock(reporting_);
      if (percent > reported_.load()) {
        reported_ = percent;
        report_(percent / 100.0);
      }
    }
  }

  void finish() const {
    if (report_) {
      report_(1.0);
    }
  }

 private:
  Progress(const std::function<void(double)>& report, const std::atomic<bool>* stop)
      : report_(report), stop_(stop) {}

  const std::function<void(double)>& report_;
  const std::atomic<bool>* stop_;
  std::uint64_t total_ = 0;
  std::atomic<std::uint64_t> done_{0};
  std::atomic<int> reported_{0};
  std::mutex reporting_;
};

}  // namespace lcs_detail

#endif  // LCS_ALIGNMENT_PROGRESS_H
