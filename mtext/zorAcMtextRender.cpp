#include "mtext/zorAcMtextRender.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <QLocale>
#include <QVarLengthArray>

// ---------------------------------------------------------------- format state

TFormatText::TFormatText(const QString& AFontName, double AHeight, double AWidth, double AAngle, quint8 ABold,
                         quint8 AItalic, quint8 AUnderline, quint8 AOverline, quint8 AStrikeOut, quint8 AAlign,
                         TColor AColor)
    : FFontName(AFontName),
      FHeight(AHeight),
      FWidth(AWidth),
      FAngle(AAngle),
      FBold(ABold),
      FItalic(AItalic),
      FUnderline(AUnderline),
      FOverline(AOverline),
      FStrikeOut(AStrikeOut),
      FColor(AColor),
      FAlign(AAlign) {}

EFormatStackError::EFormatStackError(const QString& AMessage)
    : std::runtime_error(AMessage.toStdString()), FMessage(AMessage) {}

TFormatStack::TFormatStack(TFormatDisposeProc ADispose, int ACapacity)
    : FDispose(ADispose), FList(size_t(ACapacity > 1 ? ACapacity : 16), nullptr), FName(QStringLiteral("TFormatStack")) {}

TFormatStack::~TFormatStack() {
  if (FCount != 0) Clear();
}

void TFormatStack::Push(TFormatText* AItem) {
  if (int(FList.size()) == FCount) FList.resize(FList.size() * 3 / 2, nullptr);
  FList[size_t(FCount)] = AItem;
  ++FCount;
}

TFormatText* TFormatStack::Pop() {
  if (FCount == 0) raiseError("Pop");
  --FCount;
  return FList[size_t(FCount)];
}

TFormatText* TFormatStack::Examine() const {
  if (FCount == 0) raiseError("Examine");
  return FList[size_t(FCount - 1)];
}

void TFormatStack::Clear() {
  if (FCount <= 0) return;
  if (FDispose)
    for (int i = 0; i < FCount; ++i) FDispose(FList[size_t(i)]);
  FCount = 0;
}

void TFormatStack::raiseError(const char* AMethod) const {
  throw EFormatStackError(QStringLiteral("Error: %1, Unit/Class: %2.%3, Method: %4, Object: %5)")
                              .arg(0)
                              .arg(QStringLiteral("zorAcMtextRender"), QStringLiteral("TFormatStack"),
                                   QString::fromLatin1(AMethod), FName));
}

// ---------------------------------------------------------------- colours

TColor AciColor(int index) {
  struct TTable {
    TColor c[256];
  };
  static const TTable table = [] {
    TTable t{};
    const int fixed[10][3] = {{255, 255, 255}, {255, 0, 0},   {255, 255, 0},   {0, 255, 0},    {0, 255, 255},
                              {0, 0, 255},     {255, 0, 255}, {255, 255, 255}, {128, 128, 128}, {192, 192, 192}};
    for (int i = 0; i < 10; ++i) t.c[i] = RGBColor(fixed[i][0], fixed[i][1], fixed[i][2]);
    // Hue steps walk the colour circle in quarter weights of each channel.
    static const int weights[24][3] = {{4, 0, 0}, {4, 1, 0}, {4, 2, 0}, {4, 3, 0}, {4, 4, 0}, {3, 4, 0},
                                       {2, 4, 0}, {1, 4, 0}, {0, 4, 0}, {0, 4, 1}, {0, 4, 2}, {0, 4, 3},
                                       {0, 4, 4}, {0, 3, 4}, {0, 2, 4}, {0, 1, 4}, {0, 0, 4}, {1, 0, 4},
                                       {2, 0, 4}, {3, 0, 4}, {4, 0, 4}, {4, 0, 3}, {4, 0, 2}, {4, 0, 1}};
    static const int value[5] = {255, 204, 153, 127, 76};
    for (int i = 10; i <= 249; ++i) {
      const int h = (i - 10) / 10, k = (i - 10) % 10, v = value[k / 2];
      int ch[3];
      for (int j = 0; j < 3; ++j) {
        const int q = weights[h][j];
        ch[j] = (k % 2 == 0) ? v * q / 4 : v * (4 + q) / 8;
      }
      t.c[i] = RGBColor(ch[0], ch[1], ch[2]);
    }
    const int greys[6] = {51, 91, 132, 173, 214, 255};
    for (int i = 0; i < 6; ++i) t.c[250 + i] = RGBColor(greys[i], greys[i], greys[i]);
    return t;
  }();
  if (index < 1 || index > 255) return RGBColor(255, 255, 255);
  return table.c[index];
}

// ---------------------------------------------------------------- stacks

TStackParts SplitStackText(const QString& AText) {
  TStackParts parts;
  for (qsizetype i = 0; i < AText.size(); ++i) {
    const QChar c = AText.at(i);
    if (c == u'#' || c == u'/' || c == u'^') {
      parts.upper = AText.left(i);
      parts.separator = c;
      parts.lower = AText.mid(i + 1);
      return parts;
    }
  }
  parts.upper = AText;
  parts.separator = u'^';
  return parts;
}

// ---------------------------------------------------------------- renderer

namespace {

// Pixel coordinates and extents computed from numbers in the text saturate
// at the canvas bound, so that adding a few of them never overflows an int.
constexpr int MaxCoord = TCanvas::MaxCoord;
// Heights are millimetres; the screen resolution is per inch.
constexpr double MillimetresPerInch = 25.4;

// Nearest integer, halves to even, clamped so that absurd values (huge
// heights, infinities) cannot overflow an int.
int roundInt(double v) {
  if (std::isnan(v)) return 0;
  constexpr double lim = MaxCoord;
  if (v > lim) return int(lim);
  if (v < -lim) return -int(lim);
  return int(std::nearbyint(v));
}

qint64 roundInt64(double v) {
  if (std::isnan(v)) return 0;
  constexpr double lim = 1e15;
  if (v > lim) return qint64(lim);
  if (v < -lim) return -qint64(lim);
  return qint64(std::nearbyint(v));
}

// Numbers in codes take "." or "," as the decimal separator whatever the
// locale; the result is always read with the C rules, blanks around allowed.
// Read in place: a code without its ";" sees the whole rest of the text as
// its parameter, and copying that for every such code made the scan
// quadratic.  Only the characters a finite number can have are looked at;
// whatever follows them must be blank up to the end, so the first other
// character decides.
bool toNumber(QStringView s, double& value) {
  qsizetype b = 0;
  const qsizetype n = s.size();
  while (b < n && s[b].isSpace()) ++b;
  qsizetype e = b;
  while (e < n) {
    const char16_t c = s[e].unicode();
    if ((c >= u'0' && c <= u'9') || c == u'.' || c == u',' || c == u'+' || c == u'-' || c == u'e' || c == u'E')
      ++e;
    else
      break;
  }
  if (e == b) return false;
  for (qsizetype i = e; i < n; ++i)
    if (!s[i].isSpace()) return false;
  // The C locale reads what QString::toDouble reads (the number alone here).
  static const QLocale c = QLocale::c();
  QVarLengthArray<char16_t, 64> number(e - b);
  for (qsizetype i = b; i < e; ++i) number[i - b] = s[i] == u',' ? u'.' : s[i].unicode();
  bool ok = false;
  const double v = c.toDouble(QStringView(number.constData(), number.size()), &ok);
  if (!ok || !std::isfinite(v)) return false;
  value = v;
  return true;
}

QStringView trimBlanks(QStringView s) {
  qsizetype b = 0, e = s.size();
  while (b < e && s[b].unicode() <= 32) ++b;
  while (e > b && s[e - 1].unicode() <= 32) --e;
  return s.mid(b, e - b);
}

// The next terminator of a code at or after a position.  The scan asks in
// increasing positions, so one search answers every question up to the
// terminator it found (or to the end when there is none): each character is
// searched over once.
class TNextStop {
 public:
  template <typename IsStop>
  qsizetype find(const QChar* s, qsizetype len, qsizetype from, IsStop isStop) {
    if (from >= FFrom && from <= FAt) return FAt;
    qsizetype i = from;
    while (i < len && !isStop(s[i])) ++i;
    FFrom = from;
    FAt = i;
    return i;
  }

 private:
  qsizetype FFrom = 1;
  qsizetype FAt = 0;
};

bool isHex(QChar c) {
  const ushort u = c.unicode();
  return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
}

int hexValue(QChar c) {
  const ushort u = c.unicode();
  if (u <= '9') return u - '0';
  if (u >= 'a') return u - 'a' + 10;
  return u - 'A' + 10;
}

// Saturating sum of pixel values; a line of huge characters ends at MaxCoord.
int addPx(qint64 a, qint64 b) { return int(std::clamp<qint64>(a + b, -MaxCoord, MaxCoord)); }

int pxMagnitude(int v) { return int(qMin<qint64>(qAbs(qint64(v)), MaxCoord)); }

void disposeFormat(TFormatText* AData) { delete AData; }

class TRenderContext {
 public:
  TRenderContext(TCanvas& canvas, const QString& text, const TAdjustSizeEvent& callback)
      : FCanvas(canvas), FText(text), FLen(text.size()), FCallback(callback), FStack(disposeFormat, -1) {}

  void run(QPoint& size);

 private:
  // --- scanning
  QStringView codeParameter(qsizetype pos, TNextStop& stops);
  qsizetype codeValue(qsizetype pos, double& value);
  qsizetype heightValue(qsizetype pos, double& value, bool& relative, TNextStop& stops);
  int measureLineHeight(qsizetype from);
  void setMTextFont(double widthFactor);
  void setMTextFont() { setMTextFont(FWidth); }
  void fontCode(const QString& param);
  void openGroup();
  void closeGroup();
  void newLine(qsizetype next);
  qsizetype backslash(qsizetype pos);

  // --- drawing
  void reserveWidth(int right);
  int cellTop(int cellHeight) const;
  void decorate(int x2, int w);
  void drawGlyph(QChar ch);
  void drawSpecialSymbol(QChar code);
  void drawStack(const QString& stackText, int L);

  TCanvas& FCanvas;
  const QString& FText;
  const qsizetype FLen;
  const TAdjustSizeEvent& FCallback;
  TFormatStack FStack;
  const int FDpi = ScreenDpiY();

  QString FFontName;
  double FHeight = 0;
  double FWidth = 1.0;
  double FAngle = 0;
  double FTracking = 1.0;
  quint8 FBold = 0, FItalic = 0, FStrikeOut = 0, FUnderline = 0, FOverline = 0;
  quint8 FAlign = 0;
  int FLineTop = 0;
  int FLineHeight = 0;
  int FWidest = 0;
  int FOpenGroups = 0;
  // Ascent + descent of the current font, asked once per font change instead
  // of twice per character.
  int FCellHeight = 0;
  // Terminators of codes, one finder for each pass over a line (the line
  // height is measured ahead of the drawing pass).
  TNextStop FSemiDraw, FSemiMeasure, FHeightDraw, FHeightMeasure;
};

void TRenderContext::run(QPoint& size) {
  FCanvas.setTransparentBackground();
  FFontName = FCanvas.fontName();
  FHeight = FCanvas.fontCharHeight() * MillimetresPerInch / FDpi;
  const TFontStyles st = FCanvas.fontStyle();
  FBold = (st & fsBold) ? 1 : 0;
  FItalic = (st & fsItalic) ? 1 : 0;
  FUnderline = (st & fsUnderline) ? 1 : 0;
  FStrikeOut = (st & fsStrikeOut) ? 1 : 0;
  FLineTop = FCanvas.penPos().y();
  FCellHeight = FCanvas.ascent() + FCanvas.descent();
  FLineHeight = measureLineHeight(0);
  if (FCallback && FCallback(FLineHeight, rtHeight)) FCanvas.setTransparentBackground();

  qsizetype pos = 0;
  const QChar* s = FText.constData();
  while (pos < FLen) {
    const QChar c = s[pos];
    switch (c.unicode()) {
      case '\\':
        pos = backslash(pos);
        break;
      case '%':
        if (pos + 2 < FLen && s[pos + 1] == u'%') {
          const QChar code = s[pos + 2].toLower();
          if (code == u'c' || code == u'd' || code == u'p') {
            drawSpecialSymbol(code);
            pos += 3;
            break;
          }
        }
        drawGlyph(c);
        ++pos;
        break;
      case '{':
        openGroup();
        ++pos;
        break;
      case '}':
        closeGroup();
        ++pos;
        break;
      default:
        drawGlyph(c);
        ++pos;
    }
  }

  size = QPoint(FWidest, qMax(FLineTop, FLineHeight));
  FStack.Clear();
}

// Returns the new position.
qsizetype TRenderContext::backslash(qsizetype pos) {
  if (pos + 1 >= FLen) {
    drawGlyph(u'\\');
    return pos + 1;
  }
  const QChar n = FText.at(pos + 1);
  double value = 0;
  switch (n.unicode()) {
    case 'f': {
      const QStringView param = codeParameter(pos, FSemiDraw);
      fontCode(param.toString());
      return pos + param.size() + 3;
    }
    case 'U': {
      if (pos + 6 < FLen && FText.at(pos + 2) == u'+' && isHex(FText.at(pos + 3)) && isHex(FText.at(pos + 4)) &&
          isHex(FText.at(pos + 5)) && isHex(FText.at(pos + 6))) {
        int code = 0;
        for (int i = 3; i <= 6; ++i) code = code * 16 + hexValue(FText.at(pos + i));
        drawGlyph(QChar(ushort(code)));
        return pos + 7;
      }
      drawGlyph(u'\\');
      return pos + 1;
    }
    case 'C': {
      const qsizetype count = codeValue(pos, value);
      const qint64 idx = roundInt64(value);
      FCanvas.setFontColor(AciColor(idx < 1 || idx > 255 ? 0 : int(idx)));
      FCanvas.setPenColor(FCanvas.fontColor());
      return pos + count + 2;
    }
    case 'T': {
      const qsizetype count = codeValue(pos, value);
      if (value >= 0.75 && value <= 4) {
        FTracking = value;
        setMTextFont(FTracking);
      }
      return pos + count + 2;
    }
    case 'Q': {
      const qsizetype count = codeValue(pos, value);
      if (value >= -85 && value <= 85) {
        FAngle = 0;
        FItalic = 1;
      } else {
        FItalic = 0;
      }
      setMTextFont();
      return pos + count + 2;
    }
    case 'W': {
      const qsizetype count = codeValue(pos, value);
      if (value >= 0.1 && value <= 10) {
        FWidth = value;
        setMTextFont();
      }
      return pos + count + 2;
    }
    case 'A': {
      const qsizetype count = codeValue(pos, value);
      FAlign = quint8(roundInt64(value) & 0xFF);
      return pos + count + 2;
    }
    case 'L':
      FUnderline = 1;
      return pos + 2;
    case 'l':
      FUnderline = 0;
      return pos + 2;
    case 'O':
      FOverline = 1;
      return pos + 2;
    case 'o':
      FOverline = 0;
      return pos + 2;
    case 'H': {
      bool relative = false;
      const qsizetype next = heightValue(pos, value, relative, FHeightDraw);
      FHeight = relative ? FHeight * value : value;
      setMTextFont();
      FCanvas.moveTo(FCanvas.penPos().x(), FLineTop);
      return next;
    }
    case '\\':
    case '{':
    case '}':
      drawGlyph(n);
      return pos + 2;
    case 'S': {
      const QStringView param = codeParameter(pos, FSemiDraw);
      drawStack(param.toString(), FLineHeight);
      return pos + param.size() + 3;
    }
    case 'P':
      newLine(pos + 2);
      return pos + 2;
    default:
      drawGlyph(u'\\');
      return pos + 1;
  }
}

// pos is at the backslash; the parameter runs from after the code letter up
// to the next ";" or the end.  The code with its ";" is its size + 3.
QStringView TRenderContext::codeParameter(qsizetype pos, TNextStop& stops) {
  const qsizetype stop = stops.find(FText.constData(), FLen, pos + 1, [](QChar c) { return c == u';'; });
  return QStringView(FText).mid(pos + 2, stop - (pos + 2));
}

// Returns how far the position moves past the code letter's backslash, less
// two: a code whose value cannot be read is skipped alone.
qsizetype TRenderContext::codeValue(qsizetype pos, double& value) {
  const QStringView param = codeParameter(pos, FSemiDraw);
  if (!toNumber(param, value)) {
    value = 0;
    return 0;
  }
  return param.size() + 1;
}

// Returns the position after the code.
qsizetype TRenderContext::heightValue(qsizetype pos, double& value, bool& relative, TNextStop& stops) {
  const qsizetype start = pos + 1;  // the H
  const QChar* s = FText.constData();
  const qsizetype j = stops.find(s, FLen, start, [](QChar c) { return c == u'x' || c == u';'; });
  qsizetype next;
  relative = false;
  if (j >= FLen) {
    next = FLen;
  } else if (s[j] == u'x') {
    relative = true;
    next = (j + 1 < FLen && s[j + 1] == u';') ? j + 2 : j + 1;
  } else {
    next = j + 1;
  }
  const QStringView collected = trimBlanks(QStringView(FText).mid(start, j - start)).mid(1);
  if (!toNumber(collected, value)) value = 0;
  return next;
}

int TRenderContext::measureLineHeight(qsizetype from) {
  const int p0 = FCanvas.fontCharHeight();
  // The font of a negative height (\H-5;) is drawn at its magnitude, so the
  // line takes the magnitude too: lines never go up.
  int current = p0, result = pxMagnitude(p0);
  const QChar* s = FText.constData();
  qsizetype i = from;
  while (i < FLen) {
    if (s[i] == u'\\' && i + 1 < FLen) {
      const QChar n = s[i + 1];
      if (n == u'H') {
        double value = 0;
        bool relative = false;
        i = heightValue(i, value, relative, FHeightMeasure);
        current = relative ? roundInt(current * value) : roundInt(value / MillimetresPerInch * FDpi);
        FCanvas.setFontCharHeight(current);
        result = qMax(result, pxMagnitude(current));
        continue;
      }
      if (n == u'S') {
        const QStringView param = codeParameter(i, FSemiMeasure);
        // Past the stack text; a separator takes one character less.
        bool separated = false;
        for (QChar c : param)
          if (c == u'#' || c == u'/' || c == u'^') {
            separated = true;
            break;
          }
        i += (separated ? 2 : 3) + param.size();
        const int h = 2 * FCanvas.textHeight(QString());
        if (h > result) result = h;
        continue;
      }
      if (n == u'P') break;
    }
    ++i;
  }
  FCanvas.setFontCharHeight(p0);
  return result;
}

void TRenderContext::setMTextFont(double widthFactor) {
  const int px = roundInt(FHeight / MillimetresPerInch * FDpi);
  const int orientation = roundInt(FAngle * 10);
  const int weight = FBold ? 700 : 400;
  FCanvas.createFont(FFontName, px, 0, orientation, weight, FItalic, FUnderline, FStrikeOut);
  if (widthFactor != 1.0) {
    const int avg = FCanvas.averageCharWidth();
    if (avg > 0)
      FCanvas.createFont(FFontName, px, roundInt(avg * widthFactor), orientation, weight, FItalic, FUnderline,
                         FStrikeOut);
  }
  FCellHeight = FCanvas.ascent() + FCanvas.descent();
}

void TRenderContext::fontCode(const QString& rawParam) {
  QString p = trimBlanks(rawParam).toString();
  if (p.contains(QLatin1String("b0"))) FBold = 0;
  if (p.contains(QLatin1String("b1"))) FBold = 1;
  if (p.contains(QLatin1String("i0"))) FItalic = 0;
  if (p.contains(QLatin1String("i1"))) FItalic = 1;
  const qsizetype bar = p.indexOf(u'|');
  if (bar >= 0) p.truncate(bar);
  const qsizetype dot = p.lastIndexOf(u'.');
  if (dot >= 0) p.truncate(dot);
  FFontName = p;
  setMTextFont();
}

void TRenderContext::openGroup() {
  FStack.Push(new TFormatText(FFontName, FHeight, FWidth, FAngle, FBold, FItalic, FUnderline, FOverline, FStrikeOut,
                              FAlign, FCanvas.fontColor()));
  ++FOpenGroups;
}

void TRenderContext::closeGroup() {
  if (FOpenGroups <= 0) return;
  TFormatText* t = FStack.Pop();
  FFontName = t->FontName();
  FHeight = t->Height();
  FWidth = t->Width();
  FAngle = t->Angle();
  FBold = t->Bold();
  FItalic = t->Italic();
  FUnderline = t->Underline();
  FOverline = t->Overline();
  FStrikeOut = t->StrikeOut();
  FAlign = t->Align();
  FCanvas.setFontColor(t->Color());
  delete t;
  --FOpenGroups;
  FCanvas.setPenColor(FCanvas.fontColor());
  setMTextFont();
}

// next is the position after the paragraph code.
void TRenderContext::newLine(qsizetype next) {
  // Absurd heights (\H1e9; or \H-1e9;) must not overflow the line tops.
  FLineTop = addPx(FLineTop, FLineHeight);
  FCanvas.moveTo(0, FLineTop);
  FLineHeight = measureLineHeight(next);
  if (FCallback && FCallback(FLineTop + FLineHeight, rtHeight)) FCanvas.setTransparentBackground();
}

// ---------------------------------------------------------------- elements

void TRenderContext::reserveWidth(int right) {
  if (right > FWidest) FWidest = right;
  if (FCallback && FCallback(FWidest, rtWidth)) FCanvas.setTransparentBackground();
}

// Top of a cell of the given height in the line box, by the alignment.
int TRenderContext::cellTop(int cellHeight) const {
  switch (FAlign) {
    case 1:
      return FLineTop + (FLineHeight - cellHeight) / 2;
    case 2:
      return FLineTop;
    default:
      return FLineTop + FLineHeight - cellHeight;
  }
}

void TRenderContext::decorate(int x2, int w) {
  if (FUnderline == 1) {
    const int y = FLineTop + FLineHeight - 1;
    FCanvas.moveTo(x2, y);
    FCanvas.lineTo(x2 - w, y);
  }
  if (FOverline == 1) {
    FCanvas.moveTo(x2, FLineTop);
    FCanvas.lineTo(x2 - w, FLineTop);
  }
}

void TRenderContext::drawGlyph(QChar ch) {
  const int w = FCanvas.charWidth(ch);
  const int x0 = FCanvas.penPos().x();
  const int x2 = addPx(x0, w);
  reserveWidth(x2);
  FCanvas.drawChar(x0, cellTop(FCellHeight), ch);
  decorate(x2, w);
  FCanvas.moveTo(x2, FLineTop);
}

// A rectangle given by its classic edges (right and bottom outside).
static QRect edges(int l, int t, int r, int b) { return QRect(QPoint(l, t), QPoint(r - 1, b - 1)); }

void TRenderContext::drawSpecialSymbol(QChar code) {
  const int W = FCanvas.charWidth(u'W');
  const int H = FCanvas.textHeight(QStringLiteral("W"));
  const int x0 = FCanvas.penPos().x();
  const int x2 = addPx(x0, W);
  reserveWidth(x2);
  const int lineBottom = FLineTop + FLineHeight;
  int top;
  if (FAlign == 1)
    top = (FLineTop + lineBottom - H) / 2;
  else if (FAlign == 2)
    top = FLineTop;
  else
    top = lineBottom - H;
  int left = x0, right = x0 + W - 2, bottom = top + H;
  const int s6 = roundInt(H / 6.0);
  if (code == u'c') {
    top += s6;
    bottom -= s6;
    FCanvas.ellipse(edges(left, top, right, bottom));
    FCanvas.moveTo(left, bottom - 1);
    FCanvas.lineTo(right, top - 1);
  } else if (code == u'p') {
    const int y1 = bottom - s6;
    FCanvas.moveTo(left, y1);
    FCanvas.lineTo(right, y1);
    const int y2 = top + roundInt(H / 2.5);
    FCanvas.moveTo(left, y2);
    FCanvas.lineTo(right, y2);
    const int xm = (left + right) / 2;
    FCanvas.moveTo(xm, top);
    FCanvas.lineTo(xm, top + roundInt(H / 1.5));
  } else {
    const int s3 = roundInt(H / 3.0);
    top -= s6;
    bottom -= s6;
    left += s6;
    right -= s6;
    top += s3;
    bottom -= s3;
    FCanvas.ellipse(edges(left, top, right, bottom));
  }
  decorate(x2, W);
  FCanvas.moveTo(x2, FLineTop);
}

void TRenderContext::drawStack(const QString& stackText, int L) {
  const int half = L / 2;
  const int x0 = FCanvas.penPos().x();
  const int top = FLineTop;
  const TStackParts parts = SplitStackText(stackText);
  const int wu = FCanvas.textWidth(parts.upper);
  const int wl = FCanvas.textWidth(parts.lower);
  const int W = qMax(wu, wl);
  const int right = addPx(x0, parts.separator == u'#' ? wu + wl : W);
  reserveWidth(right);
  const int centre = Qt::AlignHCenter | Qt::AlignVCenter;
  if (parts.separator == u'#') {
    FCanvas.drawText(edges(x0, top, x0 + wu, top + half), parts.upper, centre);
    FCanvas.drawText(edges(x0 + wu, top + half, x0 + wu + wl, top + L), parts.lower, centre);
    FCanvas.moveTo(x0 + wu + wl, top);
    FCanvas.lineTo(x0, top + L);
  } else {
    FCanvas.drawText(edges(x0, top, x0 + W, top + half), parts.upper, centre);
    FCanvas.drawText(edges(x0, top + half, x0 + W, top + L), parts.lower, centre);
    if (parts.separator == u'/') {
      // The bar follows the longer text by character count, not by width.
      const int bar = parts.upper.size() > parts.lower.size() ? wu : wl;
      FCanvas.moveTo(x0, top + half);
      FCanvas.lineTo(x0 + bar, top + half);
    }
  }
  FCanvas.moveTo(right, top);
}

}  // namespace

void RenderMText(TCanvas& canvas, const QString& text, QPoint& size, const TAdjustSizeEvent& callback) {
  TRenderContext ctx(canvas, text, callback);
  ctx.run(size);
}
