#pragma once
// Menus, popup menus and the toolbar built at run time from Support/menu.xml
// and the icon strip Support/menu.bmp.
#include <QAction>
#include <QIcon>
#include <QKeySequence>
#include <QMenu>
#include <QPixmap>
#include <QString>
#include <QToolButton>
#include <QVector>
#include <QRect>
#include <functional>
#include <memory>
#include <stdexcept>

#include "menus/MenuCommands.h"
#include "menus/MenuModel.h"

class QMainWindow;
class QMenuBar;
class QToolBar;
class QStyleOptionMenuItem;
class QXmlStreamAttributes;

// ---------------------------------------------------------------------------
// Icons

// The icon list shared by the main menu, the popups and the toolbar: cells of
// one size (16 x 16), appended in strip order.
class TImageList {
 public:
  explicit TImageList(int width = 16, int height = 16) : FWidth(width), FHeight(height) {}
  int width() const { return FWidth; }
  int height() const { return FHeight; }
  int count() const { return int(FPixmaps.size()); }
  bool isValidIndex(int i) const { return i >= 0 && i < count(); }
  // An empty icon for an index out of range (IMAGEINDEX -1).
  QIcon icon(int i) const;
  QPixmap pixmap(int i) const;
  void clear() { FPixmaps.clear(); }
  void add(const QPixmap& pixmap) { FPixmaps.push_back(pixmap); }
  // Pixels of maskColor become transparent.
  void add(const QImage& image, QRgb maskColor);

 private:
  int FWidth;
  int FHeight;
  QVector<QPixmap> FPixmaps;
};

// The icon strip cannot be read.
class TIconStripError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Cuts the bitmap into cells of the list's size, row by row, left to right;
// partial cells at the right and bottom edges are dropped.  The colour of
// pixel (0, 0) is transparent in every icon.  Appends to the list.
void LoadIconStrip(TImageList& imageList, const QString& fileName);

// ---------------------------------------------------------------------------
// Menus

// The menu class of every popup and submenu the loader builds.  It tells the
// style which of its items are MText items, so that their captions are
// measured and drawn by the MText menu drawer (zorAcMtextMenus).
//
// An item marked as a column break starts a new column to the right of the
// previous one, past a vertical bar.  QMenu lays out columns only when a menu
// is taller than the screen, so a menu with breaks places, paints and
// hit-tests its items itself; QMenu keeps the items, their order (Up and Down
// run through the columns one after the other), access keys, Return and
// Escape, the highlight and the submenus.
class TXmlMenu : public QMenu {
  Q_OBJECT
 public:
  explicit TXmlMenu(QWidget* parent = nullptr);
  // Drops the cached item sizes, so the next layout measures every item anew.
  void remeasure();

  // Some item after the first starts a new column.
  bool hasColumns() const;
  // Where the item is shown: its column place in a menu with breaks, else
  // QMenu's own geometry.  Empty for an item that is not shown.
  QRect itemRect(const QAction* action) const;
  // Column index of the item (0 without breaks), -1 when it is not shown.
  int itemColumn(const QAction* action) const;
  // The item shown at a point of the menu, or nullptr.
  QAction* itemAt(const QPoint& pos) const;

  QSize sizeHint() const override;

 protected:
  void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override;
  void paintEvent(QPaintEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void timerEvent(QTimerEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void actionEvent(QActionEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  struct TColumns {
    QVector<const QAction*> actions;
    QVector<QRect> rects;
    QVector<int> columnOf;
    QVector<int> bars;  // x of the bar in front of each column after the first
    QRect inner;        // the area the items may take
    QSize size;
  };
  const TColumns& columns() const;
  TColumns measureColumns() const;
  int naturalWidth(const QAction* action) const;
  // Runs a step of QMenu's own handling and repaints when it moved the highlight.
  template <typename F>
  void tracked(F step);
  // Inside a menu with columns the mouse is ours, not QMenu's.
  bool ownsMouse(const QPoint& pos) const;
  void highlightAt(const QPoint& pos);
  // The item nearest in height to the current one in the next (+1) or the
  // previous (-1) column; false when there is no such column.
  bool moveAcross(int direction);
  // A submenu opened from a column item sits beside that item.
  void placeBesideParentItem();
  mutable std::unique_ptr<TColumns> FColumns;  // measured on demand
};

// ---------------------------------------------------------------------------
// Shortcuts: low byte the virtual key code, 0x2000 Shift, 0x4000 Ctrl, 0x8000 Alt.

constexpr quint16 scShift = 0x2000;
constexpr quint16 scCtrl = 0x4000;
constexpr quint16 scAlt = 0x8000;

// An empty sequence for 0 or a key code without a Qt key.
QKeySequence ShortCutToKeySequence(quint16 shortCut);
// The first key of the sequence; 0 when it has no virtual key code.
quint16 KeySequenceToShortCut(const QKeySequence& sequence);

// ---------------------------------------------------------------------------
// Objects built by the loader

// A menu item of the main menu or of a popup menu.  Its submenu (a TXmlMenu
// owned by the same window) is made when the first child is added.
class TXmlMenuItem : public QAction, public TCommandCarrier {
  Q_OBJECT
 public:
  explicit TXmlMenuItem(QObject* owner);

  bool commandEnabled() const override { return isEnabled(); }
  void setCommandEnabled(bool on) override { setEnabled(on); }
  bool commandChecked() const override { return isCheckable() && isChecked(); }
  bool commandCheckable() const override { return isCheckable(); }
  void setCommandChecked(bool on) override {
    setCheckable(true);
    setChecked(on);
  }

  bool FAsMText = false;
  int FImageIndex = -1;
  bool FBreak = false;
  quint16 FShortCut = 0;
  // The item whose submenu holds this one; nullptr at the top level.
  TXmlMenuItem* FParentItem = nullptr;

  // The caption rendered for an MText item: the argument without its first "~".
  QString mtext() const;
  // nullptr until a child has been added.
  TXmlMenu* subMenu() const;
  // The submenu, made on first use with the window as its owner.
  TXmlMenu* ensureSubMenu(QWidget* owner);
};

// A toolbar button, a separator 8 pixels wide (caption "-") or a drop-down
// button (BTNMENU) whose arrow opens a popup.
class TXmlToolButton : public QToolButton, public TCommandCarrier {
  Q_OBJECT
 public:
  explicit TXmlToolButton(QWidget* parent = nullptr);

  bool commandEnabled() const override { return isEnabled(); }
  void setCommandEnabled(bool on) override { setEnabled(on); }
  bool commandChecked() const override { return isCheckable() && isChecked(); }
  bool commandCheckable() const override { return isCheckable(); }
  void setCommandChecked(bool on) override {
    setCheckable(true);
    setChecked(on);
  }

  QString FHint;
  bool FShowHint = false;
  bool FSeparator = false;
  bool FDropdown = false;
  int FImageIndex = -1;

  void makeSeparator();
  void makeDropdown();
  // The drop-down's popup (nullptr when the name found nothing).
  void setDropdownMenu(QMenu* menu) { setMenu(menu); }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }


 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
};

// The line-moving control: an up and a down arrow.  The position never
// changes, so every click is a request; moveLine(-1) for up, +1 for down.
class TUpDown : public QWidget {
  Q_OBJECT
 public:
  explicit TUpDown(QWidget* parent = nullptr);

  void setRange(int min, int max);
  int minimum() const { return FMin; }
  int maximum() const { return FMax; }
  int position() const { return 0; }
  QString FHint;
  bool FShowHint = false;
  void setHint(const QString& hint, bool showHint);

  QToolButton* upButton() const { return FUp; }
  QToolButton* downButton() const { return FDown; }
  // Same as a click on the arrow (requests beyond the range are not sent).
  void clickUp();
  void clickDown();

 signals:
  void moveLine(int delta);

 private:
  void request(int delta);
  QToolButton* FUp;
  QToolButton* FDown;
  int FMin = -1;
  int FMax = 1;
};

// ---------------------------------------------------------------------------
// Loader

enum TMenuXmlSection { msNone, msMainMenu, msPopupMenu, msToolBar };

using TMenuClickEvent = std::function<void(QObject* Sender)>;
using TSetMenuItemEvent = std::function<void(TXmlMenuItem* MenuItem)>;
using TSetToolButtonEvent = std::function<void(TXmlToolButton* Button)>;
using TSetUpDownEvent = std::function<void(TUpDown* UpDown)>;
using TDropdownMenuFindEvent = std::function<void(TXmlToolButton* Button, const QString& MnuName)>;

// Marker property of the QMenus the loader builds (popups and submenus), so
// that a new load destroys only those and not the toolkit's own menus.
extern const char* const XmlMenuMarker;

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
  const TMenuClickEvent& clickEvent() const { return FClickEvent; }
  QString errorString() const { return FErrorString; }

  // "Ошибка в файле меню <file>: строка L, позиция C: <what>".
  static QString parseFailedMessage(const QString& fileName, const QString& error);
  // "Не удается открыть файл меню <file>: <why>".
  static QString openFailedMessage(const QString& fileName, const QString& error);

 private:
  void clearEarlierLoad();

  QMainWindow* FForm;
  TImageList* FImageList;
  QToolBar* FToolBar;
  TMenuClickEvent FClickEvent;
  QString FErrorString;
};

// The popups built from the file, in creation order.
QList<TXmlMenu*> XmlPopupMenus(QWidget* form);
// The first popup whose name equals name exactly, or nullptr.
TXmlMenu* FindXmlPopupMenu(QWidget* form, const QString& name);

// ---------------------------------------------------------------------------
// Which file to build from

// The copies built into the program: the menu still comes up when every
// file on disk is broken or missing.
extern const char* const BuiltInMenuFile;
extern const char* const BuiltInMenuImagesFile;

// The definitions to try, in order: fileName (the user's), the shipped
// Support/menu.xml when it is another file, the built-in copy.
QStringList MenuFileCandidates(const QString& fileName);

struct TMenuSource {
  QString FileName;    // the first candidate that reads whole; empty when none does
  QString BrokenFile;  // the first candidate that did not, if any
  QString Error;       // why, in Russian, with file, line and column
};
// Reads each candidate through without building until one reads whole.
TMenuSource ChooseMenuSource(const QStringList& candidates);
// What the user is told when the menu came from another file than the first
// candidate; empty when nothing was broken.
QString BrokenMenuMessage(const TMenuSource& source);
