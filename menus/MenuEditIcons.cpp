#include "menus/MenuEditIcons.h"

#include <QPainter>
#include <QPainterPath>

namespace {

// Draws one picture with the shared colours.
class TIconPainter {
 public:
  explicit TIconPainter(QPixmap& pm) : p(&pm) { p.setRenderHint(QPainter::Antialiasing, true); }

  void addChild() {
    box(QRectF(1.5, 1.5, 7, 5));
    p.drawLine(QPointF(4.5, 6.5), QPointF(4.5, 11.5));
    p.drawLine(QPointF(4.5, 11.5), QPointF(7.5, 11.5));
    plus(11.5, 11.5);
  }

  void insert() {
    box(QRectF(1.5, 9.5, 9, 5));
    plus(5.5, 4.5);
    p.setPen(QPen(green, 1.5));
    p.drawLine(QPointF(11, 4.5), QPointF(14, 4.5));
  }

  void cross() {
    p.setPen(QPen(QColor(0xC0, 0x20, 0x20), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
  }

  void arrow(bool up) {
    // Tip, then round the shaft; down is up mirrored at y = 8.
    const QPointF points[] = {{8, 2}, {14, 9}, {10, 9}, {10, 14}, {6, 14}, {6, 9}, {2, 9}};
    QPainterPath path;
    for (const QPointF& pt : points) {
      const QPointF q(pt.x(), up ? pt.y() : 16 - pt.y());
      if (path.elementCount() == 0)
        path.moveTo(q);
      else
        path.lineTo(q);
    }
    path.closeSubpath();
    p.setPen(QPen(blue.darker(130), 1));
    p.setBrush(blue);
    p.drawPath(path);
  }

  void mainMenu() {
    box(QRectF(0.5, 2.5, 15, 11));
    p.setBrush(blue);
    p.drawRect(QRectF(0.5, 2.5, 15, 3));
    p.setPen(QPen(frame, 1));
    p.drawLine(QPointF(3, 8.5), QPointF(10, 8.5));
    p.drawLine(QPointF(3, 11.5), QPointF(8, 11.5));
  }

  void popupMenu() {
    box(QRectF(3.5, 1.5, 11, 13));
    p.drawLine(QPointF(5.5, 4.5), QPointF(12.5, 4.5));
    p.drawLine(QPointF(5.5, 7.5), QPointF(12.5, 7.5));
    p.drawLine(QPointF(5.5, 10.5), QPointF(11.5, 10.5));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    QPainterPath cursor;
    cursor.moveTo(0.5, 6);
    cursor.lineTo(5, 10.5);
    cursor.lineTo(2.5, 10.5);
    cursor.lineTo(0.5, 13);
    cursor.closeSubpath();
    p.drawPath(cursor);
  }

  void toolBar() {
    box(QRectF(0.5, 4.5, 15, 8));
    p.setBrush(green);
    p.drawRect(QRectF(2.5, 6.5, 3, 4));
    p.setBrush(blue);
    p.drawRect(QRectF(6.5, 6.5, 3, 4));
    p.setBrush(QColor(0xD0, 0x90, 0x20));
    p.drawRect(QRectF(10.5, 6.5, 3, 4));
  }

 private:
  void box(const QRectF& r) {
    p.setPen(QPen(frame, 1));
    p.setBrush(paper);
    p.drawRect(r);
  }

  void plus(qreal cx, qreal cy) {
    p.setPen(Qt::NoPen);
    p.setBrush(green);
    p.drawRect(QRectF(cx - 3.5, cy - 1, 7, 2));
    p.drawRect(QRectF(cx - 1, cy - 3.5, 2, 7));
  }

  QPainter p;
  const QColor frame{0x40, 0x50, 0x70};
  const QColor paper{0xF4, 0xF6, 0xFA};
  const QColor green{0x2E, 0x8B, 0x3A};
  const QColor blue{0x2A, 0x5C, 0xB0};
};

}  // namespace

QPixmap DrawMenuEditIcon(TIconKind kind) {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  TIconPainter painter(pm);
  switch (kind) {
    case ikNone:
      break;
    case ikAddChild:
      painter.addChild();
      break;
    case ikInsert:
      painter.insert();
      break;
    case ikDelete:
      painter.cross();
      break;
    case ikMoveUp:
      painter.arrow(true);
      break;
    case ikMoveDown:
      painter.arrow(false);
      break;
    case ikMainMenu:
      painter.mainMenu();
      break;
    case ikPopupMenu:
      painter.popupMenu();
      break;
    case ikToolBar:
      painter.toolBar();
      break;
  }
  return pm;
}
