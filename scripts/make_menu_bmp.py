#!/usr/bin/env python3
"""Draws the 16 x 16 icons of the menus and the toolbar into Support/menu.bmp.

A 24-bit BMP, icons row by row, 8 per row, on a magenta key colour: the
loader takes the colour of pixel (0, 0) as transparent.  The order of ICONS
is the IMAGEINDEX numbering used by Support/menu.xml.

    python3 scripts/make_menu_bmp.py [output.bmp]
"""
import math
import os
import struct
import sys

CELL = 16
COLUMNS = 8
KEY = (255, 0, 255)

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
GREY = (128, 128, 128)
LIGHT = (200, 200, 200)
DARK = (64, 64, 64)
BLUE = (0, 64, 192)
NAVY = (0, 0, 128)
LBLUE = (96, 160, 232)
RED = (200, 0, 0)
GREEN = (0, 150, 0)
YELLOW = (240, 200, 40)
BROWN = (150, 100, 30)
ORANGE = (230, 130, 20)

# 3 x 5 glyphs for the few characters the icons write.
GLYPHS = {
    '0': ["###", "#.#", "#.#", "#.#", "###"],
    '1': [".#.", "##.", ".#.", ".#.", "###"],
    '2': ["###", "..#", "###", "#..", "###"],
    '3': ["###", "..#", ".##", "..#", "###"],
    'A': [".#.", "#.#", "###", "#.#", "#.#"],
    'B': ["##.", "#.#", "##.", "#.#", "##."],
    'a': ["...", "##.", "..#", "###", "###"],
    '?': ["###", "..#", ".##", "...", ".#."],
    'i': [".#.", "...", "##.", ".#.", "###"],
    '+': ["...", ".#.", "###", ".#.", "..."],
    '-': ["...", "...", "###", "...", "..."],
    '.': ["...", "...", "...", "...", ".#."],
}


class Cell:
    def __init__(self):
        self.px = [[KEY] * CELL for _ in range(CELL)]

    def set(self, x, y, c):
        if 0 <= x < CELL and 0 <= y < CELL:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, outline=None, fill=None):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                edge = x in (x0, x1) or y in (y0, y1)
                if edge and outline is not None:
                    self.set(x, y, outline)
                elif fill is not None:
                    self.set(x, y, fill)

    def line(self, x0, y0, x1, y1, c):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.set(x0, y0, c)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def circle(self, cx, cy, r, outline=None, fill=None, width=1.0):
        for y in range(CELL):
            for x in range(CELL):
                d = math.hypot(x - cx, y - cy)
                if outline is not None and abs(d - r) < width * 0.6:
                    self.set(x, y, outline)
                elif fill is not None and d < r:
                    self.set(x, y, fill)

    def arc(self, cx, cy, r, a0, a1, c):
        steps = 64
        for i in range(steps + 1):
            a = math.radians(a0 + (a1 - a0) * i / steps)
            self.set(round(cx + r * math.cos(a)), round(cy - r * math.sin(a)), c)

    def text(self, x, y, s, c):
        for ch in s:
            for row, bits in enumerate(GLYPHS[ch]):
                for col, b in enumerate(bits):
                    if b == '#':
                        self.set(x + col, y + row, c)
            x += 4

    def page(self, x0=3, y0=1, x1=12, y1=14):
        self.rect(x0, y0, x1, y1, BLACK, WHITE)
        for i in range(3):  # folded corner
            self.line(x1 - 3 + i, y0, x1, y0 + 3 - i, KEY if i else BLACK)
        self.line(x1 - 3, y0, x1 - 3, y0 + 3, BLACK)
        self.line(x1 - 3, y0 + 3, x1, y0 + 3, BLACK)
        self.set(x1 - 1, y0 + 1, KEY)
        self.set(x1, y0 + 1, KEY)
        self.set(x1, y0 + 2, KEY)

    def lines(self, x0, x1, ys, c=GREY):
        for y in ys:
            self.line(x0, y, x1, y, c)


def icon_new(g):
    g.page()


def icon_open(g):
    g.rect(1, 4, 7, 5, BROWN, YELLOW)
    g.rect(1, 5, 13, 13, BROWN, YELLOW)
    for y in range(8, 14):  # open flap
        g.line(3 + (13 - y) // 2, y, 15 - (13 - y) // 3, y, ORANGE)
    g.line(3, 13, 14, 13, BROWN)
    g.line(5, 8, 15, 8, BROWN)


def icon_save(g):
    g.rect(1, 1, 14, 14, NAVY, BLUE)
    g.rect(4, 1, 11, 6, GREY, WHITE)
    g.rect(9, 2, 10, 5, None, DARK)
    g.rect(3, 9, 12, 14, GREY, LIGHT)


def icon_print(g):
    g.rect(4, 1, 11, 6, BLACK, WHITE)
    g.rect(1, 6, 14, 11, DARK, LIGHT)
    g.set(12, 8, GREEN)
    g.rect(4, 10, 11, 14, BLACK, WHITE)
    g.lines(5, 10, [12])


def icon_apply(g):
    pts = [(2, 8), (6, 12), (13, 3)]
    for dy in (0, 1):
        g.line(pts[0][0], pts[0][1] + dy, pts[1][0], pts[1][1] + dy, GREEN)
        g.line(pts[1][0], pts[1][1] + dy, pts[2][0], pts[2][1] + dy, GREEN)


def icon_exit(g):
    for d in (0, 1):
        g.line(3 + d, 3, 12 + d, 12, RED)
        g.line(12 + d, 3, 3 + d, 12, RED)


def icon_undo(g):
    g.arc(8, 9, 5, -60, 160, BLUE)
    g.arc(8, 9, 4, -60, 160, BLUE)
    g.line(1, 6, 4, 9, BLUE)
    g.line(1, 6, 5, 5, BLUE)
    g.line(2, 6, 4, 8, BLUE)


def icon_redo(g):
    g.arc(7, 9, 5, 20, 240, BLUE)
    g.arc(7, 9, 4, 20, 240, BLUE)
    g.line(14, 6, 11, 9, BLUE)
    g.line(14, 6, 10, 5, BLUE)
    g.line(13, 6, 11, 8, BLUE)


def icon_cut(g):
    g.line(5, 1, 9, 9, DARK)
    g.line(10, 1, 6, 9, DARK)
    g.circle(4, 12, 2.5, BLACK)
    g.circle(11, 12, 2.5, BLACK)


def icon_copy(g):
    g.rect(1, 1, 9, 11, BLACK, WHITE)
    g.lines(3, 7, [3, 5, 7, 9])
    g.rect(6, 4, 14, 14, BLACK, WHITE)
    g.lines(8, 12, [6, 8, 10, 12])


def icon_paste(g):
    g.rect(2, 2, 12, 14, BROWN, ORANGE)
    g.rect(5, 1, 9, 3, DARK, LIGHT)
    g.rect(7, 6, 14, 15, BLACK, WHITE)
    g.lines(9, 12, [8, 10, 12])


def magnifier(g, cx=6, cy=6):
    g.circle(cx, cy, 4, BLACK, LBLUE)
    for d in (0, 1):
        g.line(cx + 3 + d, cy + 3, cx + 8 + d, cy + 8, BROWN)


def icon_find(g):
    magnifier(g)


def icon_replace(g):
    g.text(1, 1, "A", BLUE)
    g.text(11, 10, "B", RED)
    g.line(3, 12, 8, 12, BLACK)
    g.line(8, 12, 6, 10, BLACK)
    g.line(8, 12, 6, 14, BLACK)
    g.line(6, 4, 10, 4, GREY)


def icon_render(g):
    for x in range(1, 15):  # eye outline
        h = round(4.5 * math.sin(math.pi * (x - 1) / 13))
        g.set(x, 8 - h, BLACK)
        g.set(x, 8 + h, BLACK)
    g.circle(8, 8, 3, None, BLUE)
    g.circle(8, 8, 1.2, None, BLACK)
    g.set(7, 7, WHITE)


def icon_diameter(g):
    g.circle(8, 8, 5, BLACK, width=1.3)
    g.line(3, 13, 13, 3, BLACK)


def icon_degree(g):
    g.circle(8, 6, 3.5, BLACK, width=1.4)


def icon_plusminus(g):
    g.rect(7, 2, 8, 10, None, BLACK)
    g.rect(3, 5, 12, 6, None, BLACK)
    g.rect(3, 12, 12, 13, None, BLACK)


def icon_fraction(g):
    g.text(6, 1, "1", BLUE)
    g.line(3, 8, 12, 8, BLACK)
    g.text(6, 10, "2", BLUE)


def icon_numbering(g):
    for i, y in enumerate((1, 6, 11)):
        g.text(1, y, "123"[i], BLUE)
        g.set(4, y + 4, BLACK)
        g.line(7, y + 2, 14, y + 2, GREY)


def icon_wordwrap(g):
    g.lines(1, 14, [2], BLACK)
    g.line(1, 6, 11, 6, BLACK)
    g.arc(11, 8, 2, -90, 90, BLUE)
    g.line(11, 10, 5, 10, BLUE)
    g.line(5, 10, 7, 8, BLUE)
    g.line(5, 10, 7, 12, BLUE)
    g.lines(1, 9, [14], BLACK)


def icon_options(g):
    for k in range(8):
        a = k * math.pi / 4
        x, y = 8 + 5.5 * math.cos(a), 8 + 5.5 * math.sin(a)
        g.rect(round(x) - 1, round(y) - 1, round(x), round(y), None, DARK)
    g.circle(8, 8, 4.5, None, GREY)
    g.circle(8, 8, 1.8, None, KEY)


def icon_help(g):
    g.circle(8, 8, 7, None, BLUE)
    for (x, y) in [(6, 4), (7, 3), (8, 3), (9, 3), (10, 4), (10, 5), (9, 6), (8, 7), (8, 8)]:
        g.rect(x, y, x, y, None, WHITE)
    g.rect(8, 10, 8, 11, None, WHITE)
    g.set(6, 5, WHITE)


def icon_tolerance(g):
    g.text(5, 1, "+", GREEN)
    g.text(9, 1, "1", BLACK)
    g.text(5, 9, "-", RED)
    g.text(9, 9, "2", BLACK)
    g.rect(1, 3, 3, 11, None, BLUE)


def icon_datetime(g):
    g.circle(8, 8, 6.5, BLACK, WHITE)
    g.line(8, 8, 8, 4, BLACK)
    g.line(8, 8, 11, 9, RED)
    for (x, y) in [(8, 2), (14, 8), (8, 14), (2, 8)]:
        g.set(x, y, DARK)


def icon_units(g):
    g.line(2, 5, 13, 5, BLUE)
    g.line(13, 5, 10, 2, BLUE)
    g.line(13, 5, 10, 8, BLUE)
    g.line(2, 11, 13, 11, RED)
    g.line(2, 11, 5, 8, RED)
    g.line(2, 11, 5, 14, RED)


def icon_editmenus(g):
    g.rect(1, 1, 14, 14, DARK, WHITE)
    g.rect(2, 2, 13, 4, None, NAVY)
    g.lines(4, 11, [7, 10, 13], GREY)
    g.rect(2, 9, 13, 11, None, LBLUE)


def icon_selectall(g):
    g.rect(2, 2, 13, 13, None, LBLUE)
    for x in range(1, 15, 2):
        g.set(x, 1, BLACK)
        g.set(x, 14, BLACK)
    for y in range(1, 15, 2):
        g.set(1, y, BLACK)
        g.set(14, y, BLACK)
    g.text(6, 5, "A", NAVY)


def icon_delete(g):
    g.page()
    for d in (0, 1):
        g.line(6 + d, 7, 11 + d, 12, RED)
        g.line(11 + d, 7, 6 + d, 12, RED)


def icon_findnext(g):
    magnifier(g, 5, 5)
    g.line(10, 14, 15, 14, GREEN)
    g.line(15, 14, 13, 12, GREEN)


def icon_charmap(g):
    g.rect(0, 1, 15, 14, GREY, WHITE)
    g.text(2, 4, "A", BLACK)
    g.text(6, 4, "a", BLUE)
    g.text(11, 4, "?", RED)
    g.lines(1, 14, [10], LIGHT)


def icon_calc(g):
    g.rect(2, 0, 13, 15, DARK, LIGHT)
    g.rect(4, 2, 11, 5, BLACK, (190, 230, 190))
    for r in range(3):
        for c in range(3):
            g.rect(4 + 3 * c, 7 + 3 * r, 5 + 3 * c, 8 + 3 * r, None, DARK if c < 2 else ORANGE)


def icon_threestack(g):
    g.text(6, 0, "1", BLUE)
    g.line(2, 6, 13, 6, BLACK)
    g.text(6, 7, "2", BLUE)
    g.line(2, 12, 13, 12, BLACK)
    g.line(6, 14, 9, 14, BLUE)


def icon_about(g):
    g.circle(8, 8, 7, None, BLUE)
    g.rect(7, 3, 8, 4, None, WHITE)
    g.rect(7, 6, 8, 12, None, WHITE)


def icon_quoted(g):
    g.text(6, 3, "A", BLACK)
    g.line(2, 1, 13, 1, BLUE)
    g.line(2, 12, 13, 12, BLUE)
    g.line(2, 14, 13, 14, BLUE)


def icon_file(g):
    g.page()
    g.lines(5, 10, [6, 8, 10, 12])
    g.line(1, 8, 5, 8, GREEN)
    g.line(5, 8, 3, 6, GREEN)
    g.line(5, 8, 3, 10, GREEN)


def icon_roman(g):
    g.rect(2, 2, 3, 13, None, BLACK)
    g.rect(6, 2, 7, 13, None, BLACK)
    g.line(9, 2, 14, 13, BLACK)
    g.line(14, 2, 9, 13, BLACK)


ICONS = [
    icon_new, icon_open, icon_save, icon_print, icon_apply, icon_exit, icon_undo, icon_redo,
    icon_cut, icon_copy, icon_paste, icon_find, icon_replace, icon_render, icon_diameter, icon_degree,
    icon_plusminus, icon_fraction, icon_numbering, icon_wordwrap, icon_options, icon_help, icon_tolerance,
    icon_datetime, icon_units, icon_editmenus, icon_selectall, icon_delete, icon_findnext, icon_charmap,
    icon_calc, icon_threestack, icon_about, icon_quoted, icon_file, icon_roman,
]


def write_bmp(path, width, height, pixels):
    row_size = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):  # bottom-up
        row = bytearray()
        for x in range(width):
            r, g, b = pixels[y][x]
            row += bytes((b, g, r))
        row += b"\0" * (row_size - len(row))
        data += row
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "Support", "menu.bmp")
    rows = (len(ICONS) + COLUMNS - 1) // COLUMNS
    width, height = COLUMNS * CELL, rows * CELL
    pixels = [[KEY] * width for _ in range(height)]
    for i, draw in enumerate(ICONS):
        cell = Cell()
        draw(cell)
        ox, oy = (i % COLUMNS) * CELL, (i // COLUMNS) * CELL
        for y in range(CELL):
            for x in range(CELL):
                pixels[oy + y][ox + x] = cell.px[y][x]
    pixels[0][0] = KEY  # the loader's transparent colour
    write_bmp(out, width, height, pixels)
    print("%s: %d icons, %dx%d" % (out, len(ICONS), width, height))


if __name__ == "__main__":
    main()
