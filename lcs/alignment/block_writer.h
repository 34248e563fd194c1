// SPDX-License-Identifier: MIT
// Collects matches in order as maximal runs, joining each to the last block
// when it continues it along the diagonal.
#ifndef LCS_ALIGNMENT_BLOCK_WRITER_H
#define LCS_ALIGNMENT_BLOCK_WRITER_H

#include <cstddef>
#include <utility>
#include <vector>

#include "lcs/alignment.h"

namespace lcs_detail {

class BlockWriter {
 public:
  void add(std::size_t a, std::size_t b, std::size_t size) {
    if (size == 0) {
      return;
    }
    if (!blocks_.empty()) {
      lcs::MatchingBlock& last = blocks_.back();
      if (last.a + last.size == a && last.b + last.size == b) {
        last.size += size;
        return;
      }
    }
    blocks_.push_back({a, b, size});
  }
  std::vector<lcs::MatchingBlock> take() { return std::move(blocks_); }

 private:
  std::vector<lcs::MatchingBlock> blocks_;
};

}  // namespace lcs_detail

#endif  // LCS_ALIGNMENT_BLOCK_WRITER_H
