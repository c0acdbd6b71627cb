#pragma once
// The toolbar's line-moving control.
#include <QString>
#include <QToolButton>
#include <QWidget>

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
