#include "menus/zorAcMtextMenus.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QSet>
#include <QVector>
#include <QStyleOptionMenuItem>
#include <QtMath>

namespace {
// The property of the menu bar that holds its drawer.
const char* const DrawerProperty = "korvexMtextMenuDrawer";

// Private-use characters: they never occur in a caption or a shortcut text.
constexpr QChar MtextMark(0xE000);
constexpr QChar ShortcutMark(0xE001);

// The smallest relative height factor (\Hn.nx;, nested groups multiplied)
// that applies to any part of a caption; 1 when nothing is made smaller.
// Text after an absolute height keeps its size whatever the starting height
// is, so it does not count.
double smallestRelativeHeight(const QString& s) {
  struct Level {
    double scale = 1.0;
    bool fixed = false;
  };
  QVector<Level> groups;
  Level cur;
  double smallest = 1.0;
  const int n = s.size();
  for (int i = 0; i < n; ++i) {
    const QChar c = s[i];
    if (c == QLatin1Char('{')) {
      groups.push_back(cur);
    } else if (c == QLatin1Char('}')) {
      if (!groups.isEmpty()) cur = groups.takeLast();
    } else if (c == QLatin1Char('\\') && i + 1 < n) {
      const QChar code = s[i + 1];
      if (code == QLatin1Char('H')) {
        int j = i + 2;
        while (j < n && s[j] != QLatin1Char('x') && s[j] != QLatin1Char(';')) ++j;
        const bool relative = j < n && s[j] == QLatin1Char('x');
        QString value = s.mid(i + 2, j - i - 2).trimmed();
        value.replace(QLatin1Char(','), QLatin1Char('.'));
        bool ok = false;
        const double v = value.toDouble(&ok);
        if (!relative) {
          cur.fixed = true;
        } else if (ok && v > 0 && !cur.fixed) {
          cur.scale *= v;
          smallest = qMin(smallest, cur.scale);
        }
        if (relative && j + 1 < n && s[j + 1] == QLatin1Char(';')) ++j;
        i = j;
      } else if (QStringLiteral("fCTQWAS").contains(code)) {
        // Parameters run to the ';' and may hold braces of their own.
        const int end = s.indexOf(QLatin1Char(';'), i + 2);
        i = end < 0 ? n : end;
      } else {
        ++i;  // an escaped character or a code without parameter
      }
    }
  }
  return smallest;
}

int pointSizeOf(const QFont& f) {
  if (f.pointSizeF() > 0) return qRound(f.pointSizeF());
  if (f.pixelSize() > 0) return qMax(1, qRound(f.pixelSize() * 72.0 / ScreenDpiY()));
  return 9;
}
}  // namespace

// ---------------------------------------------------------------------------
// Style

TMtextMenuStyle::TMtextMenuStyle(TAcMtextMenu* drawer) : FDrawer(drawer) {}

QString TMtextMenuStyle::encode(const QString& mtext, const QString& shortcutText) {
  return QString(MtextMark) + mtext + ShortcutMark + shortcutText;
}

bool TMtextMenuStyle::decode(const QString& text, QString* mtext, QString* shortcutText) {
  if (!text.startsWith(MtextMark)) return false;
  const int sep = text.lastIndexOf(ShortcutMark);
  if (sep < 0) return false;
  *mtext = text.mid(1, sep - 1);
  *shortcutText = text.mid(sep + 1);
  return true;
}

// Where the style starts the caption of an item laid out like this one:
// found once per layout by drawing a plain caption in a colour of its own, so
// that the picture lines up with the captions of the other items.
int TMtextMenuStyle::captionLeft(const QStyleOptionMenuItem& option, const QWidget* widget) const {
  const QString key = QStringLiteral("%1/%2/%3/%4")
                          .arg(option.maxIconWidth)
                          .arg(option.rect.height())
                          .arg(int(option.menuItemType))
                          .arg(option.font.key());
  auto it = FCaptionOffsets.constFind(key);
  if (it == FCaptionOffsets.constEnd()) {
    const QColor mark(255, 0, 255);
    QStyleOptionMenuItem probe(option);
    probe.rect = QRect(0, 0, qMax(option.rect.width(), 100), qMax(option.rect.height(), 1));
    probe.text = QStringLiteral("M");
    probe.icon = QIcon();
    probe.checked = false;
    probe.state = (probe.state & ~State_Selected) | State_Enabled;
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
      probe.palette.setColor(role, mark);
    QImage img(probe.rect.size(), QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    QProxyStyle::drawControl(CE_MenuItem, &probe, &p, widget);
    p.end();
    int ink = -1;
    for (int x = 0; x < img.width() && ink < 0; ++x)
      for (int y = 0; y < img.height(); ++y) {
        const QRgb c = img.pixel(x, y);
        if (qRed(c) > 180 && qBlue(c) > 180 && qGreen(c) < 140) {
          ink = x;
          break;
        }
      }
    // Without a trace of the caption: after the check/icon column, as the
    // common styles lay it out.
    const int offset = ink >= 0 ? qMax(0, ink - QFontMetrics(option.font).leftBearing(QLatin1Char('M')))
                                : 2 + qMax(option.maxIconWidth, 20) + 3;
    it = FCaptionOffsets.insert(key, offset);
  }
  return option.rect.x() + *it;
}

QSize TMtextMenuStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                        const QWidget* widget) const {
  const auto* mi = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
  QString mtext, shortcut;
  TAcMtextMenu* drawer = FDrawer;
  if (type != CT_MenuItem || !mi || !drawer || !decode(mi->text, &mtext, &shortcut))
    return QProxyStyle::sizeFromContents(type, option, size, widget);
  QStyleOptionMenuItem plain(*mi);
  plain.text = shortcut.isEmpty() ? QString() : QLatin1Char('\t') + shortcut;
  const QSize caption = drawer->captionSize(mtext);
  QSize result = QProxyStyle::sizeFromContents(type, &plain, QSize(caption.width(), size.height()), widget);
  result.setHeight(qMax(result.height(), caption.height()));
  return result;
}

// The colour the style paints under an item's caption: styles fill menus with
// their own shade (often not the palette's window colour), so the picture's
// background is taken from a trial drawing of the panel and the bare item.
QColor TMtextMenuStyle::itemBackground(const QStyleOptionMenuItem& plain, int captionLeft,
                                       const QWidget* widget) const {
  const QRect& r = plain.rect;
  if (r.width() <= 0 || r.height() <= 0) return QColor();
  QImage probe(r.size(), QImage::Format_RGB32);
  probe.fill(plain.palette.color(QPalette::Window));
  QPainter p(&probe);
  QStyleOption panel;
  panel.rect = QRect(QPoint(0, 0), r.size());
  panel.palette = plain.palette;
  panel.state = State_None;
  QProxyStyle::drawPrimitive(PE_PanelMenu, &panel, &p, widget);
  QStyleOptionMenuItem item(plain);
  item.rect = QRect(QPoint(0, 0), r.size());
  item.text.clear();
  item.icon = QIcon();
  QProxyStyle::drawControl(CE_MenuItem, &item, &p, widget);
  p.end();
  const int x = qBound(0, captionLeft - r.left() + 1, r.width() - 1);
  return QColor(probe.pixel(x, r.height() / 2));
}

void TMtextMenuStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                                  const QWidget* widget) const {
  const auto* mi = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
  QString mtext, shortcut;
  TAcMtextMenu* drawer = FDrawer;
  if (element != CE_MenuItem || !mi || !drawer || !decode(mi->text, &mtext, &shortcut)) {
    QProxyStyle::drawControl(element, option, painter, widget);
    return;
  }
  // The standard item without its caption (background, selection, icon,
  // shortcut text, submenu arrow), then the rendered caption on top.
  QStyleOptionMenuItem plain(*mi);
  plain.text = shortcut.isEmpty() ? QString() : QLatin1Char('\t') + shortcut;
  QProxyStyle::drawControl(element, &plain, painter, widget);

  const bool selected = mi->state & State_Selected;
  const QRect& r = mi->rect;
  const int left = captionLeft(*mi, widget);
  const QSize picture = drawer->renderCaption(mtext, selected, itemBackground(plain, left, widget));
  if (picture.isEmpty()) return;
  const int top = (2 * r.top() + r.height() - picture.height()) / 2;
  painter->drawImage(QPoint(left, top), drawer->Bitmap().image(), QRect(QPoint(0, 0), picture));
}

// ---------------------------------------------------------------------------
// Drawer

TAcMtextMenu::TAcMtextMenu(QMenuBar* AMenu)
    : FMenu(AMenu), FStyle(std::make_unique<TMtextMenuStyle>(this)), FFont(QApplication::font("QMenu")) {
  if (FMenu) FMenu->setProperty(DrawerProperty, QVariant::fromValue(static_cast<void*>(this)));
}

TAcMtextMenu::~TAcMtextMenu() {
  if (FMenu && of(FMenu) == this) FMenu->setProperty(DrawerProperty, QVariant());
}

TAcMtextMenu* TAcMtextMenu::of(const QMenuBar* bar) {
  return bar ? static_cast<TAcMtextMenu*>(bar->property(DrawerProperty).value<void*>()) : nullptr;
}

// A canvas with one side 0 holds no image and forgets the other side, so
// the bitmap never gets smaller than 1 x 1: growing it one side at a time
// must keep the other.
void TAcMtextMenu::sizeBitmap(int w, int h) { FBitmap.setSize(qMax(1, w), qMax(1, h)); }

bool TAcMtextMenu::AdjustBitmapSize(int AValue, TResizeType AResizeType) {
  return GrowCanvas(FBitmap, AValue, AResizeType);
}

// A caption drawn smaller than the menu font (a relative height below 1) is
// unreadable at menu sizes: its starting height is raised so that its
// smallest text comes out at the menu font's height, at most twice the font,
// which keeps its proportions.
void TAcMtextMenu::applyFont(TColor color, const QString& mtext) {
  FBitmap.setFont(FFont.family(), pointSizeOf(FFont), FontStylesOf(FFont), color);
  FBitmap.setPenColor(color);
  const double smallest = smallestRelativeHeight(mtext);
  if (smallest < 1.0) {
    const int base = FBitmap.fontCharHeight();
    FBitmap.setFontCharHeight(qMin(2 * base, qCeil(base / smallest)));
  }
}

void TAcMtextMenu::CalcMaxSize() {
  if (!FMenu || FMenu->actions().isEmpty()) return;
  FMaxWidth = 0;
  FMaxHeight = 0;
  sizeBitmap(0, 0);
  const TAdjustSizeEvent adjust = [this](int value, TResizeType type) { return AdjustBitmapSize(value, type); };
  // Depth first: each item, then its submenu.  The bar's own entries are
  // not menu items in this sense and are skipped.
  std::function<void(QMenu*)> walk = [&](QMenu* menu) {
    for (QAction* a : menu->actions()) {
      const auto* item = dynamic_cast<const TMtextCaption*>(a);
      if (item && item->showsMtext()) {
        applyFont(FFontColor, item->mtext());
        FBitmap.moveTo(0, 0);
        QPoint size;
        RenderMText(FBitmap, item->mtext(), size, adjust);
        FMaxWidth = qMax(FMaxWidth, size.x());
        FMaxHeight = qMax(FMaxHeight, size.y());
      }
      if (QMenu* sub = a->menu()) walk(sub);
    }
  };
  for (QAction* top : FMenu->actions())
    if (QMenu* sub = top->menu()) walk(sub);
  FMaxWidth += 2;
}

QSize TAcMtextMenu::renderCaption(const QString& mtext, bool selected, const QColor& background) {
  sizeBitmap(FMaxWidth, FMaxHeight);
  FBitmap.setBrushColor(background.isValid() ? QColorToColor(background) : (selected ? clHighlight : clMenu));
  FBitmap.fill();
  FBitmap.moveTo(0, 0);
  applyFont(selected ? clHighlightText : FFontColor, mtext);
  QPoint size;
  RenderMText(FBitmap, mtext, size,
              [this](int value, TResizeType type) { return AdjustBitmapSize(value, type); });
  const QSize result(qMax(0, size.x()), qMax(0, size.y()));
  sizeBitmap(result.width(), result.height());
  return result;
}

QSize TAcMtextMenu::captionSize(const QString& mtext) {
  const QSize s = renderCaption(mtext, false);
  return QSize(s.width(), s.height() + 2);
}

void TAcMtextMenu::SetMtextMenuFont(const QString& AName, int ASize, TColor AColor, TFontStyles AStyle) {
  QFont f(AName);
  f.setPointSize(qMax(1, ASize));
  SetFontStyles(f, AStyle);
  FFont = f;
  FFontColor = AColor;
  CalcMaxSize();
  remeasureMenus();
}

void TAcMtextMenu::ResetMtextMenuFont() {
  FFont = QApplication::font("QMenu");
  FFontColor = clMenuText;
  CalcMaxSize();
  remeasureMenus();
}

void TAcMtextMenu::remeasureMenus() {
  if (!FMenu) return;
  QSet<TMtextMenuHost*> menus;
  std::function<void(QMenu*)> walk = [&](QMenu* menu) {
    if (auto* m = dynamic_cast<TMtextMenuHost*>(menu)) {
      if (menus.contains(m)) return;
      menus.insert(m);
    }
    for (QAction* a : menu->actions())
      if (QMenu* sub = a->menu()) walk(sub);
  };
  for (QAction* top : FMenu->actions())
    if (QMenu* sub = top->menu()) walk(sub);
  // The popups (and their submenus) belong to the same window.
  if (QWidget* form = FMenu->parentWidget())
    for (QMenu* m : form->findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly))
      if (dynamic_cast<TMtextMenuHost*>(m)) walk(m);
  for (TMtextMenuHost* m : menus) m->remeasure();
  FMenu->update();
}
