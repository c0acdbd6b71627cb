#include "mtext/zorAcMtextRender.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <QLocale>
#include <QVarLengthArray>

#include "mtext/MTextLexicon.h"

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

TFormatText* TFormatStack::Item(int AIndex) const {
  return AIndex >= 0 && AIndex < FCount ? FList[size_t(AIndex)] : nullptr;
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
      // "\S+0.1^ -0.2;": the space after a caret belongs to the separator
      // (AutoCAD writes it so that ^ is not read as a caret character).
      parts.lower = AText.mid(c == u'^' && i + 1 < AText.size() && AText.at(i + 1) == u' ' ? i + 2 : i + 1);
      return parts;
    }
  }
  parts.upper = AText;
  parts.separator = u'^';
  return parts;
}

// ---------------------------------------------------------------- SHX fonts

QString ShxSubstituteFace(QStringView AFileParam) {
  QStringView p = AFileParam;
  const qsizetype bar = p.indexOf(u'|');
  if (bar >= 0) p = p.left(bar);
  const qsizetype comma = p.indexOf(u',');
  if (comma >= 0) p = p.left(comma);
  p = p.trimmed();
  QString name = p.toString().toLower();
  QString ext;
  const qsizetype dot = name.lastIndexOf(u'.');
  if (dot >= 0) {
    ext = name.mid(dot + 1);
    name.truncate(dot);
  }
  if (ext == u"ttf" || ext == u"otf" || ext == u"ttc") return p.left(dot).toString();
  // The shapes AutoCAD ships, by the look of their letters.
  static const struct {
    const char* shx;
    const char* face;
  } map[] = {
      {"txt", "Liberation Sans"},      {"simplex", "Liberation Sans"},  {"romans", "Liberation Sans"},
      {"isocp", "Liberation Sans"},    {"isocp2", "Liberation Sans"},   {"isocp3", "Liberation Sans"},
      {"isoct", "Liberation Sans"},    {"isoct2", "Liberation Sans"},   {"isoct3", "Liberation Sans"},
      {"iso", "Liberation Sans"},      {"iso3098", "Liberation Sans"},  {"gost", "Liberation Sans"},
      {"romand", "Liberation Serif"},  {"romanc", "Liberation Serif"},  {"romant", "Liberation Serif"},
      {"complex", "Liberation Serif"}, {"italic", "Liberation Serif"},  {"italicc", "Liberation Serif"},
      {"italict", "Liberation Serif"}, {"scripts", "Liberation Serif"}, {"scriptc", "Liberation Serif"},
      {"greeks", "Liberation Serif"},  {"greekc", "Liberation Serif"},  {"monotxt", "Liberation Mono"},
      {"gdt", "DejaVu Sans"},          {"amgdt", "DejaVu Sans"},        {"symath", "DejaVu Sans"},
  };
  for (const auto& m : map)
    if (name == QLatin1String(m.shx)) return QString::fromLatin1(m.face);
  return QStringLiteral("Liberation Sans");
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

QStringView trimBlanks(QStringView s) {
  qsizetype b = 0, e = s.size();
  while (b < e && s[b].unicode() <= 32) ++b;
  while (e > b && s[e - 1].unicode() <= 32) --e;
  return s.mid(b, e - b);
}

// Saturating sum of pixel values; a line of huge characters ends at MaxCoord.
int addPx(qint64 a, qint64 b) { return int(std::clamp<qint64>(a + b, -MaxCoord, MaxCoord)); }

int pxMagnitude(int v) { return int(qMin<qint64>(qAbs(qint64(v)), MaxCoord)); }

void disposeFormat(TFormatText* AData) { delete AData; }

// Paragraph properties of \p: indents and tab stops in multiples of the
// starting character height, as AutoCAD counts them.  They hold from the
// paragraph where they are set on; braces do not restore them.
struct TParagraph {
  double first = 0, left = 0, right = 0;
  char16_t align = u'l';  // l, c, r; j and d are drawn left
  QVector<double> tabs;
};

// What the measuring pass learns about a line for the drawing pass.
struct TLineLayout {
  int width = 0;  // right edge reached, from where the line's text starts
  TParagraph para;
};

// Whether a text holds a \p code (or what looks like one: \\p too); a quick
// look for backslashes, so that texts without paragraph codes pay nothing.
bool hasParagraphCode(QStringView s) {
  const char16_t* p = s.utf16();
  const qsizetype n = s.size();
  for (qsizetype i = 0; i + 1 < n; ++i)
    if (p[i] == u'\\' && p[i + 1] == u'p') return true;
  return false;
}

class TRenderContext {
 public:
  TRenderContext(TCanvas& canvas, const QString& text, const TAdjustSizeEvent& callback)
      : FCanvas(canvas), FText(text), FLen(text.size()), FCallback(callback), FStack(disposeFormat, -1) {}

  void run(QPoint& size);

 private:
  // --- scanning
  void pass();
  qsizetype token(const TMTextToken& t);
  void code(const TMTextToken& t);
  int measureLineHeight(qsizetype from);
  void setMTextFont(double widthFactor);
  void setMTextFont() { setMTextFont(FWidth); }
  void fontCode(const QString& param);
  void paragraphCode(QStringView p);
  void openGroup();
  void closeGroup();
  void newLine(qsizetype next);
  void startLine(int baseX);
  void tab();
  int paraPx(double units) const { return roundInt(units * FBasePx); }

  // --- drawing
  bool measured(int x2);
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
  // The lexer of the drawing scan and the one of the line-height look-ahead:
  // each remembers the terminators it found on its own way through the text.
  TMTextLexer FLexDraw{FText};
  TMTextLexer FLexMeasure{FText};
  // The codes of the current line as its measurement read them, handed on to
  // the drawing so that each code is read once.
  std::vector<TMTextToken> FLineTokens;
  size_t FLineTokenAt = 0;

  // Paragraph layout.  A text with paragraph codes is scanned twice: first
  // measuring only (FMeasuring, nothing drawn, no size requests), to learn how
  // wide each line is, then drawing each line where its alignment puts it.
  int FBasePx = 0;
  TParagraph FPara;
  bool FMeasuring = false;
  QVector<TLineLayout> FLayout;
  int FTextWidth = 0;  // the widest line with its indents: what lines align in
  int FLineIndex = 0;
  int FLineOrigin = 0;  // x where the current line's text starts
  int FLineRight = 0;   // measuring: right edge reached, from FLineOrigin
};

void TRenderContext::run(QPoint& size) {
  FCanvas.setTransparentBackground();
  FBasePx = FCanvas.fontCharHeight();
  // Alignment needs the width of every line before the first is drawn; a text
  // without paragraph codes is drawn in one pass, as it always was.
  if (hasParagraphCode(FText)) {
    const TCanvas::TFontSnapshot font = FCanvas.saveFont();
    const QPoint pen = FCanvas.penPos();
    FMeasuring = true;
    pass();
    FMeasuring = false;
    for (const TLineLayout& l : FLayout)
      FTextWidth = qMax(FTextWidth, addPx(addPx(qMax(0, paraPx(l.para.left + l.para.first)), l.width),
                                          qMax(0, paraPx(l.para.right))));
    FStack.Clear();
    FCanvas.restoreFont(font);
    FCanvas.moveTo(pen.x(), pen.y());
    FLexDraw = TMTextLexer(FText);
    FLexMeasure = TMTextLexer(FText);
    FPara = TParagraph();
    FWidth = 1.0;
    FAngle = 0;
    FTracking = 1.0;
    FOverline = 0;
    FAlign = 0;
    FOpenGroups = 0;
    FLineIndex = 0;
  }
  pass();
  size = QPoint(FWidest, qMax(FLineTop, FLineHeight));
  FStack.Clear();
}

void TRenderContext::pass() {
  FFontName = FCanvas.fontName();
  FHeight = FCanvas.fontCharHeight() * MillimetresPerInch / FDpi;
  const TFontStyles st = FCanvas.fontStyle();
  FBold = (st & fsBold) ? 1 : 0;
  FItalic = (st & fsItalic) ? 1 : 0;
  FUnderline = (st & fsUnderline) ? 1 : 0;
  FStrikeOut = (st & fsStrikeOut) ? 1 : 0;
  FLineTop = FCanvas.penPos().y();
  FCellHeight = FCanvas.ascent() + FCanvas.descent();
  if (!FMeasuring) {
    FLineHeight = measureLineHeight(0);
    if (FCallback && FCallback(FLineHeight, rtHeight)) FCanvas.setTransparentBackground();
  }
  startLine(FCanvas.penPos().x());

  qsizetype pos = 0;
  const QChar* s = FText.constData();
  while (pos < FLen) {
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
  if (FMeasuring) FLayout.append({FLineRight, FPara});
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
      fontCode(arg.toString());
      break;
    case 'F':
      FFontName = ShxSubstituteFace(arg);
      setMTextFont();
      break;
    case 'U':
      drawGlyph(QChar(t.ch));
      break;
    case 'C': {
      const qint64 idx = roundInt64(value);
      FCanvas.setFontColor(AciColor(idx < 1 || idx > 255 ? 0 : int(idx)));
      FCanvas.setPenColor(FCanvas.fontColor());
      break;
    }
    case 'c':
      // A colour that is no number is left as it was; its text is drawn.
      if (t.valueOk) {
        FCanvas.setFontColor(TColor(quint64(roundInt64(value)) & 0xFFFFFFu));
        FCanvas.setPenColor(FCanvas.fontColor());
      }
      break;
    case 'T':
      if (value >= 0.75 && value <= 4) {
        FTracking = value;
        setMTextFont(FTracking);
      }
      break;
    case 'Q':
      if (value >= -85 && value <= 85) {
        FAngle = 0;
        FItalic = 1;
      } else {
        FItalic = 0;
      }
      setMTextFont();
      break;
    case 'W':
      if (value >= 0.1 && value <= 10) {
        FWidth = value;
        setMTextFont();
      }
      break;
    case 'A':
      FAlign = quint8(roundInt64(value) & 0xFF);
      break;
    case 'H':
      FHeight = t.relative ? FHeight * value : value;
      setMTextFont();
      FCanvas.moveTo(FCanvas.penPos().x(), FLineTop);
      break;
    case 'L':
    case 'l':
      FUnderline = t.code == u'L';
      break;
    case 'O':
    case 'o':
      FOverline = t.code == u'O';
      break;
    case 'K':
    case 'k':
      FStrikeOut = t.code == u'K';
      break;
    case '~':
      drawGlyph(u' ');
      break;
    case 'S':
      drawStack(arg.toString(), FLineHeight);
      break;
    case 'P':
    case 'N':
    case 'X':
      newLine(t.end());
      break;
    case 'p':
      paragraphCode(arg);
      break;
    default:
      break;
  }
}

// The line as tall as its tallest content: heights as the drawing will have
// them, a brace putting back the height of its opening, escapes left alone.
int TRenderContext::measureLineHeight(qsizetype from) {
  const int p0 = FCanvas.fontCharHeight();
  // The font of a negative height (\H-5;) is drawn at its magnitude, so the
  // line takes the magnitude too: lines never go up.
  int current = p0, result = pxMagnitude(p0);
  QVarLengthArray<int, 16> groups;  // heights at the braces opened in this line
  int outer = FOpenGroups;          // groups opened before it, on the stack
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
        restored = roundInt(FStack.Item(--outer)->Height() / MillimetresPerInch * FDpi);
      }
      if (restored != current) {
        current = restored;
        FCanvas.setFontCharHeight(current);
      }
      continue;
    }
    const TMTextToken t = FLexMeasure.scan(i);
    FLineTokens.push_back(t);
    i = t.end();
    if (t.kind == lkCode) {
      if (t.code == u'H') {
        current = t.relative ? roundInt(current * t.value) : roundInt(t.value / MillimetresPerInch * FDpi);
        FCanvas.setFontCharHeight(current);
        result = qMax(result, pxMagnitude(current));
      } else if (t.code == u'S') {
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

// Where the line's text starts: its indent, or where its alignment puts it in
// the widest line.  Without paragraph codes, at baseX.
void TRenderContext::startLine(int baseX) {
  int x = baseX;
  if (!FMeasuring && FLineIndex < FLayout.size()) {
    const TLineLayout& l = FLayout.at(FLineIndex);
    const int left = qMax(0, paraPx(l.para.left + l.para.first));
    const int right = qMax(0, paraPx(l.para.right));
    int offset = left;
    if (l.para.align == u'r')
      offset = qMax(left, addPx(FTextWidth, -qint64(right) - l.width));
    else if (l.para.align == u'c')
      offset = left + qMax(0, (FTextWidth - right - left - l.width) / 2);
    x = addPx(baseX, offset);
  }
  FLineOrigin = x;
  FLineRight = 0;
  FCanvas.moveTo(x, FLineTop);
}

// next is the position after the line-break code.
void TRenderContext::newLine(qsizetype next) {
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
bool TRenderContext::measured(int x2) {
  if (!FMeasuring) return false;
  FLineRight = qMax(FLineRight, x2 - FLineOrigin);
  FCanvas.moveTo(x2, FLineTop);
  return true;
}

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
  if (FStrikeOut == 1) {
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
  if (measured(x2)) return;
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
  if (measured(x2)) return;
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
  if (measured(right)) return;
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
