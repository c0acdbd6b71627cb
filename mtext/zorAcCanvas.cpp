#include "mtext/zorAcCanvas.h"

#include "mtext/CanvasFont.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QHash>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cmath>
#include <vector>

using namespace mtextcanvas;

namespace {

int GScreenDpiY = 0;

}  // namespace

namespace {

// Pixel memory of the surface.  It outlives a shrink, so that a preview
// rendered again (16 x 16, then growing) reuses it instead of paying for
// fresh pages and copies on every growth step.
struct TPixelBuffer {
  uchar* data = nullptr;
  qsizetype capacity = 0;
  explicit TPixelBuffer(qsizetype bytes) : data(static_cast<uchar*>(std::malloc(size_t(bytes)))), capacity(bytes) {}
  ~TPixelBuffer() { std::free(data); }
};

// Every QImage over the buffer keeps it alive through its own reference.
void releaseBuffer(void* info) { delete static_cast<std::shared_ptr<TPixelBuffer>*>(info); }

void fillPixels(uchar* row, int count, QRgb c) {
  if (count <= 0) return;
  const uchar b = uchar(c);
  if (uchar(c >> 8) == b && uchar(c >> 16) == b && uchar(c >> 24) == b) {
    memset(row, b, size_t(count) * 4);  // white and black backgrounds: the library's fastest fill
    return;
  }
  std::fill_n(reinterpret_cast<QRgb*>(row), count, c);
}

}  // namespace

struct TCanvas::Impl {
  QImage FImage;
  // Size and bits of FImage, kept here because the hot paths ask for them per
  // glyph.  FBits is fetched lazily: bits() detaches from any copy handed out.
  int FW = 0;
  int FH = 0;
  uchar* FBits = nullptr;
  void setImage(QImage img) {
    FImage = std::move(img);
    FW = FImage.width();
    FH = FImage.height();
    FBits = nullptr;
    if (!FWindowed) {
      FLW = FW;
      FLH = FH;
    }
    updateClip();
  }

  // A window keeps a band of a larger surface: the surface's size is FLW x FLH,
  // the buffer's pixel (0, 0) is the surface's (FOX, FOY).  Without one the two
  // coincide.  Drawing is clipped to the part of the surface in the buffer,
  // in buffer coordinates: FCL <= x < FCR, FCT <= y < FCB.
  bool FWindowed = false;
  QRect FClip;         // drawing kept inside it too, in surface coordinates; null: no such limit
  quint64 FStamp = 0;  // counts the changes of pixels
  int FOX = 0, FOY = 0;
  int FLW = 0, FLH = 0;
  int FCL = 0, FCT = 0, FCR = 0, FCB = 0;
  void updateClip() {
    FCL = qMax(0, -FOX);
    FCT = qMax(0, -FOY);
    FCR = int(qMin<qint64>(FW, qint64(FLW) - FOX));
    FCB = int(qMin<qint64>(FH, qint64(FLH) - FOY));
    if (!FClip.isNull()) {
      FCL = int(qMax<qint64>(FCL, qint64(FClip.left()) - FOX));
      FCT = int(qMax<qint64>(FCT, qint64(FClip.top()) - FOY));
      FCR = int(qMin<qint64>(FCR, qint64(FClip.right()) + 1 - FOX));
      FCB = int(qMin<qint64>(FCB, qint64(FClip.bottom()) + 1 - FOY));
    }
    if (FPainter && FWindowed) FPainter->setClipRect(clipRect());
  }
  QRect clipRect() const { return FCR > FCL && FCB > FCT ? QRect(FCL, FCT, FCR - FCL, FCB - FCT) : QRect(); }
  // Nothing drawn so far needs keeping: a resize copies no rows.
  void discard() {
    FFillFrom = 0;
    FPendingColor = 0xFF000000u | FBrushQColor.rgb();
  }
  uchar* bits() {
    if (!FBits) FBits = FImage.bits();
    return FBits;
  }
  std::shared_ptr<TPixelBuffer> FBuffer;
  // Rows from FFillFrom down are owed a fill with FPendingColor.  Filling a
  // grown surface only when drawing reaches it keeps those rows in the cache
  // for the glyphs that follow, instead of streaming the whole area twice.
  int FFillFrom = 0;
  QRgb FPendingColor = 0xFFFFFFFFu;

  void materialize(int rowEnd) {
    rowEnd = qMin(rowEnd, FH);
    if (FFillFrom >= rowEnd) return;
    const qsizetype stride = qsizetype(FW) * 4;
    uchar* data = bits();
    for (int y = qMax(0, FFillFrom); y < rowEnd; ++y) fillPixels(data + y * stride, FW, FPendingColor);
    FFillFrom = rowEnd;
  }
  void materializeAll() { materialize(FH); }

  QImage wrap(int w, int h) {
    return QImage(FBuffer->data, w, h, qsizetype(w) * 4, QImage::Format_RGB32, releaseBuffer,
                  new std::shared_ptr<TPixelBuffer>(FBuffer));
  }

  // The image is ours alone: no copy handed out is still alive.
  bool bufferExclusive() const {
    if (!FBuffer) return false;
    if (FImage.isNull()) return FBuffer.use_count() == 1;
    return FImage.constBits() == FBuffer->data && FImage.isDetached() && FBuffer.use_count() == 2;
  }

  void resize(int w, int h) {
    const QRgb brush = 0xFF000000u | FBrushQColor.rgb();
    if (FFillFrom < FH && FPendingColor != brush) materializeAll();
    const int oldW = FW, oldH = FH;
    const qsizetype need = qsizetype(w) * h * 4;
    const int rows = qMin(qMin(h, oldH), qMax(0, FFillFrom));
    const qsizetype keep = qsizetype(qMin(w, oldW)) * 4;
    const qsizetype newStride = qsizetype(w) * 4;
    if (bufferExclusive() && FBuffer->capacity >= need) {
      // Rearrange the rows in place for the new stride.
      const qsizetype oldStride = qsizetype(oldW) * 4;
      uchar* data = FBuffer->data;
      setImage(QImage());
      if (newStride > oldStride) {
        for (int y = rows - 1; y >= 0; --y) memmove(data + y * newStride, data + y * oldStride, size_t(keep));
      } else if (newStride < oldStride) {
        for (int y = 0; y < rows; ++y) memmove(data + y * newStride, data + y * oldStride, size_t(keep));
      }
      for (int y = 0; y < rows; ++y) fillPixels(data + y * newStride + keep, int((newStride - keep) / 4), brush);
      setImage(wrap(w, h));
      FFillFrom = rows;
      FPendingColor = brush;
      return;
    }
    // Room for growing by half again before the next move, within the cap.
    const qsizetype capacity = qMin(need + need / 2, qMax(need, qsizetype(TCanvas::MaxPixels) * 4));
    auto buffer = std::make_shared<TPixelBuffer>(capacity);
    if (!buffer->data) {  // out of memory: keep the old surface rather than crash
      FTruncated = true;
      return;
    }
    uchar* data = buffer->data;
    for (int y = 0; y < rows; ++y) {
      memcpy(data + y * newStride, FImage.constScanLine(y), size_t(keep));
      fillPixels(data + y * newStride + keep, int((newStride - keep) / 4), brush);
    }
    setImage(QImage());
    FBuffer = std::move(buffer);
    setImage(wrap(w, h));
    FFillFrom = rows;
    FPendingColor = brush;
  }
  std::unique_ptr<QPainter> FPainter;
  bool FTruncated = false;

  TColor FPenColor = 0;
  TColor FBrushColor = RGBColor(255, 255, 255);
  QColor FPenQColor = Qt::black;
  QColor FBrushQColor = Qt::white;

  TColor FFontColor = 0;
  QColor FFontQColor = Qt::black;
  QString FFontName;

  QHash<TFontKey, TFontEntry*> FFonts;
  std::vector<std::unique_ptr<TFontEntry>> FOwned;
  TFontEntry* FFont = nullptr;

  // What the painter currently has, so repeated draws skip redundant state changes.
  const TFontEntry* FPainterFont = nullptr;
  QColor FPainterPen;
  bool FPainterPenValid = false;

  QString FOneChar = QString(1, QChar(' '));

  Impl() { selectFont(QString(), 0, 0, 400, false, false, false); }
  ~Impl() { endPaint(); }

  void endPaint() {
    if (FPainter) {
      FPainter->end();
      FPainter.reset();
    }
    FPainterFont = nullptr;
    FPainterPenValid = false;
  }

  QPainter* painter() {
    if (FImage.isNull()) return nullptr;
    if (!FPainter) {
      FPainter = std::make_unique<QPainter>(&FImage);
      FBits = nullptr;  // beginning to paint may have detached the image
      FPainter->setRenderHint(QPainter::Antialiasing, false);
      FPainter->setBackgroundMode(Qt::TransparentMode);
      if (FWindowed) FPainter->setClipRect(clipRect());
      FPainterFont = nullptr;
      FPainterPenValid = false;
    }
    return FPainter.get();
  }

  void setPainterPen(QPainter* p, const QColor& c) {
    if (!FPainterPenValid || FPainterPen != c) {
      QPen pen(c, 0);
      pen.setCapStyle(Qt::FlatCap);
      p->setPen(pen);
      FPainterPen = c;
      FPainterPenValid = true;
    }
  }

  void setPainterFont(QPainter* p) {
    if (FPainterFont != FFont) {
      p->setFont(FFont->font);
      FPainterFont = FFont;
    }
  }

  // The fonts by a few bits of their key: a text switching between many
  // heights finds them mostly here, without the hash table.
  std::array<TFontEntry*, 256> FQuick{};
  TFontEntry* lookupFont(const TFontKey& key) {
    const size_t h = qHash(key);
    TFontEntry*& slot = FQuick[(h ^ (h >> 12) ^ (h >> 20)) & 0xFF];  // the styles' bits too
    if (slot && slot->key == key) return slot;
    TFontEntry* e = FFonts.value(key, nullptr);
    if (!e) e = createFontEntry(key);
    slot = e;  // after creating: dropping the fonts empties every slot
    return e;
  }

  // Drops every font but the current one; the painter is told to re-read it.
  // With faces, the list of faces starts again with the current one's.
  void dropFonts(bool faces) {
    std::unique_ptr<TFontEntry> keep;
    for (auto& e : FOwned)
      if (e.get() == FFont) keep = std::move(e);
    FOwned.clear();
    FFonts.clear();
    FQuick.fill(nullptr);
    FPainterFont = nullptr;
    FFontFaces.clear();  // a font still in use holds its own
    if (faces) {
      FLastFace = -1;
      if (keep) {
        const QString current = FFaces[size_t(keep->key.face)];
        FFaces.assign(1, current);
        keep->key.face = 0;
      } else {
        FFaces.clear();
      }
    }
    if (keep) {
      FFonts.insert(keep->key, keep.get());
      FOwned.push_back(std::move(keep));
    }
  }

  TFontEntry* createFontEntry(const TFontKey& key) {
    if (FOwned.size() >= size_t(MaxCachedFonts)) dropFonts(false);
    const QString& face = FFaces[size_t(key.face)];
    QFont f(face.isEmpty() ? QGuiApplication::font().family() : face);
    f.setPixelSize(clampPixelSize(key.charHeight));
    f.setWeight(key.weight >= 700 ? QFont::Bold : QFont::Normal);
    f.setItalic(key.italic);
    f.setUnderline(key.underline);
    f.setStrikeOut(key.strikeOut);
    f.setKerning(false);
    f.setHintingPreference(QFont::PreferNoHinting);
    if (key.width > 0) {
      // The width is an average character width; reach it by stretching the
      // natural font, which really widens every glyph.
      TFontKey natural = key;
      natural.width = 0;
      const int avg = lookupFont(natural)->avgWidth;
      if (avg > 0) f.setStretch(qBound(1, int(std::lround(100.0 * key.width / avg)), 4000));
    }
    auto e = std::make_unique<TFontEntry>(key, f, fontFace(key, f));
    TFontEntry* raw = e.get();
    FFonts.insert(key, raw);
    FOwned.push_back(std::move(e));
    return raw;
  }

  // Faces by family, weight, slant and stretch, each loaded once at the first
  // size asked.
  QHash<TFontKey, std::shared_ptr<TFontFace>> FFontFaces;
  std::shared_ptr<TFontFace> fontFace(const TFontKey& key, const QFont& f) {
    const TFontKey k{key.face, 0, f.stretch(), key.weight >= 700 ? 700 : 400, key.italic, false, false};
    std::shared_ptr<TFontFace>& face = FFontFaces[k];
    if (!face) face = std::make_shared<TFontFace>(f);
    return face;
  }

  // The faces named so far; a render names two or three.
  std::vector<QString> FFaces;
  int FLastFace = -1;
  int faceId(const QString& face) {
    if (FLastFace >= 0 && FFaces[size_t(FLastFace)] == face) return FLastFace;
    for (size_t i = 0; i < FFaces.size(); ++i)
      if (FFaces[i] == face) return FLastFace = int(i);
    // A text naming face after face: start the list again, so that the
    // search stays short.
    if (FFaces.size() >= 32) dropFonts(true);
    FFaces.push_back(face);
    return FLastFace = int(FFaces.size() - 1);
  }

  void selectFont(const QString& face, int charHeight, int width, int weight, bool italic, bool underline,
                  bool strikeOut) {
    // Most format codes and every closing brace ask again for the font in use.
    if (FFont && FFont->key == TFontKey{FFont->key.face, charHeight, qMax(0, width), weight, italic, underline,
                                         strikeOut} && FFontName == face)
      return;
    FFontName = face;
    FFont = lookupFont(TFontKey{faceId(face), charHeight, qMax(0, width), weight, italic, underline, strikeOut});
  }

  // Blends a cached glyph in the font colour straight into the surface.
  void blit(int x, int top, const TGlyph& g) {
    if (g.ink.empty()) return;
    if (x + g.right < FCL || x + g.left >= FCR || top + g.bottom < FCT || top + g.top >= FCB) return;
    materialize(top + g.bottom + 1);
    const uint solid = 0xFF000000u | FFontQColor.rgb();
    // Most covered pixels still hold the background; those take the colour
    // from a table, only pixels already inked are blended.
    const uint bg = FPendingColor;
    const uint* table = blendTable(solid, bg);
    const qsizetype stride = FW;
    QRgb* origin = reinterpret_cast<QRgb*>(bits());
    const bool inside = x + g.left >= FCL && x + g.right < FCR && top + g.top >= FCT && top + g.bottom < FCB;
    if (inside) {
      g.prepare(stride);
      QRgb* base = origin + top * stride + x;
      const qsizetype* off = g.offsets.data();
      for (size_t i = 0, n = g.offsets.size(); i < n; ++i) {
        QRgb* dst = base + off[i];
        const uint a = g.ink[i].a;
        const uint v = *dst;
        *dst = v == bg ? table[a] : interpolate255(solid, a, v, 255 - a);
      }
      return;
    }
    for (const TGlyph::TInk& k : g.ink) {
      const int px = x + k.x, py = top + k.y;
      if (px < FCL || px >= FCR || py < FCT || py >= FCB) continue;
      QRgb* dst = origin + py * stride + px;
      const uint v = *dst;
      *dst = v == bg ? table[k.a] : interpolate255(solid, k.a, v, 255 - k.a);
    }
  }

  // Colour over background for every coverage, for the last pair asked.
  std::array<uint, 256> FBlend{};
  uint FBlendSolid = 0, FBlendBg = 0;
  bool FBlendValid = false;
  const uint* blendTable(uint solid, uint bg) {
    if (!FBlendValid || FBlendSolid != solid || FBlendBg != bg) {
      for (uint a = 0; a < 256; ++a) FBlend[a] = interpolate255(solid, a, bg, 255 - a);
      FBlendSolid = solid;
      FBlendBg = bg;
      FBlendValid = true;
    }
    return FBlend.data();
  }

  void drawCharAt(int x, int top, QChar ch) {
    TFontEntry* f = FFont;
    if (f->masked) {
      // Masks are blended straight into the bits; the raster painter draws
      // synchronously, so both kinds of drawing keep their order.
      if (FW > 0) blit(x, top, f->glyph(ch));
      return;
    }
    if (drawLargeGlyph(x, top, ch)) return;
    QPainter* p = painter();
    if (!p) return;
    materialize(top + f->ascent + f->descent + f->overhang + 1);
    setPainterFont(p);
    setPainterPen(p, FFontQColor);
    FOneChar[0] = ch;
    p->drawText(QPoint(x, top + f->ascent), FOneChar);
  }

  // A glyph too large to keep as a mask is rasterised alone, at its own
  // origin, and blended as a mask is: drawn by the painter into the surface,
  // its antialiasing changed by a pixel here and there with where the surface
  // or the kept band cut it.  Glyphs larger still go to the painter.
  bool drawLargeGlyph(int x, int top, QChar ch) {
    constexpr qint64 MaxLargeGlyphPixels = 4 * 1024 * 1024;
    const TFontEntry* f = FFont;
    const int pad = qMax(4, f->fm.height() / 4);
    // Around the baseline origin, moved to the cell's top-left corner.
    const QRect box = f->fm.boundingRect(ch).adjusted(-pad, -pad, pad, pad).translated(0, f->ascent);
    // Ink offsets are 16-bit.
    if (qint64(box.width()) * box.height() > MaxLargeGlyphPixels || box.width() > 32000 || box.height() > 32000)
      return false;
    if (!outside(x + box.left(), top + box.top(), x + box.right(), top + box.bottom()))
      blit(x, top, *f->rasterize(ch, box));
    return true;
  }

  bool outside(int left, int top, int right, int bottom) const {
    return right < FCL || bottom < FCT || left >= FCR || top >= FCB;
  }

  // Horizontal or vertical one-pixel run, end excluded, straight into the image.
  void line(QPoint a, QPoint b) {
    if (a == b) return;
    QPainter* p = painter();
    if (!p) return;
    if (a.y() == b.y()) {
      const int x0 = a.x() < b.x() ? a.x() : b.x() + 1;
      const int x1 = a.x() < b.x() ? b.x() - 1 : a.x();
      if (outside(x0, a.y(), x1, a.y())) return;
      materialize(a.y() + 1);
      p->fillRect(QRect(x0, a.y(), x1 - x0 + 1, 1), FPenQColor);
      return;
    }
    if (a.x() == b.x()) {
      const int y0 = a.y() < b.y() ? a.y() : b.y() + 1;
      const int y1 = a.y() < b.y() ? b.y() - 1 : a.y();
      if (outside(a.x(), y0, a.x(), y1)) return;
      materialize(y1 + 1);
      p->fillRect(QRect(a.x(), y0, 1, y1 - y0 + 1), FPenQColor);
      return;
    }
    if (outside(qMin(a.x(), b.x()), qMin(a.y(), b.y()), qMax(a.x(), b.x()), qMax(a.y(), b.y()))) return;
    diagonal(a, b);
  }

  // A diagonal pixel by pixel, the end point excluded.  Step k of the longer
  // axis puts the shorter one at the nearest pixel of the exact line (halves
  // away from the start), a rule of its own, so the pixels of a line never
  // depend on where the surface or the kept band cuts it.  Only the steps
  // that can fall inside the clip are visited, however long the line.
  void diagonal(QPoint a, QPoint b) {
    const bool xMajor = qAbs(qint64(b.x()) - a.x()) >= qAbs(qint64(b.y()) - a.y());
    const qint64 major0 = xMajor ? a.x() : a.y(), minor0 = xMajor ? a.y() : a.x();
    const qint64 dMajor = (xMajor ? b.x() : b.y()) - major0, dMinor = (xMajor ? b.y() : b.x()) - minor0;
    const qint64 n = qAbs(dMajor), m = qAbs(dMinor);
    const int sMajor = dMajor < 0 ? -1 : 1, sMinor = dMinor < 0 ? -1 : 1;
    const qint64 lo = xMajor ? FCL : FCT, hi = (xMajor ? FCR : FCB) - 1;
    // Steps k in [0, n) whose major coordinate major0 + sMajor * k is in [lo, hi].
    qint64 kFrom = sMajor > 0 ? lo - major0 : major0 - hi, kTo = sMajor > 0 ? hi - major0 : major0 - lo;
    kFrom = qMax<qint64>(kFrom, 0);
    kTo = qMin<qint64>(kTo, n - 1);
    if (kFrom > kTo) return;
    materialize(int(qMin<qint64>(FCB, qint64(qMax(a.y(), b.y())) + 1)));
    QRgb* origin = reinterpret_cast<QRgb*>(bits());
    const QRgb colour = 0xFF000000u | FPenQColor.rgb();
    for (qint64 k = kFrom; k <= kTo; ++k) {
      const qint64 major = major0 + sMajor * k;
      const qint64 minor = minor0 + sMinor * ((2 * k * m + n) / (2 * n));
      const qint64 x = xMajor ? major : minor, y = xMajor ? minor : major;
      if (x >= FCL && x < FCR && y >= FCT && y < FCB) origin[y * FW + x] = colour;
    }
  }
};

TCanvas::TCanvas() : d(std::make_unique<Impl>()) { fontChanged(); }
TCanvas::~TCanvas() = default;

int TCanvas::width() const { return d->FLW; }
int TCanvas::height() const { return d->FLH; }

void TCanvas::setSize(int w, int h) {
  w = qMax(0, w);
  h = qMax(0, h);
  if (d->FWindowed) {
    d->FLW = qMin(w, MaxCoord);
    d->FLH = qMin(h, MaxCoord);
    d->updateClip();
    return;
  }
  if (w > MaxWidth) {
    w = MaxWidth;
    d->FTruncated = true;
  }
  if (h > MaxHeight) {
    h = MaxHeight;
    d->FTruncated = true;
  }
  if (qint64(w) * h > MaxPixels) {
    h = int(MaxPixels / w);
    d->FTruncated = true;
  }
  if (w == d->FW && h == d->FH) return;
  ++d->FStamp;
  d->endPaint();
  if (w == 0 || h == 0) {
    d->setImage(QImage());  // the pixel buffer stays for the next growth
    d->FFillFrom = 0;
    return;
  }
  d->resize(w, h);
}

void TCanvas::setWindow(const QRect& band) {
  const int w = qMax(0, band.width()), h = qMax(0, band.height());
  if (!d->FWindowed) {
    d->FWindowed = true;
    d->FLW = d->FW;
    d->FLH = d->FH;
  }
  d->FOX = band.x();
  d->FOY = band.y();
  if (w != d->FW || h != d->FH) {
    d->endPaint();
    d->discard();
    ++d->FStamp;
    if (w == 0 || h == 0) {
      d->setImage(QImage());
    } else {
      d->resize(w, h);
      if (d->FW != w || d->FH != h) d->FTruncated = true;  // out of memory
    }
  }
  d->updateClip();
}

void TCanvas::clearWindow() {
  if (!d->FWindowed) return;
  ++d->FStamp;
  d->FWindowed = false;
  d->FOX = d->FOY = 0;
  d->FLW = d->FW;
  d->FLH = d->FH;
  d->endPaint();  // its clip belonged to the band
  d->updateClip();
}

bool TCanvas::windowed() const { return d->FWindowed; }
quint64 TCanvas::stamp() const { return d->FStamp; }

void TCanvas::setClip(const QRect& r) {
  d->FClip = r;
  d->updateClip();
}

QRect TCanvas::window() const { return QRect(d->FOX, d->FOY, d->FW, d->FH); }

void TCanvas::fill() {
  ++d->FStamp;
  // Everything is owed the brush colour; rows are painted when needed.
  d->FFillFrom = 0;
  d->FPendingColor = 0xFF000000u | d->FBrushQColor.rgb();
}

void TCanvas::fillRect(const QRect& rect) {
  ++d->FStamp;
  const QRect r = rect.translated(-d->FOX, -d->FOY);
  if (d->outside(r.left(), r.top(), r.right(), r.bottom())) return;
  if (QPainter* p = d->painter()) {
    d->materialize(r.bottom() + 1);
    p->fillRect(r, d->FBrushQColor);
  }
}

const QImage& TCanvas::image() {
  d->endPaint();
  d->materializeAll();
  d->FBits = nullptr;  // the caller may keep a copy; drawing again must detach
  return d->FImage;
}

bool TCanvas::truncated() const { return d->FTruncated; }
void TCanvas::resetTruncated() { d->FTruncated = false; }

void TCanvas::lineTo(int x, int y) {
  ++d->FStamp;
  const QPoint to(x, y), origin(d->FOX, d->FOY);
  d->line(FPenPos - origin, to - origin);
  FPenPos = to;
}

TColor TCanvas::penColor() const { return d->FPenColor; }
void TCanvas::setPenColor(TColor c) {
  // Every closing brace puts the colours back, mostly as they were; a system
  // colour is read again, the palette may have changed.
  if (c == d->FPenColor && !IsSystemColor(c)) return;
  d->FPenColor = c;
  d->FPenQColor = ColorToQColor(c);
}
TColor TCanvas::brushColor() const { return d->FBrushColor; }
void TCanvas::setBrushColor(TColor c) {
  d->FBrushColor = c;
  d->FBrushQColor = ColorToQColor(c);
}

void TCanvas::setFont(const QString& face, int pointSize, TFontStyles style, TColor color) {
  // Points to pixels the classic way: MulDiv(points, dpi, 72), halves away from zero.
  const qint64 num = qint64(pointSize) * ScreenDpiY();
  const int px = int(num >= 0 ? (num + 36) / 72 : -((-num + 36) / 72));
  createFont(face, px, 0, 0, (style & fsBold) ? 700 : 400, style & fsItalic, style & fsUnderline,
             style & fsStrikeOut);
  setFontColor(color);
}

void TCanvas::createFont(const QString& face, int charHeight, int width, int, int weight, bool italic,
                         bool underline, bool strikeOut) {
  d->selectFont(face, charHeight, width, weight, italic, underline, strikeOut);
  fontChanged();
}

void TCanvas::fontChanged() { FAdvances = d->FFont->pages.data(); }

QString TCanvas::fontName() const { return d->FFontName; }
int TCanvas::fontCharHeight() const { return d->FFont->key.charHeight; }

void TCanvas::setFontCharHeight(int px) {
  const TFontKey& k = d->FFont->key;
  if (k.charHeight == px) return;
  d->FFont = d->lookupFont(TFontKey{k.face, px, k.width, k.weight, k.italic, k.underline, k.strikeOut});
  fontChanged();
}

TFontStyles TCanvas::fontStyle() const {
  const TFontKey& k = d->FFont->key;
  return TFontStyles((k.weight >= 700 ? fsBold : 0) | (k.italic ? fsItalic : 0) | (k.underline ? fsUnderline : 0) |
                     (k.strikeOut ? fsStrikeOut : 0));
}

TColor TCanvas::fontColor() const { return d->FFontColor; }
void TCanvas::setFontColor(TColor c) {
  if (c == d->FFontColor && !IsSystemColor(c)) return;  // as the pen's
  d->FFontColor = c;
  d->FFontQColor = ColorToQColor(c);
}

TCanvas::TFontSnapshot TCanvas::saveFont() const {
  const TFontKey& k = d->FFont->key;
  TFontSnapshot f;
  f.face = d->FFontName;
  f.charHeight = k.charHeight;
  f.width = k.width;
  f.weight = k.weight;
  f.italic = k.italic;
  f.underline = k.underline;
  f.strikeOut = k.strikeOut;
  f.fontColor = d->FFontColor;
  f.penColor = d->FPenColor;
  return f;
}

void TCanvas::restoreFont(const TFontSnapshot& f) {
  createFont(f.face, f.charHeight, f.width, 0, f.weight, f.italic, f.underline, f.strikeOut);
  setFontColor(f.fontColor);
  setPenColor(f.penColor);
}

int TCanvas::averageCharWidth() const { return d->FFont->avgWidth; }

int TCanvas::textWidth(QStringView s) const {
  qint64 w = 0;
  for (QChar ch : s) w += d->FFont->advance(ch);
  return int(qMin<qint64>(w, MaxCoord));
}

int TCanvas::textHeight(const QString&) const { return d->FFont->ascent + d->FFont->descent; }
int TCanvas::measureChar(QChar ch) const { return d->FFont->advance(ch); }
int TCanvas::ascent() const { return d->FFont->ascent; }
int TCanvas::descent() const { return d->FFont->descent; }
int TCanvas::inkReach() const { return 2 * (d->FFont->ascent + d->FFont->descent) + d->FFont->overhang; }

void TCanvas::drawText(const QRect& rect, const QString& s, int alignFlags) {
  ++d->FStamp;
  if (s.isEmpty()) return;
  const QRect r = rect.translated(-d->FOX, -d->FOY);
  TFontEntry* f = d->FFont;
  const int slack = f->overhang + textWidth(s);
  if (d->outside(r.left() - slack, r.top() - slack, r.right() + slack, r.bottom() + slack)) return;
  // Draw character by character, as the renderer measures: no kerning.
  const int w = textWidth(s);
  const int h = f->ascent + f->descent;
  int x = r.left();
  if (alignFlags & Qt::AlignRight)
    x = r.right() + 1 - w;
  else if (alignFlags & Qt::AlignHCenter)
    x = r.left() + (r.width() - w) / 2;
  int y = r.top();
  if (alignFlags & Qt::AlignBottom)
    y = r.bottom() + 1 - h;
  else if (alignFlags & Qt::AlignVCenter)
    y = r.top() + (r.height() - h) / 2;
  for (QChar ch : s) {
    // The rest lies right of the surface (and x could not grow without bound).
    if (x - f->overhang >= d->FCR) break;
    d->drawCharAt(x, y, ch);
    x += f->advance(ch);
  }
}

void TCanvas::drawChar(int x, int top, QChar ch) {
  ++d->FStamp;
  x -= d->FOX;
  top -= d->FOY;
  TFontEntry* f = d->FFont;
  const int slack = f->overhang;
  if (x - slack >= d->FCR || top - slack >= d->FCB || x + f->advance(ch) + slack < d->FCL ||
      top + f->ascent + f->descent + slack < d->FCT)
    return;
  d->drawCharAt(x, top, ch);
}

void TCanvas::ellipse(const QRect& rect) {
  ++d->FStamp;
  const QRect r = rect.translated(-d->FOX, -d->FOY);
  // Classic ellipse: the rectangle's right and bottom edges are outside the figure.
  const int l = qMin(r.left(), r.right() + 1), rr = qMax(r.left(), r.right() + 1);
  const int t = qMin(r.top(), r.bottom() + 1), b = qMax(r.top(), r.bottom() + 1);
  if (rr - l < 2 || b - t < 2) return;
  if (d->outside(l, t, rr, b)) return;
  QPainter* p = d->painter();
  if (!p) return;
  d->materialize(b + 1);
  d->setPainterPen(p, d->FPenQColor);
  p->setBrush(d->FBrushQColor);
  p->drawEllipse(QRect(l, t, rr - l - 1, b - t - 1));
  p->setBrush(Qt::NoBrush);
}

void TCanvas::setTransparentBackground() {
  if (d->FPainter) d->FPainter->setBackgroundMode(Qt::TransparentMode);
}

int ScreenDpiY() {
  if (GScreenDpiY <= 0) {
    GScreenDpiY = 96;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
      if (QScreen* s = QGuiApplication::primaryScreen()) {
        const int dpi = qRound(s->logicalDotsPerInchY());
        if (dpi > 0) GScreenDpiY = dpi;
      }
  }
  return GScreenDpiY;
}

void SetScreenDpiY(int dpi) { GScreenDpiY = dpi > 0 ? dpi : 96; }

bool GrowCanvas(TCanvas& canvas, int AValue, TResizeType AResizeType) {
  const QSize before(canvas.width(), canvas.height());
  QSize size = before;
  if (!GrowBitmapSize(size, AValue, AResizeType)) return false;
  // A canvas with one side 0 holds no image and forgets the other side, so
  // growing one side of an empty canvas keeps the other at 1.
  canvas.setSize(qMax(1, size.width()), qMax(1, size.height()));
  // A surface already at its cap does not change, and the renderer must know.
  return QSize(canvas.width(), canvas.height()) != before;
}
