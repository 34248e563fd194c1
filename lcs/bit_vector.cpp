// The bit-vector word step, out of line: inlined into a large caller, GCC
// keeps each sum in memory as well as in a register. On x86-64 a pair of rows
// costs 19 instructions a word (and, adc, xor, or per row; the carry kept in a
// byte register between words), about 1.2 clock cycles per word and row.
#include "lcs/bit_vector.h"

namespace lcs_detail {

void advance(Word* V, const Word* M, std::size_t begin, std::size_t end) {
  Carry carry = 0;
  for (std::size_t w = begin; w < end; ++w) {
    V[w] = step(V[w], M[w], carry);
  }
}

void advance2(Word* V, const Word* M, const Word* N, std::size_t begin, std::size_t end) {
  Carry carry_m = 0;
  Carry carry_n = 0;
  for (std::size_t w = begin; w < end; ++w) {
    V[w] = step(step(V[w], M[w], carry_m), N[w], carry_n);
  }
}

}  // namespace lcs_detail
