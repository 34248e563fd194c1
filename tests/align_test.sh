#!/usr/bin/env bash
# End-to-end tests of lcs-align: each case runs the real executable on files
# made here and compares standard output byte for byte, standard error (a
# glob pattern where the platform words its own message) and the exit status.
#
# Usage: align_test.sh [EMULATOR...] PROGRAM
set -u

run=("$@")
run[-1]=$(realpath "${run[-1]}")
program=${run[-1]}
windows=0
[[ $program == *.exe ]] && windows=1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

passed=0
failed=0

# check NAME STATUS STDOUT STDERR_PATTERN [ARGUMENT...]; standard input from ./stdin.
check() {
  local name=$1 want_status=$2 want_out=$3 want_err=$4
  shift 4
  "${run[@]}" "$@" <stdin >out 2>err
  local status=$?
  local out err
  out=$(cat out; printf x)
  err=$(cat err; printf x)
  out=${out%x}
  err=${err%x}
  # Standard output is binary everywhere; standard error is text, CRLF on Windows.
  ((windows)) && err=${err//$'\r'/}
  # shellcheck disable=SC2053 # the wanted standard error is a pattern
  if [[ $status == "$want_status" && $out == "$want_out" && $err == $want_err ]]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    printf 'FAIL %s\n  status %s, wanted %s\n  stdout %q\n  wanted %q\n  stderr %q\n  wanted %q\n' \
      "$name" "$status" "$want_status" "$out" "$want_out" "$err" "$want_err"
  fi
}

printf 'the quick brown fox jumps over the lazy dog\n' >fox.txt
printf 'a quick brown dog jumps over the lazy fox\r\n' >dog.txt
printf '>chr1 first record\nACGTAC\nGT TAC\r\n>chr2\nAAAA\n>chr3\nCCCC\n' >one.fa
printf '>read7\nACGGTACTA\n' >two.fa
printf 'a\0b\xff\x80c' >binary1
printf '\0\xffc\x80' >binary2
: >stdin
mkdir folder

check 'length' 0 $'36\n' '' --length fox.txt dog.txt
check 'blocks' 0 $'3\t1\t13\n17\t15\t1\n19\t17\t21\n41\t39\t1\n' '' --blocks fox.txt dog.txt
check 'subsequence' 0 $' quick brown o jumps over the lazy o\n' '' --subsequence fox.txt dog.txt
check 'picture in chunks of 20 columns' 0 'A: fox.txt, length 43
B: dog.txt, length 41
LCS length 36, similarity 0.8571

A  1 the quick brown fox  20
        ||||||||||||| | |
B  1 a-- quick brown dog  18

A 21 jumps over the lazy  40
     ||||||||||||||||||||
B 19 jumps over the lazy  38

A 41 dog 43
      |
B 39 fox 41

' '' --width 20 fox.txt dog.txt
check 'FASTA: first records by name, further ones counted' 0 'A: chr1, length 11
B: read7, length 9
LCS length 8, similarity 0.8000

A  1 ACG-TACGTTAC 11
     ||| |||  ||
B  1 ACGGTAC--TA- 9

' 'lcs-align: warning: one.fa: 2 further FASTA records ignored
' one.fa two.fa
printf 'abc\r\n' >crlf.txt
printf 'abc' >plain.txt
check 'a final CRLF is not part of the text' 0 $'0\t0\t3\n' '' --blocks crlf.txt plain.txt
printf 'a quick brown dog jumps over the lazy fox\n' >stdin
check 'standard input as A' 0 $'36\n' '' --length - fox.txt
check 'standard input as B, options after the files' 0 $'36\n' '' fox.txt - --length
: >stdin
"${run[@]}" --subsequence binary1 binary2 >out 2>err
if [[ $(od -An -tx1 out) == ' 00 ff 63 0a' && ! -s err ]]; then
  passed=$((passed + 1))
else
  failed=$((failed + 1))
  printf 'FAIL zero bytes and bytes from 0x80 up are characters\n  stdout %s\n' "$(od -An -tx1 out)"
fi
check 'and show as dots in the picture' 0 'A: binary1, length 6
B: binary2, length 4
LCS length 3, similarity 0.6000

A 1 a.b..c- 6
     | | |
B 1 -.-.-c. 4

' '' binary1 binary2
check 'two empty files' 0 $'A: stdin, length 0\nB: plain.txt, length 3\nLCS length 0, similarity 0.0000\n\nA 0 --- 0\n\nB 1 abc 3\n\n' '' - plain.txt

help='(see '"'"'lcs-align --help'"'"')'
check 'help' 0 "$("${run[@]}" --help)"$'\n' '' --help
check 'version' 0 $'lcs-align 1.1.0\n' '' --version
check 'missing file' 2 '' "lcs-align: cannot read 'nothing.txt': *"$'\n' nothing.txt fox.txt
check 'a directory' 2 '' "lcs-align: cannot read 'folder': *"$'\n' fox.txt folder
check 'both inputs standard input' 2 '' "lcs-align: only one of the two files can be standard input ('-') $help"$'\n' - -
check 'unknown option' 2 '' "lcs-align: unknown option '--colour' $help"$'\n' --colour fox.txt dog.txt
check 'width not a number' 2 '' "lcs-align: --width takes a whole number from 1 to 1000000, not 'x' $help"$'\n' --width x fox.txt dog.txt
check 'width zero' 2 '' "lcs-align: --width takes a whole number from 1 to 1000000, not '0' $help"$'\n' --width=0 fox.txt dog.txt
check 'threads' 0 $'36\n' '' --threads 2 --length fox.txt dog.txt
check 'threads zero' 2 '' "lcs-align: --threads takes a whole number from 1 to 4096, not '0' $help"$'\n' --threads=0 fox.txt dog.txt
check 'width missing' 2 '' "lcs-align: --width needs a number $help"$'\n' fox.txt dog.txt --width
check 'two formats' 2 '' "lcs-align: --length, --blocks and --subsequence exclude each other $help"$'\n' --length --blocks fox.txt dog.txt
check 'one file' 2 '' "lcs-align: expects two files, FILE_A and FILE_B, not 1 $help"$'\n' fox.txt

# A reader that stops early: the program ends without a word on standard error.
if ((!windows)); then
  for k in $(seq 2000); do printf 'line %d of a text that goes on\n' "$k"; done >long1.txt
  sed 's/text/story/' long1.txt >long2.txt
  "${run[@]}" long1.txt long2.txt 2>err | head -1 >/dev/null
  if [[ ! -s err ]]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    printf 'FAIL closed pipe\n  stderr %q\n' "$(cat err)"
  fi
fi

echo "lcs-align: $passed passed, $failed failed"
((failed == 0))
