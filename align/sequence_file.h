// Reading the two inputs of lcs-align: a file or standard input, taken byte
// for byte, or as FASTA when it starts with '>'.
#ifndef LCS_ALIGN_SEQUENCE_FILE_H
#define LCS_ALIGN_SEQUENCE_FILE_H

#include <istream>
#include <ostream>
#include <stdexcept>
#include <string>

namespace lcs_align {

// A failure that ends the program with one line on standard error.
struct Failure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct Sequence {
  std::string name;
  std::string bytes;
};

// The text of a file as a sequence: FASTA's first record (white space
// dropped; a warning on `warnings` counts the records ignored), or the bytes
// without one final line break. `name` names it where the text does not.
Sequence parse_sequence(std::string text, const std::string& name, std::ostream& warnings);

// Reads `path`, or `standard_input` for "-", and parses it. Throws Failure
// naming the file when it cannot be read or held in memory.
Sequence read_sequence(const std::string& path, std::istream& standard_input,
                       std::ostream& warnings);

}  // namespace lcs_align

#endif  // LCS_ALIGN_SEQUENCE_FILE_H
