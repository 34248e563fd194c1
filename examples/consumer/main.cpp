// Uses the installed library: prints the LCS length of two words and fails if
// it is not the known one.
#include <lcs/lcs_algorithms.h>

#include <cstdio>

int main() {
  const char A[] = " ABCBDAB";  // one-based: position 0 is never read
  const char B[] = " BDCABA";
  const int length = Hirschberg_AlgB(A, B, 7, 6);
  std::printf("LCS of ABCBDAB and BDCABA: %d\n", length);
  return length == 4 ? 0 : 1;
}
