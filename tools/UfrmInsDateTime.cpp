#include "tools/UfrmInsDateTime.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/DialogFrame.h"
#include "platform/Platform.h"

namespace {

// The long time format without its time-zone field: a drafter writes the
// time of day, not the zone ("HH:mm:ss t" becomes "HH:mm:ss").
QString LongTimeFormat(const QLocale& locale) {
  const QString format = locale.timeFormat(QLocale::LongFormat);
  QString result;
  bool quoted = false;
  for (const QChar c : format) {
    if (c == QLatin1Char('\'')) quoted = !quoted;
    if (quoted || c != QLatin1Char('t')) result += c;
  }
  return result.simplified();
}

}  // namespace

QString GenitiveMonthName(int month) {
  static const char* const names[12] = {"января", "февраля", "марта",    "апреля",  "мая",    "июня",
                                        "июля",   "августа", "сентября", "октября", "ноября", "декабря"};
  if (month < 1 || month > 12) return QString();
  return QString::fromUtf8(names[month - 1]);
}

QStringList DateTimeLines(const QDateTime& moment, const QTime& timeAgain, const QLocale& locale) {
  const QDate date = moment.date();
  const QTime time = moment.time();
  const QString D = QString::number(date.day());
  const QString MM = QStringLiteral("%1").arg(date.month(), 2, 10, QLatin1Char('0'));
  const QString Y = QString::number(date.year());
  const QString N = GenitiveMonthName(date.month());
  const QString h = QString::number(time.hour());
  const QString m = QString::number(time.minute());
  const QString mm = QStringLiteral("%1").arg(time.minute(), 2, 10, QLatin1Char('0'));
  const QString slashDate = D + QLatin1Char('/') + MM + QLatin1Char('/') + Y;
  const QString dotDate = D + QLatin1Char('.') + MM + QLatin1Char('.') + Y;
  const QString wordDate = D + QLatin1Char(' ') + N + QLatin1Char(' ') + Y;
  const QString hm = h + QLatin1Char(':') + mm;
  return {slashDate,
          dotDate,
          wordDate + QStringLiteral("г."),
          h + QStringLiteral("час. ") + m + QStringLiteral("мин."),
          locale.toString(timeAgain, LongTimeFormat(locale)),
          slashDate + QStringLiteral("г., ") + hm,
          dotDate + QStringLiteral("г., ") + hm,
          wordDate + QStringLiteral("г., ") + hm};
}

TfrmInsDateTime::TfrmInsDateTime(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmInsDateTime"));
  setWindowTitle(QStringLiteral("Дата и время"));
  auto* root = new QHBoxLayout(this);
  auto* left = new QVBoxLayout;
  auto* lblFmt = new QLabel(QStringLiteral("Формат:"), this);
  lblFmt->setObjectName(QStringLiteral("lblFmt"));
  InsertListBox = new QListWidget(this);
  InsertListBox->setObjectName(QStringLiteral("InsertListBox"));
  InsertListBox->setSelectionMode(QAbstractItemView::SingleSelection);
  InsertListBox->setMinimumWidth(220);
  lblFmt->setBuddy(InsertListBox);
  left->addWidget(lblFmt);
  left->addWidget(InsertListBox);
  root->addLayout(left, 1);

  auto* buttons = new QVBoxLayout;
  InsertButton = new QPushButton(QStringLiteral("Вст&авить"), this);
  InsertButton->setObjectName(QStringLiteral("InsertButton"));
  InsertButton->setDefault(true);
  CancelButton = new QPushButton(QStringLiteral("Отмена"), this);
  CancelButton->setObjectName(QStringLiteral("CancelButton"));
  CancelButton->setAutoDefault(false);
  connect(InsertButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
  // A double click on a line inserts it, as Return does.
  connect(InsertListBox, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  buttons->addSpacing(lblFmt->sizeHint().height());
  buttons->addWidget(InsertButton);
  buttons->addWidget(CancelButton);
  buttons->addStretch(1);
  root->addLayout(buttons);

  InsertListBox->setFocus();
  FormActivate();
  // All eight lines in view, no scroll bar.
  InsertListBox->setFixedHeight(InsertListBox->sizeHintForRow(0) * InsertListBox->count() +
                                2 * InsertListBox->frameWidth());
  platform::setFixedDialogFrame(this);
}

void TfrmInsDateTime::FormActivate() {
  const QDateTime moment = Clock();
  InsertListBox->clear();
  InsertListBox->addItems(DateTimeLines(moment, Clock().time()));
  InsertListBox->setCurrentRow(0);
}

QString TfrmInsDateTime::SelectedLine() const {
  const QListWidgetItem* item = InsertListBox->currentItem();
  return item && item->isSelected() ? item->text() : QString();
}

bool TfrmInsDateTime::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) FormActivate();
  return QDialog::event(event);
}

bool ExecuteInsDateTime(QString& S, QWidget* parent) {
  TfrmInsDateTime dialog(parent);
  const bool ok = platform::execDialog(&dialog) == QDialog::Accepted;
  S = dialog.SelectedLine();
  return ok;
}
