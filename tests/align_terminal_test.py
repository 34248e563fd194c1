#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""End-to-end tests of lcs-align where it meets the machine: the progress line
on a pseudo-terminal that is also standard output (erased before the result,
and at 100 % first), and the peak memory of --blocks on two unrelated
binaries at several thread counts.

Usage: align_terminal_test.py PROGRAM
"""
import os
import pty
import random
import re
import select
import subprocess
import sys
import tempfile

PROGRAM = sys.argv[1]
# Twice what these runs take today (16 to 20 MB): the masks of 256 distinct
# bytes are 32 rows of halves, and nothing may hold them once per thread.
PEAK_LIMIT_KB = 40 * 1000


def terminal_output(arguments):
    """Runs the program with standard output and error on one terminal. This
    side keeps the terminal open too, so that nothing the program wrote is
    lost when it ends; what is left is read once it has."""
    master, slave = pty.openpty()
    child = subprocess.Popen([PROGRAM] + arguments, stdin=subprocess.DEVNULL, stdout=slave,
                             stderr=slave)
    seen = b""
    while True:
        ended = child.poll() is not None
        while select.select([master], [], [], 0.2)[0]:
            seen += os.read(master, 65536)
        if ended:
            break
    os.close(slave)
    os.close(master)
    return child.returncode, seen


def peak_kb(arguments):
    """The peak resident memory of one run, in KB."""
    child = subprocess.Popen([PROGRAM] + arguments, stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    child.returncode = os.waitstatus_to_exitcode(status)
    assert child.returncode == 0, f"{arguments}: status {child.returncode}"
    return usage.ru_maxrss


def main():
    failures = []
    rng = random.Random(20)
    with tempfile.TemporaryDirectory() as work:
        dna = [os.path.join(work, name) for name in ("a.txt", "b.txt")]
        for path in dna:
            with open(path, "w") as out:
                out.write("".join(rng.choice("ACGT") for _ in range(1_200_000)))
        status, seen = terminal_output(["--length", "--threads", "1"] + dna)
        # The last report, then the line erased, then the result alone.
        if status != 0 or not re.search(rb"100 % \([0-9.]+ s\)\r\x1b\[K[0-9]+\r\n$", seen):
            failures.append(f"progress line: status {status}, output ends {seen[-120:]!r}")

        binaries = [os.path.join(work, name) for name in ("a.bin", "b.bin")]
        for path, size in zip(binaries, (1_000_000, 250_000)):
            with open(path, "wb") as out:
                out.write(rng.randbytes(size))
        for threads in ("1", "2", "4"):
            peak = peak_kb(["--blocks", "--threads", threads] + binaries)
            if peak > PEAK_LIMIT_KB:
                failures.append(f"--blocks on {threads} threads peaked at {peak} KB")
    for failure in failures:
        print("FAIL", failure)
    print(f"lcs-align on a terminal: {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
