#include "menus/UpDown.h"

#include <QVBoxLayout>

TUpDown::TUpDown(QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  FUp = new QToolButton(this);
  FDown = new QToolButton(this);
  FUp->setArrowType(Qt::UpArrow);
  FDown->setArrowType(Qt::DownArrow);
  for (QToolButton* b : {FUp, FDown}) {
    b->setAutoRaise(true);
    b->setAutoRepeat(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setFixedSize(17, 11);
    layout->addWidget(b);
  }
  connect(FUp, &QToolButton::clicked, this, [this] { clickUp(); });
  connect(FDown, &QToolButton::clicked, this, [this] { clickDown(); });
}

void TUpDown::setRange(int min, int max) {
  FMin = min;
  FMax = max;
}

void TUpDown::setHint(const QString& hint, bool showHint) {
  FHint = hint;
  FShowHint = showHint;
  setStatusTip(hint);
  setToolTip(showHint ? hint : QString());
  for (QToolButton* b : {FUp, FDown}) {
    b->setStatusTip(hint);
    b->setToolTip(showHint ? hint : QString());
  }
}

void TUpDown::clickUp() { request(-1); }
void TUpDown::clickDown() { request(+1); }

// The position stays 0; a request is sent when the step it would make lies
// within the range, so the range -1..1 lets every click through.
void TUpDown::request(int delta) {
  if (delta < FMin || delta > FMax) return;
  emit moveLine(delta);
}
