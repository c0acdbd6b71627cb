#!/usr/bin/env python3
"""Draws the program icon: packaging/korvex.svg and its 64 x 64 PNG.

Both come from the one list of shapes below (a sheet of marked-up text with a
stacked fraction on a blue tile), so they cannot drift apart.  The PNG is
rasterised here with 4 x 4 supersampling; no image library is needed.

    python3 scripts/make_icon.py [output-folder]
"""
import os
import struct
import sys
import zlib

SIZE = 64
SAMPLES = 4

# (kind, geometry, colour); drawn in order, later shapes over earlier ones.
SHAPES = [
    ("rrect", (2, 2, 60, 60, 11), "#1d4f7c"),
    ("poly", [(13, 7), (41, 7), (51, 17), (51, 57), (13, 57)], "#fdfdfd"),
    ("poly", [(41, 7), (41, 17), (51, 17)], "#b9c6d3"),
    # lines of text: plain, then coloured format codes
    ("rect", (18, 14, 19, 3), "#4a5561"),
    ("rect", (18, 21, 28, 3), "#4a5561"),
    ("rect", (18, 28, 10, 3), "#d0312d"),
    ("rect", (30, 28, 16, 3), "#4a5561"),
    # a stacked fraction: numerator, bar, denominator
    ("rect", (21, 37, 10, 4), "#1f7a3a"),
    ("rect", (18, 43, 16, 2), "#1d4f7c"),
    ("rect", (21, 47, 10, 4), "#1f7a3a"),
    # the caret
    ("rect", (39, 36, 3, 16), "#e08a00"),
]


def inside(kind, g, x, y):
    if kind == "rect":
        gx, gy, w, h = g
        return gx <= x < gx + w and gy <= y < gy + h
    if kind == "rrect":
        gx, gy, w, h, r = g
        if not (gx <= x < gx + w and gy <= y < gy + h):
            return False
        cx = min(max(x, gx + r), gx + w - r)
        cy = min(max(y, gy + r), gy + h - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    # polygon, even-odd rule
    result = False
    n = len(g)
    for i in range(n):
        (x1, y1), (x2, y2) = g[i], g[(i + 1) % n]
        if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
            result = not result
    return result


def rgb(colour):
    return tuple(int(colour[i:i + 2], 16) for i in (1, 3, 5))


def raster():
    rows = []
    step = 1.0 / SAMPLES
    for py in range(SIZE):
        row = bytearray()
        for px in range(SIZE):
            acc = [0.0, 0.0, 0.0, 0.0]  # premultiplied
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x, y = px + (sx + 0.5) * step, py + (sy + 0.5) * step
                    c = None
                    for kind, g, colour in SHAPES:
                        if inside(kind, g, x, y):
                            c = rgb(colour)
                    if c:
                        acc[0] += c[0]
                        acc[1] += c[1]
                        acc[2] += c[2]
                        acc[3] += 1
            n = SAMPLES * SAMPLES
            a = acc[3] / n
            if a == 0:
                row += bytes(4)
            else:
                row += bytes([round(acc[0] / acc[3]), round(acc[1] / acc[3]), round(acc[2] / acc[3]), round(a * 255)])
        rows.append(bytes(row))
    return rows


def png(rows):
    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\0" + r for r in rows)
    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def svg():
    out = ['<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64" viewBox="0 0 64 64">']
    for kind, g, colour in SHAPES:
        if kind == "rect":
            out.append('  <rect x="%g" y="%g" width="%g" height="%g" fill="%s"/>' % (*g, colour))
        elif kind == "rrect":
            x, y, w, h, r = g
            out.append('  <rect x="%g" y="%g" width="%g" height="%g" rx="%g" fill="%s"/>' % (x, y, w, h, r, colour))
        else:
            points = " ".join("%g,%g" % p for p in g)
            out.append('  <polygon points="%s" fill="%s"/>' % (points, colour))
    out.append("</svg>")
    return "\n".join(out) + "\n"


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "packaging")
    with open(os.path.join(folder, "korvex.svg"), "w") as f:
        f.write(svg())
    with open(os.path.join(folder, "korvex.png"), "wb") as f:
        f.write(png(raster()))


if __name__ == "__main__":
    main()
