#include "mtext/MTextRenderContext.h"

#include <QVarLengthArray>

#include <algorithm>
#include <cmath>

namespace mtextrender {

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

QStringView trimBlanks(QStringView s) {
  qsizetype b = 0, e = s.size();
  while (b < e && s[b].unicode() <= 32) ++b;
  while (e > b && s[e - 1].unicode() <= 32) --e;
  return s.mid(b, e - b);
}

int pxMagnitude(int v) { return int(qMin<qint64>(qAbs(qint64(v)), MaxCoord)); }

// A rectangle given by its classic edges (right and bottom outside).
QRect edges(int l, int t, int r, int b) { return QRect(QPoint(l, t), QPoint(r - 1, b - 1)); }

}  // namespace

// A quick look, so that texts without paragraph codes pay nothing: the
// library's vector search for the rarer letter, then the backslash before it.
bool hasParagraphCode(QStringView s) {
  for (qsizetype i = s.indexOf(u'p', 1); i > 0; i = s.indexOf(u'p', i + 1))
    if (s[i - 1] == u'\\') return true;
  return false;
}

TRenderContext::TRenderContext(TCanvas& canvas, const QString& text, const TAdjustSizeEvent& callback)
    : FCanvas(canvas),
      FText(text),
      FLen(text.size()),
      FCallback(callback),
      FDpi(ScreenDpiY()),
      FLexDraw(text),
      FLexMeasure(text) {
  FCanvas.setTransparentBackground();
  FBasePx = FCanvas.fontCharHeight();
  FBlind = FCanvas.windowed() && FCanvas.window().isEmpty();
  FDry = FBlind;
}

void TRenderContext::run(QPoint& size) {
  // Alignment needs the width of every line before the first is drawn; a text
  // without paragraph codes is drawn in one pass, as it always was.
  if (hasParagraphCode(FText)) {
    const TCanvas::TFontSnapshot font = FCanvas.saveFont();
    const QPoint pen = FCanvas.penPos();
    FMeasuring = true;
    begin();
    startLine(FCanvas.penPos().x());
    for (qsizetype pos = 0; pos < FLen;) {
      pos = scanLine(pos);
      if (FLineBroken) nextLine(pos);
    }
    FLayout.append({FLineRight, FPara});
    FMeasuring = false;
    for (const TLineLayout& l : FLayout) FTextWidth = qMax(FTextWidth, alignWidth(l.width, l.para));
    FCanvas.restoreFont(font);
    FCanvas.moveTo(pen.x(), pen.y());
    FLexDraw = TMTextLexer(FText);
    FLexMeasure = TMTextLexer(FText);
  }
  begin();
  FLineHeight = measureLineHeight(0);
  if (FCallback && FCallback(FLineHeight, rtHeight)) FCanvas.setTransparentBackground();
  startLine(FCanvas.penPos().x());
  for (qsizetype pos = 0; pos < FLen;) {
    pos = scanLine(pos);
    if (FLineBroken) nextLine(pos);
  }
  size = QPoint(FWidest, qMax(FLineTop, FLineHeight));
}

TRenderState TRenderContext::begin() {
  const TFontStyles st = FCanvas.fontStyle();
  FFormat = TFormatText(FCanvas.fontName(), FCanvas.fontCharHeight() * MillimetresPerInch / FDpi, 1.0, 0,
                        (st & fsBold) ? 1 : 0, (st & fsItalic) ? 1 : 0, (st & fsUnderline) ? 1 : 0, 0,
                        (st & fsStrikeOut) ? 1 : 0, 0, 0);
  FTracking = 1.0;
  FGroups.clear();
  FPara = TParagraph();
  FLineIndex = 0;
  FLineTop = FCanvas.penPos().y();
  FStartX = FCanvas.penPos().x();
  FCellHeight = FCanvas.ascent() + FCanvas.descent();
  return capture();
}

TRenderState TRenderContext::capture() const {
  TRenderState s;
  s.format = FFormat;
  s.format.setColor(FCanvas.fontColor());
  s.tracking = FTracking;
  s.groups = FGroups;
  s.para = FPara;
  s.font = FCanvas.saveFont();
  return s;
}

void TRenderContext::restore(const TRenderState& s) {
  FFormat = s.format;
  FTracking = s.tracking;
  FGroups = s.groups;
  FPara = s.para;
  FCanvas.restoreFont(s.font);
  FCellHeight = FCanvas.ascent() + FCanvas.descent();
}

qsizetype TRenderContext::layoutLine(TLineRecord& rec, bool first, bool restoreState) {
  if (restoreState) restore(*rec.state);
  FMeasuring = false;
  rec.height = measureLineHeight(rec.start);
  FMeasuring = true;
  startLine(first ? FStartX : 0);
  FLineLast = INT_MIN;
  FLineReach = FCanvas.inkReach();
  const qsizetype next = scanLine(rec.start);
  rec.width = FLineRight;
  rec.right = FLineLast;
  rec.reach = FLineReach;
  rec.para = FPara;
  rec.paraCode = hasParagraphCode(QStringView(FText).mid(rec.start, qMin(next + 1, FLen) - rec.start));
  if (!FLineBroken) return -1;
  FLineBroken = false;
  return next;
}

int TRenderContext::drawLine(const TLineRecord& rec, int top, int origin, int widest, bool dry) {
  restore(*rec.state);
  FDry = dry || FBlind;
  FMeasuring = false;
  FLineTop = top;
  FLineHeight = measureLineHeight(rec.start);
  FLineOrigin = origin;
  FLineRight = 0;
  FWidest = widest;
  FReported = INT_MIN;  // the caller may have changed the surface since
  FCanvas.moveTo(origin, top);
  scanLine(rec.start);
  FLineBroken = false;
  FDry = FBlind;
  return FWidest;
}

// Reads tokens from pos up to and with the next line-break code (FLineBroken
// then set) or to the end; returns the position after the last token read.
qsizetype TRenderContext::scanLine(qsizetype pos) {
  const QChar* s = FText.constData();
  while (pos < FLen && !FLineBroken) {
    const QChar c = s[pos];
    switch (c.unicode()) {
      case '\\':
        if (FLineTokenAt < FLineTokens.size() && FLineTokens[FLineTokenAt].start == pos) {
          // Read already when the line was measured.
          const TMTextToken t = FLineTokens[FLineTokenAt++];
          pos = token(t);
        } else {
          pos = token(FLexDraw.scan(pos));
        }
        break;
      case '%':
        pos = token(FLexDraw.scan(pos));
        break;
      // Braces are tokens of one character: no need to ask the lexer.
      case '{':
        openGroup();
        ++pos;
        break;
      case '}':
        closeGroup();
        ++pos;
        break;
      case '\t':
        tab();
        ++pos;
        break;
      default:
        drawGlyph(c);
        ++pos;
    }
  }
  return pos;
}

// Returns the position after the token.
qsizetype TRenderContext::token(const TMTextToken& t) {
  switch (t.kind) {
    case lkChar:
    case lkEscape:
      drawGlyph(QChar(t.ch));
      break;
    case lkSymbol:
      if (t.code)
        drawSpecialSymbol(QChar(t.code));
      else
        drawGlyph(QChar(t.ch));
      break;
    case lkGroupOpen:
      openGroup();
      break;
    case lkGroupClose:
      closeGroup();
      break;
    case lkCode:
      code(t);
      break;
  }
  return t.end();
}

void TRenderContext::code(const TMTextToken& t) {
  const QStringView arg(FText.constData() + t.argStart, t.argLength);
  const double value = t.value;
  switch (t.code) {
    case 'f':
      fontCode(arg);
      break;
    case 'F':
      FFormat.setFontName(ShxSubstituteFace(arg));
      setMTextFont();
      break;
    case 'U':
      drawGlyph(QChar(t.ch));
      break;
    case 'C':
    case 'c':
      colourCode(t);
      break;
    case 'T':
      if (value >= 0.75 && value <= 4) {
        FTracking = value;
        setMTextFont(FTracking);
      }
      break;
    case 'Q':
      if (value >= -85 && value <= 85) {
        FFormat.setAngle(0);
        FFormat.setItalic(1);
      } else {
        FFormat.setItalic(0);
      }
      setMTextFont();
      break;
    case 'W':
      if (value >= 0.1 && value <= 10) {
        FFormat.setWidth(value);
        setMTextFont();
      }
      break;
    case 'A':
      FFormat.setAlign(quint8(roundInt64(value) & 0xFF));
      break;
    case 'H':
      FFormat.setHeight(t.relative ? FFormat.Height() * value : value);
      setMTextFont();
      FCanvas.moveTo(FCanvas.penPos().x(), FLineTop);
      break;
    case 'L':
    case 'l':
      FFormat.setUnderline(t.code == u'L');
      break;
    case 'O':
    case 'o':
      FFormat.setOverline(t.code == u'O');
      break;
    case 'K':
    case 'k':
      FFormat.setStrikeOut(t.code == u'K');
      break;
    case '~':
      drawGlyph(u' ');
      break;
    case 'S':
      drawStack(arg, FLineHeight);
      break;
    case 'P':
    case 'N':
    case 'X':
      FLineBroken = true;
      break;
    case 'p':
      paragraphCode(arg);
      break;
    default:
      break;
  }
}

// \C: an index of the colour table; \c: a true colour.
void TRenderContext::colourCode(const TMTextToken& t) {
  if (t.code == u'C') {
    const qint64 idx = roundInt64(t.value);
    FCanvas.setFontColor(AciColor(idx < 1 || idx > 255 ? 0 : int(idx)));
  } else if (t.valueOk) {
    FCanvas.setFontColor(TColor(quint64(roundInt64(t.value)) & 0xFFFFFFu));
  } else {
    return;  // a colour that is no number is left as it was; its text is drawn
  }
  FCanvas.setPenColor(FCanvas.fontColor());
}

// The line as tall as its tallest content: heights as the drawing will have
// them, a brace putting back the height of its opening, escapes left alone.
int TRenderContext::measureLineHeight(qsizetype from) {
  const int p0 = FCanvas.fontCharHeight();
  // The font of a negative height (\H-5;) is drawn at its magnitude, so the
  // line takes the magnitude too: lines never go up.
  int current = p0, result = pxMagnitude(p0);
  QVarLengthArray<int, 16> groups;  // heights at the braces opened in this line
  size_t outer = FGroups.size();    // groups opened before it, on the stack
  FLineTokens.clear();
  FLineTokenAt = 0;
  const QChar* s = FText.constData();
  qsizetype i = from;
  while (i < FLen) {
    const char16_t c = s[i].unicode();
    if (c != u'\\' && c != u'{' && c != u'}') {
      ++i;
      continue;
    }
    if (c == u'{') {
      groups.append(current);
      ++i;
      continue;
    }
    if (c == u'}') {
      ++i;
      int restored = current;
      if (!groups.isEmpty()) {
        restored = groups.last();
        groups.removeLast();
      } else if (outer > 0) {
        restored = roundInt(FGroups[--outer].Height() / MillimetresPerInch * FDpi);
      }
      current = restored;
      continue;
    }
    const TMTextToken t = FLexMeasure.scan(i);
    FLineTokens.push_back(t);
    i = t.end();
    if (t.kind == lkCode) {
      if (t.code == u'H') {
        current = t.relative ? roundInt(current * t.value) : roundInt(t.value / MillimetresPerInch * FDpi);
        result = qMax(result, pxMagnitude(current));
      } else if (t.code == u'S') {
        // Only a stack asks the font: the height is set on the canvas for it alone.
        FCanvas.setFontCharHeight(current);
        const int h = 2 * FCanvas.textHeight(QString());
        if (h > result) result = h;
      } else if (t.info->effect == efLineBreak) {
        break;
      }
    }
  }
  FCanvas.setFontCharHeight(p0);
  return result;
}

void TRenderContext::setMTextFont(double widthFactor) {
  const int px = roundInt(FFormat.Height() / MillimetresPerInch * FDpi);
  const int orientation = roundInt(FFormat.Angle() * 10);
  const int weight = FFormat.Bold() ? 700 : 400;
  const QString& face = FFormat.FontName();
  const bool italic = FFormat.Italic(), underline = FFormat.Underline(), strikeOut = FFormat.StrikeOut();
  FCanvas.createFont(face, px, 0, orientation, weight, italic, underline, strikeOut);
  if (widthFactor != 1.0) {
    const int avg = FCanvas.averageCharWidth();
    if (avg > 0)
      FCanvas.createFont(face, px, roundInt(avg * widthFactor), orientation, weight, italic, underline, strikeOut);
  }
  FCellHeight = FCanvas.ascent() + FCanvas.descent();
  if (FMeasuring) FLineReach = qMax(FLineReach, FCanvas.inkReach());
}

void TRenderContext::fontCode(QStringView rawParam) {
  QStringView p = trimBlanks(rawParam);
  if (p.contains(QLatin1String("b0"))) FFormat.setBold(0);
  if (p.contains(QLatin1String("b1"))) FFormat.setBold(1);
  if (p.contains(QLatin1String("i0"))) FFormat.setItalic(0);
  if (p.contains(QLatin1String("i1"))) FFormat.setItalic(1);
  const qsizetype bar = p.indexOf(u'|');
  if (bar >= 0) p = p.left(bar);
  const qsizetype dot = p.lastIndexOf(u'.');
  if (dot >= 0) p = p.left(dot);
  FFormat.setFontName(p.toString());
  setMTextFont();
}

// \pi<first>,l<left>,r<right>,q<l|c|r|j|d>,t<stops>; in any order, with "x"
// anywhere and commas or nothing between the options; "*" puts a value back
// to its start.  Other letters are passed over.
void TRenderContext::paragraphCode(QStringView p) {
  const qsizetype n = p.size();
  qsizetype i = 0;
  auto number = [&](double& v) {
    if (i < n && p[i] == u'*') {
      ++i;
      v = 0;
      return true;
    }
    const qsizetype b = i;
    if (i < n && (p[i] == u'-' || p[i] == u'+')) ++i;
    while (i < n && ((p[i] >= u'0' && p[i] <= u'9') || p[i] == u'.')) ++i;
    double read = 0;
    if (!MTextNumber(p.mid(b, i - b), read)) return false;
    v = read;
    return true;
  };
  while (i < n) {
    const char16_t c = p[i].toLower().unicode();
    ++i;
    switch (c) {
      case u'i':
        number(FPara.first);
        break;
      case u'l':
        number(FPara.left);
        break;
      case u'r':
        number(FPara.right);
        break;
      case u'q':
        if (i < n) {
          const char16_t a = p[i].toLower().unicode();
          if (a == u'l' || a == u'c' || a == u'r' || a == u'j' || a == u'd' || a == u'*') {
            FPara.align = a == u'c' || a == u'r' ? a : u'l';
            ++i;
          }
        }
        break;
      case u't': {
        // Stops to the end: "t1,r5,c8" are a left, a right and a centred stop
        // (all drawn as left stops).
        FPara.tabs.clear();
        while (i < n) {
          const char16_t k = p[i].toLower().unicode();
          if (k == u',' || k == u'r' || k == u'c') {
            ++i;
            continue;
          }
          double v = 0;
          if (!number(v)) break;
          if (v > 0 && FPara.tabs.size() < 256) FPara.tabs.append(v);
        }
        break;
      }
      default:
        break;
    }
  }
}

void TRenderContext::openGroup() {
  FGroups.push_back(FFormat);
  FGroups.back().setColor(FCanvas.fontColor());
}

void TRenderContext::closeGroup() {
  if (FGroups.empty()) return;
  FFormat = std::move(FGroups.back());
  FGroups.pop_back();
  FCanvas.setFontColor(FFormat.Color());
  FCanvas.setPenColor(FCanvas.fontColor());
  setMTextFont();
}

int TRenderContext::paraPx(double units) const { return roundInt(units * FBasePx); }

int TRenderContext::alignWidth(int width, const TParagraph& para) const {
  return addPx(addPx(qMax(0, paraPx(para.left + para.first)), width), qMax(0, paraPx(para.right)));
}

int TRenderContext::lineOrigin(int baseX, int width, const TParagraph& para) const {
  const int left = qMax(0, paraPx(para.left + para.first));
  const int right = qMax(0, paraPx(para.right));
  int offset = left;
  if (para.align == u'r')
    offset = qMax(left, addPx(FTextWidth, -qint64(right) - width));
  else if (para.align == u'c')
    offset = left + qMax(0, (FTextWidth - right - left - width) / 2);
  return addPx(baseX, offset);
}

// Where the line's text starts: its indent, or where its alignment puts it in
// the widest line.  Without paragraph codes, at baseX.
void TRenderContext::startLine(int baseX) {
  int x = baseX;
  if (!FMeasuring && FLineIndex < FLayout.size()) {
    const TLineLayout& l = FLayout.at(FLineIndex);
    x = lineOrigin(baseX, l.width, l.para);
  }
  FLineOrigin = x;
  FLineRight = 0;
  FCanvas.moveTo(x, FLineTop);
}

// next is the position after the line-break code.
void TRenderContext::nextLine(qsizetype next) {
  FLineBroken = false;
  if (FMeasuring) {
    FLayout.append({FLineRight, FPara});
    ++FLineIndex;
    startLine(0);
    return;
  }
  // Absurd heights (\H1e9; or \H-1e9;) must not overflow the line tops.
  FLineTop = addPx(FLineTop, FLineHeight);
  ++FLineIndex;
  startLine(0);
  FLineHeight = measureLineHeight(next);
  if (FCallback && FCallback(FLineTop + FLineHeight, rtHeight)) FCanvas.setTransparentBackground();
}

// To the next tab stop of the paragraph, after them every four average
// character widths, counted from where the line's text starts.
void TRenderContext::tab() {
  const int at = FCanvas.penPos().x() - FLineOrigin;
  int next = MaxCoord;
  for (double stop : FPara.tabs) {
    const int x = paraPx(stop);
    if (x > at && x < next) next = x;
  }
  if (next == MaxCoord) {
    const int step = qMax(1, 4 * FCanvas.averageCharWidth());
    next = int(qMin<qint64>((qint64(qMax(0, at)) / step + 1) * step, MaxCoord));
  }
  FCanvas.moveTo(addPx(FLineOrigin, next), FLineTop);
}

// ---------------------------------------------------------------- elements

// Measuring: notes how far the line reaches and moves on; nothing is drawn.
inline bool TRenderContext::measured(int x2) {
  if (!FMeasuring) return false;
  FLineRight = qMax(FLineRight, x2 - FLineOrigin);
  FLineLast = qMax(FLineLast, x2 - FLineOrigin);
  FCanvas.moveTo(x2, FLineTop);
  return true;
}

// False when the element is not to be drawn (a dry run): the pen moves on.
inline bool TRenderContext::reserveWidth(int right) {
  if (right > FWidest) FWidest = right;
  // A surface that keeps no pixel is asked only for more width, not per
  // character (asking again for no more cannot change it).
  if (!FBlind || FWidest > FReported) {
    FReported = FWidest;
    if (FCallback && FCallback(FWidest, rtWidth)) FCanvas.setTransparentBackground();
  }
  if (!FDry) return true;
  FCanvas.moveTo(right, FLineTop);
  return false;
}

// Top of a cell of the given height in the line box, by the alignment.
int TRenderContext::cellTop(int cellHeight) const {
  switch (FFormat.Align()) {
    case 1:
      return FLineTop + (FLineHeight - cellHeight) / 2;
    case 2:
      return FLineTop;
    default:
      return FLineTop + FLineHeight - cellHeight;
  }
}

void TRenderContext::decorate(int x2, int w) {
  if (FFormat.Underline() == 1) {
    const int y = FLineTop + FLineHeight - 1;
    FCanvas.moveTo(x2, y);
    FCanvas.lineTo(x2 - w, y);
  }
  if (FFormat.Overline() == 1) {
    FCanvas.moveTo(x2, FLineTop);
    FCanvas.lineTo(x2 - w, FLineTop);
  }
  if (FFormat.StrikeOut() == 1) {
    // Through the middle of the small letters.
    const int y = cellTop(FCellHeight) + FCanvas.ascent() * 7 / 10;
    FCanvas.moveTo(x2, y);
    FCanvas.lineTo(x2 - w, y);
  }
}

void TRenderContext::drawGlyph(QChar ch) {
  const int w = FCanvas.charWidth(ch);
  const int x0 = FCanvas.penPos().x();
  const int x2 = addPx(x0, w);
  if (measured(x2) || !reserveWidth(x2)) return;
  FCanvas.drawChar(x0, cellTop(FCellHeight), ch);
  decorate(x2, w);
  FCanvas.moveTo(x2, FLineTop);
}

void TRenderContext::drawSpecialSymbol(QChar code) {
  const int W = FCanvas.charWidth(u'W');
  const int H = FCanvas.textHeight(QStringLiteral("W"));
  const int x0 = FCanvas.penPos().x();
  const int x2 = addPx(x0, W);
  if (measured(x2) || !reserveWidth(x2)) return;
  const int lineBottom = FLineTop + FLineHeight;
  int top;
  if (FFormat.Align() == 1)
    top = (FLineTop + lineBottom - H) / 2;
  else if (FFormat.Align() == 2)
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

void TRenderContext::drawStack(QStringView stackText, int L) {
  const int half = L / 2;
  const int x0 = FCanvas.penPos().x();
  const int top = FLineTop;
  const TStackViews parts = SplitStackView(stackText);
  const int wu = FCanvas.textWidth(parts.upper);
  const int wl = FCanvas.textWidth(parts.lower);
  const int W = qMax(wu, wl);
  const int right = addPx(x0, parts.separator == u'#' ? wu + wl : W);
  if (measured(right) || !reserveWidth(right)) return;
  const int centre = Qt::AlignHCenter | Qt::AlignVCenter;
  if (parts.separator == u'#') {
    FCanvas.drawText(edges(x0, top, x0 + wu, top + half), parts.upper.toString(), centre);
    FCanvas.drawText(edges(x0 + wu, top + half, x0 + wu + wl, top + L), parts.lower.toString(), centre);
    FCanvas.moveTo(x0 + wu + wl, top);
    FCanvas.lineTo(x0, top + L);
  } else {
    FCanvas.drawText(edges(x0, top, x0 + W, top + half), parts.upper.toString(), centre);
    FCanvas.drawText(edges(x0, top + half, x0 + W, top + L), parts.lower.toString(), centre);
    if (parts.separator == u'/') {
      // The bar follows the longer text by character count, not by width.
      const int bar = parts.upper.size() > parts.lower.size() ? wu : wl;
      FCanvas.moveTo(x0, top + half);
      FCanvas.lineTo(x0 + bar, top + half);
    }
  }
  FCanvas.moveTo(right, top);
}

}  // namespace mtextrender
