// The menu definition loader on any bytes: menus, popups and the toolbar are
// built on a main window as the program builds them, then laid out, which
// measures every MText item through the drawer.
#include <QCoreApplication>
#include <QEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QToolBar>

#include "fuzz/FuzzCommon.h"
#include "menus/MenuXML.h"
#include "menus/zorAcMtextMenus.h"

namespace {
QMainWindow* window = nullptr;
QToolBar* toolBar = nullptr;
TImageList* icons = nullptr;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::startApplication();
  window = new QMainWindow;
  window->setMenuBar(new QMenuBar(window));
  toolBar = window->addToolBar(QStringLiteral("tbMain"));
  icons = new TImageList;
  LoadIconStrip(*icons, QStringLiteral(KORVEX_SOURCE_DIR "/Support/menu.bmp"));
  static TAcMtextMenu drawer(window->menuBar());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString path = fuzz::writeScratch(data, size, "menu.xml");
  {
    TXmlToMenu loader(window, icons, toolBar, [](QObject*) {});
    loader.OnSetUpDown = [](TUpDown* upDown) { upDown->setRange(-1, 1); };
    loader.OnDropdownMenuFind = [](TXmlToolButton* button, const QString& name) {
      if (TXmlMenu* menu = FindXmlPopupMenu(window, name)) button->setDropdownMenu(menu);
    };
    loader.OnParseError = [](const QString&) {};
    loader.MenuLoad(path);
  }
  for (TXmlMenu* popup : XmlPopupMenus(window)) popup->sizeHint();
  for (QAction* a : window->menuBar()->actions())
    if (QMenu* m = a->menu()) m->sizeHint();
  toolBar->sizeHint();
  // What the next load disposes of is deleted on the way back to the event loop.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return 0;
}
