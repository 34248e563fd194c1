// SPDX-License-Identifier: MIT
// Reading the two inputs of lcs-align: a file or standard input, taken byte
// for byte, or as FASTA when its name says so or the user does.
#ifndef LCS_ALIGN_SEQUENCE_FILE_H
#define LCS_ALIGN_SEQUENCE_FILE_H

#include <istream>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace lcs_align {

// A failure that ends the program with one line on standard error.
struct Failure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct Sequence {
  std::string name;
  std::string bytes;
  std::string final_break;  // the line break taken off the end: "", "\n" or "\r\n"
};

enum class Fasta : unsigned char { by_name, always, never };

// Whether a file of this name holds FASTA: .fa, .fasta, .fna, .faa, .ffn,
// .frn or .fas, in any case.
bool has_fasta_name(std::string_view path);

// The text of a file as a sequence: FASTA's first record (white space
// dropped; warnings on `warnings` count the records ignored and the
// characters that are not residues, or say the record is empty), or the
// bytes without one final line break, which `final_break` keeps. `name` names it where the text
// does not.
Sequence parse_sequence(std::string text, const std::string& name, bool fasta,
                        std::ostream& warnings);

// Reads `path`, or `standard_input` for "-", and parses it as FASTA when
// `fasta` and the name say so. Throws Failure naming the file when it cannot
// be read or held in memory.
Sequence read_sequence(const std::string& path, Fasta fasta, std::istream& standard_input,
                       std::ostream& warnings);

}  // namespace lcs_align

#endif  // LCS_ALIGN_SEQUENCE_FILE_H
