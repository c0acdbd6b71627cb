#pragma once
// Menus, popup menus and the toolbar built at run time from Support/menu.xml
// and the icon strip Support/menu.bmp.
#include <QString>
#include <functional>

#include "menus/ImageList.h"
#include "menus/KeyNames.h"
#include "menus/MenuCommands.h"
#include "menus/MenuSource.h"
#include "menus/MenuXmlReader.h"
#include "menus/UpDown.h"
#include "menus/XmlMenu.h"
#include "menus/XmlToolButton.h"

class QMainWindow;
class QMenuBar;
class QToolBar;
class QXmlStreamAttributes;

// ---------------------------------------------------------------------------
// Loader

enum TMenuXmlSection { msNone, msMainMenu, msPopupMenu, msToolBar };

using TMenuClickEvent = std::function<void(QObject* Sender)>;
using TSetMenuItemEvent = std::function<void(TXmlMenuItem* MenuItem)>;
using TSetToolButtonEvent = std::function<void(TXmlToolButton* Button)>;
using TSetUpDownEvent = std::function<void(TUpDown* UpDown)>;
using TDropdownMenuFindEvent = std::function<void(TXmlToolButton* Button, const QString& MnuName)>;

// The attributes of one ITEM, read by the loader's rules of the shared
// reading layer (exactly the ten, IMAGEINDEX -1 when not a number).
using TItemAttr = TMenuItemProps;

class TXmlToMenu;

// Receives the elements of the file in document order and builds as they come.
class TSaxHandler : public TMenuXmlHandler {
 public:
  explicit TSaxHandler(TXmlToMenu* owner) : FXmlToMenu(owner) {}
  void startElement(TMenuElement element, QStringView localName, const QXmlStreamAttributes& atts) override;
  void endElement(TMenuElement element, QStringView localName) override;

  TMenuXmlSection section() const { return FCurSection; }

 private:
  TXmlMenuItem* createMenuItem(QWidget* menuRoot);
  void createToolControl();

  TXmlToMenu* FXmlToMenu;
  TMenuXmlSection FCurSection = msNone;
  TXmlMenu* FCurPopMnu = nullptr;
  // Where the next item goes: a menu item, or nullptr for the top level of
  // the current menu.  FAtRoot tells "top level" apart from "no menu open".
  TXmlMenuItem* FCurMnuItem = nullptr;
  bool FAtRoot = false;
  QWidget* FCtrl = nullptr;
  TItemAttr FItemAttr;
  int FIndex = 0;
};

class TXmlToMenu {
 public:
  // Checks the arguments (std::logic_error "Form not assigned", "MainMenu not
  // assigned", "ToolBar not assigned") and destroys what an earlier load built:
  // the main menu's items, the toolbar's controls and the window's popups.
  TXmlToMenu(QMainWindow* AForm, TImageList* AImageList, QToolBar* AToolBar, TMenuClickEvent AClickEvent);

  // Parses the file and builds.  False when the parser rejected the file (or
  // there is none): FOnParseError is called with a Russian message naming the
  // file, line and column; what was built stays and the MText re-measuring is
  // skipped.
  bool MenuLoad(const QString& FileName);

  TSetMenuItemEvent OnSetMenuItem;
  TSetToolButtonEvent OnSetToolButton;
  TSetUpDownEvent OnSetUpDown;
  TDropdownMenuFindEvent OnDropdownMenuFind;
  // Shows the failure message; the main window puts it in a plain message box.
  std::function<void(const QString& message)> OnParseError;

  QMainWindow* form() const { return FForm; }
  QMenuBar* mainMenu() const;
  QToolBar* toolBar() const { return FToolBar; }
  TImageList* imageList() const { return FImageList; }
  // The MText drawer attached to the window's menu bar, or nullptr: the
  // menus are drawn with its style and handed to it for measuring.
  TAcMtextMenu* mtextMenu() const { return FMtextMenu; }
  const TMenuClickEvent& clickEvent() const { return FClickEvent; }
  QString errorString() const { return FErrorString; }

  static QString parseFailedMessage(const QString& fileName, const QString& error) {
    return MenuParseFailedMessage(fileName, error);
  }
  static QString openFailedMessage(const QString& fileName, const QString& error) {
    return MenuOpenFailedMessage(fileName, error);
  }

 private:
  void clearEarlierLoad();

  QMainWindow* FForm;
  TImageList* FImageList;
  QToolBar* FToolBar;
  TMenuClickEvent FClickEvent;
  QString FErrorString;
  TAcMtextMenu* FMtextMenu = nullptr;
};

// The popups built from the file, in creation order.
QList<TXmlMenu*> XmlPopupMenus(QWidget* form);
// The first popup whose name equals name exactly, or nullptr.
TXmlMenu* FindXmlPopupMenu(QWidget* form, const QString& name);
