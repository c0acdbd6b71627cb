#pragma once
// The drawing surface the MText renderer draws on: a QImage with a pen
// position, pen, brush and a current font, in the manner of a classic 2-D
// canvas.  The preview bitmap and the menu drawer's bitmap are such canvases.
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <array>
#include <memory>

#include "core/Bitmap.h"
#include "core/Colors.h"

class TCanvas {
 public:
  // Largest surface ever allocated.  The renderer may ask for more (a very long
  // document); the surface then stops growing, drawing beyond it is dropped and
  // truncated() reports it.  16384 x 32767 x 4 bytes = 2 GiB would be too much,
  // so the pixel budget below caps the area as well.
  static constexpr int MaxWidth = 16384;
  static constexpr int MaxHeight = 32767;
  static constexpr qint64 MaxPixels = 64LL * 1024 * 1024;  // 256 MiB of ARGB32
  // Bound of the coordinates and extents handed to the canvas (the renderer
  // saturates its own there): far off any surface, and a few of them still
  // add up without overflowing an int.
  static constexpr int MaxCoord = 1 << 28;

  TCanvas();
  ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  // --- surface
  int width() const;
  int height() const;
  // Resizes keeping what was drawn; new area takes the brush colour.  Requests
  // above the caps are clamped and remembered as truncated.  With a window
  // (below) only the size of the surface changes, not the pixels kept.
  void setSize(int w, int h);
  // Keeps only the pixels of the surface inside band: the surface may then be
  // of any size (no caps), drawing elsewhere is skipped, and image() holds the
  // band, its top-left pixel being the surface's band.topLeft().  The memory of
  // a band of the same size is reused.  A band of no area draws nothing at
  // all: measuring only.
  void setWindow(const QRect& band);
  void clearWindow();               // back to keeping the whole surface
  QRect window() const;             // the band; the whole surface when not windowed
  bool windowed() const;
  // Keeps drawing inside r as well (surface coordinates); a null rectangle
  // lifts the limit.
  void setClip(const QRect& r);
  // Changes whenever pixels may have changed (drawing, fills, a new band):
  // a caller that kept what it drew knows whether it is still there.
  quint64 stamp() const;
  void fill();                      // whole surface in the brush colour
  void fillRect(const QRect& r);    // in the brush colour
  const QImage& image();            // ends any painting in progress
  bool truncated() const;           // a size request was clamped since resetTruncated()
  void resetTruncated();

  // --- pen
  // Asked per character: kept here, not behind the private part.
  QPoint penPos() const { return FPenPos; }
  void moveTo(int x, int y) { FPenPos = QPoint(x, y); }
  void lineTo(int x, int y);        // one-pixel line in the pen colour, end point excluded
  TColor penColor() const;
  void setPenColor(TColor c);
  TColor brushColor() const;
  void setBrushColor(TColor c);

  // --- font
  // The base font of a caller: face, size in points (through the screen
  // resolution), style and colour.
  void setFont(const QString& face, int pointSize, TFontStyles style, TColor color);
  // A font from a classic font description.  charHeight is the character
  // height in pixels (cell height minus internal leading); width 0 = natural.
  // The orientation is taken for the description's sake and not drawn: the
  // preview keeps every line level.
  void createFont(const QString& face, int charHeight, int width, int orientation, int weight,
                  bool italic, bool underline, bool strikeOut);
  QString fontName() const;
  int fontCharHeight() const;       // character height in pixels
  void setFontCharHeight(int px);   // nothing else changes
  TFontStyles fontStyle() const;
  TColor fontColor() const;
  void setFontColor(TColor c);
  int averageCharWidth() const;
  int textWidth(QStringView s) const;
  int textHeight(const QString& s) const;  // ascent + descent of the font
  // Cached advance of one character: asked per character, so read here
  // without the private part when it was measured before.
  int charWidth(QChar ch) const {
    const char16_t u = ch.unicode();
    if (const TAdvancePage* page = FAdvances[u >> 8].get())
      if (const int a = (*page)[u & 0xFF]; a >= 0) return a;
    return measureChar(ch);
  }
  int ascent() const;
  int descent() const;
  // How far the ink of the current font's characters may reach above the top
  // or below the bottom of a line box holding them (cells, overhangs, stacks).
  int inkReach() const;
  // The current font and the font and pen colours, to be put back later (a
  // renderer that measures a text before drawing it starts both passes alike).
  struct TFontSnapshot {
    QString face;
    int charHeight = 0, width = 0, weight = 400;
    bool italic = false, underline = false, strikeOut = false;
    TColor fontColor = 0, penColor = 0;
    bool operator==(const TFontSnapshot& o) const {
      return charHeight == o.charHeight && width == o.width && weight == o.weight &&
             italic == o.italic && underline == o.underline && strikeOut == o.strikeOut &&
             fontColor == o.fontColor && penColor == o.penColor && face == o.face;
    }
  };
  TFontSnapshot saveFont() const;
  void restoreFont(const TFontSnapshot& f);

  // --- drawing
  // Single line, no clipping, in the font colour; flags are Qt::Alignment bits.
  void drawText(const QRect& r, const QString& s, int alignFlags);
  // One character with its cell's top-left corner at (x, top).
  void drawChar(int x, int top, QChar ch);
  void ellipse(const QRect& r);     // outline in pen colour, interior in brush colour
  void setTransparentBackground();

 private:
  // The current font's advances in pages of 256 characters; a page not yet
  // used is null, an advance not yet measured is -1.
  using TAdvancePage = std::array<int, 256>;
  int measureChar(QChar ch) const;
  void fontChanged();  // after every change of the current font

  struct Impl;
  std::unique_ptr<Impl> d;
  QPoint FPenPos;
  const std::unique_ptr<TAdvancePage>* FAdvances = nullptr;
};

// The screen's vertical logical resolution, read once (the first call) and
// then fixed for the run.  96 when there is no screen.
int ScreenDpiY();
// For tests and headless use: fix the resolution before the first read.
void SetScreenDpiY(int dpi);

// The size callback of every bitmap the renderer draws on: grows the canvas by
// the shared rule (core/Bitmap.h); true when the surface changed.
bool GrowCanvas(TCanvas& canvas, int AValue, TResizeType AResizeType);
