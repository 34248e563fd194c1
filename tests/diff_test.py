#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""End-to-end tests of lcs-diff, the real executable: exact output in GNU
diff's unified format, GNU patch turning generated files into their
partners byte for byte with the fewest changed lines (checked against a
textbook LCS of the lines), two trees rebuilt with patch -p1, and every
kind of trouble as status 2 with one line on standard error.

Usage: diff_test.py [EMULATOR...] PROGRAM
"""
import os
import random
import shutil
import subprocess
import sys
import tempfile
import filecmp

from textbook_lcs import textbook_lcs

RUN = sys.argv[1:-1] + [os.path.abspath(sys.argv[-1])]
failures = []


def lcs_diff(*arguments, stdin=b""):
    done = subprocess.run(RUN + list(arguments), input=stdin, capture_output=True, timeout=120)
    return done.returncode, done.stdout, done.stderr.replace(b"\r\n", b"\n")


def check(name, got, wanted):
    if got != wanted:
        failures.append(f"FAIL {name}\n  got    {got!r}\n  wanted {wanted!r}")


def write(path, data):
    os.makedirs(os.path.dirname(path) or ".", exist_ok=True)
    with open(path, "wb") as out:
        out.write(data)


def read(path):
    with open(path, "rb") as source:
        return source.read()


def lines_of(data):
    return data.splitlines(keepends=True)


def exact_output():
    write("a", b"one\ntwo\nthree\nfour\n")
    write("b", b"one\n2\nthree\nfour")
    labels = ["-u", "--label", "A", "--label", "B"]
    check("unified", lcs_diff(*labels, "a", "b"), (1, b"--- A\n+++ B\n@@ -1,4 +1,4 @@\n one\n"
          b"-two\n+2\n three\n-four\n+four\n\\ No newline at end of file\n", b""))
    check("-U0 and colour", lcs_diff(*labels, "-U0", "--color=always", "a", "b"),
          (1, b"\033[1m--- A\033[0m\n\033[1m+++ B\033[0m\n\033[36m@@ -2 +2 @@\033[0m\n"
           b"\033[31m-two\033[0m\n\033[32m+2\033[0m\n\033[36m@@ -4 +4 @@\033[0m\n"
           b"\033[31m-four\033[0m\n\033[32m+four\033[0m\n\\ No newline at end of file\n", b""))
    check("standard input", lcs_diff(*labels, "-U0", "-", "b", stdin=b"one\n2\nthree\nfour"),
          (0, b"", b""))
    check("same files", lcs_diff("a", "a"), (0, b"", b""))
    check("brief", lcs_diff("-q", "a", "b"), (1, b"Files a and b differ\n", b""))
    write("c", b"ONE\ntwo  \nthree\nfour")
    check("equal ignoring case and space", lcs_diff("-ib", "a", "c"), (0, b"", b""))
    write("binary", b"one\0two\n")
    check("binary", lcs_diff("a", "binary"), (1, b"Binary files a and binary differ\n", b""))
    os.mkdir("folder")
    write("folder/a", b"one\ntwo\nthree\nfour\n")
    check("a file against the directory's file of its name", lcs_diff("a", "folder"),
          (0, b"", b""))


def trouble():
    cases = {
        "a missing file": ["a", "missing"],
        "an unknown option": ["--frobnicate", "a", "b"],
        "a bad number": ["-U", "x", "a", "b"],
        "a negative number": ["--unified=-1", "a", "b"],
        "both standard input": ["-", "-"],
        "three files": ["a", "b", "c"],
        "a bad colour": ["--color=sometimes", "a", "b"],
        "standard input against a directory": ["-", "folder"],
        "a missing file in a directory": ["b", "folder"],
    }
    for name, arguments in cases.items():
        status, out, err = lcs_diff(*arguments)
        ok = status == 2 and out == b"" and err.startswith(b"lcs-diff: ") and err.count(b"\n") == 1
        check(name, ok or (status, out, err), True)


# Pairs whose minimal diff is one placement only, and options in every
# format: the output is GNU diff's byte for byte (run with --minimal).
GNU_PAIRS = {
    "changes": (b"a\nb\nc\nd\ne\nf\ng\n", b"a\nB\nc\ne\nf\nx\ny\ng\n"),
    "one line to none": (b"a\n", b""),
    "no final line feed": (b"a\n", b"a"),
    "dots for ed": (b"a\nb\n", b"a\n.\nb\nc\n.\n"),
    "a function": (b"int f()\n{\n  a;\n  b;\n  c;\n  d;\n}\n",
                   b"int f()\n{\n  a;\n  b;\n  C;\n  d;\n}\n"),
    "blank lines": (b"x\n\n\ny\n", b"x\n\ny\n"),
    "comments": (b"a\n# c1\nb\n", b"a\n# c2\nb\nz\n"),
    "carriage returns": (b"a\r\nb\r\n", b"a\nc\n"),
    "tabs": (b"x\ty\n\tz\n", b"x       y\n        z\nw\n"),
    "case and space": (b"A b\n", b"a  B \n"),
}
GNU_OPTIONS = ["", "-u -L x -L y", "-U0 -L x -L y", "-c -L x -L y", "-C1 -L x -L y", "-e", "-y",
               "-y -W40", "-y --left-column -W60", "-y --suppress-common-lines", "-y -t", "-t",
               "-T", "-u -T -L x -L y", "-c -T -L x -L y", "-p -L x -L y", "-u -p -L x -L y",
               "-F ^{ -u -L x -L y", "-B", "-I ^#", "-i", "-w", "-b", "-E", "-Z",
               "--strip-trailing-cr", "-s", "-q", "-a", "--color=always",
               "-u --color=always -L x -L y", "-c --color=always -L x -L y", "-5 -u -L x -L y",
               "-u5 -L x -L y", "--normal", "-d", "--ed", "--unified=2 -L x -L y",
               "--cont=1 -L x -L y", "--side-by-side --width=50", "-uw -L x -L y"]


def as_gnu_diff():
    import shlex
    if shutil.which("diff") is None:
        return
    for name, (a, b) in GNU_PAIRS.items():
        write("a", a)
        write("b", b)
        for options in GNU_OPTIONS:
            arguments = shlex.split(options) + ["a", "b"]
            gnu = subprocess.run(["diff", "--minimal"] + arguments, capture_output=True)
            if b"No newline at end of file\n\n" in gnu.stderr:
                continue  # ed cannot say it: GNU's message has a blank line after it, ours not
            ours = lcs_diff(*arguments)
            check(f"as GNU diff: {name}, {options}", ours[:2], (gnu.returncode, gnu.stdout))


def groups_as_gnu_diff():
    """Among the minimal diffs, never more change groups than GNU diff --minimal
    finds: the groups are the command lines of the normal format."""
    if shutil.which("diff") is None:
        return
    rng = random.Random(30)
    commands = lambda out: sum(1 for line in lines_of(out) if line[:1].isdigit())
    for round_number in range(150):
        write("a", generated(rng))
        write("b", generated(rng))
        ours = lcs_diff("a", "b")[1]
        gnu = subprocess.run(["diff", "--minimal", "a", "b"], capture_output=True).stdout
        check(f"groups, pair {round_number}", commands(ours) <= commands(gnu), True)


def special_files():
    """FIFOs, sockets and devices in a walk are named, never opened; an
    endless device as an operand is compared as it streams."""
    import socket
    for tree in ("s1", "s2"):
        os.makedirs(tree)
        os.mkfifo(f"{tree}/fifo")
        with socket.socket(socket.AF_UNIX) as listener:
            listener.bind(f"{tree}/socket")
        os.symlink("/dev/null", f"{tree}/device")
    for options in (["-r"], ["-rq"], ["-ruN"]):
        check(f"special files, {options}", lcs_diff(*options, "s1", "s2"),
              (1, b"File s1/device is a character special file while file s2/device is a "
                  b"character special file\nFile s1/fifo is a fifo while file s2/fifo is a fifo\n"
                  b"File s1/socket is a socket while file s2/socket is a socket\n", b""))
    write("text", b"a\n")
    check("an endless device", lcs_diff("-u", "/dev/zero", "text"),
          (1, b"Binary files /dev/zero and text differ\n", b""))
    check("both missing", lcs_diff("-q", "gone1", "gone2"),
          (2, b"", b"lcs-diff: gone1: No such file or directory\n"
                   b"lcs-diff: gone2: No such file or directory\n"))


def as_git_external_diff():
    if shutil.which("git") is None:
        return
    environment = dict(os.environ, GIT_EXTERNAL_DIFF=" ".join(RUN), GIT_CONFIG_NOSYSTEM="1",
                       HOME=os.getcwd())
    git = ["git", "-C", "repo", "-c", "user.email=t@t", "-c", "user.name=t"]
    os.makedirs("repo")
    subprocess.run(git + ["init", "-q"], check=True)
    write("repo/f", b"a\nb\nc\n")
    subprocess.run(git + ["add", "f"], check=True)
    subprocess.run(git + ["commit", "-qm", "one"], check=True)
    write("repo/f", b"a\nB\nc\n")
    done = subprocess.run(git + ["diff"], capture_output=True, env=environment)
    check("GIT_EXTERNAL_DIFF", (done.returncode, done.stdout),
          (0, b"--- a/f\n+++ b/f\n@@ -1,3 +1,3 @@\n a\n-b\n+B\n c\n"))


def generated(rng):
    vocabulary = [b"x\n", b"x\r\n", b"\n", b"  x\n", b"}\n", b"y\n", b"\xff\x80\n", b"z\n"]
    lines = [rng.choice(vocabulary[: rng.randint(1, len(vocabulary))])
             for _ in range(rng.choice([0, 1, rng.randint(2, 60)]))]
    data = b"".join(lines)
    return data[:-1] if data and rng.random() < 0.3 else data


def patch_round_trips():
    rng = random.Random(2026)
    for round_number in range(60):
        a = generated(rng)
        b = generated(rng) if round_number % 2 else a[: len(a) // 2] + generated(rng)
        write("old", a)
        write("new", b)
        context = [0, 1, 3][round_number % 3]
        threads = ["--threads", str(round_number % 3)]
        status, out, err = lcs_diff(f"-U{context}", *threads, "old", "new")
        check(f"pair {round_number}: status", (status, err), (int(a != b), b""))
        write("patch", out)
        applied = subprocess.run(["patch", "--binary", "-s", "-o", "patched", "old", "patch"],
                                 capture_output=True)
        check(f"pair {round_number}: patch", (applied.returncode, read("patched")), (0, b))
        changed = sum(1 for line in lines_of(out)[2:] if line[:1] in b"+-")
        minimum = len(lines_of(a)) + len(lines_of(b)) - 2 * textbook_lcs(lines_of(a), lines_of(b))
        check(f"pair {round_number}: changed lines", changed, minimum)


def dangling_links():
    os.symlink("nowhere", "t1/sub/dangling")
    write("t2/sub/dangling", b"x\n")
    status, out, err = lcs_diff("-ruN", "--threads", "1", "t1", "t2")
    check("-ruN: a dangling link is trouble, the other pairs are compared",
          (status, out.count(b"\n+++ "), err),
          (2, 6, b"lcs-diff: t1/sub/dangling: No such file or directory\n"))
    os.remove("t1/sub/dangling")
    os.remove("t2/sub/dangling")


def trees_round_trip():
    for tree, files in {
        "t1": {"same": b"s\n", "changed": b"1\n2\n3\n", "gone": b"g\n", "sub/deep": b"d\n",
               "sub/gone/far": b"f\n"},
        "t2": {"same": b"s\n", "changed": b"1\n3\n4", "new": b"n\n", "sub/deep": b"D\n",
               "sub/new/far": b"F\n"},
    }.items():
        for name, data in files.items():
            write(os.path.join(tree, name), data)
    status, out, err = lcs_diff("-ruN", "t1", "t2")
    check("-ruN: status", (status, err), (1, b""))
    shutil.copytree("t1", "rebuilt")
    applied = subprocess.run(["patch", "-s", "-p1", "-d", "rebuilt"], input=out,
                             capture_output=True)
    check("-ruN: patch -p1", applied.returncode, 0)
    comparison = filecmp.dircmp("rebuilt", "t2")
    check("-ruN: rebuilt tree", (comparison.left_only, comparison.right_only,
                                 comparison.diff_files), ([], [], []))
    for sub in ("sub", "sub/new"):
        check(f"-ruN: {sub}", sorted(os.listdir(f"rebuilt/{sub}")), sorted(os.listdir(f"t2/{sub}")))
    if not RUN[-1].endswith(".exe"):  # links as Windows has them are another matter
        dangling_links()
    status, out, _ = lcs_diff("-r", "t1", "t2")
    check("-r: files on one side", [line for line in lines_of(out) if line.startswith(b"Only")],
          [b"Only in t1: gone\n", b"Only in t2: new\n", b"Only in t1/sub: gone\n",
           b"Only in t2/sub: new\n"])


def closed_pipe():
    write("long1", b"".join(b"%d\n" % k for k in range(200000)))
    write("long2", b"".join(b"%d\n" % (k * 7) for k in range(200000)))
    reader = subprocess.Popen(RUN + ["long1", "long2"], stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE)
    reader.stdout.readline()
    reader.stdout.close()
    err = reader.stderr.read()
    reader.wait(timeout=120)
    check("a closed pipe ends it quietly", err, b"")


def main():
    work = tempfile.mkdtemp()
    os.chdir(work)
    try:
        exact_output()
        trouble()
        as_gnu_diff()
        groups_as_gnu_diff()
        if not RUN[-1].endswith(".exe"):  # POSIX special files, git with a POSIX program
            special_files()
            as_git_external_diff()
        patch_round_trips()
        trees_round_trip()
        if not RUN[-1].endswith(".exe"):  # Windows has no SIGPIPE
            closed_pipe()
    finally:
        os.chdir("/")
        shutil.rmtree(work)
    print("\n".join(failures) if failures else "all lcs-diff end-to-end checks passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
