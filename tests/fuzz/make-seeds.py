#!/usr/bin/env python3
"""Writes fuzzer seeds aimed at the reader's fast paths into tests/fuzz/corpus/ (or DIR).

The mutating fuzzer rarely assembles, from random bytes, the shapes that pick the reader's
short ways: numbers of exactly seven or eight digits, signs and exponents beside them, every
face format, lines that end just before, on or after a 32-byte block edge, lines at the
127-byte token limit, and files cut off inside a number or a face. These seeds start it there.
Each file is named by the SHA-1 of its bytes, like the rest of the corpus; running this again
writes the same files.

Usage: tests/fuzz/make-seeds.py [DIR]
"""
import hashlib
import os
import sys

TRIANGLE = "v 0 0 0\nv 1 0 0\nv 0 1 0\n"
# The short ways read a window past the line (up to 136 bytes), so a line under test is
# followed by this much more file; without it the reader takes the exact scan near the end.
TAIL = "f 1 2 3\n" * 4 + "# " + "-" * 120 + "\n"


def numbers():
    """Coordinates around the short path's limits: digit counts, signs, points, exponents."""
    out = []
    for digits in range(1, 11):
        whole = "9" * digits
        out += [whole, "-" + whole, "+" + whole, "0." + whole, whole + ".", "." + whole,
                whole[:digits // 2] + "." + whole[digits // 2:]]
    out += ["1e5", "1E-5", "-2.5e+3", "1e", "1e+", "+-1", "-", "+", ".", "-.5", "+.5", "00000001",
            "1.5e38", "3.5e38", "1e-45", "1e-46", "inf", "-nan", "0x10", "1,5", "1.5.5", "--1"]
    return out


def faces():
    """Every corner format, mixed formats, polygons, negative and long indices, odd spacing."""
    return ["f 1 2 3", "f 1/1 2/2 3/3", "f 1//1 2//2 3//3", "f 1/1/1 2/2/2 3/3/3",
            "f 1 2/2 3//3", "f -3 -2 -1", "f -1/-1/-1 -2/-2/-2 -3/-3/-3", "f 1 2 3 1 2 3 1",
            "f 1\t2\t3", "f  1  2  3  ", "f 1 2", "f 1", "f", "f 1/ 2/ 3/", "f 1// 2// 3//",
            "f 00000001 2 3", "f 12345678 2 3", "f 123456789 2 3", "f 1 2 3 # note",
            "f 1/2/3/4 2 3", "f 1 2 3\r", "f 0 1 2", "f 4 2 3"]


def seeds():
    head = TRIANGLE + "vt 0 0\nvt 1 0\nvt 0 1\nvn 0 0 1\nvn 0 1 0\nvn 1 0 0\n"
    for i, n in enumerate(numbers()):
        yield "v %s 0 0\nv 0 %s 0\nv 0 0 %s\nf 1 2 3\n" % (n, n, n) + TAIL
        yield "vt %s %s\nvn %s 0 0\n%sf 1/1/1 2/1/1 3/1/1\n" % (n, n, n, TRIANGLE) + TAIL
    for f in faces():
        yield head + f + "\n" + TAIL
        yield head + "g a\nusemtl m\n" + f + "\n" + f + "\n" + TAIL
    # A line of every length from 28 to 40 and 60 to 68 bytes, so that its end falls before,
    # on and after the 32-byte blocks the first pass reads, and at the 127-byte token limit.
    for length in list(range(28, 41)) + list(range(60, 69)) + [125, 126, 127, 128, 129]:
        for line, fill in (("v 1 2 ", "0"), ("f 1 2 3", " "), ("# ", "x")):
            yield TRIANGLE + line + fill * (length - len(line) - 1) + "\n" + TAIL
    # Cut-off endings: inside a number, a face, a keyword, after a lone carriage return.
    whole = head + TAIL + "f 1/1/1 2/2/2 3/3/3\nv 1.25 -2.5 3e2\n"
    for cut in range(len(whole) - 180, len(whole)):
        yield whole[:cut]
    yield TRIANGLE + "f 1 2 3\r"
    yield TRIANGLE.replace("\n", "\r\n") + "f 1 2 3\r\n"
    yield TRIANGLE + "mtllib a.mtl\nusemtl red\nf 1 2 3\n#MTL\nnewmtl red\nKd 1 0 0\nNs 200\n"


def main(argv):
    out = argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(__file__), "corpus")
    os.makedirs(out, exist_ok=True)
    written = 0
    for text in seeds():
        data = text.encode()
        path = os.path.join(out, hashlib.sha1(data).hexdigest())
        if not os.path.exists(path):
            with open(path, "wb") as f:
                f.write(data)
            written += 1
    print("make-seeds: %d new seeds in %s" % (written, out))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
