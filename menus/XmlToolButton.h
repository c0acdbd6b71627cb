#pragma once
// The toolbar's buttons built from the menu file.
#include <QMenu>
#include <QString>
#include <QToolButton>

#include "menus/MenuCommands.h"

// A toolbar button, a separator 8 pixels wide (caption "-") or a drop-down
// button (BTNMENU) whose arrow opens a popup.
class TXmlToolButton : public TCommandWidget<QToolButton> {
  Q_OBJECT
 public:
  explicit TXmlToolButton(QWidget* parent = nullptr);

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
