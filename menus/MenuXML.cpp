#include "menus/MenuXML.h"

#include <QBitmap>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QMainWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QStyleOptionFrame>
#include <qdrawutil.h>
#include <QStyleOptionMenuItem>
#include <QStyleOptionToolBar>
#include <QStyleOptionToolButton>
#include <QStylePainter>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWidgetAction>

#include "menus/zorAcMtextMenus.h"
#include "core/FileErrors.h"
#include "platform/Messages.h"
#include "platform/Paths.h"

const char* const XmlMenuMarker = "korvexXmlMenu";

// ---------------------------------------------------------------------------
// Icons

QIcon TImageList::icon(int i) const { return isValidIndex(i) ? QIcon(FPixmaps[i]) : QIcon(); }

QPixmap TImageList::pixmap(int i) const { return isValidIndex(i) ? FPixmaps[i] : QPixmap(); }

void TImageList::add(const QImage& image, QRgb maskColor) {
  QImage img = image.convertToFormat(QImage::Format_ARGB32);
  const QRgb key = maskColor & 0x00FFFFFFu;
  for (int y = 0; y < img.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < img.width(); ++x)
      if ((line[x] & 0x00FFFFFFu) == key) line[x] = 0;
  }
  FPixmaps.push_back(QPixmap::fromImage(img));
}

void LoadIconStrip(TImageList& imageList, const QString& fileName) {
  QImageReader reader(fileName);
  QImage strip = reader.read();
  if (strip.isNull()) {
    QString why;
    switch (reader.error()) {
      case QImageReader::FileNotFoundError:
        why = QStringLiteral("файл не найден");
        break;
      case QImageReader::DeviceError:
        why = QStringLiteral("ошибка чтения");
        break;
      case QImageReader::UnsupportedFormatError:
        why = QStringLiteral("это не рисунок известного формата");
        break;
      default:
        why = QStringLiteral("рисунок поврежден");
        break;
    }
    throw TIconStripError(QStringLiteral("Не удалось прочитать файл значков %1: %2")
                              .arg(QDir::toNativeSeparators(fileName), why)
                              .toStdString());
  }
  const int cw = imageList.width();
  const int ch = imageList.height();
  const int columns = strip.width() / cw;
  const int rows = strip.height() / ch;
  const QRgb transparent = strip.pixel(0, 0);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < columns; ++c) imageList.add(strip.copy(c * cw, r * ch, cw, ch), transparent);
}

// ---------------------------------------------------------------------------
// Shortcuts

namespace {

struct TKeyPair {
  quint8 vk;
  int key;
  bool keypad;
};

// Keys whose Qt code differs from the virtual key code.  Letters, digits and
// function keys are computed.
const TKeyPair KeyTable[] = {
    {8, Qt::Key_Backspace, false},     {9, Qt::Key_Tab, false},          {12, Qt::Key_Clear, false},
    {13, Qt::Key_Return, false},       {19, Qt::Key_Pause, false},       {27, Qt::Key_Escape, false},
    {32, Qt::Key_Space, false},        {33, Qt::Key_PageUp, false},      {34, Qt::Key_PageDown, false},
    {35, Qt::Key_End, false},          {36, Qt::Key_Home, false},        {37, Qt::Key_Left, false},
    {38, Qt::Key_Up, false},           {39, Qt::Key_Right, false},       {40, Qt::Key_Down, false},
    {44, Qt::Key_Print, false},        {45, Qt::Key_Insert, false},      {46, Qt::Key_Delete, false},
    {106, Qt::Key_Asterisk, true},     {107, Qt::Key_Plus, true},        {109, Qt::Key_Minus, true},
    {110, Qt::Key_Period, true},       {111, Qt::Key_Slash, true},       {186, Qt::Key_Semicolon, false},
    {187, Qt::Key_Equal, false},       {188, Qt::Key_Comma, false},      {189, Qt::Key_Minus, false},
    {190, Qt::Key_Period, false},      {191, Qt::Key_Slash, false},      {192, Qt::Key_QuoteLeft, false},
    {219, Qt::Key_BracketLeft, false}, {220, Qt::Key_Backslash, false},  {221, Qt::Key_BracketRight, false},
    {222, Qt::Key_Apostrophe, false},
};

// Shifted characters of the punctuation keys, as Qt reports them when Shift
// is held: the same physical key.
const TKeyPair ShiftedTable[] = {
    {186, Qt::Key_Colon, false},     {187, Qt::Key_Plus, false},      {188, Qt::Key_Less, false},
    {189, Qt::Key_Underscore, false}, {190, Qt::Key_Greater, false},  {191, Qt::Key_Question, false},
    {192, Qt::Key_AsciiTilde, false}, {219, Qt::Key_BraceLeft, false}, {220, Qt::Key_Bar, false},
    {221, Qt::Key_BraceRight, false}, {222, Qt::Key_QuoteDbl, false},  {13, Qt::Key_Enter, true},
    {8, Qt::Key_Backtab, false},
};

int vkToKey(int vk, bool& keypad) {
  keypad = false;
  if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return vk;
  if (vk >= 112 && vk <= 135) return Qt::Key_F1 + (vk - 112);
  if (vk >= 96 && vk <= 105) {
    keypad = true;
    return Qt::Key_0 + (vk - 96);
  }
  for (const TKeyPair& p : KeyTable)
    if (p.vk == vk) {
      keypad = p.keypad;
      return p.key;
    }
  return 0;
}

int keyToVk(int key, bool keypad) {
  if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) {
    if (keypad && key >= Qt::Key_0 && key <= Qt::Key_9) return 96 + (key - Qt::Key_0);
    return key;
  }
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 112 + (key - Qt::Key_F1);
  if (key == Qt::Key_Enter) return 13;
  for (const TKeyPair& p : KeyTable)
    if (p.key == key && p.keypad == keypad) return p.vk;
  // Shifted punctuation is the key it is typed on; then a keypad flag on a
  // key that has no keypad variant, or the other way round.
  for (const TKeyPair& p : ShiftedTable)
    if (p.key == key) return p.vk;
  for (const TKeyPair& p : KeyTable)
    if (p.key == key) return p.vk;
  return 0;
}

}  // namespace

QKeySequence ShortCutToKeySequence(quint16 shortCut) {
  bool keypad = false;
  const int key = vkToKey(shortCut & 0xFF, keypad);
  if (key == 0) return QKeySequence();
  Qt::KeyboardModifiers mods;
  if (shortCut & scShift) mods |= Qt::ShiftModifier;
  if (shortCut & scCtrl) mods |= Qt::ControlModifier;
  if (shortCut & scAlt) mods |= Qt::AltModifier;
  if (keypad) mods |= Qt::KeypadModifier;
  return QKeySequence(QKeyCombination(mods, Qt::Key(key)));
}

quint16 KeySequenceToShortCut(const QKeySequence& sequence) {
  if (sequence.isEmpty()) return 0;
  const QKeyCombination kc = sequence[0];
  const int vk = keyToVk(kc.key(), kc.keyboardModifiers().testFlag(Qt::KeypadModifier));
  if (vk == 0) return 0;
  quint16 sc = quint16(vk);
  if (kc.keyboardModifiers() & Qt::ShiftModifier) sc |= scShift;
  if (kc.keyboardModifiers() & Qt::ControlModifier) sc |= scCtrl;
  if (kc.keyboardModifiers() & Qt::AltModifier) sc |= scAlt;
  return sc;
}

// ---------------------------------------------------------------------------
// Menus

TXmlMenu::TXmlMenu(QWidget* parent) : QMenu(parent) {
  setStyle(MtextMenuStyle());
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
  if (!item || !item->FAsMText || item->isSeparator() || !AcMtextMenu()) return;
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

TXmlMenuItem::TXmlMenuItem(QObject* owner) : QAction(owner) {}

QString TXmlMenuItem::mtext() const {
  QString s = FArgument;
  const int p = s.indexOf(QLatin1Char('~'));
  if (p >= 0) s.remove(p, 1);
  return s;
}

TXmlMenu* TXmlMenuItem::subMenu() const { return qobject_cast<TXmlMenu*>(menu()); }

TXmlMenu* TXmlMenuItem::ensureSubMenu(QWidget* owner) {
  if (TXmlMenu* m = subMenu()) return m;
  auto* m = new TXmlMenu(owner);
  m->setProperty(XmlMenuMarker, QStringLiteral("submenu"));
  m->setTitle(text());
  setMenu(m);
  return m;
}

// ---------------------------------------------------------------------------
// Toolbar controls

TXmlToolButton::TXmlToolButton(QWidget* parent) : QToolButton(parent) {
  setAutoRaise(true);
  setToolButtonStyle(Qt::ToolButtonIconOnly);
  setFocusPolicy(Qt::NoFocus);
}

void TXmlToolButton::makeSeparator() {
  FSeparator = true;
  setFixedWidth(8);
  updateGeometry();
}

void TXmlToolButton::makeDropdown() {
  FDropdown = true;
  setPopupMode(QToolButton::MenuButtonPopup);
}

QSize TXmlToolButton::sizeHint() const {
  const QSize base = QToolButton::sizeHint();
  if (FSeparator) return QSize(8, base.height());
  if (!icon().isNull()) return base;
  // The toolbar shows icons only: a button without one is an empty button of
  // the same size, not its caption (Qt would draw the text instead).
  QStyleOptionToolButton opt;
  initStyleOption(&opt);
  opt.text.clear();
  QSize size = style()->sizeFromContents(QStyle::CT_ToolButton, &opt, opt.iconSize, this);
  if (popupMode() == QToolButton::MenuButtonPopup)
    size.rwidth() += style()->pixelMetric(QStyle::PM_MenuButtonIndicator, &opt, this);
  return size;
}

void TXmlToolButton::paintEvent(QPaintEvent* e) {
  if (!FSeparator && !icon().isNull()) {
    QToolButton::paintEvent(e);
    return;
  }
  if (!FSeparator) {
    QStylePainter p(this);
    QStyleOptionToolButton opt;
    initStyleOption(&opt);
    opt.text.clear();
    p.drawComplexControl(QStyle::CC_ToolButton, opt);
    return;
  }
  QPainter p(this);
  QStyleOption opt;
  opt.initFrom(this);
  opt.state |= QStyle::State_Horizontal;
  style()->drawPrimitive(QStyle::PE_IndicatorToolBarSeparator, &opt, &p, this);
}

// A separator is not a button: clicks on it do nothing.
void TXmlToolButton::mousePressEvent(QMouseEvent* e) {
  if (FSeparator)
    e->ignore();
  else
    QToolButton::mousePressEvent(e);
}

void TXmlToolButton::mouseReleaseEvent(QMouseEvent* e) {
  if (FSeparator)
    e->ignore();
  else
    QToolButton::mouseReleaseEvent(e);
}

void TXmlToolButton::mouseDoubleClickEvent(QMouseEvent* e) {
  if (FSeparator)
    e->ignore();
  else
    QToolButton::mouseDoubleClickEvent(e);
}

TUpDown::TUpDown(QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  FUp = new QToolButton(this);
  FDown = new QToolButton(this);
  FUp->setArrowType(Qt::UpArrow);
  FDown->setArrowType(Qt::DownArrow);
  for (QToolButton* b : {FUp, FDown}) {
    b->setAutoRaise(true);
    b->setAutoRepeat(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setFixedSize(17, 11);
    layout->addWidget(b);
  }
  connect(FUp, &QToolButton::clicked, this, [this] { clickUp(); });
  connect(FDown, &QToolButton::clicked, this, [this] { clickDown(); });
}

void TUpDown::setRange(int min, int max) {
  FMin = min;
  FMax = max;
}

void TUpDown::setHint(const QString& hint, bool showHint) {
  FHint = hint;
  FShowHint = showHint;
  setStatusTip(hint);
  setToolTip(showHint ? hint : QString());
  for (QToolButton* b : {FUp, FDown}) {
    b->setStatusTip(hint);
    b->setToolTip(showHint ? hint : QString());
  }
}

void TUpDown::clickUp() { request(-1); }
void TUpDown::clickDown() { request(+1); }

// The position stays 0; a request is sent when the step it would make lies
// within the range, so the range -1..1 lets every click through.
void TUpDown::request(int delta) {
  if (delta < FMin || delta > FMax) return;
  emit moveLine(delta);
}

// ---------------------------------------------------------------------------
// Popup lookup

QList<TXmlMenu*> XmlPopupMenus(QWidget* form) {
  QList<TXmlMenu*> result;
  if (!form) return result;
  for (QObject* child : form->children())
    if (auto* m = qobject_cast<TXmlMenu*>(child))
      if (m->property(XmlMenuMarker).toString() == QLatin1String("popup")) result.push_back(m);
  return result;
}

TXmlMenu* FindXmlPopupMenu(QWidget* form, const QString& name) {
  for (TXmlMenu* m : XmlPopupMenus(form))
    if (m->objectName() == name) return m;
  return nullptr;
}

// ---------------------------------------------------------------------------
// Loader

TXmlToMenu::TXmlToMenu(QMainWindow* AForm, TImageList* AImageList, QToolBar* AToolBar, TMenuClickEvent AClickEvent)
    : FForm(AForm), FImageList(AImageList), FToolBar(AToolBar), FClickEvent(std::move(AClickEvent)) {
  if (!FForm) throw std::logic_error("Form not assigned");
  if (!qobject_cast<QMenuBar*>(FForm->menuWidget())) throw std::logic_error("MainMenu not assigned");
  if (!FToolBar) throw std::logic_error("ToolBar not assigned");
  if (FImageList) FToolBar->setIconSize(QSize(FImageList->width(), FImageList->height()));
  clearEarlierLoad();
}

QMenuBar* TXmlToMenu::mainMenu() const { return qobject_cast<QMenuBar*>(FForm->menuWidget()); }

namespace {
// Detached first, deleted later: the object may be the sender of the click
// that started this rebuild, and a detached object is no longer found by name.
void dispose(QObject* o) {
  if (auto* w = qobject_cast<QWidget*>(o)) w->hide();
  o->setParent(nullptr);
  o->setObjectName(QString());
  o->setProperty(XmlMenuMarker, QVariant());
  o->deleteLater();
}
}  // namespace

void TXmlToMenu::clearEarlierLoad() {
  QMenuBar* mb = mainMenu();
  const QList<QAction*> barActions = mb->actions();
  for (auto it = barActions.rbegin(); it != barActions.rend(); ++it) {
    QAction* a = *it;
    mb->removeAction(a);
    dispose(a);
  }

  const QList<QAction*> toolActions = FToolBar->actions();
  for (auto it = toolActions.rbegin(); it != toolActions.rend(); ++it) {
    QAction* a = *it;
    if (a->parent() != FToolBar) continue;
    QWidget* w = nullptr;
    if (auto* wa = qobject_cast<QWidgetAction*>(a)) w = wa->defaultWidget();
    FToolBar->removeAction(a);
    if (w) dispose(w);
    dispose(a);
  }
  // Controls of an earlier load that are not (or no longer) on the toolbar.
  const QList<QWidget*> leftOver = FToolBar->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
  for (auto it = leftOver.rbegin(); it != leftOver.rend(); ++it)
    if (qobject_cast<TXmlToolButton*>(*it) || qobject_cast<TUpDown*>(*it)) dispose(*it);

  // Popups and submenus built from the file, then the items in them.
  const QObjectList children = FForm->children();
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    QObject* o = *it;
    if (qobject_cast<QMenu*>(o) && o->property(XmlMenuMarker).isValid()) dispose(o);
  }
  const QObjectList rest = FForm->children();
  for (auto it = rest.rbegin(); it != rest.rend(); ++it)
    if (qobject_cast<TXmlMenuItem*>(*it)) dispose(*it);
}

bool TXmlToMenu::MenuLoad(const QString& FileName) {
  FErrorString.clear();
  QFile file(FileName);
  bool ok = file.open(QIODevice::ReadOnly);
  if (!ok) {
    FErrorString = FileErrorText(file);
  } else {
    TSaxHandler handler(this);
    ok = ParseMenuXml(file, handler, &FErrorString);
  }
  if (!ok) {
    if (OnParseError)
      OnParseError(file.isOpen() ? parseFailedMessage(FileName, FErrorString) : openFailedMessage(FileName, FErrorString));
    return false;
  }
  if (TAcMtextMenu* drawer = AcMtextMenu()) drawer->CalcMaxSize();
  return true;
}

QString TXmlToMenu::parseFailedMessage(const QString& fileName, const QString& error) {
  return QStringLiteral("Ошибка в файле меню %1: %2").arg(QDir::toNativeSeparators(fileName), error);
}

QString TXmlToMenu::openFailedMessage(const QString& fileName, const QString& error) {
  return QStringLiteral("Не удается открыть файл меню %1: %2").arg(QDir::toNativeSeparators(fileName), error);
}

// ---------------------------------------------------------------------------
// Choosing the file

const char* const BuiltInMenuFile = ":/korvex/menu.xml";
const char* const BuiltInMenuImagesFile = ":/korvex/menu.bmp";

QStringList MenuFileCandidates(const QString& fileName) {
  QStringList candidates{fileName};
  const QString shipped = platform::programPaths().SupportFolder + QStringLiteral("menu.xml");
  if (QFileInfo(shipped).absoluteFilePath() != QFileInfo(fileName).absoluteFilePath()) candidates << shipped;
  candidates << QString::fromLatin1(BuiltInMenuFile);
  return candidates;
}

namespace {
// Reads the whole file without building anything.
class TNoBuild : public TMenuXmlHandler {
 public:
  void startElement(TMenuElement, QStringView, const QXmlStreamAttributes&) override {}
  void endElement(TMenuElement, QStringView) override {}
};
}  // namespace

TMenuSource ChooseMenuSource(const QStringList& candidates) {
  TMenuSource source;
  for (const QString& name : candidates) {
    QFile file(name);
    QString error;
    bool ok = file.open(QIODevice::ReadOnly);
    if (!ok) {
      error = FileErrorText(file);
    } else {
      TNoBuild check;
      ok = ParseMenuXml(file, check, &error);
    }
    if (ok) {
      source.FileName = name;
      return source;
    }
    if (source.BrokenFile.isEmpty()) {
      source.BrokenFile = name;
      source.Error = file.isOpen() ? TXmlToMenu::parseFailedMessage(name, error)
                                   : TXmlToMenu::openFailedMessage(name, error);
    }
  }
  return source;
}

QString BrokenMenuMessage(const TMenuSource& source) {
  if (source.BrokenFile.isEmpty()) return QString();
  QString text = source.Error;
  if (source.FileName.isEmpty()) return text;
  text += QStringLiteral("\n\nМеню, панель инструментов и контекстное меню построены по меню, поставляемому с "
                         "программой. Файл %1 оставлен как есть; исправить его можно в редакторе меню "
                         "(Сервис › Настройка интерфейса...), который спросит перед записью.")
              .arg(QDir::toNativeSeparators(source.BrokenFile));
  return text;
}

// ---------------------------------------------------------------------------
// Element handler

static QString identifier(TMenuCommand cmd, int index) {
  return QString::asprintf("%s%.4d", MenuCommandName(cmd).toLatin1().constData(), index);
}

void TSaxHandler::startElement(TMenuElement element, QStringView, const QXmlStreamAttributes& atts) {
  if (element == meMainMenu)
    FCurSection = msMainMenu;
  else if (element == mePopupMenu)
    FCurSection = msPopupMenu;
  else if (element == meToolBar)
    FCurSection = msToolBar;
  // An ITEM without exactly the ten attributes creates nothing.
  if (element != meItem || !ReadMenuItemProps(atts, mrLoader, FItemAttr)) return;

  switch (FCurSection) {
    case msMainMenu:
      createMenuItem(FXmlToMenu->mainMenu());
      break;
    case msPopupMenu:
      if (!FCurPopMnu) {
        auto* popup = new TXmlMenu(FXmlToMenu->form());
        popup->setObjectName(FItemAttr.Caption);
        popup->setProperty(XmlMenuMarker, QStringLiteral("popup"));
        FCurPopMnu = popup;
        FCurMnuItem = nullptr;
        FAtRoot = false;
      } else {
        createMenuItem(FCurPopMnu);
      }
      break;
    case msToolBar:
      createToolControl();
      break;
    case msNone:
      break;
  }
}

TXmlMenuItem* TSaxHandler::createMenuItem(QWidget* menuRoot) {
  QMainWindow* form = FXmlToMenu->form();
  const TItemAttr& a = FItemAttr;
  auto* item = new TXmlMenuItem(form);

  QWidget* target = FCurMnuItem ? FCurMnuItem->ensureSubMenu(form) : menuRoot;
  item->FParentItem = FCurMnuItem;

  if (a.Caption == QLatin1String("-"))
    item->setSeparator(true);
  else
    item->setText(a.Caption);
  item->FCmd = a.Command;
  item->setObjectName(identifier(a.Command, FIndex));
  ++FIndex;
  if (a.Command != cmdNone && FXmlToMenu->clickEvent()) {
    const TMenuClickEvent click = FXmlToMenu->clickEvent();
    QObject::connect(item, &QAction::triggered, item, [click, item] { click(item); });
  }
  item->FArgument = a.Argument;
  item->setStatusTip(a.Hint);
  item->FImageIndex = a.ImageIndex;
  if (TImageList* icons = FXmlToMenu->imageList(); icons && icons->isValidIndex(a.ImageIndex))
    item->setIcon(icons->icon(a.ImageIndex));
  item->FBreak = a.Break;  // TXmlMenu starts a column with it
  item->FShortCut = a.ShortCut;
  if (a.ShortCut != 0) {
    item->setShortcut(ShortCutToKeySequence(a.ShortCut));
    // Popup entries repeat shortcuts of the main menu; two active equal
    // shortcuts would both be dead, so theirs work only inside the popup.
    item->setShortcutContext(FCurSection == msPopupMenu ? Qt::WidgetShortcut : Qt::WindowShortcut);
  }
  item->FAsMText = a.AsMText;
  target->addAction(item);

  if (FXmlToMenu->OnSetMenuItem) FXmlToMenu->OnSetMenuItem(item);
  FCurMnuItem = item;
  FAtRoot = false;
  return item;
}

void TSaxHandler::createToolControl() {
  QToolBar* tb = FXmlToMenu->toolBar();
  const TItemAttr& a = FItemAttr;
  if (a.Caption == QLatin1String("UPDOWN")) {
    auto* ud = new TUpDown(tb);
    ud->setHint(a.Hint, a.ShowHint);
    tb->addWidget(ud);
    FCtrl = ud;
    if (FXmlToMenu->OnSetUpDown) FXmlToMenu->OnSetUpDown(ud);
    return;
  }
  auto* button = new TXmlToolButton(tb);
  button->setIconSize(tb->iconSize());
  FCtrl = button;
  if (a.Caption == QLatin1String("-"))
    button->makeSeparator();
  else
    button->setText(a.Caption);
  button->FCmd = a.Command;
  button->setObjectName(identifier(a.Command, FIndex));
  ++FIndex;
  if (a.Command != cmdNone && FXmlToMenu->clickEvent()) {
    const TMenuClickEvent click = FXmlToMenu->clickEvent();
    QObject::connect(button, &QToolButton::clicked, button, [click, button] { click(button); });
  }
  button->FArgument = a.Argument;
  button->FHint = a.Hint;
  button->FShowHint = a.ShowHint;
  button->setStatusTip(a.Hint);
  button->setToolTip(a.ShowHint ? a.Hint : QString());
  if (!a.BtnMenu.isEmpty()) {
    button->makeDropdown();
    if (FXmlToMenu->OnDropdownMenuFind) FXmlToMenu->OnDropdownMenuFind(button, a.BtnMenu);
  }
  button->FImageIndex = a.ImageIndex;
  if (TImageList* icons = FXmlToMenu->imageList(); icons && icons->isValidIndex(a.ImageIndex))
    button->setIcon(icons->icon(a.ImageIndex));
  tb->addWidget(button);
  if (FXmlToMenu->OnSetToolButton) FXmlToMenu->OnSetToolButton(button);
}

void TSaxHandler::endElement(TMenuElement element, QStringView) {
  if (element == meMainMenu || element == mePopupMenu || element == meToolBar) {
    FCurSection = msNone;
    FCurMnuItem = nullptr;
    FAtRoot = false;
    FCurPopMnu = nullptr;
    return;
  }
  if (element != meItem || (FCurSection != msMainMenu && FCurSection != msPopupMenu)) return;
  // One level up: an item goes to its parent item, a top-level item to the
  // menu's root, and the root to "no menu", which ends a popup definition.
  if (FCurMnuItem) {
    TXmlMenuItem* parent = FCurMnuItem->FParentItem;
    FCurMnuItem = parent;
    FAtRoot = parent == nullptr;
  } else {
    FAtRoot = false;
  }
  if (!FCurMnuItem && !FAtRoot) FCurPopMnu = nullptr;
}
