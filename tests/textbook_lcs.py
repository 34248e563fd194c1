# SPDX-License-Identifier: MIT
"""The LCS length by the textbook's table, one row at a time: the reference
that the Python tests of the programs and the module check against."""


def textbook_lcs(a, b):
    row = [0] * (len(b) + 1)
    for x in a:
        diagonal = 0
        for j, y in enumerate(b, 1):
            diagonal, row[j] = row[j], diagonal + 1 if x == y else max(row[j], row[j - 1])
    return row[-1]
