#!/usr/bin/python3
"""Times ezdxf.readfile on a drawing and the walk over its MTEXT, the peer of
bench_dxf's listing.

    /usr/bin/python3 bench/ezdxf_readfile.py FILE.dxf [REPEATS=3]
"""
import sys
import time

import ezdxf
from ezdxf.tools.text import plain_mtext


def main():
    path = sys.argv[1]
    repeats = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    best = float("inf")
    count = 0
    for _ in range(repeats):
        start = time.perf_counter()
        doc = ezdxf.readfile(path)
        count = 0
        for layout in doc.layouts_and_blocks():
            for e in layout.query("MTEXT"):
                plain_mtext(e.text)[:40]
                count += 1
        best = min(best, time.perf_counter() - start)
    print(f"ezdxf readfile + MTEXT walk: {count} MTEXT, best of {repeats}: {best * 1000:.1f} ms")


if __name__ == "__main__":
    main()
