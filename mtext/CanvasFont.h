#pragma once
// The canvas's font cache: a created font with its metrics, its advances and
// the coverage of its characters, looked up by a small key.  Internal to
// mtext/zorAcCanvas.cpp.
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRawFont>

#include <array>
#include <cstdlib>
#include <memory>
#include <vector>

namespace mtextcanvas {

// Pixel size used for a font asked with character height 0 (the platform
// default of the classic API is about 12 pt at 96 dpi).
constexpr int DefaultCharHeight = 16;
// Glyphs above this size cost a lot to rasterise and are useless in a preview.
constexpr int MaxCharHeight = 4096;
// Fonts created in one run are kept; a document that asks for thousands of
// different heights must not keep thousands of font engines alive.
constexpr int MaxCachedFonts = 256;

struct TFontKey {
  int face;  // index into the canvas's list of faces: compared without the name
  int charHeight;
  int width;
  int weight;
  bool italic, underline, strikeOut;
  bool operator==(const TFontKey& o) const {
    return charHeight == o.charHeight && width == o.width && weight == o.weight && italic == o.italic &&
           underline == o.underline && strikeOut == o.strikeOut && face == o.face;
  }
};

inline size_t qHash(const TFontKey& k, size_t seed = 0) {
  return seed ^ (size_t(k.face) * 1000003u + size_t(k.charHeight) * 131u + size_t(k.width) * 7919u +
                 size_t(k.weight) + (k.italic ? 1u << 20 : 0u) + (k.underline ? 1u << 21 : 0u) +
                 (k.strikeOut ? 1u << 22 : 0u));
}

// A character's coverage: its inked pixels, relative to the cell's top-left
// corner, in row order.  A list rather than a mask, so drawing never tests
// the empty pixels of the glyph box.
struct TGlyph {
  struct TInk {
    qint16 x, y;
    quint8 a;
  };
  std::vector<TInk> ink;  // empty for a character without ink
  int left = 0, top = 0, right = -1, bottom = -1;  // box of the ink, inclusive
  // The ink as offsets into a surface of one stride: the usual surface keeps
  // its width for a whole render.
  mutable std::vector<qsizetype> offsets;
  mutable qsizetype offsetStride = -1;
  void prepare(qsizetype stride) const {
    if (offsetStride == stride) return;
    offsets.resize(ink.size());
    for (size_t i = 0; i < ink.size(); ++i) offsets[i] = ink[i].y * stride + ink[i].x;
    offsetStride = stride;
  }
};

// Glyphs up to this cell height are drawn from cached masks; larger ones go
// through QPainter each time (their masks would be big and they are rare).
constexpr int MaxMaskedCellHeight = 160;

// The scripts measured without a font of their own: Common (with Latin),
// Greek and Cyrillic.  A font's primary face may differ between scripts, so
// each has its own.
constexpr int MeasuredScripts = 3;
inline int measuredScript(char32_t u) {
  const int s = QChar::script(u);
  return s <= QChar::Script_Latin ? 0 : s == QChar::Script_Greek ? 1 : s == QChar::Script_Cyrillic ? 2 : -1;
}

// The faces of one family, weight, slant and stretch, loaded at one size.
// Loading a font asks the platform's font configuration (a long round trip
// per size); a face cloned at another size skips it and gives the same
// metrics.  A face is the font's first choice for its script, the one the
// font measures with when it has the character; without merging no list of
// fallback fonts is looked up for it.
struct TFontFace {
  QFont font;
  std::array<QRawFont, MeasuredScripts> raws;
  bool loaded[MeasuredScripts] = {};
  explicit TFontFace(const QFont& f) : font(f) { font.setStyleStrategy(QFont::NoFontMerging); }
  const QRawFont& raw(int script) {
    if (!loaded[script]) {
      static constexpr QFontDatabase::WritingSystem systems[MeasuredScripts] = {
          QFontDatabase::Any, QFontDatabase::Greek, QFontDatabase::Cyrillic};
      raws[size_t(script)] = QRawFont::fromFont(font, systems[script]);
      loaded[script] = true;
    }
    return raws[size_t(script)];
  }
  // The script's face is the very font engine of the Common one.
  bool sameAsCommon(int script) { return script > 0 && raw(script) == raw(0); }
};

// One created font with its metrics and lazily filled advance and glyph tables.
// Metrics come from the shared face scaled to this size when there is one;
// the font itself is loaded only when it draws or measures a character the
// face lacks.
struct TFontEntry {
  TFontKey key;
  QFont font;
  QFontMetrics fm;
  int ascent = 0;
  int descent = 0;
  int avgWidth = 0;
  int overhang = 0;  // slack for glyphs reaching past their advance
  // Two-level table over the BMP: 256 pages of 256 advances, -1 = not measured.
  std::array<std::unique_ptr<std::array<int, 256>>, 256> pages;
  std::array<std::unique_ptr<std::array<std::unique_ptr<TGlyph>, 256>>, 256> glyphPages;
  bool masked = true;
  std::shared_ptr<TFontFace> face;  // null: everything from the font
  std::array<QRawFont, MeasuredScripts> raws;
  bool scaled[MeasuredScripts] = {};

  TFontEntry(const TFontKey& k, const QFont& f, std::shared_ptr<TFontFace> shared)
      : key(k), font(f), fm(f), face(std::move(shared)) {
    const QRawFont* r = face ? &raw(0) : nullptr;
    if (r && r->isValid()) {
      ascent = qRound(r->ascent());
      descent = qRound(r->descent());
      avgWidth = qRound(r->averageCharWidth());
    } else {
      face.reset();
      ascent = fm.ascent();
      descent = fm.descent();
      avgWidth = fm.averageCharWidth();
    }
    overhang = qMax(4, ascent + descent);  // the font's height
    masked = ascent + descent <= MaxMaskedCellHeight;
  }

  const QRawFont& raw(int script) {
    if (!scaled[script]) {
      if (face->sameAsCommon(script)) {
        raws[size_t(script)] = raw(0);  // one engine at this size, not two
      } else {
        QRawFont r = face->raw(script);
        r.setPixelSize(font.pixelSize());
        raws[size_t(script)] = r;
      }
      scaled[script] = true;
    }
    return raws[size_t(script)];
  }

  // The advance as the font's metrics give it.
  int measure(QChar ch) {
    if (ch.isSurrogate()) return 0;
    const char32_t u = ch.unicode();
    const int script = face && QChar::category(u) != QChar::Mark_NonSpacing ? measuredScript(u) : -1;
    if (script >= 0) {
      const QRawFont& r = raw(script);
      quint32 glyph = 0;
      int count = 1;
      QPointF advance;
      if (r.isValid() && r.supportsCharacter(ch) && r.glyphIndexesForChars(&ch, 1, &glyph, &count) && count == 1 &&
          r.advancesForGlyphIndexes(&glyph, &advance, 1, QRawFont::SeparateAdvances))
        return qRound(advance.x());
    }
    return fm.horizontalAdvance(ch);
  }

  const TGlyph& glyph(QChar ch) {
    const ushort u = ch.unicode();
    auto& page = glyphPages[u >> 8];
    if (!page) page = std::make_unique<std::array<std::unique_ptr<TGlyph>, 256>>();
    auto& g = (*page)[u & 0xFF];
    if (!g) g = makeGlyph(ch);
    return *g;
  }

  // Draws the character once, the way QPainter would, and keeps its coverage.
  std::unique_ptr<TGlyph> makeGlyph(QChar ch) {
    const int pad = overhang;
    return rasterize(ch, QRect(-pad, -pad, advance(ch) + 2 * pad, ascent + descent + 2 * pad));
  }

  // The coverage of the character inside box, given relative to the top-left
  // corner of its cell.
  std::unique_ptr<TGlyph> rasterize(QChar ch, const QRect& box) const {
    auto g = std::make_unique<TGlyph>();
    if (ch.isSurrogate()) return g;  // half a pair has no glyph of its own
    QImage tmp(box.size(), QImage::Format_ARGB32_Premultiplied);
    tmp.fill(0);
    {
      QPainter p(&tmp);
      p.setFont(font);
      p.setPen(Qt::black);
      p.drawText(QPoint(-box.left(), ascent - box.top()), QString(ch));
    }
    int l = tmp.width(), r = -1, t = tmp.height(), b = -1;
    for (int y = 0; y < tmp.height(); ++y) {
      const QRgb* line = reinterpret_cast<const QRgb*>(tmp.constScanLine(y));
      for (int x = 0; x < tmp.width(); ++x)
        if (qAlpha(line[x])) {
          l = qMin(l, x);
          r = qMax(r, x);
          t = qMin(t, y);
          b = qMax(b, y);
        }
    }
    if (r < 0) return g;
    for (int y = t; y <= b; ++y) {
      const QRgb* src = reinterpret_cast<const QRgb*>(tmp.constScanLine(y));
      for (int x = l; x <= r; ++x)
        if (const int a = qAlpha(src[x]))
          g->ink.push_back({qint16(x + box.left()), qint16(y + box.top()), quint8(a)});
    }
    g->ink.shrink_to_fit();
    g->left = l + box.left();
    g->right = r + box.left();
    g->top = t + box.top();
    g->bottom = b + box.top();
    return g;
  }

  int advance(QChar ch) {
    const ushort u = ch.unicode();
    auto& page = pages[u >> 8];
    if (!page) {
      page = std::make_unique<std::array<int, 256>>();
      page->fill(-1);
    }
    int& a = (*page)[u & 0xFF];
    if (a < 0) a = measure(ch);
    return a;
  }
};

// x * a / 255 + y * b / 255 for all four channels at once, two at a time.
inline uint interpolate255(uint x, uint a, uint y, uint b) {
  uint t = (x & 0xFF00FFu) * a + (y & 0xFF00FFu) * b;
  t = ((t + ((t >> 8) & 0xFF00FFu) + 0x800080u) >> 8) & 0xFF00FFu;
  uint u = ((x >> 8) & 0xFF00FFu) * a + ((y >> 8) & 0xFF00FFu) * b;
  u = (u + ((u >> 8) & 0xFF00FFu) + 0x800080u) & 0xFF00FF00u;
  return u | t;
}

inline int clampPixelSize(int charHeight) {
  int px = charHeight == 0 ? DefaultCharHeight : std::abs(charHeight);
  return qBound(1, px, MaxCharHeight);
}

}  // namespace mtextcanvas
