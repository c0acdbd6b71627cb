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

#include "menus/MenuEditIcons.h"
#include "platform/Paths.h"
#include "platform/Platform.h"

namespace {
constexpr int PropertiesWidth = 266;
constexpr int GroupMinWidth = 256;
constexpr QSize ClientSize(646, 494);
constexpr QSize MinClientSize(532, 494);
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
  for (TIconKind k : {ikMainMenu, ikPopupMenu, ikToolBar}) imlIcons.add(DrawMenuEditIcon(k));
  for (TIconKind k : {ikNone, ikAddChild, ikInsert, ikDelete, ikMoveUp, ikMoveDown}) imlMain.add(DrawMenuEditIcon(k));

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

  buildElementsGroup();
  QVBoxLayout* form = buildPropertiesGroup();

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

void TfrmMenuEdit::buildElementsGroup() {
  gbElements = new QGroupBox(QStringLiteral(" Элементы "));
  tbElements = new QToolBar(gbElements);
  tbElements->setIconSize(QSize(16, 16));
  tbElements->setMovable(false);
  tbElements->setFloatable(false);
  tbElements->installEventFilter(this);
  auto makeAction = [this](int icon, const QString& hint, void (TfrmMenuEdit::*handler)(), const char* button) {
    auto* a = new QAction(imlMain.icon(icon), hint, this);
    a->setToolTip(hint);
    connect(a, &QAction::triggered, this, handler);
    tbElements->addAction(a);
    tbElements->widgetForAction(a)->setObjectName(QLatin1String(button));
    return a;
  };
  acAddChild =
      makeAction(1, QStringLiteral("Добавить дочерний элемент"), &TfrmMenuEdit::acAddChildExecute, "btnAddChild");
  acInsert = makeAction(2, QStringLiteral("Вставить элемент"), &TfrmMenuEdit::acInsertExecute, "btnInsert");
  acDelete = makeAction(3, QStringLiteral("Удалить элемент"), &TfrmMenuEdit::acDeleteAsk, "btnDelete");
  acMoveUp = makeAction(4, QStringLiteral("Переместить вверх"), &TfrmMenuEdit::acMoveUpExecute, "btnMoveUp");
  acMoveDown = makeAction(5, QStringLiteral("Переместить вниз"), &TfrmMenuEdit::acMoveDownExecute, "btnMoveDown");

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
}

QVBoxLayout* TfrmMenuEdit::buildPropertiesGroup() {
  gbProperties = new QGroupBox(QStringLiteral(" Свойства "));
  auto* form = new QVBoxLayout(gbProperties);
  form->setContentsMargins(6, 4, 6, 6);
  form->setSpacing(2);
  auto label = [this](QLabel*& l, const QString& text, QWidget* buddy) {
    l = new QLabel(text, gbProperties);
    l->setBuddy(buddy);
  };
  // A field with its label in front of it.
  auto beside = [&](QLabel*& l, const QString& text, auto* field) {
    label(l, text, field);
    auto* h = new QHBoxLayout;
    h->setSpacing(4);
    l->setMinimumWidth(l->sizeHint().width());
    h->addWidget(l);
    h->addWidget(field, 1);
    form->addLayout(h);
    return field;
  };
  // A list with its label above it; the lists share the height left over.
  auto above = [&](QLabel*& l, const QString& text, QListWidget* list) {
    label(l, text, list);
    form->addWidget(l);
    form->addWidget(list, 1);
    return list;
  };

  edCaption = beside(lblCaption, QStringLiteral("Заголовок:"), new QLineEdit(gbProperties));
  lbCommand = above(lblCommand, QStringLiteral("Команда:"), new QListWidget(gbProperties));
  lbImageIndex = above(lblImageIndex, QStringLiteral("Значок:"), new QListWidget(gbProperties));
  lbImageIndex->setItemDelegate(new TImageIndexDelegate(&imlIcons, lbImageIndex));
  lbImageIndex->setUniformItemSizes(true);
  lbImageIndex->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

  edArgument = beside(lblArgument, QStringLiteral("Параметр команды:"), new QLineEdit(gbProperties));
  edHint = beside(lblHint, QStringLiteral("Подсказка:"), new QLineEdit(gbProperties));
  chbShowHint = new QCheckBox(QStringLiteral("Показывать подсказку"), gbProperties);
  form->addWidget(chbShowHint);
  edBtnMenu = beside(lblBtnMenu, QStringLiteral("Меню кнопки:"), new QLineEdit(gbProperties));
  hkShortCut = beside(lblShortCut, QStringLiteral("Сочетание клавиш:"), new THotKeyEdit(gbProperties));

  auto* checks = new QHBoxLayout;
  chbBreak = new QCheckBox(QStringLiteral("Разрыв"), gbProperties);
  chbAsMtext = new QCheckBox(QStringLiteral("Мтекст"), gbProperties);
  checks->addWidget(chbBreak);
  checks->addWidget(chbAsMtext);
  checks->addStretch(1);
  form->addLayout(checks);
  return form;
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
    struct TTreeKey {
      Qt::KeyboardModifiers mods;
      int key;
      void (TfrmMenuEdit::*run)();
    };
    const TTreeKey keys[] = {
        {Qt::NoModifier, Qt::Key_Insert, &TfrmMenuEdit::acInsertAfter},
        {Qt::NoModifier, Qt::Key_Delete, &TfrmMenuEdit::acDeleteAsk},
        {Qt::ControlModifier, Qt::Key_Up, &TfrmMenuEdit::acMoveUpExecute},
        {Qt::ControlModifier, Qt::Key_Down, &TfrmMenuEdit::acMoveDownExecute},
    };
    for (const TTreeKey& k : keys)
      if (mods == k.mods && ke->key() == k.key) {
        (this->*k.run)();
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

// What a close does with a modified tree: the caller's Accepted keeps the
// edits (written without a question), anything else asks.  The dialog's
// result is Accepted exactly when the file was written.
void TfrmMenuEdit::done(int r) {
  // Insert adds items here; it is not the text editor's insert-mode toggle.
  platform::setInsertToggled(FInsertToggled);
  int result = QDialog::Rejected;
  if (FModified || FReplacesBroken) {
    const QMessageBox::StandardButton answer = r == QDialog::Accepted ? QMessageBox::Yes : askToSave();
    // Cancel (or Escape, or the box's close button) is back to the editing.
    if (answer == QMessageBox::Cancel) return;
    if (answer == QMessageBox::Yes) {
      // The tree is the user's work: when it cannot be written it stays, and so does the dialog.
      if (!saveTree()) return;
      result = QDialog::Accepted;
    }
  }
  QDialog::done(result);
}

QMessageBox::StandardButton TfrmMenuEdit::askToSave() {
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
  if (box.clickedButton() == cancel || answer == QMessageBox::Cancel) return QMessageBox::Cancel;
  if (box.clickedButton() == yes || answer == QMessageBox::Yes) return QMessageBox::Yes;
  return QMessageBox::No;
}

bool TfrmMenuEdit::saveTree() {
  try {
    // The shipped menu of an installed program is never written: the
    // first save makes the user's copy.
    const QString target = platform::writablePath(FXmlFileName);
    TTreeToXml(tvElements).SaveToFile(target);
    FXmlFileName = target;
  } catch (const TMenuFileError& e) {
    platform::showError(this, QString::fromUtf8(e.what()));
    return false;
  }
  FModified = false;
  FReplacesBroken = false;
  return true;
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
