#include "app/UfrmSearch.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "platform/DialogFrame.h"
#include "platform/Platform.h"

namespace {

const int HistoryLimit = 10;

QComboBox* makeHistoryCombo(QWidget* parent, const char* name) {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(QLatin1String(name));
  combo->setEditable(true);
  // The list is kept by UpdateComboHistory; Enter must not add entries itself.
  combo->setInsertPolicy(QComboBox::NoInsert);
  combo->setMinimumContentsLength(24);
  combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  // A case-insensitive completion would silently change what is searched for.
  if (combo->completer()) combo->completer()->setCaseSensitivity(Qt::CaseSensitive);
  return combo;
}

QCheckBox* makeCheck(QWidget* parent, const char* name, const QString& caption) {
  auto* box = new QCheckBox(caption, parent);
  box->setObjectName(QLatin1String(name));
  return box;
}

}  // namespace

// ---------------------------------------------------------------------------
// History helpers

void UpdateComboHistory(QComboBox* combo) {
  const QString text = combo->currentText();
  if (text.isEmpty()) return;
  for (int i = 0; i < combo->count(); ++i) {
    if (combo->itemText(i).compare(text, Qt::CaseInsensitive) == 0) {
      combo->removeItem(i);
      break;
    }
  }
  combo->insertItem(0, text);
  // Removing or inserting the current entry may have replaced the edit text.
  combo->setCurrentIndex(0);
  combo->setEditText(text);
}

void SetComboHistory(QComboBox* combo, const QString& history) {
  const QString text = combo->currentText();
  QString normalized = history;
  normalized.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  QStringList lines = normalized.split(QLatin1Char('\n'));
  // A trailing line break does not add an empty entry.
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  combo->clear();
  combo->addItems(lines);
  combo->setCurrentIndex(-1);
  combo->setEditText(text);
}

QString ComboHistory(const QComboBox* combo) {
  QStringList lines;
  for (int i = 0; i < combo->count() && i < HistoryLimit; ++i) lines << combo->itemText(i);
  return lines.join(QLatin1String("\r\n"));
}

// ---------------------------------------------------------------------------
// TfrmTextSearch

TfrmTextSearch::TfrmTextSearch(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmTextSearch"));
  setWindowTitle(QStringLiteral("Найти"));

  auto* root = new QVBoxLayout(this);

  FTextGrid = new QGridLayout;
  lblSearchText = new QLabel(QStringLiteral("&Найти что:"), this);
  lblSearchText->setObjectName(QStringLiteral("lblSearchText"));
  cbSearchText = makeHistoryCombo(this, "cbSearchText");
  lblSearchText->setBuddy(cbSearchText);
  FTextGrid->addWidget(lblSearchText, 0, 0);
  FTextGrid->addWidget(cbSearchText, 0, 1);
  FTextGrid->setColumnStretch(1, 1);
  root->addLayout(FTextGrid);

  auto* groups = new QHBoxLayout;
  gbSearchOptions = new QGroupBox(QStringLiteral(" Параметры: "), this);
  gbSearchOptions->setObjectName(QStringLiteral("gbSearchOptions"));
  auto* optionsLayout = new QVBoxLayout(gbSearchOptions);
  cbSearchCaseSensitive = makeCheck(gbSearchOptions, "cbSearchCaseSensitive", QStringLiteral("&Учитывать регистр"));
  cbSearchWholeWords = makeCheck(gbSearchOptions, "cbSearchWholeWords", QStringLiteral("&Слово целиком"));
  cbSearchFromCursor = makeCheck(gbSearchOptions, "cbSearchFromCursor", QStringLiteral("С текущей &позиции"));
  cbSearchSelectedOnly = makeCheck(gbSearchOptions, "cbSearchSelectedOnly", QStringLiteral("&Искать в выделенном"));
  optionsLayout->addWidget(cbSearchCaseSensitive);
  optionsLayout->addWidget(cbSearchWholeWords);
  optionsLayout->addWidget(cbSearchFromCursor);
  optionsLayout->addWidget(cbSearchSelectedOnly);
  groups->addWidget(gbSearchOptions);

  rgSearchDirection = new QGroupBox(QStringLiteral(" Направление: "), this);
  rgSearchDirection->setObjectName(QStringLiteral("rgSearchDirection"));
  auto* directionLayout = new QVBoxLayout(rgSearchDirection);
  rbForward = new QRadioButton(QStringLiteral("&Вперед"), rgSearchDirection);
  rbForward->setObjectName(QStringLiteral("rbForward"));
  rbBackward = new QRadioButton(QStringLiteral("&Назад"), rgSearchDirection);
  rbBackward->setObjectName(QStringLiteral("rbBackward"));
  FDirection = new QButtonGroup(this);
  FDirection->addButton(rbForward, 0);
  FDirection->addButton(rbBackward, 1);
  rbForward->setChecked(true);
  directionLayout->addWidget(rbForward);
  directionLayout->addWidget(rbBackward);
  directionLayout->addStretch(1);
  groups->addWidget(rgSearchDirection);
  root->addLayout(groups);

  auto* buttons = new platform::TButtonRow(this, 240);
  sbtnHelp = buttons->helpButton();
  buttons->addStretch(1);
  btnOK = buttons->addOk("btnOK");
  btnCancel = buttons->addCancel("btnCancel");
  root->addLayout(buttons);

  cbSearchText->setFocus();
}

bool TfrmTextSearch::SearchBackwards() const { return directionIndex() == 1; }
void TfrmTextSearch::setSearchBackwards(bool value) { setDirectionIndex(value ? 1 : 0); }
bool TfrmTextSearch::SearchCaseSensitive() const { return cbSearchCaseSensitive->isChecked(); }
void TfrmTextSearch::setSearchCaseSensitive(bool value) { cbSearchCaseSensitive->setChecked(value); }
bool TfrmTextSearch::SearchFromCursor() const { return cbSearchFromCursor->isChecked(); }
void TfrmTextSearch::setSearchFromCursor(bool value) { cbSearchFromCursor->setChecked(value); }
bool TfrmTextSearch::SearchInSelectionOnly() const { return cbSearchSelectedOnly->isChecked(); }
void TfrmTextSearch::setSearchInSelectionOnly(bool value) { cbSearchSelectedOnly->setChecked(value); }
bool TfrmTextSearch::SearchWholeWords() const { return cbSearchWholeWords->isChecked(); }
void TfrmTextSearch::setSearchWholeWords(bool value) { cbSearchWholeWords->setChecked(value); }
QString TfrmTextSearch::SearchText() const { return cbSearchText->currentText(); }
void TfrmTextSearch::setSearchText(const QString& value) { cbSearchText->setEditText(value); }
QString TfrmTextSearch::SearchTextHistory() const { return ComboHistory(cbSearchText); }
void TfrmTextSearch::setSearchTextHistory(const QString& value) { SetComboHistory(cbSearchText, value); }

int TfrmTextSearch::directionIndex() const { return FDirection->checkedId(); }

void TfrmTextSearch::setDirectionIndex(int index) {
  if (auto* button = FDirection->button(index)) button->setChecked(true);
}

void TfrmTextSearch::updateHistories() { UpdateComboHistory(cbSearchText); }

// ---------------------------------------------------------------------------
// TfrmReplaceText

TfrmReplaceText::TfrmReplaceText(QWidget* parent) : TfrmTextSearch(parent) {
  setObjectName(QStringLiteral("frmReplaceText"));
  lblReplaceText = new QLabel(QStringLiteral("&Заменить на:"), this);
  lblReplaceText->setObjectName(QStringLiteral("lblReplaceText"));
  cbReplaceText = makeHistoryCombo(this, "cbReplaceText");
  lblReplaceText->setBuddy(cbReplaceText);
  FTextGrid->addWidget(lblReplaceText, 1, 0);
  FTextGrid->addWidget(cbReplaceText, 1, 1);
  setTabOrder(cbSearchText, cbReplaceText);
  setTabOrder(cbReplaceText, cbSearchCaseSensitive);
  cbSearchText->setFocus();
}

QString TfrmReplaceText::ReplaceText() const { return cbReplaceText->currentText(); }
void TfrmReplaceText::setReplaceText(const QString& value) { cbReplaceText->setEditText(value); }
QString TfrmReplaceText::ReplaceTextHistory() const { return ComboHistory(cbReplaceText); }
void TfrmReplaceText::setReplaceTextHistory(const QString& value) { SetComboHistory(cbReplaceText, value); }

void TfrmReplaceText::updateHistories() {
  TfrmTextSearch::updateHistories();
  UpdateComboHistory(cbReplaceText);
}

// ---------------------------------------------------------------------------
// TfrmConfirmReplace

TfrmConfirmReplace::TfrmConfirmReplace(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmConfirmReplace"));
  setWindowTitle(QStringLiteral("Подтверждение замены"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);

  auto* root = new QVBoxLayout(this);
  auto* question = new QHBoxLayout;
  Image1 = new QLabel(this);
  Image1->setObjectName(QStringLiteral("Image1"));
  const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
  Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion, nullptr, this).pixmap(iconSize, iconSize));
  Image1->setAlignment(Qt::AlignTop);
  lblConfirmation = new QLabel(this);
  lblConfirmation->setObjectName(QStringLiteral("lblConfirmation"));
  lblConfirmation->setWordWrap(true);
  lblConfirmation->setTextFormat(Qt::PlainText);
  lblConfirmation->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  question->addWidget(Image1);
  question->addWidget(lblConfirmation, 1);
  root->addLayout(question, 1);

  auto* buttons = new QHBoxLayout;
  btnReplace = new QPushButton(QStringLiteral("&Да"), this);
  btnReplace->setObjectName(QStringLiteral("btnReplace"));
  btnReplace->setDefault(true);
  btnSkip = new QPushButton(QStringLiteral("&Нет"), this);
  btnSkip->setObjectName(QStringLiteral("btnSkip"));
  btnCancel = new QPushButton(QStringLiteral("Отмена"), this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  btnReplaceAll = new QPushButton(QStringLiteral("Да для &всех"), this);
  btnReplaceAll->setObjectName(QStringLiteral("btnReplaceAll"));
  buttons->addWidget(btnReplace);
  buttons->addWidget(btnSkip);
  buttons->addWidget(btnCancel);
  buttons->addWidget(btnReplaceAll);
  root->addLayout(buttons);

  connect(btnReplace, &QPushButton::clicked, this, [this] { done(crReplace); });
  connect(btnSkip, &QPushButton::clicked, this, [this] { done(crSkip); });
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(btnReplaceAll, &QPushButton::clicked, this, [this] { done(crReplaceAll); });

  // The size is fixed once: PrepareShow places the window without resizing it.
  const QSize hint = sizeHint();
  resize(qMax(hint.width(), 330), qMax(hint.height(), 100));
}

void TfrmConfirmReplace::PrepareShow(const QRect& AEditorRect, int X, int Y1, int Y2, const QString& AReplaceText) {
  lblConfirmation->setText(QStringLiteral("Заменить \"%1\"?").arg(AReplaceText));
  FEditorRect = AEditorRect;
  FX = X;
  FY1 = Y1;
  FY2 = Y2;
  place();
}

void TfrmConfirmReplace::place() {
  // The outer size: the window must not cover the line with its title bar.
  FPlacedSize = frameGeometry().size();
  const int w = FPlacedSize.width();
  const int h = FPlacedSize.height();
  int X = FX;
  // The rectangle's right edge is the first pixel outside it.
  const int rectRight = FEditorRect.left() + FEditorRect.width();
  if (w >= FEditorRect.width())
    X = FEditorRect.left() - (w - FEditorRect.width()) / 2;
  else if (X + w > rectRight)
    X = rectRight - w;

  const int lowerThird = FEditorRect.top() + qRound(FEditorRect.height() * 2.0 / 3.0);
  const int top = FY2 > lowerThird ? FY1 - h - 4 : FY2 + 4;
  move(X, top);
}

void TfrmConfirmReplace::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // The window manager adds its frame only when the window first appears;
  // place it again once the real outer size is known.
  QTimer::singleShot(0, this, [this] {
    if (FEditorRect.isValid() && frameGeometry().size() != FPlacedSize) place();
  });
}
