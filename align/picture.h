// The alignment as people read it: a header, then the two strings in chunks
// of columns with a marker line between them.
#ifndef LCS_ALIGN_PICTURE_H
#define LCS_ALIGN_PICTURE_H

#include <cstddef>
#include <ostream>
#include <vector>

#include "align/sequence_file.h"
#include "lcs/alignment.h"

namespace lcs_align {

// Writes the header (names, lengths, LCS length, similarity) and the chunks of
// `width` columns: A's line with the one-based positions of its first and last
// character in the chunk, '|' under each matching column, then B's line. A
// column that only one string has shows '-' in the other; between two matching
// blocks, characters of both strings face each other before the gap.
void write_picture(std::ostream& out, const Sequence& a, const Sequence& b,
                   const std::vector<lcs::MatchingBlock>& blocks, std::size_t width);

}  // namespace lcs_align

#endif  // LCS_ALIGN_PICTURE_H
