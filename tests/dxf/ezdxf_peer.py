"""ezdxf, the peer the DXF tests check against (Debian's python3-ezdxf).

  ezdxf_peer.py make DIR     writes r2000_1251.dxf, r2018_utf8.dxf and prints
                             their MTEXT handles as JSON {file: {label: handle}}
  ezdxf_peer.py read FILE    reads FILE back, runs the auditor and prints JSON:
                             {"errors": [...], "mtext": {handle: raw text}}
"""
import json
import sys

import ezdxf

LONG = ("Технические требования: размеры для справок, α ≤ 5°, \\S1^ 2; и допуск "
        "\\S+0,1^ -0,2; " * 5).strip()
TEXTS = {
    "model": "Привет, \\Lмир\\l!\\PВторая строка",
    "paper": "Лист: масштаб 1:100",
    "paper2": "Второй лист",
    "block": "{\\C1;Штамп} ^Iтаб",
    "long": LONG,
}


def make(folder):
    handles = {}
    for name, version, codepage in (("r2000_1251.dxf", "R2000", "cp1251"),
                                    ("r2018_utf8.dxf", "R2018", None)):
        doc = ezdxf.new(version)
        if codepage:
            doc.encoding = codepage
        msp = doc.modelspace()
        h = {}
        h["model"] = msp.add_mtext(TEXTS["model"], dxfattribs={"layer": "Текст"}).dxf.handle
        h["long"] = msp.add_mtext(TEXTS["long"]).dxf.handle
        h["paper"] = doc.layout("Layout1").add_mtext(TEXTS["paper"]).dxf.handle
        h["paper2"] = doc.layouts.new("Лист2").add_mtext(TEXTS["paper2"]).dxf.handle
        blk = doc.blocks.new("ШТАМП")
        h["block"] = blk.add_mtext(TEXTS["block"], dxfattribs={"layer": "Рамка"}).dxf.handle
        msp.add_blockref("ШТАМП", (0, 0))
        msp.add_line((0, 0), (10, 10))
        doc.saveas(f"{folder}/{name}")
        handles[name] = h
    print(json.dumps(handles, ensure_ascii=False))


def read(path):
    doc = ezdxf.readfile(path)
    auditor = doc.audit()
    texts = {}
    for layout in doc.layouts_and_blocks():
        for e in layout.query("MTEXT"):
            texts[e.dxf.handle] = e.text
    print(json.dumps({"errors": [str(e.message) for e in auditor.errors], "mtext": texts},
                     ensure_ascii=False))


if __name__ == "__main__":
    {"make": make, "read": read}[sys.argv[1]](sys.argv[2])
