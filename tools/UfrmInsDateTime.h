#pragma once
// The date and time dialog: today's date and the time in eight Russian forms.
#include <QDateTime>
#include <QDialog>
#include <QLocale>
#include <QStringList>
#include <functional>

class QListWidget;
class QPushButton;

// The month name in the genitive case ("марта" for 3); empty outside 1..12.
QString GenitiveMonthName(int month);

// The eight lines for the moment; line 5 is timeAgain (the clock read a second
// time) in the long time format of locale, without its time-zone part.
QStringList DateTimeLines(const QDateTime& moment, const QTime& timeAgain, const QLocale& locale = QLocale());

class TfrmInsDateTime : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmInsDateTime(QWidget* parent = nullptr);

  QListWidget* InsertListBox = nullptr;
  QPushButton* InsertButton = nullptr;
  QPushButton* CancelButton = nullptr;

  // The clock the lines are read from (tests fix it).
  std::function<QDateTime()> Clock = [] { return QDateTime::currentDateTime(); };

  // Refills the list from one reading of the clock and selects the first
  // line; runs on every activation.
  void FormActivate();
  // The line at the selected index; empty with no selection.
  QString SelectedLine() const;

 protected:
  bool event(QEvent* event) override;
};

// Shows the dialog; S becomes the selected line however the dialog was
// closed.  True only when it was closed with "Вставить".
bool ExecuteInsDateTime(QString& S, QWidget* parent = nullptr);
