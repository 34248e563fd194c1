// A progress line on a terminal for the command-line programs: it appears
// once a call has taken a second, is rewritten in place, and is erased
// before anything else is written.
#ifndef LCS_CLI_PROGRESS_LINE_H
#define LCS_CLI_PROGRESS_LINE_H

#include <chrono>
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

// Which of the standard streams are terminals.
struct Terminals {
  bool out = false;
  bool err = false;
};

// Makes standard input and output binary (on Windows), lets a closed pipe
// end the program quietly as it ends other tools (elsewhere), unties the C++
// streams from C's, and tells which streams are terminals.
Terminals prepare_standard_streams();

}  // namespace lcs_cli

#endif  // LCS_CLI_PROGRESS_LINE_H
