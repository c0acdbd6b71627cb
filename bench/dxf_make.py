#!/usr/bin/python3
"""Writes the DXF listing benchmark's drawing with ezdxf: R2018 (UTF-8), 5 000
MTEXT in model space, paper space and blocks, lines up to the size asked.

    /usr/bin/python3 bench/dxf_make.py OUT.dxf [MEGABYTES=20] [MTEXTS=5000]
"""
import os
import sys

import ezdxf


def main():
    path = sys.argv[1]
    megabytes = float(sys.argv[2]) if len(sys.argv) > 2 else 20
    count = int(sys.argv[3]) if len(sys.argv) > 3 else 5000
    doc = ezdxf.new("R2018")
    msp = doc.modelspace()
    paper = doc.layout("Layout1")
    blocks = [doc.blocks.new(f"БЛОК{i}") for i in range(50)]
    for i in range(count):
        text = (f"{{\\fArial|b1;Позиция {i}}}\\PТекст с допуском \\S+0,1^ -0,2; "
                f"и дробью \\S1/2; %%c{i % 90}, {'длинная строка ' * (i % 12)}")
        where = msp if i % 10 < 7 else paper if i % 10 < 9 else blocks[i % 50]
        where.add_mtext(text, dxfattribs={"layer": f"Слой{i % 20}", "char_height": 2.5})
    # Lines are a drawing's bulk; about 125 bytes each in R2018.
    lines = max(0, int((megabytes * 1e6 - 5e5 - count * 400) / 125))
    for i in range(lines):
        msp.add_line((i, 0), (i, 10), dxfattribs={"layer": f"Контур{i % 7}"})
    doc.saveas(path)
    print(f"{path}: {os.path.getsize(path) / 1e6:.1f} MB, {count} MTEXT, {lines} LINE")


if __name__ == "__main__":
    main()
