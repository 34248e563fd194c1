// SPDX-License-Identifier: MIT
// Fuzzes the console dialogue with arbitrary standard input: every run must end
// with the result line (status 0, warnings only on the error stream) or with
// exactly one error line (status 1).
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "console/dialogue.h"

namespace {

void require(bool condition) {
  if (!condition) {
    __builtin_trap();
  }
}

bool starts_with(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// Lengths whose table would take seconds are skipped: they are correct, just slow.
bool small_enough(const std::string& input) {
  std::istringstream probe(input);
  const LengthToken m = read_length(probe);
  const LengthToken n = read_length(probe);
  if (m.status != LengthToken::Status::ok || n.status != LengthToken::Status::ok) {
    return true;
  }
  return m.value <= (1 << 20) && n.value <= (1 << 20) &&
         static_cast<std::int64_t>(m.value) * n.value <= (1 << 22);
}

// Every line of `text` starts with `prefix`; `text` ends with a newline.
std::size_t lines_starting_with(const std::string& text, const std::string& prefix) {
  std::size_t lines = 0;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = text.find('\n', at);
    require(end != std::string::npos && starts_with(text.substr(at), prefix));
    at = end + 1;
    ++lines;
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(data, data + size);
  if (!small_enough(input)) {
    return 0;
  }
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream err;
  const int status = run_dialogue(in, out, err);
  const std::string printed = out.str();
  const std::string errors = err.str();
  const std::string prompts = "Input the length of string A: Input the length of string B: ";
  if (status == 0) {
    require(starts_with(printed, prompts + "Hirschberg_AlgB LCS : "));
    require(printed.back() == '\n');
    require(lines_starting_with(errors, "lcs: warning: ") <= 2);
  } else {
    require(status == 1);
    require(printed.find("LCS") == std::string::npos);
    require(lines_starting_with(errors, "lcs: ") == 1);
    require(!starts_with(errors, "lcs: warning: "));
  }
  return 0;
}
