#pragma once
// The menus built from the menu file and their items.
#include <QAction>
#include <QMenu>
#include <QRect>
#include <QString>
#include <QVector>
#include <memory>

#include "menus/MenuCommands.h"
#include "menus/zorAcMtextMenus.h"

class QStyleOptionMenuItem;

// Marker property of the QMenus the loader builds (popups and submenus), so
// that a new load destroys only those and not the toolkit's own menus.
extern const char* const XmlMenuMarker;

// The menu class of every popup and submenu the loader builds.  Drawn with a
// drawer's style, it tells the style which of its items are MText items, so
// that their captions are measured and drawn by the MText menu drawer.
//
// An item marked as a column break starts a new column to the right of the
// previous one, past a vertical bar.  QMenu lays out columns only when a menu
// is taller than the screen, so a menu with breaks places, paints and
// hit-tests its items itself; QMenu keeps the items, their order (Up and Down
// run through the columns one after the other), access keys, Return and
// Escape, the highlight and the submenus.
class TXmlMenu : public QMenu, public TMtextMenuHost {
  Q_OBJECT
 public:
  // Without a drawer the items show their plain captions.
  explicit TXmlMenu(QWidget* parent = nullptr, TAcMtextMenu* drawer = nullptr);
  // Drops the cached item sizes, so the next layout measures every item anew.
  void remeasure() override;

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

// A menu item of the main menu or of a popup menu.  Its submenu (a TXmlMenu
// owned by the same window) is made when the first child is added.
class TXmlMenuItem : public TCommandWidget<QAction>, public TMtextCaption {
  Q_OBJECT
 public:
  explicit TXmlMenuItem(QObject* owner);

  bool FAsMText = false;
  int FImageIndex = -1;
  bool FBreak = false;
  quint16 FShortCut = 0;
  // The item whose submenu holds this one; nullptr at the top level.
  TXmlMenuItem* FParentItem = nullptr;

  // The caption rendered for an MText item: the argument without its first "~".
  QString mtext() const override;
  bool showsMtext() const override { return FAsMText && !isSeparator(); }
  // nullptr until a child has been added.
  TXmlMenu* subMenu() const;
  // The submenu, made on first use with the window as its owner.
  TXmlMenu* ensureSubMenu(QWidget* owner, TAcMtextMenu* drawer = nullptr);
};
