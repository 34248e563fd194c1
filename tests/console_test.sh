#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# End-to-end tests of the lcs program: each case pipes an input to the real
# executable and compares standard output byte for byte, standard error and
# the exit status.
#
# Usage: console_test.sh [EMULATOR...] PROGRAM
# LCS_POINTER_SIZE=4 (bytes) expects the 32-bit answer to a length of 2147483647;
# LCS_SKIP_LARGE=1 skips that case (for slow tools such as valgrind).
set -u

run=("$@")
program=${run[-1]}
windows=0
[[ $program == *.exe ]] && windows=1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

passed=0
failed=0
prompts='Input the length of string A: Input the length of string B: '

# check NAME INPUT STATUS STDOUT STDERR, INPUT given as for printf's %b.
check() {
  local name=$1 input=$2 want_status=$3 want_out=$4 want_err=$5
  printf '%b' "$input" >"$work/in"
  "${run[@]}" <"$work/in" >"$work/out" 2>"$work/err"
  local status=$?
  local out err
  out=$(cat "$work/out"; printf x)
  err=$(cat "$work/err"; printf x)
  out=${out%x}
  err=${err%x}
  if ((windows)); then
    # Text-mode output ends lines in CRLF, and the command interpreter's pause
    # adds its own text after everything else.
    out=${out//$'\r'/}
    err=${err//$'\r'/}
    [[ $out == "$want_out"Press\ any\ key* ]] && out=$want_out
  fi
  if [[ $status == "$want_status" && $out == "$want_out" && $err == "$want_err" ]]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    printf 'FAIL %s\n  status %s, wanted %s\n  stdout %q\n  wanted %q\n  stderr %q\n  wanted %q\n' \
      "$name" "$status" "$want_status" "$out" "$want_out" "$err" "$want_err"
  fi
}

result() { printf '%sHirschberg_AlgB LCS : %s\n' "$prompts" "$1"; }
length_rule=' must be a whole number from 0 to 2147483647'

check 'the classic pair' '7\n6\nABCBDAB BDCABA\n' 0 "$(result 4)"$'\n' ''
check 'all four items on one line, no final newline' '7 6 ABCBDAB BDCABA' 0 "$(result 4)"$'\n' ''
check 'white space of every kind between items' ' \t7\r\n\n6\v\fABCBDAB\n\n  BDCABA\n' 0 "$(result 4)"$'\n' ''
check 'short words are padded with zero bytes that match' '3 3 a b\n' 0 "$(result 2)"$'\n' ''
check 'padding against a shorter declared length' '3 1 a a\n' 0 "$(result 1)"$'\n' ''
check 'signs and leading zeros in lengths' '+03 -0 abc\nx\n' 0 "$(result 0)"$'\n' \
  $'lcs: warning: string B is longer than its declared length 0; 1 character dropped\n'
check 'zero bytes inside words are characters' '3 3 a\0b a\0c\n' 0 "$(result 2)"$'\n' ''
check 'bytes from 0x80 up are characters' '2 2 \xff\x80 \x80\xff\n' 0 "$(result 1)"$'\n' ''
check 'a long word A is cut and never flows into B' '2 2 ABAB XY\n' 0 "$(result 0)"$'\n' \
  $'lcs: warning: string A is longer than its declared length 2; 2 characters dropped\n'
check 'both words cut' '1 2 xyz abcd\n' 0 "$(result 0)"$'\n' \
  $'lcs: warning: string A is longer than its declared length 1; 2 characters dropped\nlcs: warning: string B is longer than its declared length 2; 2 characters dropped\n'

check 'length A not a number' 'seven 6 a b\n' 1 'Input the length of string A: ' \
  "lcs: the length of string A$length_rule"$'\n'
check 'length A with trailing letters' '7abc 6 a b\n' 1 'Input the length of string A: ' \
  "lcs: the length of string A$length_rule"$'\n'
check 'length A negative' '-1 6 a b\n' 1 'Input the length of string A: ' \
  "lcs: the length of string A$length_rule"$'\n'
check 'length B above 2147483647' '7 2147483648 a b\n' 1 "$prompts" \
  "lcs: the length of string B$length_rule"$'\n'
check 'length B far above the range' '7 99999999999999999999999 a b\n' 1 "$prompts" \
  "lcs: the length of string B$length_rule"$'\n'
check 'no input at all' '' 1 'Input the length of string A: ' \
  $'lcs: input ended before the length of string A\n'
check 'input ends before length B' '7\n' 1 "$prompts" \
  $'lcs: input ended before the length of string B\n'
check 'input ends before string A' '7 6 \n\n' 1 "$prompts" $'lcs: input ended before string A\n'
check 'input ends before string B' '7 6 ABCBDAB' 1 "$prompts" $'lcs: input ended before string B\n'

if [[ ${LCS_SKIP_LARGE:-0} != 1 ]]; then
  if [[ ${LCS_POINTER_SIZE:-8} == 4 ]]; then
    check 'the largest length cannot be held by a 32-bit process' '2147483647 1 a a\n' 1 "$prompts" \
      $'lcs: not enough memory for strings of lengths 2147483647 and 1\n'
  else
    check 'the largest length' '2147483647 1 a a\n' 0 "$(result 1)"$'\n' ''
  fi
fi

echo "console: $passed passed, $failed failed"
((failed == 0))
