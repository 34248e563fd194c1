// SPDX-License-Identifier: MIT
// lcs-align: the program's entry; the work is in align/app.cpp.
#include <iostream>
#include <span>

#include "align/app.h"
#include "cli/progress_line.h"

int main(int argc, char** argv) {
  const lcs_cli::Terminals terminals = lcs_cli::prepare_standard_streams();
  lcs_cli::return_large_blocks();
  const std::span<const char* const> arguments(argv + 1, static_cast<std::size_t>(argc - 1));
  const lcs_align::Environment environment{terminals.err, lcs_cli::utf8_locale(),
                                           terminals.out_columns};
  return lcs_align::run(arguments, std::cin, std::cout, std::cerr, environment);
}
