#include "mtext/zorAcMtextRender.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "mtext/MTextRenderContext.h"

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

TStackViews SplitStackView(QStringView AText) {
  for (qsizetype i = 0; i < AText.size(); ++i) {
    const QChar c = AText.at(i);
    if (c == u'#' || c == u'/' || c == u'^') {
      // "\S+0.1^ -0.2;": the space after a caret belongs to the separator
      // (AutoCAD writes it so that ^ is not read as a caret character).
      return {AText.left(i), c, AText.mid(c == u'^' && i + 1 < AText.size() && AText.at(i + 1) == u' ' ? i + 2 : i + 1)};
    }
  }
  return {AText, u'^', QStringView()};
}

TStackParts SplitStackText(const QString& AText) {
  const TStackViews v = SplitStackView(AText);
  return {v.upper.toString(), v.separator, v.lower.toString()};
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

void RenderMText(TCanvas& canvas, const QString& text, QPoint& size, const TAdjustSizeEvent& callback) {
  mtextrender::TRenderContext ctx(canvas, text, callback);
  ctx.run(size);
}
