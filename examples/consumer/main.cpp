// SPDX-License-Identifier: MIT
// Uses the installed library, the family and the alignment layer: prints the
// LCS of two words and fails if it is not the known one.
#include <lcs/alignment.h>
#include <lcs/lcs_algorithms.h>

#include <cstdio>
#include <string>

int main() {
  const char A[] = " ABCBDAB";  // one-based: position 0 is never read
  const char B[] = " BDCABA";
  const int length = Hirschberg_AlgB(A, B, 7, 6);
  const std::string common = lcs::subsequence("ABCBDAB", "BDCABA");
  std::printf("LCS of ABCBDAB and BDCABA: %d, for example %s\n", length, common.c_str());
  return length == 4 && common.size() == 4 ? 0 : 1;
}
