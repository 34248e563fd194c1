// SPDX-License-Identifier: MIT
// The progress line, the standard streams and the environment of the
// command-line programs.
#include "cli/progress_line.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <sys/ioctl.h>
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
  Terminals terminals{_isatty(_fileno(stdout)) != 0, _isatty(_fileno(stderr)) != 0};
  CONSOLE_SCREEN_BUFFER_INFO screen;
  if (terminals.out && GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &screen) != 0) {
    terminals.out_columns =
        static_cast<std::size_t>(screen.srWindow.Right - screen.srWindow.Left + 1);
  }
  return terminals;
#else
  // Even when the caller ignored SIGPIPE (lcs-diff a b | head).
  (void)std::signal(SIGPIPE, SIG_DFL);
  Terminals terminals{isatty(STDOUT_FILENO) != 0, isatty(STDERR_FILENO) != 0};
  winsize size{};
  if (terminals.out && ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0) {
    terminals.out_columns = size.ws_col;
  }
  return terminals;
#endif
}

void return_large_blocks() {
#if defined(__GLIBC__)
  // NOLINTNEXTLINE(concurrency-mt-unsafe): called at the start, before any thread
  (void)mallopt(M_MMAP_THRESHOLD, 1 << 20);
#endif
}

bool utf8_locale() {
#ifdef _WIN32
  if (_isatty(_fileno(stdout)) != 0) {
    return GetConsoleOutputCP() == CP_UTF8;
  }
#endif
  for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(name);  // NOLINT(concurrency-mt-unsafe): no setenv here
    if (value != nullptr && *value != '\0') {
      std::string text(value);
      for (char& c : text) {
        c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
      }
      return text.find("UTF-8") != std::string::npos || text.find("UTF8") != std::string::npos;
    }
  }
  return false;
}

}  // namespace lcs_cli
