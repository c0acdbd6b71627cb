#include "menus/XmlToolButton.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionToolButton>
#include <QStylePainter>

TXmlToolButton::TXmlToolButton(QWidget* parent) : TCommandWidget<QToolButton>(parent) {
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
