// The picture of an alignment, written chunk by chunk so that its size in
// memory stays that of one chunk whatever the strings' lengths.
#include "align/picture.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace lcs_align {

namespace {

char shown(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 0x20 && byte < 0x7F ? c : '.';
}

std::size_t digits(std::size_t value) {
  std::size_t count = 1;
  for (; value >= 10; value /= 10) {
    ++count;
  }
  return count;
}

// One string's line of a chunk and the positions it covers.
struct Row {
  std::string text;
  std::size_t first = 0;  // one-based position of the first character, 0: none yet
  std::size_t last = 0;   // of the last character shown so far, in any chunk
};

class ChunkWriter {
 public:
  ChunkWriter(std::ostream& out, std::size_t width, std::size_t longest)
      : out_(out), width_(width), number_width_(digits(longest)) {}

  // One column: A's character or none, B's or none.
  void column(const char* a, const char* b, bool match) {
    add(rows_[0], a);
    add(rows_[1], b);
    markers_.push_back(match ? '|' : ' ');
    if (markers_.size() == width_) {
      flush();
    }
  }

  void flush() {
    if (markers_.empty()) {
      return;
    }
    line('A', rows_[0]);
    std::string marker_line = std::string(number_width_ + 3, ' ') + markers_;
    marker_line.erase(marker_line.find_last_not_of(' ') + 1);
    out_ << marker_line << '\n';
    line('B', rows_[1]);
    out_ << '\n';
    markers_.clear();
  }

 private:
  static void add(Row& row, const char* c) {
    if (c == nullptr) {
      row.text.push_back('-');
      return;
    }
    row.text.push_back(shown(*c));
    ++row.last;
    if (row.first == 0) {
      row.first = row.last;
    }
  }

  void line(char label, Row& row) {
    const std::size_t first = row.first == 0 ? row.last : row.first;
    std::string number = std::to_string(first);
    out_ << label << ' ' << std::string(number_width_ - number.size(), ' ') << number << ' '
         << row.text << ' ' << row.last << '\n';
    row.text.clear();
    row.first = 0;
  }

  std::ostream& out_;
  std::size_t width_;
  std::size_t number_width_;
  Row rows_[2];
  std::string markers_;
};

}  // namespace

void write_picture(std::ostream& out, const Sequence& a, const Sequence& b,
                   const std::vector<lcs::MatchingBlock>& blocks, std::size_t width) {
  std::size_t lcs = 0;
  for (const lcs::MatchingBlock& block : blocks) {
    lcs += block.size;
  }
  const std::size_t total = a.bytes.size() + b.bytes.size();
  char similarity[32];
  (void)std::snprintf(
      similarity, sizeof similarity, "%.4f",
      total == 0 ? 1.0 : 2.0 * static_cast<double>(lcs) / static_cast<double>(total));
  out << "A: " << a.name << ", length " << a.bytes.size() << '\n'
      << "B: " << b.name << ", length " << b.bytes.size() << '\n'
      << "LCS length " << lcs << ", similarity " << similarity << "\n\n";

  ChunkWriter chunks(out, width, std::max(a.bytes.size(), b.bytes.size()));
  std::size_t i = 0;
  std::size_t j = 0;
  const auto to = [&](std::size_t next_i, std::size_t next_j) {
    while (i < next_i && j < next_j) {  // unmatched characters face each other
      chunks.column(&a.bytes[i++], &b.bytes[j++], false);
    }
    while (i < next_i) {
      chunks.column(&a.bytes[i++], nullptr, false);
    }
    while (j < next_j) {
      chunks.column(nullptr, &b.bytes[j++], false);
    }
  };
  for (const lcs::MatchingBlock& block : blocks) {
    to(block.a, block.b);
    for (std::size_t k = 0; k < block.size; ++k) {
      chunks.column(&a.bytes[i++], &b.bytes[j++], true);
    }
  }
  to(a.bytes.size(), b.bytes.size());
  chunks.flush();
}

}  // namespace lcs_align
