#!/usr/bin/python3
"""Tokenizes the benchmark's generated MText with ezdxf's MTextParser and
prints characters per second, for comparison with bench_render.

    build/bench/bench_render --write-text=/tmp/mtext100k.txt
    /usr/bin/python3 bench/ezdxf_tokenize.py /tmp/mtext100k.txt
"""
import sys
import time

from ezdxf.tools.text import MTextParser


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else "/tmp/mtext100k.txt"
    repeats = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    with open(path, encoding="utf-8") as f:
        text = f.read()
    best = float("inf")
    tokens = 0
    for _ in range(repeats):
        start = time.perf_counter()
        tokens = sum(1 for _ in MTextParser(text))
        best = min(best, time.perf_counter() - start)
    print(f"{len(text)} characters, {tokens} tokens, best of {repeats}: "
          f"{best * 1000:.1f} ms, {len(text) / best / 1e6:.3f} M chars/s")


if __name__ == "__main__":
    main()
