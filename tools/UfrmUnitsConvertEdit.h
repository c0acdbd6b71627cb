#pragma once
// The editor of the unit list: the conversions on the left, the fields of the
// selected one on the right.
#include <QAbstractListModel>
#include <QDialog>

class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class TUnitConvertor;

// A virtual list over the unit list: it holds only the number of rows and
// fetches each caption when the row is drawn.
class TUnitListModel : public QAbstractListModel {
  Q_OBJECT
 public:
  explicit TUnitListModel(TUnitConvertor& units, QObject* parent = nullptr);
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  void setCount(int count);
  // Every row drawn again.
  void redraw();

 private:
  TUnitConvertor& FUnits;
  int FCount = 0;
};

class TfrmUnitsConvertEdit : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmUnitsConvertEdit(TUnitConvertor& units, QWidget* parent = nullptr);
  ~TfrmUnitsConvertEdit() override;

  QListView* lbUnits = nullptr;
  TUnitListModel* FModel = nullptr;
  QPushButton* btnInsert = nullptr;
  QPushButton* btnMoveUp = nullptr;
  QPushButton* btnDelete = nullptr;
  QPushButton* btnMoveDown = nullptr;
  QLabel* lblCaption = nullptr;
  QLineEdit* edCaption = nullptr;
  QLabel* lblForward = nullptr;
  QLineEdit* edForward = nullptr;
  QLabel* lblOffset = nullptr;
  QLineEdit* edOffset = nullptr;
  QLabel* lblHint = nullptr;
  QLineEdit* edHint = nullptr;
  QPushButton* btnApply = nullptr;
  QPushButton* btnClose = nullptr;

  // The selected row, -1 when none.
  int ItemIndex() const;
  // Selects row (none for -1) without showing its entry.
  void setItemIndex(int row);

  // Handlers (public so that tests drive them as a click would).
  void ShowUnit();
  void ApplyUnit();
  void InsertUnit();
  void DeleteUnit();
  void MoveUp();
  void MoveDown();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  TUnitConvertor& FUnits;
  bool FSelecting = false;
};

// Shows the editor on units; returns whether the list is modified.
bool ExecuteUnitsEdit(TUnitConvertor& units, QWidget* parent = nullptr);
