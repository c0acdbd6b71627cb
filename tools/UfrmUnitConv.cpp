#include "tools/UfrmUnitConv.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

#include "core/Numbers.h"
#include "platform/DialogFrame.h"
#include "platform/Platform.h"
#include "tools/Conversion.h"
#include "tools/FloatControls.h"
#include "tools/UfrmUnitsConvertEdit.h"

namespace {

const int HelpContext = 290;

TFloatEdit* makeValueField(QWidget* parent, const char* name) {
  auto* field = new TFloatEdit(parent);
  field->setObjectName(QLatin1String(name));
  field->setDecimals(12);
  // Temperatures go below zero.
  field->setMinValue(-1000000000);
  field->setMaxValue(1000000000);
  field->setExponentWhenNeeded(true);
  field->setValue(1);
  field->setTextAlignment(taRightJustify);
  field->setMinimumWidth(150);
  return field;
}

QToolButton* makeDirectionButton(QWidget* parent, const char* name, const QString& caption) {
  auto* button = new QToolButton(parent);
  button->setObjectName(QLatin1String(name));
  button->setText(caption);
  button->setCheckable(true);
  button->setToolTip(QStringLiteral("Выбор направления пересчета"));
  button->setMinimumWidth(28);
  return button;
}

}  // namespace

TfrmUnitConv::TfrmUnitConv(TUnitConvertor& units, QWidget* parent, bool commaAsSep)
    : QDialog(parent), FUnits(units), FCommaAsSep(commaAsSep) {
  setObjectName(QStringLiteral("frmUnitConv"));
  setWindowTitle(QStringLiteral("Пересчет"));
  auto* root = new QVBoxLayout(this);
  lblUnits = new QLabel(QStringLiteral("Единицы:"), this);
  lblUnits->setObjectName(QStringLiteral("lblUnits"));
  root->addWidget(lblUnits);
  auto* unitsRow = new QHBoxLayout;
  cbUnits = new QComboBox(this);
  cbUnits->setObjectName(QStringLiteral("cbUnits"));
  cbUnits->setToolTip(QStringLiteral("Выбор пересчитываемых величин"));
  cbUnits->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  lblUnits->setBuddy(cbUnits);
  btnUnitsConvertEdit = new QPushButton(QStringLiteral("Редактировать"), this);
  btnUnitsConvertEdit->setObjectName(QStringLiteral("btnUnitsConvertEdit"));
  btnUnitsConvertEdit->setAutoDefault(false);
  btnUnitsConvertEdit->setFixedHeight(cbUnits->sizeHint().height() + 2);
  unitsRow->addWidget(cbUnits, 1);
  unitsRow->addWidget(btnUnitsConvertEdit);
  root->addLayout(unitsRow);

  lblValues = new QLabel(QStringLiteral("Пересчитываемые значения:"), this);
  lblValues->setObjectName(QStringLiteral("lblValues"));
  root->addWidget(lblValues);
  auto* valuesRow = new QHBoxLayout;
  neLeft = makeValueField(this, "neLeft");
  lblValues->setBuddy(neLeft);
  btnLRDirect = makeDirectionButton(this, "btnLRDirect", QStringLiteral(">"));
  btnRLDirect = makeDirectionButton(this, "btnRLDirect", QStringLiteral("<"));
  FDirection = new QButtonGroup(this);
  FDirection->addButton(btnLRDirect);
  FDirection->addButton(btnRLDirect);
  btnLRDirect->setChecked(true);
  neRight = makeValueField(this, "neRight");
  valuesRow->addWidget(neLeft, 1);
  valuesRow->addWidget(btnLRDirect);
  valuesRow->addWidget(btnRLDirect);
  valuesRow->addWidget(neRight, 1);
  root->addLayout(valuesRow);

  auto* buttons = new platform::TButtonRow(this, HelpContext, platform::TButtonRow::HelpNoFocus);
  sbtnHelp = buttons->helpButton();
  buttons->addStretch(1);
  btnConvert = buttons->addButton("btnConvert", QStringLiteral("Пересчет"));
  btnConvert->setAutoDefault(false);
  btnConvertAndInsert = buttons->addButton("btnConvertAndInsert", QStringLiteral("Пересчитать и вставить"),
                                           QStringLiteral("Вставить результат в текст и закрыть это окно"));
  btnConvertAndInsert->setDefault(true);
  btnClose = buttons->addButton("btnClose", QStringLiteral("Закрыть"));
  btnClose->setAutoDefault(false);
  root->addLayout(buttons);

  connect(btnUnitsConvertEdit, &QPushButton::clicked, this, &TfrmUnitConv::EditUnits);
  connect(btnConvert, &QPushButton::clicked, this, [this] { Convert(); });
  connect(btnConvertAndInsert, &QPushButton::clicked, this, &TfrmUnitConv::ConvertAndInsert);
  connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
  // The hint is that of the entry chosen; in the open list, that of the entry under the mouse.
  connect(cbUnits, &QComboBox::currentIndexChanged, this, [this](int index) {
    const TUnit* unit = FUnits.GetUnit(index);
    cbUnits->setToolTip(unit ? unit->Hint() : QString());
  });

  setTabOrder(neLeft, btnLRDirect);
  setTabOrder(btnLRDirect, btnRLDirect);
  setTabOrder(btnRLDirect, neRight);
  setTabOrder(neRight, btnConvert);
  setTabOrder(btnConvert, btnConvertAndInsert);
  setTabOrder(btnConvertAndInsert, btnClose);
  setTabOrder(btnClose, cbUnits);
  setTabOrder(cbUnits, btnUnitsConvertEdit);
  neLeft->setFocus();
  platform::setFixedDialogFrame(this);
}

void TfrmUnitConv::FillUnits() {
  cbUnits->clear();
  for (int i = 0; i < FUnits.Count(); ++i) {
    cbUnits->addItem(FUnits.GetUnit(i)->Caption());
    cbUnits->setItemData(i, FUnits.GetUnit(i)->Hint(), Qt::ToolTipRole);
  }
  cbUnits->setCurrentIndex(FUnits.Count() > 0 ? 0 : -1);
  const TUnit* selected = FUnits.GetUnit(cbUnits->currentIndex());
  cbUnits->setToolTip(selected ? selected->Hint() : QString());
}

bool TfrmUnitConv::Convert() {
  double L = neLeft->value();
  double R = neRight->value();
  const int index = cbUnits->currentIndex();
  const TUnit* unit = FUnits.GetUnit(index);
  if (!unit) {
    platform::showError(this, NoUnitSelectedMessage());
    return false;
  }
  const bool forward = btnLRDirect->isChecked();
  if (!forward && unit->Forward() == 0) {
    platform::showError(this, ZeroFactorMessage(unit->Caption()));
    return false;
  }
  const double result = unit->Convert(forward ? L : R, forward);
  TFloatEdit* target = forward ? neRight : neLeft;
  // A result the field would cap is refused, never shown or inserted capped.
  if (!std::isfinite(result) || result < target->minValue() || result > target->maxValue()) {
    platform::showError(this, ResultOutOfRangeMessage(result, target->minValue(), target->maxValue()));
    return false;
  }
  (forward ? R : L) = result;
  neLeft->setValue(L);
  neRight->setValue(R);
  FRes = ApplyDecimalSeparator(target->text(), FCommaAsSep);
  return true;
}

void TfrmUnitConv::ConvertAndInsert() {
  if (Convert()) accept();
}

void TfrmUnitConv::EditUnits() {
  if (ExecuteUnitsEdit(FUnits, this)) FillUnits();
  // Keys go on reaching this dialog even where nothing hands the activation
  // back when the editor closes (X without a window manager).
  activateWindow();
}

bool ExecuteUnitConv(TUnitConvertor& units, const QString& FileName, QString& Text, QWidget* parent,
                     bool commaAsSep) {
  TfrmUnitConv dialog(units, parent, commaAsSep);
  // Read on the first use, and again whenever the list has become empty.
  if (units.Count() == 0 && !units.LoadFromFile(FileName)) platform::showError(parent, units.LoadError());
  dialog.FillUnits();
  if (platform::execDialog(&dialog) != QDialog::Accepted) return false;
  Text = dialog.FRes;
  return true;
}
