#include "menus/MenuXML.h"

#include <QMainWindow>
#include <QMenuBar>
#include <QToolBar>
#include <QWidgetAction>

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
  FMtextMenu = TAcMtextMenu::of(mainMenu());
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
  TSaxHandler handler(this);
  QString message;
  if (!ReadMenuFile(FileName, handler, &FErrorString, &message)) {
    if (OnParseError) OnParseError(message);
    return false;
  }
  if (FMtextMenu) FMtextMenu->CalcMaxSize();
  return true;
}

// ---------------------------------------------------------------------------
// Element handler

namespace {
QString identifier(TMenuCommand cmd, int index) {
  return QString::asprintf("%s%.4d", MenuCommandName(cmd).toLatin1().constData(), index);
}

// The command of a menu item or a button, its identifier (command name and
// the running number of the element) and its click.
template <class TCarrier, class TSignal>
void bindCommand(TCarrier* carrier, TSignal clicked, const TItemAttr& a, int index, const TMenuClickEvent& click) {
  carrier->FCmd = a.Command;
  carrier->setObjectName(identifier(a.Command, index));
  if (a.Command != cmdNone && click)
    QObject::connect(carrier, clicked, carrier, [click, carrier] { click(carrier); });
  carrier->FArgument = a.Argument;
}
}  // namespace

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
        auto* popup = new TXmlMenu(FXmlToMenu->form(), FXmlToMenu->mtextMenu());
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

  QWidget* target = FCurMnuItem ? FCurMnuItem->ensureSubMenu(form, FXmlToMenu->mtextMenu()) : menuRoot;
  item->FParentItem = FCurMnuItem;

  if (a.Caption == QLatin1String("-"))
    item->setSeparator(true);
  else
    item->setText(a.Caption);
  bindCommand(item, &QAction::triggered, a, FIndex++, FXmlToMenu->clickEvent());
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
  bindCommand(button, &QToolButton::clicked, a, FIndex++, FXmlToMenu->clickEvent());
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
