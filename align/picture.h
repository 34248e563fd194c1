// SPDX-License-Identifier: MIT
// The alignment as people read it: a header, then the two texts column by
// column with a marker line between them, as a word diff, or side by side.
#ifndef LCS_ALIGN_PICTURE_H
#define LCS_ALIGN_PICTURE_H

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "align/sequence_file.h"
#include "align/units.h"
#include "lcs/alignment.h"

namespace lcs_align {

// One input as it was compared: its text and its units.
struct Compared {
  const Sequence& sequence;
  const Units& units;
};

struct Look {
  bool utf8 = true;        // the output may use UTF-8 symbols
  std::size_t width = 60;  // columns of a chunk (the whole line side by side)
};

// How one character (a valid UTF-8 sequence or one byte) shows, and how many
// columns it takes. Line feeds, tabs, carriage returns, other control bytes,
// invalid bytes and the symbols used for them each have their own form; with
// `utf8` false everything outside printable ASCII is an escape. `strict` also
// escapes what could be taken for the picture's own marks ('\' and, without
// UTF-8, the gap '-'); a word diff or side by side needs only the rest.
struct Shown {
  std::string text;
  std::size_t width = 0;
};
Shown shown(std::string_view character, bool utf8, bool strict = true);

// 2 * lcs / (a_size + b_size) to four decimals, 1.0000 when both are empty.
std::string similarity_text(std::size_t lcs, std::size_t a_size, std::size_t b_size);

// Writes the header (names, lengths in `unit`s, LCS length, similarity) and
// the picture. Bytes and characters: chunks of columns, A's line with the
// one-based positions of its first and last unit in the chunk, '|' under each
// matching column, then B's line; a gap is a mark no character shows as.
// Words: the text of both with deletions as [-...-] and insertions as {+...+}.
// Lines: side by side, '|' between lines that differ, '<' and '>' beside a
// line that only one file has.
void write_picture(std::ostream& out, Compared a, Compared b, Unit unit,
                   const std::vector<lcs::MatchingBlock>& blocks, const Look& look);

}  // namespace lcs_align

#endif  // LCS_ALIGN_PICTURE_H
