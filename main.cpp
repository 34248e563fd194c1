// SPDX-License-Identifier: MIT
// lcs: asks for two strings and prints the length of their longest common
// subsequence, computed in two rows, then waits for a key press.
#include <iostream>

#include "console/dialogue.h"
#include "console/pause.h"

int main() {
  std::ios::sync_with_stdio(false);
  const int status = run_dialogue(std::cin, std::cout, std::cerr);
  std::cout.flush();
  pause_for_key();
  return status;
}
