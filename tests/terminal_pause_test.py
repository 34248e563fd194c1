#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""End-to-end tests of the pause at the end of a run, with lcs on a
pseudo-terminal as a person at a keyboard would have it: the prompt, a wait
for one key (no Enter), Ctrl-C taken as a key, and the terminal's settings
restored afterwards.

Usage: terminal_pause_test.py PROGRAM
"""
import os
import pty
import select
import sys
import termios
import time

PROGRAM = sys.argv[1]
PAUSE = b"Press any key to continue . . ."


def read_until(fd, wanted, seconds=10.0):
    seen = b""
    deadline = time.monotonic() + seconds
    while wanted not in seen:
        left = deadline - time.monotonic()
        if left <= 0 or not select.select([fd], [], [], left)[0]:
            raise AssertionError(f"timed out waiting for {wanted!r}; saw {seen!r}")
        try:
            chunk = os.read(fd, 4096)
        except OSError:  # the other side has closed
            break
        if not chunk:
            break
        seen += chunk
    return seen


def run_with_key(key):
    """Runs the classic dialogue on a terminal, answers the pause with `key`,
    and returns (exit status, output, terminal settings before, after)."""
    pid, fd = pty.fork()
    if pid == 0:
        os.execv(PROGRAM, [PROGRAM])
    before = termios.tcgetattr(fd)
    output = read_until(fd, b"string A: ")
    os.write(fd, b"7\n6\nABCBDAB BDCABA\n")
    output += read_until(fd, PAUSE)
    time.sleep(0.2)  # still waiting: no key yet
    finished, _ = os.waitpid(pid, os.WNOHANG)
    assert finished == 0, "the program ended before a key was pressed"
    os.write(fd, key)
    output += read_until(fd, b"\n", seconds=5)
    _, status = os.waitpid(pid, 0)
    after = termios.tcgetattr(fd)
    os.close(fd)
    return status, output, before, after


def main():
    failures = 0
    for name, key in [("a letter", b"x"), ("Ctrl-C", b"\x03"), ("Escape", b"\x1b")]:
        try:
            status, output, before, after = run_with_key(key)
            assert os.WIFEXITED(status) and os.WEXITSTATUS(status) == 0, f"status {status}"
            assert b"Hirschberg_AlgB LCS : 4\r\n" + PAUSE in output, output
            assert before == after, f"terminal settings changed: {before} -> {after}"
            print(f"pass: any key ends the pause ({name})")
        except AssertionError as failure:
            failures += 1
            print(f"FAIL: any key ends the pause ({name}): {failure}")
    print(f"terminal: {3 - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
