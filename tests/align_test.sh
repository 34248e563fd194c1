#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
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
# Pictures use UTF-8 symbols unless the locale says otherwise.
export LC_ALL=C.UTF-8
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
check 'picture in chunks of 20 columns' 0 'A: fox.txt, length 43 characters
B: dog.txt, length 41 characters
LCS length 36 characters, similarity 0.8571

A  1 the quick brown fox  20
        ||||||||||||| | |
B  1 a── quick brown dog  18

A 21 jumps over the lazy  40
     ||||||||||||||||||||
B 19 jumps over the lazy  38

A 41 dog 43
      |
B 39 fox 41

' '' --width 20 fox.txt dog.txt
check 'FASTA: first records by name, further ones counted' 0 'A: chr1, length 11 characters
B: read7, length 9 characters
LCS length 8 characters, similarity 0.8000

A  1 ACG─TACGTTAC 11
     ||| |||  ||
B  1 ACGGTAC──TA─ 9

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
check 'and each has its own form in the picture' 0 'A: binary1, length 6 bytes
B: binary2, length 4 bytes
LCS length 3 bytes, similarity 0.6000

A 1 a␀b\xff\x80c─    6
     | |       |
B 1 ─␀─\xff─   c\x80 4

' '' binary1 binary2
check 'two empty files' 0 $'A: stdin, length 0 characters\nB: plain.txt, length 3 characters\nLCS length 0 characters, similarity 0.0000\n\nA 0 ─── 0\n\nB 1 abc 3\n\n' '' - plain.txt

# FASTA only by name or when asked; a quoted mail is text.
printf '> On Monday you wrote:\n> see you\n' >mail1.txt
printf '> On Tuesday he wrote:\n> bye\n' >mail2.txt
check 'a quoted mail is text' 0 $'20\n' '' --length mail1.txt mail2.txt
check 'unless asked to read it as FASTA' 0 $'0\n' "lcs-align: warning: mail1.txt: the FASTA record 'On' is empty
lcs-align: warning: mail1.txt: 1 further FASTA record ignored
lcs-align: warning: mail2.txt: the FASTA record 'On' is empty
lcs-align: warning: mail2.txt: 1 further FASTA record ignored
" --fasta --length mail1.txt mail2.txt
cp two.fa two.TXT
cp one.fa one.FASTA
check 'FASTA by a name in any case' 0 $'8\n' "lcs-align: warning: one.FASTA: 2 further FASTA records ignored
" --length one.FASTA two.fa
check 'and not when asked' 0 $'55\n' '' --no-fasta --length one.fa one.fa
printf '>x\nAC1G\n' >odd.fa
check 'characters that are not residues' 0 $'3\n' "lcs-align: warning: odd.fa: 1 character of the FASTA record 'x' is not residue letters
" --length odd.fa two.fa

# Units: UTF-8 characters by default, words, lines, bytes on request.
printf 'B\303\244r' >baer.txt
printf 'B\303\266r' >boer.txt
check 'characters' 0 $'2\n' '' --length baer.txt boer.txt
check 'bytes' 0 $'3\n' '' --by byte --length baer.txt boer.txt
check 'a subsequence of whole characters' 0 $'Br\n' '' --subsequence baer.txt boer.txt
printf '我爱北京天安门' >zh1.txt
printf '我爱上海天安门' >zh2.txt
check 'Chinese, double width' 0 'A: zh1.txt, length 7 characters
B: zh2.txt, length 7 characters
LCS length 5 characters, similarity 0.7143

A 1 我爱北京天安门 7
    | |     | | |
B 1 我爱上海天安门 7

' '' zh1.txt zh2.txt
printf 'caf\303\251 \377!' >invalid.txt
printf 'caf\303\251\377' >cafe.txt
check 'an invalid byte is a character of its own' 0 $'0\t0\t4\n5\t4\t1\n' '' --by char --blocks invalid.txt cafe.txt
check 'a file that is not UTF-8 goes by bytes' 0 $'0.1176\n' '' --similarity invalid.txt fox.txt
printf 'the quick brown fox\njumps over\n' >words1.txt
printf 'the slow brown fox\njumps high over\n' >words2.txt
check 'words' 0 $'10\n' '' --by word --length words1.txt words2.txt
check 'lines' 0 $'0\n' '' --by line --length words1.txt words2.txt
check 'similarity' 0 $'0.7812\n' '' --similarity words1.txt words2.txt
check 'a word diff' 0 'A: words1.txt, length 11 words
B: words2.txt, length 13 words
LCS length 10 words, similarity 0.8333

the [-quick-]{+slow+} brown fox
jumps{+ high+} over
' '' --by word words1.txt words2.txt
check 'lines side by side' 0 'A: words1.txt, length 2 lines
B: words2.txt, length 2 lines
LCS length 0 lines, similarity 0.0000

the quick brown fox     | the slow brown fox
jumps over              | jumps high over
' '' --by line --width 50 words1.txt words2.txt

# A file's last line equals the same line elsewhere, whether or not the file
# ends in a line break; lines compare without their line feed, CRLF lines
# differ from LF lines. Each row: name, expected length, unit, A, B.
while IFS='|' read -r name want unit a b; do
  printf "$a" >last_a.txt
  printf "$b" >last_b.txt
  check "$name" 0 "$want"$'\n' '' --by "$unit" --length last_a.txt last_b.txt
done <<'CASES'
the last line meets its copy in the middle|3|line|alpha\nbeta\ngamma\ndelta\n|alpha\ngamma\nbeta\ndelta\nepsilon\n
no final break on either side|2|line|a\nb|b\na\nb
no final break against one|2|line|a\nb|a\nb\n
CRLF lines, the last one too|2|line|a\r\nb\r\n|b\r\nz\r\na\r\nb\r\n
a CRLF file without its final break|2|line|a\r\nb|b\r\nz\r\na\r\nb\r\n
CRLF lines differ from LF lines|0|line|a\r\nb\r\n|a\nb\n
an empty last line|2|line|a\n\n|a\n\nb\n
a file of one empty line|1|line|\n|x\n\n
white space at the end is a word like the same elsewhere|2|word|x \n|x \ny\n
CASES

# Inputs that looked alike in a picture now look different, with or without UTF-8.
printf 'ab' >ab.txt
pictures=()
for input in 'a-b' 'a.b' $'a\nb' $'a\tb' 'a b' 'a\b'; do
  printf '%s' "$input" >look.txt
  pictures+=("$("${run[@]}" look.txt ab.txt | tail -n +5)"$'\n'"$(LC_ALL=C "${run[@]}" look.txt ab.txt | tail -n +5)")
done
if (($(printf '%s\0' "${pictures[@]}" | sort -zu | tr -cd '\0' | wc -c) == ${#pictures[@]})); then
  passed=$((passed + 1))
else
  failed=$((failed + 1))
  printf 'FAIL ambiguous pictures\n%s\n' "${pictures[@]}"
fi
printf 'a-b\t\r\033' >marks.txt
LC_ALL=C check 'escapes without UTF-8' 0 'A: marks.txt, length 6 characters
B: ab.txt, length 2 characters
LCS length 2 characters, similarity 0.5000

A 1 a\-b\t\r\x1b 6
    |  |
B 1 a- b- - -    2

' '' --width 40 marks.txt ab.txt

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
check 'threads zero: all cores' 0 $'36\n' '' --threads=0 --length fox.txt dog.txt
check 'threads too many' 2 '' "lcs-align: --threads takes a whole number from 0 to 4096, not '4097' $help"$'\n' --threads=4097 fox.txt dog.txt
check 'width missing' 2 '' "lcs-align: --width needs a number $help"$'\n' fox.txt dog.txt --width
check 'two formats' 2 '' "lcs-align: --length, --blocks, --subsequence and --similarity exclude each other $help"$'\n' --length --similarity fox.txt dog.txt
check 'an unknown unit' 2 '' "lcs-align: --by takes byte, char, word or line, not 'bit' $help"$'\n' --by=bit fox.txt dog.txt
check 'FASTA both ways' 2 '' "lcs-align: --fasta and --no-fasta exclude each other $help"$'\n' --fasta --no-fasta fox.txt dog.txt
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
