#pragma once
// A canvas set up the way the main window prepares its preview, and a
// render call with its growing callback.
#include <QImage>
#include <QPoint>
#include <QString>

#include "mtext/zorAcCanvas.h"
#include "mtext/zorAcMtextRender.h"

namespace mtexttest {

inline const QString& faceName() {
  static const QString f = QStringLiteral("Liberation Sans");
  return f;
}

// 12 pt at 96 dpi: character height 16 px.
inline void prepare(TCanvas& c, int points = 12, int penX = 0, int penY = 0) {
  SetScreenDpiY(96);
  c.resetTruncated();
  c.setSize(16, 16);
  c.setFont(faceName(), points, 0, RGBColor(0, 0, 0));
  c.setPenColor(RGBColor(0, 0, 0));
  c.setBrushColor(RGBColor(255, 255, 255));
  c.fill();
  c.moveTo(penX, penY);
}

inline bool grow(TCanvas& c, int value, TResizeType type) { return GrowCanvas(c, value, type); }

inline QPoint render(TCanvas& c, const QString& text) {
  QPoint size;
  RenderMText(c, text, size, [&c](int v, TResizeType t) { return grow(c, v, t); });
  return size;
}

// Renders on a fresh canvas at 12 pt and returns the size.
inline QPoint sizeOf(const QString& text, int points = 12) {
  TCanvas c;
  prepare(c, points);
  return render(c, text);
}

// Widths in the starting font, measured the way the renderer measures.
inline int widthOf(const QString& s, int points = 12) {
  TCanvas c;
  prepare(c, points);
  return c.textWidth(s);
}

inline bool isRed(QRgb p) { return qRed(p) > 200 && qGreen(p) < 80 && qBlue(p) < 80; }
inline bool isBlack(QRgb p) { return (p & 0xFFFFFF) == 0; }
inline bool isDark(QRgb p) { return qMax(qRed(p), qMax(qGreen(p), qBlue(p))) < 128; }

inline int countPixels(const QImage& img, const QRect& r, bool (*pred)(QRgb)) {
  int n = 0;
  const QRect box = r.intersected(img.rect());
  for (int y = box.top(); y <= box.bottom(); ++y)
    for (int x = box.left(); x <= box.right(); ++x)
      if (pred(img.pixel(x, y))) ++n;
  return n;
}

}  // namespace mtexttest
