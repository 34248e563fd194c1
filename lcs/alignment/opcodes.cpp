// SPDX-License-Identifier: MIT
// Matching blocks as the edit operations that diff-like tools print, in the
// convention of Python's difflib; and the lines of a text for them to count.
#include <cstddef>
#include <span>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "lcs/alignment.h"

namespace lcs {

std::string_view tag_name(Opcode::Tag tag) {
  switch (tag) {
    case Opcode::Tag::equal:
      return "equal";
    case Opcode::Tag::replace:
      return "replace";
    case Opcode::Tag::remove:
      return "delete";
    case Opcode::Tag::insert:
      return "insert";
  }
  return "";
}

std::vector<Opcode> opcodes(std::span<const MatchingBlock> blocks, std::size_t a_size,
                            std::size_t b_size) {
  std::vector<Opcode> edits;
  std::size_t i = 0;
  std::size_t j = 0;
  // What lies between (i, j) and (a_end, b_end), then the block's own run.
  const auto up_to = [&](std::size_t a_end, std::size_t b_end, std::size_t size) {
    if (a_end < i || b_end < j || a_end > a_size || b_end > b_size || a_size - a_end < size ||
        b_size - b_end < size) {
      throw std::invalid_argument("lcs::opcodes: blocks out of order or outside the sequences");
    }
    if (i < a_end || j < b_end) {
      const Opcode::Tag tag = i == a_end   ? Opcode::Tag::insert
                              : j == b_end ? Opcode::Tag::remove
                                           : Opcode::Tag::replace;
      edits.push_back({tag, i, a_end, j, b_end});
    }
    if (size != 0) {
      if (!edits.empty() && edits.back().tag == Opcode::Tag::equal && edits.back().a_end == a_end) {
        edits.back().a_end += size;  // a block that touches the last one
        edits.back().b_end += size;
      } else {
        edits.push_back({Opcode::Tag::equal, a_end, a_end + size, b_end, b_end + size});
      }
    }
    i = a_end + size;
    j = b_end + size;
  };
  for (const MatchingBlock& block : blocks) {
    up_to(block.a, block.b, block.size);
  }
  up_to(a_size, b_size, 0);
  return edits;
}

std::vector<std::string_view> split_lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::size_t size = end == std::string_view::npos ? text.size() : end + 1;
    lines.push_back(text.substr(0, size));
    text.remove_prefix(size);
  }
  return lines;
}

}  // namespace lcs
