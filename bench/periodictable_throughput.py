#!/usr/bin/env python3
"""Formula throughput of the Python package periodictable for bench/compare: the molar mass
of every formula of a corpus file, timed inside the process.

    periodictable_throughput.py CORPUS [--masses]

Prints "formulas/s N" (best of several passes, at least one second in all) and, with
--masses, "formula<TAB>mass" per formula first.
"""
import sys
import time

import periodictable


def mass(formula):
    return periodictable.formula(formula).mass


def main():
    with open(sys.argv[1], encoding="latin-1") as f:
        corpus = [line.strip() for line in f if line.strip()]
    if len(sys.argv) > 2 and sys.argv[2] == "--masses":
        for formula in corpus:
            print(f"{formula}\t{mass(formula)!r}")
    best, sink = 0.0, 0.0
    start = time.perf_counter()
    passes = 0
    while passes < 2 or time.perf_counter() - start < 1.0:
        pass_start = time.perf_counter()
        for formula in corpus:
            sink += mass(formula)
        best = max(best, len(corpus) / (time.perf_counter() - pass_start))
        passes += 1
    print(f"formulas/s {best:.0f}")
    print(f"{len(corpus)} formulas (checksum {sink:.6g})", file=sys.stderr)


if __name__ == "__main__":
    main()
