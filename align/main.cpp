// lcs-align: the program's entry, with binary standard streams, a quiet end on
// a closed pipe, and the library's work in align/app.cpp.
#include <csignal>
#include <cstdio>
#include <iostream>
#include <span>

#include "align/app.h"

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
  const bool err_is_terminal = _isatty(_fileno(stderr)) != 0;
#else
  // A reader that stops reading (lcs-align a b | head -1) ends the program
  // quietly, as it ends other tools, even when the caller ignored SIGPIPE.
  (void)std::signal(SIGPIPE, SIG_DFL);
  const bool err_is_terminal = isatty(STDERR_FILENO) != 0;
#endif
  std::ios::sync_with_stdio(false);
  const std::span<const char* const> arguments(argv + 1, static_cast<std::size_t>(argc - 1));
  return lcs_align::run(arguments, std::cin, std::cout, std::cerr, err_is_terminal);
}
