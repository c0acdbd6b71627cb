#include "tools/UfrmUnitsConvertEdit.h"

#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/DialogFrame.h"
#include "platform/Platform.h"
#include "tools/Conversion.h"
#include "tools/FloatControls.h"

// ---------------------------------------------------------------------------
// TUnitListModel

TUnitListModel::TUnitListModel(TUnitConvertor& units, QObject* parent) : QAbstractListModel(parent), FUnits(units) {}

int TUnitListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : FCount; }

QVariant TUnitListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return QVariant();
  const TUnit* unit = FUnits.GetUnit(index.row());
  if (!unit) return QVariant();
  return role == Qt::DisplayRole ? unit->Caption() : unit->Hint();
}

void TUnitListModel::setCount(int count) {
  beginResetModel();
  FCount = count;
  endResetModel();
}

void TUnitListModel::redraw() {
  if (FCount > 0) emit dataChanged(index(0), index(FCount - 1));
}

// ---------------------------------------------------------------------------
// TfrmUnitsConvertEdit

namespace {

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QLatin1String(name));
  button->setAutoDefault(false);
  return button;
}

QLineEdit* makeField(QWidget* parent, const char* name, QLabel* label) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(QLatin1String(name));
  label->setBuddy(field);
  return field;
}

}  // namespace

TfrmUnitsConvertEdit::TfrmUnitsConvertEdit(TUnitConvertor& units, QWidget* parent) : QDialog(parent), FUnits(units) {
  setObjectName(QStringLiteral("frmUnitsConvertEdit"));
  auto* root = new QHBoxLayout(this);
  auto* left = new QVBoxLayout;
  lbUnits = new QListView(this);
  lbUnits->setObjectName(QStringLiteral("lbUnits"));
  FModel = new TUnitListModel(units, this);
  lbUnits->setModel(FModel);
  lbUnits->setSelectionMode(QAbstractItemView::SingleSelection);
  lbUnits->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lbUnits->setUniformItemSizes(true);
  lbUnits->setMinimumSize(220, 220);
  left->addWidget(lbUnits);
  auto* listButtons = new QGridLayout;
  btnInsert = makeButton(this, "btnInsert", QStringLiteral("Вставить"));
  btnMoveUp = makeButton(this, "btnMoveUp", QStringLiteral("Вверх"));
  btnDelete = makeButton(this, "btnDelete", QStringLiteral("Удалить"));
  btnMoveDown = makeButton(this, "btnMoveDown", QStringLiteral("Вниз"));
  listButtons->addWidget(btnInsert, 0, 0);
  listButtons->addWidget(btnMoveUp, 0, 1);
  listButtons->addWidget(btnDelete, 1, 0);
  listButtons->addWidget(btnMoveDown, 1, 1);
  left->addLayout(listButtons);
  root->addLayout(left);

  auto* right = new QVBoxLayout;
  lblCaption = new QLabel(QStringLiteral("Заголовок:"), this);
  lblCaption->setObjectName(QStringLiteral("lblCaption"));
  edCaption = makeField(this, "edCaption", lblCaption);
  lblForward = new QLabel(QStringLiteral("Коэф-т прямого пересчета:"), this);
  lblForward->setObjectName(QStringLiteral("lblForward"));
  edForward = makeField(this, "edForward", lblForward);
  lblOffset = new QLabel(QStringLiteral("Смещение (прибавляется после умножения):"), this);
  lblOffset->setObjectName(QStringLiteral("lblOffset"));
  edOffset = makeField(this, "edOffset", lblOffset);
  lblHint = new QLabel(QStringLiteral("Подсказка:"), this);
  lblHint->setObjectName(QStringLiteral("lblHint"));
  edHint = makeField(this, "edHint", lblHint);
  for (QWidget* w : std::initializer_list<QWidget*>{lblCaption, edCaption, lblForward, edForward, lblOffset, edOffset, lblHint, edHint})
    right->addWidget(w);
  edCaption->setMinimumWidth(260);
  btnApply = makeButton(this, "btnApply", QStringLiteral("Применить"));
  auto* applyRow = new QHBoxLayout;
  applyRow->addStretch(1);
  applyRow->addWidget(btnApply);
  right->addLayout(applyRow);
  right->addStretch(1);
  btnClose = new QPushButton(QStringLiteral("Закрыть"), this);
  btnClose->setObjectName(QStringLiteral("btnClose"));
  btnClose->setDefault(true);
  auto* closeRow = new QHBoxLayout;
  closeRow->addStretch(1);
  closeRow->addWidget(btnClose);
  right->addLayout(closeRow);
  root->addLayout(right);

  // A mouse click moves the current row before it selects it, so the fields
  // follow the selection, not the current row: otherwise a click would leave
  // the previous entry in the fields and "Применить" would copy it over the
  // clicked one.
  connect(lbUnits->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    if (!FSelecting) ShowUnit();
  });
  connect(btnApply, &QPushButton::clicked, this, &TfrmUnitsConvertEdit::ApplyUnit);
  connect(btnInsert, &QPushButton::clicked, this, &TfrmUnitsConvertEdit::InsertUnit);
  connect(btnDelete, &QPushButton::clicked, this, &TfrmUnitsConvertEdit::DeleteUnit);
  connect(btnMoveUp, &QPushButton::clicked, this, &TfrmUnitsConvertEdit::MoveUp);
  connect(btnMoveDown, &QPushButton::clicked, this, &TfrmUnitsConvertEdit::MoveDown);
  connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
  // Return in a field applies it: closing there would drop what was typed.
  for (QLineEdit* field : {edCaption, edForward, edOffset, edHint}) field->installEventFilter(this);

  setWindowTitle(QDir::toNativeSeparators(units.FileName()));
  FModel->setCount(units.Count());
  setItemIndex(0);
  ShowUnit();
  lbUnits->setFocus();
  platform::setFixedDialogFrame(this);
}

// The fields still get events while QWidget deletes them, after this class is gone.
TfrmUnitsConvertEdit::~TfrmUnitsConvertEdit() {
  for (QLineEdit* field : {edCaption, edForward, edOffset, edHint}) field->removeEventFilter(this);
}

bool TfrmUnitsConvertEdit::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      ApplyUnit();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

int TfrmUnitsConvertEdit::ItemIndex() const {
  const QModelIndexList rows = lbUnits->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

void TfrmUnitsConvertEdit::setItemIndex(int row) {
  FSelecting = true;
  if (row >= 0 && row < FModel->rowCount())
    lbUnits->selectionModel()->setCurrentIndex(FModel->index(row), QItemSelectionModel::ClearAndSelect);
  else
    lbUnits->selectionModel()->clear();
  FSelecting = false;
}

void TfrmUnitsConvertEdit::ShowUnit() {
  const TUnit* unit = FUnits.GetUnit(ItemIndex());
  if (!unit) return;
  edCaption->setText(unit->Caption());
  edForward->setText(FactorToStr(unit->Forward(), DialogDecimalSeparator()));
  edOffset->setText(FactorToStr(unit->Offset(), DialogDecimalSeparator()));
  edHint->setText(unit->Hint());
}

void TfrmUnitsConvertEdit::ApplyUnit() {
  TUnit* unit = FUnits.GetUnit(ItemIndex());
  if (!unit) return;
  unit->setCaption(edCaption->text());
  unit->setForward(CleanStrToFloat(edForward->text(), unit->Forward()));
  unit->setOffset(edOffset->text().trimmed().isEmpty() ? 0 : CleanStrToFloat(edOffset->text(), unit->Offset()));
  unit->setHint(edHint->text());
  ShowUnit();
  FModel->redraw();
}

void TfrmUnitsConvertEdit::InsertUnit() {
  auto* unit = new TUnit(&FUnits, QString(), 1, QString());
  int row = ItemIndex();
  if (row >= 0)
    FUnits.Insert(row, unit);
  else
    row = FUnits.Add(unit);
  FModel->setCount(FUnits.Count());
  setItemIndex(row);
  ApplyUnit();
}

void TfrmUnitsConvertEdit::DeleteUnit() {
  int row = ItemIndex();
  if (row < 0) return;
  FUnits.Delete(row);
  FModel->setCount(FUnits.Count());
  if (row >= FUnits.Count()) row = FUnits.Count() - 1;
  setItemIndex(row);
  ShowUnit();
}

void TfrmUnitsConvertEdit::MoveUp() {
  const int row = ItemIndex();
  if (row <= 0) return;
  FUnits.Exchange(row, row - 1);
  FModel->redraw();
  setItemIndex(row - 1);
  ShowUnit();
}

void TfrmUnitsConvertEdit::MoveDown() {
  const int row = ItemIndex();
  if (row < 0 || row >= FUnits.Count() - 1) return;
  FUnits.Exchange(row, row + 1);
  FModel->redraw();
  setItemIndex(row + 1);
  ShowUnit();
}

bool ExecuteUnitsEdit(TUnitConvertor& units, QWidget* parent) {
  TfrmUnitsConvertEdit dialog(units, parent);
  platform::execDialog(&dialog);
  // The file was read only in part: writing the list would drop the rest.
  if (units.Modified() && units.BrokenFile() &&
      platform::askYesNoCancel(parent, QStringLiteral("Список единиц %1 был прочитан не полностью. Записать в него "
                                                      "этот список при выходе из программы? Пересчеты, которые не "
                                                      "удалось прочитать, будут потеряны.")
                                           .arg(QDir::toNativeSeparators(units.FileName()))) == QMessageBox::Yes)
    units.setBrokenFile(false);
  return units.Modified();
}
