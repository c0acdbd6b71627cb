#include "tools/Ufrm3Stage.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/Numbers.h"
#include "platform/DialogFrame.h"
#include "platform/Platform.h"
#include "tools/FloatControls.h"

namespace {

const int HelpContext = 260;
const int StartMiddleHeight = 10;  // 1.0: the middle term keeps the line height
const int StartStackHeight = 6;    // 0.6: the usual height of deviations

const char* const UpPresets[][2] = {
    {"N011", "+0.1"}, {"N021", "+0.2"}, {"N031", "+0.3"}, {"N041", "+0.4"}, {"N051", "+0.5"},
    {"N061", "+0.6"}, {"N081", "+0.8"}, {"N11", "+1"},    {"N151", "+1.5"}, {"N21", "+2"}};
const char* const DownPresets[][2] = {
    {"N012", "-0.1"}, {"N022", "-0.2"}, {"N032", "-0.3"}, {"N042", "-0.4"}, {"N052", "-0.5"},
    {"N062", "-0.6"}, {"N082", "-0.8"}, {"N12", "-1"},    {"N152", "-1.5"}, {"N22", "-2"}};

// "\H0.6x;" for position 6; empty for 10, where the height does not change.
// The factor always has a full stop: it is read by AutoCAD, not shown.
QString HeightCode(int position) {
  if (position == 10) return QString();
  QString value = QString::number(position / 10.0, 'f', 2);
  if (value.endsWith(QLatin1Char('0'))) value.chop(1);
  return QStringLiteral("\\H") + value + QStringLiteral("x;");
}

// The small blue downward arrow of the preset buttons.
QIcon BlueArrowIcon() {
  QPixmap pixmap(9, 9);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0, 0, 255));
  painter.drawPolygon(QPolygon({QPoint(0, 2), QPoint(8, 2), QPoint(4, 6)}));
  return QIcon(pixmap);
}

}  // namespace

// ---------------------------------------------------------------------------
// TTenthsUpDown

TTenthsUpDown::TTenthsUpDown(QWidget* parent) : QSpinBox(parent) {
  setRange(1, 15);
  // The arrows change the value; the text itself cannot be typed into.
  lineEdit()->setReadOnly(true);
  setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

QString TTenthsUpDown::textFromValue(int value) const {
  QString text = FloatToStrShortest(value / 10.0);
  text.replace(QLatin1Char('.'), DialogDecimalSeparator());
  return text;
}

int TTenthsUpDown::valueFromText(const QString& text) const {
  double v = 0;
  return ReadFloat(text, v) ? qRound(v * 10) : value();
}

QValidator::State TTenthsUpDown::validate(QString& input, int& pos) const {
  Q_UNUSED(pos);
  double v = 0;
  return ReadFloat(input, v) ? QValidator::Acceptable : QValidator::Intermediate;
}

// ---------------------------------------------------------------------------
// Tfrm3Stage

Tfrm3Stage::Tfrm3Stage(bool commaAsSep, QWidget* parent) : QDialog(parent), FCommaAsSep(commaAsSep) {
  setObjectName(QStringLiteral("frm3Stage"));
  setWindowTitle(QStringLiteral("Трехэтажный текст"));
  auto* root = new QVBoxLayout(this);

  root->addLayout(buildFields());
  root->addWidget(buildSettings());
  auto* buttons = new platform::TButtonRow(this, HelpContext, platform::TButtonRow::HelpNoFocus);
  sbtnHelp = buttons->helpButton();
  buttons->addStretch(1);
  OKButton = buttons->addOk("OKButton", QStringLiteral("Записать изменения в редактор"));
  CancelButton = buttons->addCancel("CancelButton", QStringLiteral("Закрыть это окно"));
  CancelButton->setAutoDefault(false);
  root->addLayout(buttons);

  setTabOrder(EditCenter, EditUp);
  setTabOrder(EditUp, EditDown);
  setTabOrder(EditDown, SepCheckBox);
  setTabOrder(SepCheckBox, HMiddleUpDown);
  setTabOrder(HMiddleUpDown, HoUpDown);
  setTabOrder(HoUpDown, OKButton);
  setTabOrder(OKButton, CancelButton);
  EditCenter->setFocus();

  FormActivate();
  platform::setFixedDialogFrame(this);
}

QGridLayout* Tfrm3Stage::buildFields() {
  // The fields sit as the result reads: the middle term, then the two values
  // one above the other, with the fraction bar painted between them.
  auto* fields = new QGridLayout;
  fields->setVerticalSpacing(9);
  fields->setHorizontalSpacing(2);
  EditCenter = new QComboBox(this);
  EditCenter->setObjectName(QStringLiteral("EditCenter"));
  EditCenter->setEditable(true);
  EditCenter->setInsertPolicy(QComboBox::NoInsert);
  EditCenter->addItems({QStringLiteral("Круг"), QStringLiteral("Квадрат"), QStringLiteral("Шестигранник"),
                        QStringLiteral("Лист"), QStringLiteral("Уголок"), QStringLiteral("Швеллер"),
                        QStringLiteral("Двутавр"), QStringLiteral("Рельс тавровый")});
  EditCenter->setCurrentIndex(-1);
  EditCenter->setMinimumContentsLength(16);
  fields->addWidget(EditCenter, 0, 0, 2, 1, Qt::AlignVCenter);
  fields->setColumnMinimumWidth(1, 8);

  EditUp = new QLineEdit(this);
  EditUp->setObjectName(QStringLiteral("EditUp"));
  EditUpBtn = new QToolButton(this);
  EditUpBtn->setObjectName(QStringLiteral("EditUpBtn"));
  EditDown = new QLineEdit(this);
  EditDown->setObjectName(QStringLiteral("EditDown"));
  EditDownBtn = new QToolButton(this);
  EditDownBtn->setObjectName(QStringLiteral("EditDownBtn"));
  for (QToolButton* button : {EditUpBtn, EditDownBtn}) {
    button->setAutoRaise(true);
    button->setIcon(BlueArrowIcon());
    button->setFocusPolicy(Qt::NoFocus);
  }
  fields->addWidget(EditUp, 0, 2);
  fields->addWidget(EditUpBtn, 0, 3);
  fields->addWidget(EditDown, 1, 2);
  fields->addWidget(EditDownBtn, 1, 3);

  UpPopupMenu = makePresetMenu(EditUp, UpPresets, int(std::size(UpPresets)));
  UpPopupMenu->setObjectName(QStringLiteral("UpPopupMenu"));
  DownPopupMenu = makePresetMenu(EditDown, DownPresets, int(std::size(DownPresets)));
  DownPopupMenu->setObjectName(QStringLiteral("DownPopupMenu"));
  connect(EditUpBtn, &QToolButton::clicked, this, [this] { popupPresets(EditUp, UpPopupMenu); });
  connect(EditDownBtn, &QToolButton::clicked, this, [this] { popupPresets(EditDown, DownPopupMenu); });
  return fields;
}

QGroupBox* Tfrm3Stage::buildSettings() {
  gbSettings = new QGroupBox(QStringLiteral(" Настройки "), this);
  gbSettings->setObjectName(QStringLiteral("gbSettings"));
  auto* settings = new QGridLayout(gbSettings);
  SepCheckBox = new QCheckBox(QStringLiteral("&Дробная черта"), gbSettings);
  SepCheckBox->setObjectName(QStringLiteral("SepCheckBox"));
  SepCheckBox->setToolTip(QStringLiteral("Включение/Выключение отображения дробной черты"));
  connect(SepCheckBox, &QCheckBox::toggled, this, [this] { update(); });
  settings->addWidget(SepCheckBox, 0, 0, 1, 2);

  lblHMiddle = new QLabel(QStringLiteral("Коэффициент высоты среднего члена"), gbSettings);
  lblHMiddle->setObjectName(QStringLiteral("lblHMiddle"));
  HMiddleUpDown = new TTenthsUpDown(gbSettings);
  HMiddleUpDown->setObjectName(QStringLiteral("HMiddleUpDown"));
  HMiddleEdit = HMiddleUpDown->field();
  HMiddleEdit->setObjectName(QStringLiteral("HMiddleEdit"));
  lblHMiddle->setBuddy(HMiddleUpDown);
  settings->addWidget(lblHMiddle, 1, 0);
  settings->addWidget(HMiddleUpDown, 1, 1);

  lblHo = new QLabel(QStringLiteral("Коэффициенты высот числителя и знаменателя"), gbSettings);
  lblHo->setObjectName(QStringLiteral("lblHo"));
  HoUpDown = new TTenthsUpDown(gbSettings);
  HoUpDown->setObjectName(QStringLiteral("HoUpDown"));
  HoEdit = HoUpDown->field();
  HoEdit->setObjectName(QStringLiteral("HoEdit"));
  lblHo->setBuddy(HoUpDown);
  settings->addWidget(lblHo, 2, 0);
  settings->addWidget(HoUpDown, 2, 1);
  settings->setColumnStretch(0, 1);
  return gbSettings;
}

QMenu* Tfrm3Stage::makePresetMenu(QLineEdit* field, const char* const (*items)[2], int count) {
  auto* menu = new QMenu(this);
  for (int i = 0; i < count; ++i) {
    const QString caption = QString::fromLatin1(items[i][1]);
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(items[i][0]));
    connect(action, &QAction::triggered, this, [this, field, caption] { ChoosePreset(field, caption); });
  }
  return menu;
}

QPoint Tfrm3Stage::PopupPosition(const QLineEdit* field, const QMenu* menu) {
  const QPoint corner = field->mapToGlobal(QPoint(field->width(), field->height()));
  return corner - QPoint(menu->sizeHint().width(), 0);
}

void Tfrm3Stage::popupPresets(QLineEdit* field, QMenu* menu) { menu->popup(PopupPosition(field, menu)); }

void Tfrm3Stage::ChoosePreset(QLineEdit* field, const QString& caption) {
  field->setText(ApplyDecimalSeparator(caption, FCommaAsSep));
}

void Tfrm3Stage::FormActivate() {
  HMiddleUpDown->setValue(StartMiddleHeight);
  HoUpDown->setValue(StartStackHeight);
  SepCheckBox->setChecked(false);
}

bool Tfrm3Stage::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) FormActivate();
  return QDialog::event(event);
}

QLine Tfrm3Stage::SeparatorLine() const {
  const QPoint topLeft = EditDown->mapTo(this, QPoint(0, 0));
  const int y = topLeft.y() - 4;
  return QLine(topLeft.x(), y, topLeft.x() + EditDown->width() - 1, y);
}

void Tfrm3Stage::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  QPainter painter(this);
  painter.setPen(SepCheckBox->isChecked() ? QColor(0, 0, 255) : palette().color(QPalette::Window));
  painter.drawLine(SeparatorLine());
}

QString Tfrm3Stage::Build3StageMText() const {
  const QString separator = SepCheckBox->isChecked() ? QStringLiteral("/") : QStringLiteral("^");
  const QString middleHeight = HeightCode(HMiddleUpDown->value());
  const QString stackHeight = HeightCode(HoUpDown->value());
  // Typed deviations take the separator of the setting, as the presets do; the
  // middle term is the editor's selection and may hold codes, so it stays.
  const QString center = EditCenter->currentText();
  const QString up = ApplyDecimalSeparatorToNumbers(EditUp->text(), FCommaAsSep);
  const QString down = ApplyDecimalSeparatorToNumbers(EditDown->text(), FCommaAsSep);

  QString result = QStringLiteral("\\A1;");
  if (!center.isEmpty()) {
    if (!middleHeight.isEmpty())
      result += QLatin1Char('{') + middleHeight + center + QLatin1Char('}');
    else
      result += center;
  }
  if (!up.isEmpty() || !down.isEmpty()) {
    const QString stack = QStringLiteral("\\S") + up + separator + down + QLatin1Char(';');
    if (!stackHeight.isEmpty())
      result += QLatin1Char('{') + stackHeight + stack + QLatin1Char('}');
    else
      result += stack;
  }
  return result;
}

bool Execute3Stage(QString& S, bool commaAsSep, QWidget* parent) {
  Tfrm3Stage dialog(commaAsSep, parent);
  dialog.EditCenter->setEditText(S);
  const bool ok = platform::execDialog(&dialog) == QDialog::Accepted;
  S = dialog.Build3StageMText();
  return ok;
}
