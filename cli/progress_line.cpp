// The progress line and the standard streams of the command-line programs.
#include "cli/progress_line.h"

#include <csignal>
#include <cstdio>
#include <iostream>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace lcs_cli {

void ProgressLine::operator()(double done) {
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  if (seconds < 1.0) {
    return;
  }
  char line[64];
  (void)std::snprintf(line, sizeof line, ": %3d %% (%.1f s)", static_cast<int>(done * 100),
                      seconds);
  err_ << '\r' << program_ << line << std::flush;
  shown_ = true;
}

void ProgressLine::erase() {
  if (shown_) {
    err_ << "\r\033[K" << std::flush;
    shown_ = false;
  }
}

Terminals prepare_standard_streams() {
  std::ios::sync_with_stdio(false);
#ifdef _WIN32
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  return {_isatty(_fileno(stdout)) != 0, _isatty(_fileno(stderr)) != 0};
#else
  // Even when the caller ignored SIGPIPE (lcs-diff a b | head).
  (void)std::signal(SIGPIPE, SIG_DFL);
  return {isatty(STDOUT_FILENO) != 0, isatty(STDERR_FILENO) != 0};
#endif
}

}  // namespace lcs_cli
