#include "app/General.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QScreen>
#include <QWidget>
#include <cmath>
#include <type_traits>

#include "app/IniFile.h"
#include "core/Numbers.h"
#include "platform/Paths.h"


namespace {
// A window keeps its stored place when at least this much of it (pixels in
// each direction) lies on one screen, its top edge (the title bar) included.
constexpr int kMinVisibleFrame = 64;

QSize screenSize() {
  if (QScreen* s = QGuiApplication::primaryScreen()) return s->size();
  return QSize(1024, 768);
}

// A divider is stored in double quotes so that its spaces survive.
QString unquote(const QString& s) {
  if (!s.startsWith(QLatin1Char('"'))) return s;
  QString out;
  for (int i = 1; i < s.size(); ++i) {
    const QChar c = s.at(i);
    if (c == QLatin1Char('"')) {
      if (i + 1 < s.size() && s.at(i + 1) == QLatin1Char('"')) {
        out += c;
        ++i;
      } else {
        break;
      }
    } else {
      out += c;
    }
  }
  return out;
}

QString quote(const QString& s) {
  QString inner = s;
  inner.replace(QLatin1String("\""), QLatin1String("\"\""));
  return QLatin1Char('"') + inner + QLatin1Char('"');
}

double readFloat(const TIniFile& ini, const QString& sec, const QString& key, double def) {
  double d = def;
  return ReadFloat(ini.readString(sec, key, QString()), d) ? d : def;
}

// The shortest text that reads back to the same value, with the system's
// separator as the file has always had it.
QString formatFloat(double v) {
  return FloatToStrShortest(v).replace(QLatin1Char('.'), SystemDecimalSeparator());
}

using TFieldOf = std::function<TSettingField(TOptions&, TWindowPlacement&)>;

TSettingKey row(const char* section, const char* key, TSettingType type, const QVariant& def, TOptionsPage page,
                TFieldOf field) {
  TSettingKey k;
  k.Section = QLatin1String(section);
  k.Key = QLatin1String(key);
  k.Type = type;
  k.Default = def;
  k.Page = page;
  k.Field = std::move(field);
  return k;
}

TSettingKey ranged(TSettingKey k, double min, double max) {
  k.Min = min;
  k.Max = max;
  return k;
}

// The four keys of a font, in their written order.
void addFont(std::vector<TSettingKey>& t, const char* section, TOptionsPage page,
             TFontProps& (*font)(TOptions&), const TFontProps& def) {
  using T = TSettingType;
  t.push_back(row(section, "FontName", T::Text, def.fpName, page,
                  [font](TOptions& o, TWindowPlacement&) -> TSettingField { return &font(o).fpName; }));
  t.push_back(row(section, "FontSize", T::Integer, def.fpSize, page,
                  [font](TOptions& o, TWindowPlacement&) -> TSettingField { return &font(o).fpSize; }));
  t.push_back(row(section, "FontColor", T::Color, def.fpColor, page,
                  [font](TOptions& o, TWindowPlacement&) -> TSettingField { return &font(o).fpColor; }));
  t.push_back(row(section, "FontStyle", T::FontStyle, int(def.fpStyle), page,
                  [font](TOptions& o, TWindowPlacement&) -> TSettingField { return &font(o).fpStyle; }));
}

// Window placement keys reach the placement, the others the record.
#define KX_WINDOW(member) [](TOptions&, TWindowPlacement& w) -> TSettingField { return &w.member; }
#define KX_OPTION(member) [](TOptions& o, TWindowPlacement&) -> TSettingField { return &o.member; }

std::vector<TSettingKey> buildTable() {
  using T = TSettingType;
  using P = TOptionsPage;
  // Bounds of a restored window: a damaged file can neither hide the window
  // by its size nor overflow the geometry arithmetic; positions are cut
  // farther than any desktop reaches.
  constexpr double kFarAway = 1 << 20;
  constexpr double kMinWindowSide = 100;
  constexpr double kMaxWindowSide = 1 << 16;
  std::vector<TSettingKey> t;
  t.push_back(row("Window", "State", T::Integer, 0, P::None, KX_WINDOW(State)));
  t.push_back(ranged(row("Window", "Left", T::Integer, QVariant(), P::None, KX_WINDOW(Left)), -kFarAway, kFarAway));
  t.push_back(ranged(row("Window", "Top", T::Integer, QVariant(), P::None, KX_WINDOW(Top)), -kFarAway, kFarAway));
  t.push_back(ranged(row("Window", "Width", T::Integer, 608, P::None, KX_WINDOW(Width)), kMinWindowSide,
                     kMaxWindowSide));
  t.push_back(ranged(row("Window", "Height", T::Integer, 384, P::None, KX_WINDOW(Height)), kMinWindowSide,
                     kMaxWindowSide));

  t.push_back(row("Main", "SwitchToRus", T::Boolean, true, P::General, KX_OPTION(SwitchToRus)));
  t.push_back(row("Main", "EscForExit", T::Boolean, true, P::General, KX_OPTION(EscForExit)));
  t.push_back(ranged(row("Main", "ItemDivider", T::QuotedText, QStringLiteral(". "), P::Additional,
                         KX_OPTION(ItemDivider)), 0, 5));
  t.push_back(row("Main", "CommaAsSep", T::Boolean, false, P::General, KX_OPTION(CommaAsSep)));
  t.push_back(ranged(row("Main", "TolHeight", T::Decimal, 0.6, P::Additional, KX_OPTION(TolHeight)), 0.01, 2.0));
  // No spelling until the user picks a language.
  t.push_back(row("Main", "SpellLanguage", T::Integer, 0, P::None, KX_OPTION(SpellLanguage)));

  t.push_back(row("Editor", "WordWrap", T::Boolean, true, P::None, KX_OPTION(EditorProps.epWordWrap)));
  t.push_back(row("Editor", "AutoIndent", T::Boolean, true, P::General, KX_OPTION(EditorProps.epAutoIndent)));
  t.push_back(row("Editor", "Height", T::Integer, 100, P::None, KX_OPTION(EditorProps.epHeight)));
  t.push_back(row("Editor", "BackColor", T::Color, RGBColor(255, 255, 221), P::General,  // pale yellow
                  KX_OPTION(EditorColors.ecBackground)));
  t.push_back(row("Editor", "ActiveLineColor", T::Color, RGBColor(206, 255, 206), P::General,  // pale green
                  KX_OPTION(EditorColors.ecActiveLine)));
  addFont(t, "Editor", P::General, [](TOptions& o) -> TFontProps& { return o.EditorFont; },
          {QStringLiteral("Courier New"), 10, clWindowText, 0});

  addFont(t, "Render", P::Render, [](TOptions& o) -> TFontProps& { return o.RenderProps.rpFont; },
          {QStringLiteral("Arial"), 11, RGBColor(255, 255, 255), 0});
  t.push_back(row("Render", "BackColor", T::Color, RGBColor(0, 0, 0), P::Render, KX_OPTION(RenderProps.rpBackColor)));

  addFont(t, "MenuRender", P::Render, [](TOptions& o) -> TFontProps& { return o.RenderMenuProps.rmFont; },
          {QStringLiteral("Tahoma"), 8, clMenuText, 0});
  t.push_back(row("MenuRender", "UseSysFont", T::Boolean, true, P::Render, KX_OPTION(RenderMenuProps.rmUseSysFont)));

  t.push_back(row("Highlight", "FontColor", T::Color, RGBColor(0, 0, 255), P::Highlight,  // blue
                  KX_OPTION(HighlightProps.hpColor)));
  t.push_back(row("Highlight", "NumColor", T::Color, RGBColor(255, 0, 0), P::Highlight,  // red
                  KX_OPTION(HighlightProps.hpNumColor)));
  t.push_back(row("Highlight", "SymColor", T::Color, RGBColor(128, 0, 0), P::Highlight,  // dark red
                  KX_OPTION(HighlightProps.hpSymColor)));
  t.push_back(row("Highlight", "FontStyle", T::FontStyle, 0, P::Highlight, KX_OPTION(HighlightProps.hpStyle)));
  // The codes are coloured from the first start, yet "По умолчанию" turns
  // the colouring off, as it always has.
  TSettingKey enable = row("Highlight", "Enable", T::Boolean, true, P::Highlight, KX_OPTION(HighlightProps.hpEnable));
  enable.Reset = false;
  t.push_back(enable);
  return t;
}
#undef KX_WINDOW
#undef KX_OPTION

void assign(const TSettingField& field, const QVariant& v) {
  std::visit(
      [&v](auto* p) {
        using V = std::remove_pointer_t<decltype(p)>;
        if constexpr (std::is_same_v<V, bool>) *p = v.toBool();
        else if constexpr (std::is_same_v<V, int>) *p = v.toInt();
        else if constexpr (std::is_same_v<V, double>) *p = v.toDouble();
        else if constexpr (std::is_same_v<V, QString>) *p = v.toString();
        else *p = IntToFontStyles(v.toInt());
      },
      field);
}

QVariant valueOf(const TSettingField& field) {
  return std::visit(
      [](auto* p) -> QVariant {
        if constexpr (std::is_same_v<std::remove_pointer_t<decltype(p)>, TFontStyles>) return FontStylesToInt(*p);
        else return QVariant(*p);
      },
      field);
}

// A missing default is the window's position: its default size centred on the screen.
QVariant defaultOf(const TSettingKey& k) {
  if (k.Default.isValid()) return k.Default;
  const QSize screen = screenSize();
  const bool left = k.Key == QLatin1String("Left");
  const int side = SettingKey(k.Section, left ? QStringLiteral("Width") : QStringLiteral("Height")).Default.toInt();
  return ((left ? screen.width() : screen.height()) - side) / 2;
}

QVariant readValue(const TIniFile& ini, const TSettingKey& k) {
  const QVariant def = defaultOf(k);
  switch (k.Type) {
    case TSettingType::Boolean:
      return ini.readBool(k.Section, k.Key, def.toBool());
    case TSettingType::Text:
      return ini.readString(k.Section, k.Key, def.toString());
    case TSettingType::QuotedText:
      return unquote(ini.readString(k.Section, k.Key, quote(def.toString())));
    case TSettingType::Decimal:
      return readFloat(ini, k.Section, k.Key, def.toDouble());
    case TSettingType::Integer:
    case TSettingType::Color:
    case TSettingType::FontStyle:
      break;
  }
  return ini.readInteger(k.Section, k.Key, def.toInt());
}

void writeValue(TIniFile& ini, const TSettingKey& k, const QVariant& v) {
  switch (k.Type) {
    case TSettingType::Boolean:
      return ini.writeBool(k.Section, k.Key, v.toBool());
    case TSettingType::Text:
      return ini.writeString(k.Section, k.Key, v.toString());
    case TSettingType::QuotedText:
      return ini.writeString(k.Section, k.Key, quote(v.toString()));
    case TSettingType::Decimal:
      return ini.writeString(k.Section, k.Key, formatFloat(v.toDouble()));
    case TSettingType::Integer:
    case TSettingType::Color:
    case TSettingType::FontStyle:
      break;
  }
  ini.writeInteger(k.Section, k.Key, v.toInt());
}

int bounded(const TSettingKey& k, int value) {
  return k.Min < k.Max ? qBound(int(k.Min), value, int(k.Max)) : value;
}
}  // namespace

int FontStylesToInt(TFontStyles styles) { return int(styles) & 0x0F; }
TFontStyles IntToFontStyles(int value) { return TFontStyles(value & 0x0F); }

const std::vector<TSettingKey>& SettingsTable() {
  static const std::vector<TSettingKey> table = buildTable();
  return table;
}

const TSettingKey& SettingKey(const QString& section, const QString& key) {
  for (const TSettingKey& k : SettingsTable())
    if (k.Section == section && k.Key == key) return k;
  Q_ASSERT_X(false, "SettingKey", "no such key");
  return SettingsTable().front();
}

QVariant SettingValue(const TSettingKey& key, const TOptions& options, const TWindowPlacement& placement) {
  TOptions o = options;
  TWindowPlacement p = placement;
  return valueOf(key.Field(o, p));
}

void SetSettingValue(const TSettingKey& key, TOptions& options, TWindowPlacement& placement, const QVariant& value) {
  assign(key.Field(options, placement), value);
}

void ResetOptionsPage(TOptions& options, TOptionsPage page) {
  TWindowPlacement unused;
  for (const TSettingKey& k : SettingsTable())
    if (k.Page == page && page != TOptionsPage::None) assign(k.Field(options, unused), k.resetValue());
}

TWindowPlacement LoadSettingsFile(const QString& path, TOptions& options) {
  const TIniFile ini(path);
  TWindowPlacement p;
  for (const TSettingKey& k : SettingsTable()) assign(k.Field(options, p), readValue(ini, k));
  return p;
}

bool SaveSettingsFile(const QString& path, const TOptions& options, const TWindowPlacement& placement) {
  // Our keys go first in their fixed order; keys of other programs or later
  // versions found in the old file are kept after them.
  const TIniFile old(path);
  TIniFile w;
  w.setFileName(path);
  TOptions o = options;
  TWindowPlacement p = placement;
  for (const TSettingKey& k : SettingsTable()) writeValue(w, k, valueOf(k.Field(o, p)));
  for (const QString& sec : old.sections())
    for (const QString& key : old.keys(sec))
      if (!w.hasKey(sec, key)) w.writeString(sec, key, old.readString(sec, key, QString()));
  return w.save();
}

QRect FitFrameOnScreens(const QRect& frame, const QList<QRect>& areas) {
  const QRect* nearest = nullptr;
  qint64 nearestDistance = 0;
  const QPoint centre = frame.center();
  for (const QRect& area : areas) {
    if (area.isEmpty()) continue;
    const QRect shown = frame.intersected(area);
    if (frame.top() >= area.top() && shown.width() >= qMin(frame.width(), kMinVisibleFrame) &&
        shown.height() >= qMin(frame.height(), kMinVisibleFrame))
      return frame;
    // Distance from the frame's centre to the area, zero inside it.
    const qint64 dx = qMax(0, qMax(area.left() - centre.x(), centre.x() - area.right()));
    const qint64 dy = qMax(0, qMax(area.top() - centre.y(), centre.y() - area.bottom()));
    const qint64 distance = dx * dx + dy * dy;
    if (!nearest || distance < nearestDistance) {
      nearest = &area;
      nearestDistance = distance;
    }
  }
  if (!nearest) return frame;
  const QRect& a = *nearest;
  const int w = qMin(frame.width(), a.width());
  const int h = qMin(frame.height(), a.height());
  const int left = qBound(a.left(), frame.left(), a.left() + a.width() - w);
  const int top = qBound(a.top(), frame.top(), a.top() + a.height() - h);
  return QRect(left, top, w, h);
}

void LoadSettings(QWidget* window, const QString& path, TOptions& options) {
  const TWindowPlacement p = LoadSettingsFile(path, options);
  if (!window) return;
  QList<QRect> areas;
  for (QScreen* screen : QGuiApplication::screens()) areas << screen->availableGeometry();
  const QString section = QStringLiteral("Window");
  const QRect stored(bounded(SettingKey(section, QStringLiteral("Left")), p.Left),
                     bounded(SettingKey(section, QStringLiteral("Top")), p.Top),
                     bounded(SettingKey(section, QStringLiteral("Width")), p.Width),
                     bounded(SettingKey(section, QStringLiteral("Height")), p.Height));
  const QRect frame = FitFrameOnScreens(stored, areas);
  window->move(frame.topLeft());
  window->resize(frame.size());
  switch (p.State) {
    case 1:
      window->setWindowState(Qt::WindowMinimized);
      break;
    case 2:
      window->setWindowState(Qt::WindowMaximized);
      break;
    default:
      window->setWindowState(Qt::WindowNoState);
      break;
  }
}

bool SaveSettings(QWidget* window, const QString& path, const TOptions& options) {
  TWindowPlacement p;
  if (window) {
    const Qt::WindowStates st = window->windowState();
    p.State = st & Qt::WindowMinimized ? 1 : st & Qt::WindowMaximized ? 2 : 0;
    const QRect g = p.State == 0 ? window->geometry() : window->normalGeometry();
    const QPoint pos = p.State == 0 ? window->pos() : g.topLeft();
    p.Left = pos.x();
    p.Top = pos.y();
    p.Width = g.width();
    p.Height = g.height();
  }
  return SaveSettingsFile(path, options, p);
}

QFont FontFromProps(const TFontProps& p) {
  QFont f(p.fpName);
  if (p.fpSize > 0) f.setPointSize(p.fpSize);
  SetFontStyles(f, p.fpStyle);
  return f;
}
