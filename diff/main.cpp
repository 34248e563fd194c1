// SPDX-License-Identifier: MIT
// lcs-diff: the program's entry; the work is in diff/app.cpp.
#include <iostream>
#include <span>

#include "cli/progress_line.h"
#include "diff/app.h"

int main(int argc, char** argv) {
  const lcs_cli::Terminals terminals = lcs_cli::prepare_standard_streams();
  lcs_cli::return_large_blocks();
  const std::span<const char* const> arguments(argv + 1, static_cast<std::size_t>(argc - 1));
  return lcs_diff::run(arguments, std::cin, std::cout, std::cerr, terminals);
}
