// "Вставить допуск" as a user runs it: the selected size goes to the tolerance
// dialog and comes back with its deviations, the caret before the size.
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "MainWindowTestBed.h"
#include "TestMain.h"
#include "app/General.h"
#include "app/UfrmMain.h"
#include "editor/Editor.h"
#include "platform/Platform.h"
#include "tools/UfrmTolTable.h"

class TestToleranceCommand : public QObject {
  Q_OBJECT
  TMainWindowTestBed FBed;

 private slots:
  void initTestCase() {
    FBed.start();
  }
  void cleanupTestCase() { FBed.stop(); }

  void selectedSizeGetsItsDeviations() {
    auto w = FBed.openWith("Размер 25 мм\r\n");
    QString nominal;
    int reply = QDialog::Accepted;
    platform::DialogSeam seam;
    seam.dialog = [&](QDialog* dlg) {
      auto* d = qobject_cast<TfrmTolTable*>(dlg);
      if (!d) return int(QDialog::Rejected);
      nominal = d->PreviewNominal();
      d->TableGridSelectCell(2, 5);  // H7, 18-30 in the shipped table
      return reply;
    };
    platform::ScopedDialogScript script(seam);

    w->editor().setSelStart(6);
    w->editor().setSelLength(4);  // " 25 ": the blanks around are not the size
    w->RunCommand(cmdInsertTolerance, QString());
    QCOMPARE(nominal, QStringLiteral("25"));
    QVERIFY2(FBed.FMessages.isEmpty(), qPrintable(FBed.FMessages.join('\n')));
    QCOMPARE(w->editor().lines().value(0), QStringLiteral("Размер\\A1;25{\\H0.6x;\\S+0.021^0;}мм"));
    QCOMPARE(w->editor().selStart(), 10);  // just before 25
    QCOMPARE(w->editor().selLength(), 0);

    // Cancelled: nothing changes.
    reply = QDialog::Rejected;
    const QStringList before = w->editor().lines();
    w->editor().setSelStart(0);
    w->editor().setSelLength(6);
    w->RunCommand(cmdInsertTolerance, QString());
    QCOMPARE(w->editor().lines(), before);
    QCOMPARE(w->editor().selLength(), 6);
  }
};

KORVEX_TEST(TestToleranceCommand)
#include "test_tolerance_command.moc"
