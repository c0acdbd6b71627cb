#include "menus/UfrmMenuEdit.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <memory>

#include "platform/Paths.h"
#include "platform/Platform.h"

namespace {
constexpr int PropertiesWidth = 266;
constexpr int GroupMinWidth = 256;
constexpr QSize ClientSize(646, 494);
constexpr QSize MinClientSize(532, 494);

// ---------------------------------------------------------------------------
// Pictures of the element toolbar and of the three sections.

enum TIconKind { ikNone, ikAddChild, ikInsert, ikDelete, ikMoveUp, ikMoveDown, ikMainMenu, ikPopupMenu, ikToolBar };

QPixmap drawIcon(TIconKind kind) {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing, true);
  const QColor frame(0x40, 0x50, 0x70);
  const QColor paper(0xF4, 0xF6, 0xFA);
  const QColor green(0x2E, 0x8B, 0x3A);
  const QColor blue(0x2A, 0x5C, 0xB0);
  auto plus = [&](qreal cx, qreal cy) {
    p.setPen(Qt::NoPen);
    p.setBrush(green);
    p.drawRect(QRectF(cx - 3.5, cy - 1, 7, 2));
    p.drawRect(QRectF(cx - 1, cy - 3.5, 2, 7));
  };
  auto arrow = [&](bool up) {
    QPainterPath path;
    if (up) {
      path.moveTo(8, 2);
      path.lineTo(14, 9);
      path.lineTo(10, 9);
      path.lineTo(10, 14);
      path.lineTo(6, 14);
      path.lineTo(6, 9);
      path.lineTo(2, 9);
    } else {
      path.moveTo(8, 14);
      path.lineTo(14, 7);
      path.lineTo(10, 7);
      path.lineTo(10, 2);
      path.lineTo(6, 2);
      path.lineTo(6, 7);
      path.lineTo(2, 7);
    }
    path.closeSubpath();
    p.setPen(QPen(blue.darker(130), 1));
    p.setBrush(blue);
    p.drawPath(path);
  };
  switch (kind) {
    case ikNone:
      break;
    case ikAddChild:
      p.setPen(QPen(frame, 1));
      p.setBrush(paper);
      p.drawRect(QRectF(1.5, 1.5, 7, 5));
      p.drawLine(QPointF(4.5, 6.5), QPointF(4.5, 11.5));
      p.drawLine(QPointF(4.5, 11.5), QPointF(7.5, 11.5));
      plus(11.5, 11.5);
      break;
    case ikInsert:
      p.setPen(QPen(frame, 1));
      p.setBrush(paper);
      p.drawRect(QRectF(1.5, 9.5, 9, 5));
      plus(5.5, 4.5);
      p.setPen(QPen(green, 1.5));
      p.drawLine(QPointF(11, 4.5), QPointF(14, 4.5));
      break;
    case ikDelete:
      p.setPen(QPen(QColor(0xC0, 0x20, 0x20), 2.5, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
      p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
      break;
    case ikMoveUp:
      arrow(true);
      break;
    case ikMoveDown:
      arrow(false);
      break;
    case ikMainMenu:
      p.setPen(QPen(frame, 1));
      p.setBrush(paper);
      p.drawRect(QRectF(0.5, 2.5, 15, 11));
      p.setBrush(blue);
      p.drawRect(QRectF(0.5, 2.5, 15, 3));
      p.setPen(QPen(frame, 1));
      p.drawLine(QPointF(3, 8.5), QPointF(10, 8.5));
      p.drawLine(QPointF(3, 11.5), QPointF(8, 11.5));
      break;
    case ikPopupMenu:
      p.setPen(QPen(frame, 1));
      p.setBrush(paper);
      p.drawRect(QRectF(3.5, 1.5, 11, 13));
      p.drawLine(QPointF(5.5, 4.5), QPointF(12.5, 4.5));
      p.drawLine(QPointF(5.5, 7.5), QPointF(12.5, 7.5));
      p.drawLine(QPointF(5.5, 10.5), QPointF(11.5, 10.5));
      p.setPen(Qt::NoPen);
      p.setBrush(Qt::black);
      {
        QPainterPath cursor;
        cursor.moveTo(0.5, 6);
        cursor.lineTo(5, 10.5);
        cursor.lineTo(2.5, 10.5);
        cursor.lineTo(0.5, 13);
        cursor.closeSubpath();
        p.drawPath(cursor);
      }
      break;
    case ikToolBar:
      p.setPen(QPen(frame, 1));
      p.setBrush(paper);
      p.drawRect(QRectF(0.5, 4.5, 15, 8));
      p.setBrush(green);
      p.drawRect(QRectF(2.5, 6.5, 3, 4));
      p.setBrush(blue);
      p.drawRect(QRectF(6.5, 6.5, 3, 4));
      p.setBrush(QColor(0xD0, 0x90, 0x20));
      p.drawRect(QRectF(10.5, 6.5, 3, 4));
      break;
  }
  return pm;
}
}  // namespace

// ---------------------------------------------------------------------------
// Nodes

// Items without an icon keep the icon's room, so captions of one level line up.
QIcon BlankNodeIcon() {
  static const QIcon blank = [] {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    return QIcon(pm);
  }();
  return blank;
}

TXmlTreeNode::TXmlTreeNode() : QTreeWidgetItem(QTreeWidgetItem::UserType) {}

TMenuItemProps TXmlTreeNode::props() const {
  TMenuItemProps p;
  p.Caption = caption();
  p.Command = FCommand;
  p.Argument = FArgument;
  p.Hint = FHint;
  p.ShowHint = FShowHint;
  p.BtnMenu = FBtnMenu;
  p.ImageIndex = FImageIndex;
  p.Break = FBreak;
  p.ShortCut = FShortCut;
  p.AsMText = FAsMText;
  return p;
}

void TXmlTreeNode::setProps(const TMenuItemProps& p) {
  setText(0, p.Caption);
  FCommand = p.Command;
  FArgument = p.Argument;
  FHint = p.Hint;
  FShowHint = p.ShowHint;
  FBtnMenu = p.BtnMenu;
  FImageIndex = p.ImageIndex;
  FBreak = p.Break;
  FShortCut = p.ShortCut;
  FAsMText = p.AsMText;
}

TXmlTreeNode* TXmlTreeNode::section() {
  QTreeWidgetItem* n = this;
  while (n->parent()) n = n->parent();
  return static_cast<TXmlTreeNode*>(n);
}

// ---------------------------------------------------------------------------
// Reading into the tree and writing from it

TXmlToTree::TXmlToTree(QTreeWidget* Tree, int AMainMenuImageIndex, const TImageList* Icons)
    : FTree(Tree), FMainMenuImageIndex(AMainMenuImageIndex), FIcons(Icons) {}

void TXmlToTree::XmlLoad(const QString& FileName) { TreeLoad(ReadMenuTree(FileName)); }

void TXmlToTree::TreeLoad(const TMenuTree& tree) {
  // Icons of the strip for items; a section's own icon follows the strip.
  auto iconOf = [this](int index) { return FIcons ? FIcons->icon(index) : QIcon(); };
  const QIcon blank = BlankNodeIcon();
  std::function<void(QTreeWidgetItem*, const TMenuNode&)> add = [&](QTreeWidgetItem* parent, const TMenuNode& n) {
    auto* node = new TXmlTreeNode;
    node->setProps(n.Props);
    if (!parent) {
      const TMenuElement s = MenuSectionOf(n.Props.Caption);
      if (s != meOther) node->FImageIndex = FMainMenuImageIndex + (s - meMainMenu);
      FTree->addTopLevelItem(node);
    } else {
      parent->addChild(node);
    }
    const bool stripIcon = node->FImageIndex >= 0 && node->FImageIndex < FMainMenuImageIndex;
    node->setIcon(0, stripIcon || !parent ? iconOf(node->FImageIndex) : blank);
    for (const TMenuNode& child : n.Children) add(node, child);
  };
  FTree->setUpdatesEnabled(false);
  FTree->clear();
  for (const TMenuNode& n : tree) add(nullptr, n);
  FTree->setUpdatesEnabled(true);
}

TTreeToXml::TTreeToXml(QTreeWidget* Tree) : FTree(Tree) {
  std::function<TMenuNode(QTreeWidgetItem*)> take = [&](QTreeWidgetItem* item) {
    TMenuNode n;
    const auto* node = static_cast<TXmlTreeNode*>(item);
    n.Props = node->props();
    if (!item->parent() && MenuSectionOf(n.Props.Caption) != meOther) {
      n.Props = TMenuItemProps();
      n.Props.Caption = node->caption();
    }
    for (int i = 0; i < item->childCount(); ++i) n.Children.push_back(take(item->child(i)));
    return n;
  };
  for (int i = 0; i < FTree->topLevelItemCount(); ++i) FDoc.push_back(take(FTree->topLevelItem(i)));
}

void TTreeToXml::SaveToFile(const QString& FileName) const { SaveMenuTree(FDoc, FileName); }

// ---------------------------------------------------------------------------
// Hot-key field

THotKeyEdit::THotKeyEdit(QWidget* parent) : QLineEdit(parent) {
  setReadOnly(true);
  setContextMenuPolicy(Qt::NoContextMenu);
  setShortCut(0);
}

void THotKeyEdit::setShortCut(quint16 value) {
  FShortCut = value;
  const QKeySequence seq = ShortCutToKeySequence(value);
  setText(seq.isEmpty() ? QStringLiteral("Нет") : seq.toString(QKeySequence::NativeText));
}

bool THotKeyEdit::takeKey(int key, Qt::KeyboardModifiers modifiers) {
  const Qt::KeyboardModifiers mods = modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
  if (mods == Qt::ShiftModifier) return false;
  const quint16 sc = KeySequenceToShortCut(
      QKeySequence(QKeyCombination(mods | (modifiers & Qt::KeypadModifier), Qt::Key(key))));
  if (sc == 0) return false;
  setShortCut(sc);
  return true;
}

void THotKeyEdit::keyPressEvent(QKeyEvent* e) {
  const int key = e->key();
  const Qt::KeyboardModifiers mods = e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
  switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
    case Qt::Key_AltGr:
      e->accept();
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
      // The dialog's: Return applies, Escape closes.
      if (mods == Qt::NoModifier) {
        e->ignore();
        return;
      }
      break;
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
      if (mods == Qt::NoModifier) {
        setShortCut(0);
        e->accept();
        return;
      }
      break;
    default:
      break;
  }
  if (!takeKey(key, e->modifiers())) QApplication::beep();
  e->accept();
}

// ---------------------------------------------------------------------------
// Icon list rows

TImageIndexDelegate::TImageIndexDelegate(const TImageList* icons, QObject* parent)
    : QStyledItemDelegate(parent), FIcons(icons) {}

QSize TImageIndexDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
  // Rows take the list's width when painted; the hint only gives their height.
  return QSize(option.fontMetrics.horizontalAdvance(QStringLiteral("0000")) + 24, RowHeight);
}

void TImageIndexDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
  const QRect r = option.rect;
  const QPalette& pal = option.palette;
  painter->save();
  painter->fillRect(r, pal.color(QPalette::Base));
  const int row = index.row();
  const int iconWidth = FIcons ? FIcons->width() : 16;
  if (row > 0 && FIcons) {
    const QPixmap pm = FIcons->pixmap(row - 1);
    if (!pm.isNull()) painter->drawPixmap(r.left(), r.top() + (r.height() - pm.height()) / 2, pm);
  }
  const QRect number(r.left() + iconWidth + 2, r.top(), qMax(0, r.right() - (r.left() + iconWidth + 2) + 1),
                     r.height());
  const bool selected = option.state & QStyle::State_Selected;
  const QPalette::ColorGroup group = QPalette::Active;
  painter->fillRect(number, pal.color(group, selected ? QPalette::Highlight : QPalette::Base));
  painter->setPen(pal.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
  painter->setFont(option.font);
  const QString text = row == 0 ? QStringLiteral("нет") : QString::number(row - 1);
  painter->drawText(number.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
  if (option.state & QStyle::State_HasFocus) {
    QStyleOptionFocusRect focus;
    focus.rect = number;
    focus.palette = pal;
    focus.state = option.state;
    focus.backgroundColor = pal.color(group, selected ? QPalette::Highlight : QPalette::Base);
    const QWidget* w = option.widget;
    (w ? w->style() : QApplication::style())->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, w);
  }
  painter->restore();
}

// ---------------------------------------------------------------------------
// Dialog

TfrmMenuEdit::TfrmMenuEdit(const QString& ImagesFileName, QWidget* parent)
    : QDialog(parent), FInsertToggled(platform::insertToggled()) {
  // The icons of the strip first, so IMAGEINDEX is an index into the same
  // list; the sections' own icons come after them.
  LoadIconStrip(imlIcons, ImagesFileName);
  FStripCount = imlIcons.count();
  for (TIconKind k : {ikMainMenu, ikPopupMenu, ikToolBar}) imlIcons.add(drawIcon(k));
  for (TIconKind k : {ikNone, ikAddChild, ikInsert, ikDelete, ikMoveUp, ikMoveDown}) imlMain.add(drawIcon(k));

  buildLayout();

  lbImageIndex->clear();
  for (int i = 0; i <= FStripCount; ++i)
    lbImageIndex->addItem(i == 0 ? QStringLiteral("нет") : QString::number(i - 1));
  lbImageIndex->setCurrentRow(0);
  lbCommand->clear();
  for (int i = 0; i < MenuCommandCount; ++i) lbCommand->addItem(MenuCommandCaption(TMenuCommand(i)));
  lbCommand->setCurrentRow(0);
  clearProperties();
}

void TfrmMenuEdit::buildLayout() {
  setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
  setSizeGripEnabled(true);

  gbElements = new QGroupBox(QStringLiteral(" Элементы "));
  tbElements = new QToolBar(gbElements);
  tbElements->setIconSize(QSize(16, 16));
  tbElements->setMovable(false);
  tbElements->setFloatable(false);
  tbElements->installEventFilter(this);
  auto makeAction = [this](int icon, const QString& hint, void (TfrmMenuEdit::*handler)()) {
    auto* a = new QAction(imlMain.icon(icon), hint, this);
    a->setToolTip(hint);
    connect(a, &QAction::triggered, this, handler);
    tbElements->addAction(a);
    return a;
  };
  acAddChild = makeAction(1, QStringLiteral("Добавить дочерний элемент"), &TfrmMenuEdit::acAddChildExecute);
  acInsert = makeAction(2, QStringLiteral("Вставить элемент"), &TfrmMenuEdit::acInsertExecute);
  acDelete = makeAction(3, QStringLiteral("Удалить элемент"), &TfrmMenuEdit::acDeleteAsk);
  acMoveUp = makeAction(4, QStringLiteral("Переместить вверх"), &TfrmMenuEdit::acMoveUpExecute);
  acMoveDown = makeAction(5, QStringLiteral("Переместить вниз"), &TfrmMenuEdit::acMoveDownExecute);
  tbElements->widgetForAction(acAddChild)->setObjectName(QStringLiteral("btnAddChild"));
  tbElements->widgetForAction(acInsert)->setObjectName(QStringLiteral("btnInsert"));
  tbElements->widgetForAction(acDelete)->setObjectName(QStringLiteral("btnDelete"));
  tbElements->widgetForAction(acMoveUp)->setObjectName(QStringLiteral("btnMoveUp"));
  tbElements->widgetForAction(acMoveDown)->setObjectName(QStringLiteral("btnMoveDown"));

  tvElements = new QTreeWidget(gbElements);
  tvElements->setHeaderHidden(true);
  tvElements->setColumnCount(1);
  tvElements->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tvElements->setSelectionMode(QAbstractItemView::SingleSelection);
  tvElements->setIconSize(QSize(16, 16));
  tvElements->installEventFilter(this);
  // The selection stays visible while the properties are being edited.
  QPalette pal = tvElements->palette();
  for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
    pal.setColor(QPalette::Inactive, role, pal.color(QPalette::Active, role));
  tvElements->setPalette(pal);
  // Selection, not the current item: a mouse click makes an item current
  // before it selects it.
  connect(tvElements, &QTreeWidget::itemSelectionChanged, this, [this] { tvElementsChange(); });

  auto* left = new QVBoxLayout(gbElements);
  left->setContentsMargins(4, 4, 4, 4);
  left->setSpacing(2);
  left->addWidget(tbElements);
  left->addWidget(tvElements, 1);

  gbProperties = new QGroupBox(QStringLiteral(" Свойства "));
  auto* form = new QVBoxLayout(gbProperties);
  form->setContentsMargins(6, 4, 6, 6);
  form->setSpacing(2);
  auto label = [this](const QString& text, QWidget* buddy) {
    auto* l = new QLabel(text, gbProperties);
    l->setBuddy(buddy);
    return l;
  };
  auto row = [&](QLabel* l, QWidget* field) {
    auto* h = new QHBoxLayout;
    h->setSpacing(4);
    l->setMinimumWidth(l->sizeHint().width());
    h->addWidget(l);
    h->addWidget(field, 1);
    form->addLayout(h);
  };

  edCaption = new QLineEdit(gbProperties);
  lblCaption = label(QStringLiteral("Заголовок:"), edCaption);
  row(lblCaption, edCaption);

  lbCommand = new QListWidget(gbProperties);
  lblCommand = label(QStringLiteral("Команда:"), lbCommand);
  form->addWidget(lblCommand);
  form->addWidget(lbCommand, 1);

  lbImageIndex = new QListWidget(gbProperties);
  lbImageIndex->setItemDelegate(new TImageIndexDelegate(&imlIcons, lbImageIndex));
  lbImageIndex->setUniformItemSizes(true);
  lbImageIndex->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  lblImageIndex = label(QStringLiteral("Значок:"), lbImageIndex);
  form->addWidget(lblImageIndex);
  form->addWidget(lbImageIndex, 1);

  edArgument = new QLineEdit(gbProperties);
  lblArgument = label(QStringLiteral("Параметр команды:"), edArgument);
  row(lblArgument, edArgument);
  edHint = new QLineEdit(gbProperties);
  lblHint = label(QStringLiteral("Подсказка:"), edHint);
  row(lblHint, edHint);
  chbShowHint = new QCheckBox(QStringLiteral("Показывать подсказку"), gbProperties);
  form->addWidget(chbShowHint);
  edBtnMenu = new QLineEdit(gbProperties);
  lblBtnMenu = label(QStringLiteral("Меню кнопки:"), edBtnMenu);
  row(lblBtnMenu, edBtnMenu);
  hkShortCut = new THotKeyEdit(gbProperties);
  lblShortCut = label(QStringLiteral("Сочетание клавиш:"), hkShortCut);
  row(lblShortCut, hkShortCut);

  auto* checks = new QHBoxLayout;
  chbBreak = new QCheckBox(QStringLiteral("Разрыв"), gbProperties);
  chbAsMtext = new QCheckBox(QStringLiteral("Мтекст"), gbProperties);
  checks->addWidget(chbBreak);
  checks->addWidget(chbAsMtext);
  checks->addStretch(1);
  form->addLayout(checks);

  auto* buttons = new QHBoxLayout;
  btnApply = new QPushButton(QStringLiteral("Применить"), gbProperties);
  btnHelp = new QPushButton(QStringLiteral("Справка"), gbProperties);
  // Return in any property field applies.
  btnApply->setDefault(true);
  btnHelp->setAutoDefault(false);
  buttons->addWidget(btnApply);
  buttons->addStretch(1);
  buttons->addWidget(btnHelp);
  form->addLayout(buttons);
  connect(btnApply, &QPushButton::clicked, this, [this] { btnApplyClick(); });
  connect(btnHelp, &QPushButton::clicked, this, [this] { btnHelpClick(); });

  vSplitter = new QSplitter(Qt::Horizontal, this);
  vSplitter->setChildrenCollapsible(false);
  vSplitter->addWidget(gbElements);
  vSplitter->addWidget(gbProperties);
  // The tree takes what the window gains or loses; below its minimum the
  // properties give way.
  vSplitter->setStretchFactor(0, 1);
  vSplitter->setStretchFactor(1, 0);
  gbElements->setMinimumWidth(GroupMinWidth);
  gbProperties->setMinimumWidth(GroupMinWidth);

  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(4, 4, 4, 4);
  outer->addWidget(vSplitter);

  setMinimumSize(MinClientSize);
  resize(ClientSize);
  const int handle = vSplitter->handleWidth();
  vSplitter->setSizes({ClientSize.width() - 8 - handle - PropertiesWidth, PropertiesWidth});
}

void TfrmMenuEdit::LoadFile(const QString& FileName) {
  FXmlFileName = FileName;
  TXmlToTree(tvElements, FStripCount, &imlIcons).XmlLoad(FileName);
  for (int i = 0; i < tvElements->topLevelItemCount(); ++i) tvElements->topLevelItem(i)->setExpanded(true);
  // The file a save goes to (the user's copy of a shipped menu).
  setWindowTitle(QDir::toNativeSeparators(platform::writeTarget(FileName)));
  if (tvElements->topLevelItemCount() > 0) tvElements->setCurrentItem(tvElements->topLevelItem(0));
  tvElementsChange();
  FModified = false;
  FReplacesBroken = false;
}

void TfrmMenuEdit::LoadInPlaceOf(const QString& FileName, const QString& Source) {
  LoadFile(Source);
  FXmlFileName = FileName;
  setWindowTitle(QDir::toNativeSeparators(platform::writeTarget(FileName)));
  FReplacesBroken = true;
}

void TfrmMenuEdit::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (FShownOnce) return;
  FShownOnce = true;
  if (QScreen* screen = this->screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  tvElements->setFocus();
}

TXmlTreeNode* TfrmMenuEdit::selectedNode() const {
  const QList<QTreeWidgetItem*> selected = tvElements->selectedItems();
  return selected.isEmpty() ? nullptr : static_cast<TXmlTreeNode*>(selected.first());
}

void TfrmMenuEdit::setNodeImage(TXmlTreeNode* node, int imageIndex) {
  node->FImageIndex = imageIndex;
  node->setIcon(0, imageIndex >= 0 && imageIndex < FStripCount ? imlIcons.icon(imageIndex) : BlankNodeIcon());
}

void TfrmMenuEdit::clearProperties() {
  edCaption->clear();
  edArgument->clear();
  edHint->clear();
  edBtnMenu->clear();
  lbCommand->setCurrentRow(0);
  lbImageIndex->setCurrentRow(0);
  chbShowHint->setChecked(false);
  chbBreak->setChecked(false);
  chbAsMtext->setChecked(false);
  hkShortCut->setShortCut(0);
}

void TfrmMenuEdit::tvElementsChange() {
  const QList<QWidget*> controls = {lblCaption, edCaption,   lblCommand, lbCommand,  lblImageIndex, lbImageIndex,
                                    lblArgument, edArgument, lblHint,    edHint,     chbShowHint,   lblBtnMenu,
                                    edBtnMenu,   lblShortCut, hkShortCut, chbBreak, chbAsMtext,     btnApply};
  TXmlTreeNode* node = selectedNode();
  if (!node || node->isSection()) {
    for (QWidget* w : controls) w->setEnabled(false);
    clearProperties();
    return;
  }
  for (QWidget* w : controls) w->setEnabled(true);
  edCaption->setText(node->caption());
  lbCommand->setCurrentRow(node->FCommand < MenuCommandCount ? int(node->FCommand) : 0);
  // An index beyond the strip selects nothing; the node keeps it until another is chosen.
  const int entry = node->FImageIndex + 1;
  if (entry >= 0 && entry < lbImageIndex->count())
    lbImageIndex->setCurrentRow(entry);
  else
    lbImageIndex->setCurrentRow(-1);
  if (lbImageIndex->currentItem()) lbImageIndex->scrollToItem(lbImageIndex->currentItem());
  lbCommand->scrollToItem(lbCommand->currentItem());
  edArgument->setText(node->FArgument);
  edHint->setText(node->FHint);
  chbShowHint->setChecked(node->FShowHint);
  edBtnMenu->setText(node->FBtnMenu);
  // A long text shows its start, not its end.
  for (QLineEdit* field : {edCaption, edArgument, edHint, edBtnMenu}) field->setCursorPosition(0);
  chbBreak->setChecked(node->FBreak);
  hkShortCut->setShortCut(node->FShortCut);
  chbAsMtext->setChecked(node->FAsMText);

  const QString section = node->section()->caption();
  const QString parent = node->parent()->text(0);
  const bool btnMenu = parent == QLatin1String("TOOLBAR") && node->caption() != QLatin1String("-");
  const bool shortCut = section != QLatin1String("TOOLBAR");
  const bool brk = shortCut && parent != QLatin1String("MAINMENU") && parent != QLatin1String("POPUPMENU");
  const bool mtext = brk && section != QLatin1String("POPUPMENU");
  lblBtnMenu->setEnabled(btnMenu);
  edBtnMenu->setEnabled(btnMenu);
  lblShortCut->setEnabled(shortCut);
  hkShortCut->setEnabled(shortCut);
  chbBreak->setEnabled(brk);
  chbAsMtext->setEnabled(mtext);
}

void TfrmMenuEdit::ApplyProperties(TXmlTreeNode* node) {
  if (!node) return;
  tvElements->setUpdatesEnabled(false);
  node->setText(0, edCaption->text());
  node->FCommand = MenuCommandFromInt(lbCommand->currentRow());
  node->FArgument = edArgument->text();
  node->FHint = edHint->text();
  node->FBtnMenu = edBtnMenu->text();
  node->FShowHint = chbShowHint->isChecked();
  node->FBreak = chbBreak->isChecked();
  node->FAsMText = chbAsMtext->isChecked();
  if (lbImageIndex->currentRow() >= 0) setNodeImage(node, lbImageIndex->currentRow() - 1);
  node->FShortCut = hkShortCut->shortCut();
  tvElements->setUpdatesEnabled(true);
  FModified = true;
}

TXmlTreeNode* TfrmMenuEdit::newNodeFromControls() {
  auto* node = new TXmlTreeNode;
  node->setText(0, edCaption->text());
  return node;
}

void TfrmMenuEdit::btnApplyClick() {
  TXmlTreeNode* node = selectedNode();
  if (node && !node->isSection()) ApplyProperties(node);
}

void TfrmMenuEdit::acAddChildExecute() {
  TXmlTreeNode* parent = selectedNode();
  if (!parent) return;
  // The controls are what the new node gets: nothing may refill them meanwhile.
  const QSignalBlocker keep(tvElements);
  TXmlTreeNode* node = newNodeFromControls();
  parent->addChild(node);
  ApplyProperties(node);
  // The new node is shown but not selected: the parent stays current.
  parent->setExpanded(true);
}

void TfrmMenuEdit::acInsertExecute() {
  TXmlTreeNode* current = selectedNode();
  if (!current || current->isSection()) return;
  QTreeWidgetItem* parent = current->parent();
  const QSignalBlocker keep(tvElements);
  TXmlTreeNode* node = newNodeFromControls();
  parent->insertChild(parent->indexOfChild(current), node);
  ApplyProperties(node);
}

void TfrmMenuEdit::acInsertAfter() {
  TXmlTreeNode* current = selectedNode();
  if (!current) return;
  if (current->isSection()) {
    acAddChildExecute();
    if (current->childCount() > 0) tvElements->setCurrentItem(current->child(current->childCount() - 1));
    return;
  }
  QTreeWidgetItem* parent = current->parent();
  TXmlTreeNode* node = nullptr;
  {
    const QSignalBlocker keep(tvElements);
    node = newNodeFromControls();
    parent->insertChild(parent->indexOfChild(current) + 1, node);
    ApplyProperties(node);
  }
  tvElements->setCurrentItem(node);
}

void TfrmMenuEdit::acDeleteAsk() {
  TXmlTreeNode* current = selectedNode();
  if (!current || current->isSection()) return;
  const QString what = current->childCount() > 0 ? QStringLiteral("Удалить элемент «%1» со всеми вложенными?")
                                                 : QStringLiteral("Удалить элемент «%1»?");
  if (!platform::askYesNo(this, what.arg(current->caption()), QMessageBox::Yes)) return;
  acDeleteExecute();
}

void TfrmMenuEdit::acDeleteExecute() {
  TXmlTreeNode* current = selectedNode();
  if (!current || current->isSection()) return;
  QTreeWidgetItem* parent = current->parent();
  const int index = parent->indexOfChild(current);
  // The neighbour below takes the selection, else the one above, else the parent.
  QTreeWidgetItem* next = parent->child(index + 1);
  if (!next) next = index > 0 ? parent->child(index - 1) : parent;
  tvElements->setCurrentItem(next);
  delete parent->takeChild(parent->indexOfChild(current));
  FModified = true;
}

namespace {
void saveExpanded(QTreeWidgetItem* item, QList<QTreeWidgetItem*>& expanded) {
  if (item->isExpanded()) expanded.push_back(item);
  for (int i = 0; i < item->childCount(); ++i) saveExpanded(item->child(i), expanded);
}
}  // namespace

void TfrmMenuEdit::moveNode(TXmlTreeNode* node, int newIndex) {
  QTreeWidgetItem* parent = node->parent();
  QList<QTreeWidgetItem*> expanded;
  saveExpanded(node, expanded);
  const bool blocked = tvElements->blockSignals(true);
  parent->takeChild(parent->indexOfChild(node));
  parent->insertChild(newIndex, node);
  for (QTreeWidgetItem* item : expanded) item->setExpanded(true);
  tvElements->setCurrentItem(node);
  tvElements->blockSignals(blocked);
  FModified = true;
}

void TfrmMenuEdit::acMoveUpExecute() {
  TXmlTreeNode* current = selectedNode();
  if (!current || current->isSection()) return;
  const int index = current->parent()->indexOfChild(current);
  if (index == 0) return;
  moveNode(current, index - 1);
}

void TfrmMenuEdit::acMoveDownExecute() {
  TXmlTreeNode* current = selectedNode();
  if (!current || current->isSection()) return;
  QTreeWidgetItem* parent = current->parent();
  const int index = parent->indexOfChild(current);
  if (index + 1 >= parent->childCount()) return;
  // Taken out first, the node lands one place further down.
  moveNode(current, index + 1);
}

void TfrmMenuEdit::tbElementsClick() {
  TXmlTreeNode* node = selectedNode();
  if (!node) return;
  platform::showMessage(this, node->section()->caption());
}

// The children outlive this part of the dialog and still get events while
// QWidget deletes them; the filter must not see them then.
TfrmMenuEdit::~TfrmMenuEdit() {
  tbElements->removeEventFilter(this);
  tvElements->removeEventFilter(this);
}

void TfrmMenuEdit::btnHelpClick() { platform::showHelp(this, 320); }

bool TfrmMenuEdit::eventFilter(QObject* watched, QEvent* event) {
  if (watched == tbElements && event->type() == QEvent::MouseButtonPress) {
    auto* me = static_cast<QMouseEvent*>(event);
    if (!qobject_cast<QToolButton*>(tbElements->childAt(me->position().toPoint()))) {
      tbElementsClick();
      return true;
    }
  }
  if (watched == tvElements && event->type() == QEvent::KeyPress) {
    auto* ke = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers mods = ke->modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::NoModifier && ke->key() == Qt::Key_Insert) {
      acInsertAfter();
      return true;
    }
    if (mods == Qt::NoModifier && ke->key() == Qt::Key_Delete) {
      acDeleteAsk();
      return true;
    }
    if (mods == Qt::ControlModifier && ke->key() == Qt::Key_Up) {
      acMoveUpExecute();
      return true;
    }
    if (mods == Qt::ControlModifier && ke->key() == Qt::Key_Down) {
      acMoveDownExecute();
      return true;
    }
    if (mods == Qt::NoModifier && (ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter ||
                                   ke->key() == Qt::Key_F2)) {
      // On to the properties of the item (a section has none).
      if (edCaption->isEnabled()) {
        edCaption->setFocus();
        edCaption->selectAll();
      }
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TfrmMenuEdit::done(int r) {
  Q_UNUSED(r);
  // Insert adds items here; it is not the text editor's insert-mode toggle.
  platform::setInsertToggled(FInsertToggled);
  int result = QDialog::Rejected;
  if (FModified || FReplacesBroken) {
    const QString question =
        FReplacesBroken ? QStringLiteral("Файл меню %1 поврежден или отсутствует. Записать в него это меню?")
                              .arg(QDir::toNativeSeparators(FXmlFileName))
                        : QStringLiteral("Меню изменено. Сохранить?");
    QMessageBox box(QMessageBox::Question, QCoreApplication::applicationName(), question,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    QAbstractButton* yes = box.button(QMessageBox::Yes);
    QAbstractButton* cancel = box.button(QMessageBox::Cancel);
    const int answer = platform::execDialog(&box);
    // Cancel (or Escape, or the box's close button) is back to the editing.
    if (box.clickedButton() == cancel || answer == QMessageBox::Cancel) return;
    if (box.clickedButton() == yes || answer == QMessageBox::Yes) {
      try {
        // The shipped menu of an installed program is never written: the
        // first save makes the user's copy.
        const QString target = platform::writablePath(FXmlFileName);
        TTreeToXml(tvElements).SaveToFile(target);
        FXmlFileName = target;
      } catch (const TMenuFileError& e) {
        // The tree is the user's work: it stays, and so does the dialog.
        platform::showError(this, QString::fromUtf8(e.what()));
        return;
      }
      FModified = false;
      FReplacesBroken = false;
      result = QDialog::Accepted;
    }
  }
  QDialog::done(result);
}

bool EditMenuFile(const QString& FileName, const QString& ImagesFileName, QWidget* parent) {
  std::unique_ptr<TfrmMenuEdit> dlg;
  try {
    dlg = std::make_unique<TfrmMenuEdit>(ImagesFileName, parent);
  } catch (const TIconStripError&) {
    // The main window has said so and runs on the built-in icons; so does the editor.
    dlg = std::make_unique<TfrmMenuEdit>(QString::fromLatin1(BuiltInMenuImagesFile), parent);
  }
  try {
    dlg->LoadFile(FileName);
  } catch (const TMenuFileError&) {
    // The menu the main window runs on, so that the broken file can be mended.
    const TMenuSource source = ChooseMenuSource(MenuFileCandidates(FileName));
    if (source.FileName.isEmpty()) throw;
    dlg->LoadInPlaceOf(FileName, source.FileName);
  }
  // The result the dialog ended with: only a save on closing makes it Accepted.
  platform::execDialog(dlg.get());
  return dlg->result() == QDialog::Accepted;
}
