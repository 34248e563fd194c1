# SPDX-License-Identifier: MIT
"""CPython's own difflib tests and difflib's doctests, run with lcs's names
in difflib's place.

A test that fails counts as "lcs better" when, in that run, every matching
lcs made had at least as many elements as difflib's on the same pair, and the
same test passes once lcs.SequenceMatcher is made to return difflib's
answers: then only the choice of the alignment differs, never the format, a
signature or an exception. Any other failure fails this run. Prints the
counts and exits 1 on a real failure; exits 2 when the tests are missing.
"""
import difflib
import doctest
import importlib
import io
import sys
import unittest

import lcs
from lcs import _matcher


def cpython_tests():
    """test_difflib's cases, imported with `difflib` meaning lcs."""
    real = sys.modules["difflib"]
    sys.modules["difflib"] = lcs
    try:
        module = importlib.import_module("test.test_difflib")
    except ImportError as error:
        print(f"CPython's test_difflib is missing ({error}): apt-get install "
              f"libpython{sys.version_info.major}.{sys.version_info.minor}-testsuite")
        sys.exit(2)
    finally:
        sys.modules["difflib"] = real
    loader = unittest.TestLoader()
    for value in vars(module).values():
        if isinstance(value, type) and issubclass(value, unittest.TestCase):
            for test in loader.loadTestsFromTestCase(value):
                test.set_up_module = module.setUpModule  # each run starts from it
                yield test


def doctests():
    """difflib's doctests, each with lcs's public names in its globals."""
    names = {name: getattr(lcs, name) for name in lcs.__all__}
    for test in doctest.DocTestFinder().find(difflib):
        if test.examples:
            test.globs.update(names)
            yield doctest.DocTestCase(test, optionflags=doctest.ELLIPSIS)


class Record:
    """Compares each matching lcs makes with difflib's on the same pair."""

    def __init__(self):
        self.fewer = []

    def __call__(self, matcher):
        ours = _ORIGINAL_MATCH(matcher)
        theirs = difflib.SequenceMatcher(matcher.isjunk, matcher.a, matcher.b, matcher.autojunk)
        if sum(block.size for block in ours) < sum(block.size for block in theirs.get_matching_blocks()):
            self.fewer.append((matcher.a, matcher.b))
        return ours


def difflib_answers(matcher):
    return difflib.SequenceMatcher(matcher.isjunk, matcher.a, matcher.b,
                                   matcher.autojunk).get_matching_blocks()[:-1]


_ORIGINAL_MATCH = _matcher.SequenceMatcher._match
_ORIGINAL_SEQ2 = _matcher.SequenceMatcher.set_seq2


def difflib_attributes(matcher, b):
    """set_seq2 that also takes difflib's junk and popular sets."""
    _ORIGINAL_SEQ2(matcher, b)
    theirs = difflib.SequenceMatcher(matcher.isjunk, "", b, matcher.autojunk)
    matcher.bjunk, matcher.bpopular, matcher._b2j = theirs.bjunk, theirs.bpopular, theirs.b2j


def passes(test, match, seq2=_ORIGINAL_SEQ2):
    _matcher.SequenceMatcher._match = lambda matcher: match(matcher)
    _matcher.SequenceMatcher.set_seq2 = seq2
    try:
        getattr(test, "set_up_module", lambda: None)()
        result = unittest.TestResult()
        test.run(result)
        return result.wasSuccessful(), result.failures + result.errors
    finally:
        _matcher.SequenceMatcher._match = _ORIGINAL_MATCH
        _matcher.SequenceMatcher.set_seq2 = _ORIGINAL_SEQ2


def main():
    totals = {"passed": 0, "lcs better": 0, "failed": 0}
    for kind, tests in (("test_difflib", list(cpython_tests())), ("doctest", list(doctests()))):
        counts = dict.fromkeys(totals, 0)
        for test in tests:
            record = Record()
            ok, problems = passes(test, record)
            if ok:
                counts["passed"] += 1
                continue
            ok_as_difflib, _ = passes(test, difflib_answers, difflib_attributes)
            verdict = "lcs better" if ok_as_difflib and not record.fewer else "failed"
            counts[verdict] += 1
            print(f"{verdict}: {kind} {test.id()}")
            if verdict == "failed":
                for _, trace in problems:
                    print(io.StringIO(trace).read())
        print(f"{kind}: {counts['passed']} passed, {counts['lcs better']} lcs better, "
              f"{counts['failed']} failed")
        totals = {key: totals[key] + counts[key] for key in totals}
    print(f"difflib conformance: {totals['passed']} passed, {totals['lcs better']} lcs better, "
          f"{totals['failed']} failed")
    return 1 if totals["failed"] else 0


if __name__ == "__main__":
    sys.exit(main())
