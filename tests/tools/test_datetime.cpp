#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "TestMain.h"
#include "platform/Platform.h"
#include "tools/UfrmInsDateTime.h"

class TestInsDateTime : public QObject {
  Q_OBJECT

  static QDateTime at(int y, int mo, int d, int h, int mi, int s) { return QDateTime(QDate(y, mo, d), QTime(h, mi, s)); }

 private slots:
  void linesForFixedClocks_data() {
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("5 March 9:07:30") << at(2024, 3, 5, 9, 7, 30)
                                     << QStringList{"5/03/2024", "5.03.2024", "5 марта 2024г.", "9час. 7мин.",
                                                    "9:07:30", "5/03/2024г., 9:07", "5.03.2024г., 9:07",
                                                    "5 марта 2024г., 9:07"};
    QTest::newRow("1 January 0:05") << at(2025, 1, 1, 0, 5, 0)
                                    << QStringList{"1/01/2025", "1.01.2025", "1 января 2025г.", "0час. 5мин.",
                                                   "0:05:00", "1/01/2025г., 0:05", "1.01.2025г., 0:05",
                                                   "1 января 2025г., 0:05"};
    QTest::newRow("31 December 23:59") << at(2026, 12, 31, 23, 59, 59)
                                       << QStringList{"31/12/2026", "31.12.2026", "31 декабря 2026г.",
                                                      "23час. 59мин.", "23:59:59", "31/12/2026г., 23:59",
                                                      "31.12.2026г., 23:59", "31 декабря 2026г., 23:59"};
  }
  void linesForFixedClocks() {
    QFETCH(QDateTime, moment);
    QFETCH(QStringList, lines);
    // Line 5 follows the locale; with "H:mm:ss" the hour is unpadded as on the other lines.
    QLocale locale(QLocale::Russian, QLocale::Russia);
    const QStringList got = DateTimeLines(moment, moment.time(), locale);
    QCOMPARE(got.size(), 8);
    for (int i = 0; i < 8; ++i) {
      if (i == 4) continue;
      QCOMPARE(got[i], lines[i]);
    }
    QCOMPARE(QTime::fromString(got[4], QStringLiteral("H:mm:ss")), moment.time());
    QVERIFY(!got[4].contains(QLatin1Char(' ')));  // no time-zone part
  }

  void everyMonthHasItsGenitive() {
    QCOMPARE(GenitiveMonthName(5), QStringLiteral("мая"));
    QCOMPARE(GenitiveMonthName(9), QStringLiteral("сентября"));
    QCOMPARE(GenitiveMonthName(0), QString());
    QCOMPARE(GenitiveMonthName(13), QString());
  }

  void activationRefillsAndSelectsTheFirstLine() {
    TfrmInsDateTime dlg;
    QDateTime now = at(2024, 3, 5, 9, 7, 30);
    dlg.Clock = [&now] { return now; };
    dlg.FormActivate();
    QCOMPARE(dlg.InsertListBox->count(), 8);
    dlg.InsertListBox->setCurrentRow(2);
    QCOMPARE(dlg.SelectedLine(), QStringLiteral("5 марта 2024г."));

    now = at(2026, 12, 9, 14, 0, 0);
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&dlg, &activate);
    QCOMPARE(dlg.InsertListBox->count(), 8);
    QCOMPARE(dlg.InsertListBox->currentRow(), 0);
    QCOMPARE(dlg.SelectedLine(), QStringLiteral("9/12/2026"));
    QVERIFY(dlg.InsertButton->isDefault());
  }

  void executeGivesTheChosenLineOnInsertOnly() {
    for (const bool insert : {true, false}) {
      platform::DialogSeam seam;
      seam.dialog = [insert](QDialog* d) {
        auto* dlg = qobject_cast<TfrmInsDateTime*>(d);
        dlg->InsertListBox->setCurrentRow(3);
        (insert ? dlg->InsertButton : dlg->CancelButton)->click();
        return dlg->result();
      };
      platform::ScopedDialogScript script(seam);
      QString s;
      QCOMPARE(ExecuteInsDateTime(s), insert);
      QVERIFY(s.contains(QStringLiteral("час. ")));
    }
  }
};

KORVEX_TEST(TestInsDateTime)
#include "test_datetime.moc"
