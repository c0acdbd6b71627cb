#include "app/General.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QScreen>
#include <QWidget>
#include <cmath>

#include "app/IniFile.h"
#include "core/Numbers.h"
#include "platform/Paths.h"

TOptions Options;

namespace {
QString gSettingsFileName;

const QString kWindow = QStringLiteral("Window");
const QString kMain = QStringLiteral("Main");
const QString kEditor = QStringLiteral("Editor");
const QString kRender = QStringLiteral("Render");
const QString kMenuRender = QStringLiteral("MenuRender");
const QString kHighlight = QStringLiteral("Highlight");

// A window keeps its stored place when at least this much of it (pixels in
// each direction) lies on one screen, its top edge (the title bar) included.
constexpr int kMinVisibleFrame = 64;
// Bounds of a restored window side, so a damaged file can neither hide the
// window by its size nor overflow the geometry arithmetic.
constexpr int kMinWindowSide = 100;
constexpr int kMaxWindowSide = 1 << 16;
// Farther than any desktop reaches; stored positions are cut to it.
constexpr int kFarAway = 1 << 20;

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

void readFont(const TIniFile& ini, const QString& sec, TFontProps& f, const QString& name, int size,
              TColor color, int style) {
  f.fpName = ini.readString(sec, QStringLiteral("FontName"), name);
  f.fpSize = ini.readInteger(sec, QStringLiteral("FontSize"), size);
  f.fpColor = ini.readInteger(sec, QStringLiteral("FontColor"), color);
  f.fpStyle = IntToFontStyles(ini.readInteger(sec, QStringLiteral("FontStyle"), style));
}

void writeFont(TIniFile& ini, const QString& sec, const TFontProps& f) {
  ini.writeString(sec, QStringLiteral("FontName"), f.fpName);
  ini.writeInteger(sec, QStringLiteral("FontSize"), f.fpSize);
  ini.writeInteger(sec, QStringLiteral("FontColor"), f.fpColor);
  ini.writeInteger(sec, QStringLiteral("FontStyle"), FontStylesToInt(f.fpStyle));
}
}  // namespace

QString SettingsFileName() {
  if (!gSettingsFileName.isEmpty()) return gSettingsFileName;
  return platform::programPaths().SettingsFile;
}

void SetSettingsFileName(const QString& path) { gSettingsFileName = path; }

int FontStylesToInt(TFontStyles styles) { return int(styles) & 0x0F; }
TFontStyles IntToFontStyles(int value) { return TFontStyles(value & 0x0F); }

TWindowPlacement LoadSettingsFile(const QString& path) {
  const TIniFile ini(path);
  TWindowPlacement p;
  const QSize screen = screenSize();
  p.Left = ini.readInteger(kWindow, QStringLiteral("Left"), (screen.width() - 608) / 2);
  p.Top = ini.readInteger(kWindow, QStringLiteral("Top"), (screen.height() - 384) / 2);
  p.Width = ini.readInteger(kWindow, QStringLiteral("Width"), 608);
  p.Height = ini.readInteger(kWindow, QStringLiteral("Height"), 384);
  p.State = ini.readInteger(kWindow, QStringLiteral("State"), 0);

  TOptions& o = Options;
  o.SwitchToRus = ini.readBool(kMain, QStringLiteral("SwitchToRus"), true);
  o.EscForExit = ini.readBool(kMain, QStringLiteral("EscForExit"), true);
  o.ItemDivider = unquote(ini.readString(kMain, QStringLiteral("ItemDivider"), QStringLiteral("\". \"")));
  o.CommaAsSep = ini.readBool(kMain, QStringLiteral("CommaAsSep"), false);
  o.TolHeight = readFloat(ini, kMain, QStringLiteral("TolHeight"), 0.6);
  o.SpellLanguage = ini.readInteger(kMain, QStringLiteral("SpellLanguage"), 0);

  o.EditorProps.epWordWrap = ini.readBool(kEditor, QStringLiteral("WordWrap"), true);
  o.EditorProps.epAutoIndent = ini.readBool(kEditor, QStringLiteral("AutoIndent"), true);
  o.EditorProps.epHeight = ini.readInteger(kEditor, QStringLiteral("Height"), 100);
  readFont(ini, kEditor, o.EditorFont, QStringLiteral("Courier New"), 10, clWindowText, 0);
  o.EditorColors.ecBackground = ini.readInteger(kEditor, QStringLiteral("BackColor"), 14548991);
  o.EditorColors.ecActiveLine = ini.readInteger(kEditor, QStringLiteral("ActiveLineColor"), 13565902);

  readFont(ini, kRender, o.RenderProps.rpFont, QStringLiteral("Arial"), 11, 16777215, 0);
  o.RenderProps.rpBackColor = ini.readInteger(kRender, QStringLiteral("BackColor"), 0);

  readFont(ini, kMenuRender, o.RenderMenuProps.rmFont, QStringLiteral("Tahoma"), 8, clMenuText, 0);
  o.RenderMenuProps.rmUseSysFont = ini.readBool(kMenuRender, QStringLiteral("UseSysFont"), true);

  o.HighlightProps.hpColor = ini.readInteger(kHighlight, QStringLiteral("FontColor"), 16711680);
  o.HighlightProps.hpNumColor = ini.readInteger(kHighlight, QStringLiteral("NumColor"), 255);
  o.HighlightProps.hpSymColor = ini.readInteger(kHighlight, QStringLiteral("SymColor"), 128);
  o.HighlightProps.hpStyle = IntToFontStyles(ini.readInteger(kHighlight, QStringLiteral("FontStyle"), 0));
  o.HighlightProps.hpEnable = ini.readBool(kHighlight, QStringLiteral("Enable"), true);
  return p;
}

bool SaveSettingsFile(const QString& path, const TWindowPlacement& p) {
  // Our keys go first in their fixed order; keys of other programs or later
  // versions found in the old file are kept after them.
  const TIniFile old(path);
  TIniFile w;
  w.setFileName(path);
  const TOptions& o = Options;
  w.writeInteger(kWindow, QStringLiteral("State"), p.State);
  w.writeInteger(kWindow, QStringLiteral("Left"), p.Left);
  w.writeInteger(kWindow, QStringLiteral("Top"), p.Top);
  w.writeInteger(kWindow, QStringLiteral("Width"), p.Width);
  w.writeInteger(kWindow, QStringLiteral("Height"), p.Height);

  w.writeBool(kMain, QStringLiteral("SwitchToRus"), o.SwitchToRus);
  w.writeBool(kMain, QStringLiteral("EscForExit"), o.EscForExit);
  w.writeString(kMain, QStringLiteral("ItemDivider"), quote(o.ItemDivider));
  w.writeBool(kMain, QStringLiteral("CommaAsSep"), o.CommaAsSep);
  w.writeString(kMain, QStringLiteral("TolHeight"), formatFloat(o.TolHeight));
  w.writeInteger(kMain, QStringLiteral("SpellLanguage"), o.SpellLanguage);

  w.writeBool(kEditor, QStringLiteral("WordWrap"), o.EditorProps.epWordWrap);
  w.writeBool(kEditor, QStringLiteral("AutoIndent"), o.EditorProps.epAutoIndent);
  w.writeInteger(kEditor, QStringLiteral("Height"), o.EditorProps.epHeight);
  w.writeInteger(kEditor, QStringLiteral("BackColor"), o.EditorColors.ecBackground);
  w.writeInteger(kEditor, QStringLiteral("ActiveLineColor"), o.EditorColors.ecActiveLine);
  writeFont(w, kEditor, o.EditorFont);

  writeFont(w, kRender, o.RenderProps.rpFont);
  w.writeInteger(kRender, QStringLiteral("BackColor"), o.RenderProps.rpBackColor);

  writeFont(w, kMenuRender, o.RenderMenuProps.rmFont);
  w.writeBool(kMenuRender, QStringLiteral("UseSysFont"), o.RenderMenuProps.rmUseSysFont);

  w.writeInteger(kHighlight, QStringLiteral("FontColor"), o.HighlightProps.hpColor);
  w.writeInteger(kHighlight, QStringLiteral("NumColor"), o.HighlightProps.hpNumColor);
  w.writeInteger(kHighlight, QStringLiteral("SymColor"), o.HighlightProps.hpSymColor);
  w.writeInteger(kHighlight, QStringLiteral("FontStyle"), FontStylesToInt(o.HighlightProps.hpStyle));
  w.writeBool(kHighlight, QStringLiteral("Enable"), o.HighlightProps.hpEnable);
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

void LoadSettings(QWidget* window) {
  const TWindowPlacement p = LoadSettingsFile(SettingsFileName());
  if (!window) return;
  QList<QRect> areas;
  for (QScreen* screen : QGuiApplication::screens()) areas << screen->availableGeometry();
  const QRect stored(qBound(-kFarAway, p.Left, kFarAway), qBound(-kFarAway, p.Top, kFarAway),
                     qBound(kMinWindowSide, p.Width, kMaxWindowSide), qBound(kMinWindowSide, p.Height, kMaxWindowSide));
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

bool SaveSettings(QWidget* window) {
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
  return SaveSettingsFile(SettingsFileName(), p);
}

QFont FontFromProps(const TFontProps& p) {
  QFont f(p.fpName);
  if (p.fpSize > 0) f.setPointSize(p.fpSize);
  SetFontStyles(f, p.fpStyle);
  return f;
}
