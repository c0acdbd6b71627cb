#include "menus/XmlMenu.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QStyleOptionFrame>
#include <QStyleOptionMenuItem>
#include <QWidgetAction>
#include <qdrawutil.h>

const char* const XmlMenuMarker = "korvexXmlMenu";


TXmlMenu::TXmlMenu(QWidget* parent, TAcMtextMenu* drawer) : QMenu(parent) {
  if (drawer) setStyle(drawer->style());
  // QMenu repaints the rectangles of its own layout when the highlight moves;
  // in columns they are elsewhere.
  connect(this, &QMenu::hovered, this, [this] {
    if (hasColumns()) update();
  });
}

void TXmlMenu::remeasure() {
  QEvent e(QEvent::StyleChange);
  changeEvent(&e);
  update();
}

void TXmlMenu::initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const {
  QMenu::initStyleOption(option, action);
  const auto* item = qobject_cast<const TXmlMenuItem*>(action);
  if (!item || !item->showsMtext() || !qobject_cast<const TMtextMenuStyle*>(style())) return;
  const int tab = option->text.indexOf(QLatin1Char('\t'));
  const QString shortcut = tab >= 0 ? option->text.mid(tab + 1) : QString();
  option->text = TMtextMenuStyle::encode(item->mtext(), shortcut);
}

// ---------------------------------------------------------------------------
// Columns

namespace {
// Room between two columns; the bar runs down its middle.
constexpr int ColumnGap = 8;
}  // namespace

bool TXmlMenu::hasColumns() const {
  bool first = true;
  for (QAction* a : actions()) {
    // Widgets of QWidgetAction items are placed by QMenu alone.
    if (qobject_cast<QWidgetAction*>(a)) return false;
    if (!a->isVisible()) continue;
    const auto* item = qobject_cast<const TXmlMenuItem*>(a);
    if (!first && item && item->FBreak) return true;
    first = false;
  }
  return false;
}

// The width an item needs, measured as QMenu measures it: the caption with
// its access-key mark, at least the font's height and the icon's, then the
// style's margins, check column and shortcut room.
int TXmlMenu::naturalWidth(const QAction* action) const {
  QStyleOptionMenuItem opt;
  initStyleOption(&opt, action);
  if (action->isSeparator()) return 0;
  QString caption = opt.text;
  const int tab = caption.indexOf(QLatin1Char('\t'));
  if (tab >= 0) caption.truncate(tab);
  const QFontMetrics& fm = opt.fontMetrics;
  QSize content(fm.boundingRect(QRect(), Qt::TextSingleLine | Qt::TextShowMnemonic, caption).width(), fm.height());
  if (!action->icon().isNull()) {
    const int icon = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    content.setHeight(qMax(content.height(), icon));
  }
  return style()->sizeFromContents(QStyle::CT_MenuItem, &opt, content, this).width();
}

// Every item keeps the height QMenu gives it; a column is as wide as its
// widest item.  The columns stand side by side and each starts at the top.
const TXmlMenu::TColumns& TXmlMenu::columns() const {
  if (!FColumns) FColumns = std::make_unique<TColumns>(measureColumns());
  return *FColumns;
}

TXmlMenu::TColumns TXmlMenu::measureColumns() const {
  TColumns c;
  QStyleOption opt;
  opt.initFrom(this);
  const int fw = style()->pixelMetric(QStyle::PM_MenuPanelWidth, &opt, this);
  const int hm = style()->pixelMetric(QStyle::PM_MenuHMargin, &opt, this);
  const int vm = style()->pixelMetric(QStyle::PM_MenuVMargin, &opt, this);
  const QMargins m = contentsMargins();
  const int left = fw + hm + m.left();
  const int top = fw + vm + m.top();
  int x = left, y = top, width = 0, bottom = top;
  int columnStart = 0;
  // Items of a column take the column's width once it is complete.
  auto closeColumn = [&] {
    for (int i = columnStart; i < c.rects.size(); ++i) c.rects[i].setWidth(width);
    columnStart = c.rects.size();
  };
  for (QAction* a : actions()) {
    const QRect g = actionGeometry(a);
    if (g.isEmpty()) continue;  // hidden, or a separator QMenu folds away
    const auto* item = qobject_cast<const TXmlMenuItem*>(a);
    if (item && item->FBreak && !c.actions.isEmpty()) {
      closeColumn();
      x += width + ColumnGap;
      c.bars.push_back(x - ColumnGap / 2);
      y = top;
      width = 0;
    }
    c.actions.push_back(a);
    c.rects.push_back(QRect(x, y, 0, g.height()));
    c.columnOf.push_back(c.bars.size());
    y += g.height();
    bottom = qMax(bottom, y);
    width = qMax(width, naturalWidth(a));
  }
  closeColumn();
  c.inner = QRect(left, top, x + width - left, bottom - top);
  c.size = style()->sizeFromContents(
      QStyle::CT_Menu, &opt, QSize(x + width + hm + fw + m.right(), bottom + vm + fw + m.bottom()), this);
  return c;
}

QRect TXmlMenu::itemRect(const QAction* action) const {
  if (!hasColumns()) return actionGeometry(const_cast<QAction*>(action));
  const TColumns& c = columns();
  const int i = c.actions.indexOf(action);
  return i < 0 ? QRect() : c.rects[i];
}

int TXmlMenu::itemColumn(const QAction* action) const {
  if (!hasColumns()) return actionGeometry(const_cast<QAction*>(action)).isEmpty() ? -1 : 0;
  const TColumns& c = columns();
  const int i = c.actions.indexOf(action);
  return i < 0 ? -1 : c.columnOf[i];
}

QAction* TXmlMenu::itemAt(const QPoint& pos) const {
  if (!hasColumns()) return actionAt(pos);
  const TColumns& c = columns();
  for (int i = 0; i < c.actions.size(); ++i)
    if (c.rects[i].contains(pos)) return const_cast<QAction*>(c.actions[i]);
  return nullptr;
}

QSize TXmlMenu::sizeHint() const { return hasColumns() ? columns().size : QMenu::sizeHint(); }

// As QMenu paints itself (panel, items, frame, empty area), at the column
// places, then the bars.
void TXmlMenu::paintEvent(QPaintEvent* e) {
  if (!hasColumns()) {
    QMenu::paintEvent(e);
    return;
  }
  const TColumns& c = columns();
  QPainter p(this);
  QStyleOptionMenuItem menuOpt;
  menuOpt.initFrom(this);
  menuOpt.state = QStyle::State_None;
  menuOpt.checkType = QStyleOptionMenuItem::NotCheckable;
  menuOpt.maxIconWidth = 0;
  menuOpt.reservedShortcutWidth = 0;
  style()->drawPrimitive(QStyle::PE_PanelMenu, &menuOpt, &p, this);

  QRegion empty(rect());
  for (int i = 0; i < c.actions.size(); ++i) {
    const QRect& r = c.rects[i];
    empty -= r;
    if (!e->rect().intersects(r)) continue;
    QStyleOptionMenuItem opt;
    initStyleOption(&opt, c.actions[i]);
    opt.rect = r;
    p.setClipRect(r);
    style()->drawControl(QStyle::CE_MenuItem, &opt, &p, this);
  }
  const int fw = style()->pixelMetric(QStyle::PM_MenuPanelWidth, nullptr, this);
  if (fw > 0) {
    p.setClipRegion(QRegion(rect()) - QRegion(rect().adjusted(fw, fw, -fw, -fw)));
    QStyleOptionFrame frame;
    frame.rect = rect();
    frame.palette = palette();
    frame.state = QStyle::State_None;
    frame.lineWidth = fw;
    frame.midLineWidth = 0;
    style()->drawPrimitive(QStyle::PE_FrameMenu, &frame, &p, this);
  }
  p.setClipRegion(empty);
  menuOpt.menuItemType = QStyleOptionMenuItem::EmptyArea;
  menuOpt.rect = rect();
  menuOpt.menuRect = rect();
  style()->drawControl(QStyle::CE_MenuEmptyArea, &menuOpt, &p, this);
  p.setClipping(false);
  for (int x : c.bars) qDrawShadeLine(&p, x, c.inner.top(), x, c.inner.bottom(), palette(), true, 1, 0);
}

template <typename F>
void TXmlMenu::tracked(F step) {
  const QPointer<TXmlMenu> self(this);
  const QPointer<QAction> before = activeAction();
  step();
  if (self && hasColumns() && activeAction() != before) update();
}

// Inside a menu with columns the mouse is ours: QMenu would look for the
// items at its own places.  Outside it stays QMenu's (closing on a click
// outside, handing moves over to the parent menu).
bool TXmlMenu::ownsMouse(const QPoint& pos) const { return hasColumns() && rect().contains(pos); }

void TXmlMenu::highlightAt(const QPoint& pos) {
  QAction* a = itemAt(pos);
  if (a != activeAction()) {
    setActiveAction(a);
    update();
  }
}

void TXmlMenu::mouseMoveEvent(QMouseEvent* e) {
  const QPoint pos = e->position().toPoint();
  if (!ownsMouse(pos)) {
    tracked([&] { QMenu::mouseMoveEvent(e); });
    return;
  }
  highlightAt(pos);
}

void TXmlMenu::mousePressEvent(QMouseEvent* e) {
  const QPoint pos = e->position().toPoint();
  if (!ownsMouse(pos)) {
    tracked([&] { QMenu::mousePressEvent(e); });
    return;
  }
  highlightAt(pos);
  e->accept();
}

void TXmlMenu::mouseReleaseEvent(QMouseEvent* e) {
  const QPoint pos = e->position().toPoint();
  if (!ownsMouse(pos)) {
    tracked([&] { QMenu::mouseReleaseEvent(e); });
    return;
  }
  e->accept();
  QAction* a = itemAt(pos);
  if (!a || a->isSeparator() || !a->isEnabled() || a->menu()) return;
  if (a != activeAction()) setActiveAction(a);
  // Return on the highlighted item: QMenu closes the menus up to the bar and
  // triggers it, as for a click.
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QMenu::keyPressEvent(&enter);
}

bool TXmlMenu::moveAcross(int direction) {
  const TColumns& c = columns();
  const int i = c.actions.indexOf(activeAction());
  if (i < 0) return false;
  const int column = c.columnOf[i] + direction;
  if (column < 0 || column > c.bars.size()) return false;
  const int y = c.rects[i].center().y();
  int best = -1;
  for (int j = 0; j < c.actions.size(); ++j) {
    const QAction* a = c.actions[j];
    if (c.columnOf[j] != column || a->isSeparator() || !a->isEnabled()) continue;
    if (best < 0 || qAbs(c.rects[j].center().y() - y) < qAbs(c.rects[best].center().y() - y)) best = j;
  }
  if (best < 0) return false;
  setActiveAction(const_cast<QAction*>(c.actions[best]));
  update();
  return true;
}

// Left and Right cross the columns; Right on an item with a submenu opens
// it, and beyond the outer columns the keys do what they do in any menu.
void TXmlMenu::keyPressEvent(QKeyEvent* e) {
  if (hasColumns() && (e->key() == Qt::Key_Left || e->key() == Qt::Key_Right)) {
    const int direction = e->key() == Qt::Key_Right ? 1 : -1;
    QAction* current = activeAction();
    const bool opensSubmenu = direction > 0 && current && current->menu() && current->isEnabled();
    if (!opensSubmenu && moveAcross(direction)) {
      e->accept();
      return;
    }
  }
  tracked([&] { QMenu::keyPressEvent(e); });
}

void TXmlMenu::leaveEvent(QEvent* e) {
  tracked([&] { QMenu::leaveEvent(e); });
}

// QMenu's timers (submenu delay) move the highlight too.
void TXmlMenu::timerEvent(QTimerEvent* e) {
  tracked([&] { QMenu::timerEvent(e); });
}

// The column places are measured again after any change of the items, the
// font or the style, and at every opening.
void TXmlMenu::actionEvent(QActionEvent* e) {
  FColumns.reset();
  QMenu::actionEvent(e);
}

void TXmlMenu::changeEvent(QEvent* e) {
  FColumns.reset();
  QMenu::changeEvent(e);
}

void TXmlMenu::showEvent(QShowEvent* e) {
  FColumns.reset();
  QMenu::showEvent(e);
  placeBesideParentItem();
}

// QMenu opens a submenu beside the place the item has in its own layout.
void TXmlMenu::placeBesideParentItem() {
  QAction* own = menuAction();
  for (QObject* o : own->associatedObjects()) {
    auto* parent = qobject_cast<TXmlMenu*>(o);
    if (!parent || parent == this || !parent->isVisible() || !parent->hasColumns()) continue;
    const QRect r = parent->itemRect(own);
    if (r.isEmpty()) continue;
    const int overlap = parent->style()->pixelMetric(QStyle::PM_SubMenuOverlap, nullptr, parent);
    QPoint pos = parent->mapToGlobal(QPoint(r.right() + overlap + 1, r.top()));
    // The first item of the submenu level with the parent item.
    for (QAction* a : actions()) {
      const QRect g = actionGeometry(a);
      if (g.isEmpty()) continue;
      pos.ry() -= g.top();
      break;
    }
    if (const QScreen* screen = parent->screen()) {
      const QRect area = screen->availableGeometry();
      if (pos.x() + width() > area.right() + 1)
        pos.setX(parent->mapToGlobal(r.topLeft()).x() - overlap - width());
      pos.setY(qMax(area.top(), qMin(pos.y(), area.bottom() + 1 - height())));
      pos.setX(qMax(area.left(), pos.x()));
    }
    move(pos);
    return;
  }
}

// ---------------------------------------------------------------------------
// Menu items

TXmlMenuItem::TXmlMenuItem(QObject* owner) : TCommandWidget<QAction>(owner) {}

QString TXmlMenuItem::mtext() const {
  QString s = FArgument;
  const int p = s.indexOf(QLatin1Char('~'));
  if (p >= 0) s.remove(p, 1);
  return s;
}

TXmlMenu* TXmlMenuItem::subMenu() const { return qobject_cast<TXmlMenu*>(menu()); }

TXmlMenu* TXmlMenuItem::ensureSubMenu(QWidget* owner, TAcMtextMenu* drawer) {
  if (TXmlMenu* m = subMenu()) return m;
  auto* m = new TXmlMenu(owner, drawer);
  m->setProperty(XmlMenuMarker, QStringLiteral("submenu"));
  m->setTitle(text());
  setMenu(m);
  return m;
}
