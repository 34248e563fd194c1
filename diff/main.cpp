// lcs-diff: the program's entry, with binary standard streams, a quiet end on
// a closed pipe, and the work in diff/app.cpp.
#include <csignal>
#include <cstdio>
#include <iostream>
#include <span>

#include "diff/app.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  const lcs_diff::Terminals terminals{_isatty(_fileno(stdout)) != 0, _isatty(_fileno(stderr)) != 0};
#else
  // A reader that stops reading (lcs-diff a b | head) ends the program
  // quietly, as it ends diff, even when the caller ignored SIGPIPE.
  (void)std::signal(SIGPIPE, SIG_DFL);
  const lcs_diff::Terminals terminals{isatty(STDOUT_FILENO) != 0, isatty(STDERR_FILENO) != 0};
#endif
  std::ios::sync_with_stdio(false);
  const std::span<const char* const> arguments(argv + 1, static_cast<std::size_t>(argc - 1));
  return lcs_diff::run(arguments, std::cin, std::cout, std::cerr, terminals);
}
