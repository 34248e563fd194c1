// SPDX-License-Identifier: MIT
// A progress line on a terminal for the command-line programs: it appears
// once a call has taken a second, is rewritten in place, and is erased
// before anything else is written.
#ifndef LCS_CLI_PROGRESS_LINE_H
#define LCS_CLI_PROGRESS_LINE_H

#include <chrono>
#include <cstddef>
#include <ostream>
#include <string>
#include <utility>

namespace lcs_cli {

class ProgressLine {
 public:
  // `program` starts the line, as it starts the program's messages.
  ProgressLine(std::ostream& err, std::string program) : err_(err), program_(std::move(program)) {}
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;
  ~ProgressLine() { erase(); }

  // Shows `done` (0 to 1) as a percentage with the time so far.
  void operator()(double done);

  // Takes the line off the terminal, if it is there.
  void erase();

 private:
  std::ostream& err_;
  std::string program_;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  bool shown_ = false;
};

// Which of the standard streams are terminals, and how wide standard
// output's is (0 when it is not one or does not say).
struct Terminals {
  bool out = false;
  bool err = false;
  std::size_t out_columns = 0;
};

// Whether text for the user may be UTF-8: the first of LC_ALL, LC_CTYPE and
// LANG that is set names a UTF-8 character set (on a Windows console: its
// output code page is UTF-8).
bool utf8_locale();

// Makes standard input and output binary (on Windows), lets a closed pipe
// end the program quietly as it ends other tools (elsewhere), unties the C++
// streams from C's, and tells which streams are terminals.
Terminals prepare_standard_streams();

// Lets memory freed in large blocks go back to the system at once (glibc
// otherwise raises its threshold for that after the first such block and
// keeps later ones in each thread's heap), so that a division's masks, freed
// before its halves build their own, do not count twice at the peak.
void return_large_blocks();

}  // namespace lcs_cli

#endif  // LCS_CLI_PROGRESS_LINE_H
