// The three-level stack, date and unit conversion commands as the main window
// runs them, with scripted users in the dialogs.
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <QLineEdit>
#include <QLocale>

#include "MainWindowTestBed.h"
#include "app/General.h"
#include "TestMain.h"
#include "app/UfrmMain.h"
#include "editor/Editor.h"
#include "platform/Platform.h"
#include "tools/Conversion.h"
#include "tools/FloatControls.h"
#include "tools/Ufrm3Stage.h"
#include "tools/UfrmInsDateTime.h"
#include "tools/UfrmTolTable.h"
#include "tools/UfrmUnitConv.h"

class TestToolCommands : public QObject {
  Q_OBJECT
  TMainWindowTestBed FBed;

 private slots:
  void initTestCase() { FBed.start(); }
  void cleanupTestCase() {
    FBed.FSession.Units.setModified(false);
    FBed.stop();
  }

  void threeStackReplacesTheSelectionAndRenders() {
    auto w = FBed.openWith("Круг 10\r\n");
    w->editor().setSelStart(0);
    w->editor().setSelLength(4);
    platform::DialogSeam seam;
    seam.dialog = [](QDialog* d) {
      auto* dlg = qobject_cast<Tfrm3Stage*>(d);
      dlg->UpPopupMenu->findChild<QAction*>("N011")->trigger();
      dlg->DownPopupMenu->findChild<QAction*>("N022")->trigger();
      dlg->OKButton->click();
      return dlg->result();
    };
    platform::ScopedDialogScript script(seam);
    w->RunCommand(cmdInsertThreeStack, QString());
    QCOMPARE(w->editor().lines().value(0), QStringLiteral("\\A1;Круг{\\H0.6x;\\S+0.1^-0.2;} 10"));
    QVERIFY(w->lastRenderedMText().startsWith(QStringLiteral("\\A1;Круг{\\H0.6x;\\S+0.1^-0.2;} 10")));
    w->ExitWithoutSaving();
  }

  void dateGetsASpaceOnEachSideCancelInsertsNothing() {
    auto w = FBed.openWith("a\r\n");
    w->editor().setSelStart(1);
    QString chosen;
    bool insert = false;
    platform::DialogSeam seam;
    seam.dialog = [&](QDialog* d) {
      auto* dlg = qobject_cast<TfrmInsDateTime*>(d);
      dlg->InsertListBox->setCurrentRow(2);
      chosen = dlg->SelectedLine();
      (insert ? dlg->InsertButton : dlg->CancelButton)->click();
      return dlg->result();
    };
    platform::ScopedDialogScript script(seam);
    w->RunCommand(cmdInsertDataTime, QString());
    QCOMPARE(w->editor().lines().value(0), QStringLiteral("a"));
    insert = true;
    w->RunCommand(cmdInsertDataTime, QString());
    QVERIFY(chosen.endsWith(QStringLiteral("г.")));
    QCOMPARE(w->editor().lines().value(0), QStringLiteral("a ") + chosen + QLatin1Char(' '));
    QVERIFY(w->lastRenderedMText().contains(chosen));
    w->ExitWithoutSaving();
  }

  // The shipped list, read from Support/ next to the program: 2 inches are
  // 50.8 mm, written with the separator of the settings.
  void recountInsertsTheConvertedValue() {
    auto w = FBed.openWith("x\r\n");
    w->editor().setSelStart(0);
    w->editor().setSelLength(1);
    platform::DialogSeam seam;
    seam.dialog = [](QDialog* d) {
      auto* dlg = qobject_cast<TfrmUnitConv*>(d);
      if (!dlg || dlg->cbUnits->currentText() != QStringLiteral("дюймы - миллиметры")) return int(QDialog::Rejected);
      dlg->neLeft->setText(QStringLiteral("2"));
      dlg->btnConvertAndInsert->click();
      return dlg->result();
    };
    platform::ScopedDialogScript script(seam);
    const QString before = w->lastRenderedMText();
    w->RunCommand(cmdToolsRecount, QString());
    QCOMPARE(w->editor().lines().value(0), FBed.FSession.Options.CommaAsSep ? QStringLiteral("50,8") : QStringLiteral("50.8"));
    QCOMPARE(w->lastRenderedMText(), before);  // the preview is not rendered again
    QVERIFY2(FBed.FMessages.isEmpty(), qPrintable(FBed.FMessages.join('\n')));
    w->ExitWithoutSaving();
  }

  // The separator of "Параметры" holds for the tolerance, the conversion and
  // the stack alike, against a system that writes the other one.
  void oneDecimalSeparatorForEveryInsertion() {
    const bool saved = FBed.FSession.Options.CommaAsSep;
    for (const bool comma : {false, true}) {
      QLocale::setDefault(comma ? QLocale::c() : QLocale(QLocale::Russian, QLocale::Russia));
      const QString sep = comma ? QStringLiteral(",") : QStringLiteral(".");
      auto w = FBed.openWith("25\r\n");
      FBed.FSession.Options.CommaAsSep = comma;  // as "Параметры" sets it
      platform::DialogSeam seam;
      seam.dialog = [](QDialog* d) {
        if (auto* conv = qobject_cast<TfrmUnitConv*>(d)) {
          conv->neLeft->setText(QStringLiteral("2"));
          conv->btnConvertAndInsert->click();
          return conv->result();
        }
        if (auto* stack = qobject_cast<Tfrm3Stage*>(d)) {
          stack->EditUp->setText(QStringLiteral("+0,5"));
          stack->EditDown->setText(QStringLiteral("-0.25"));
          stack->OKButton->click();
          return stack->result();
        }
        return qobject_cast<TfrmTolTable*>(d) ? int(QDialog::Accepted) : int(QDialog::Rejected);
      };
      platform::ScopedDialogScript script(seam);
      w->editor().setSelStart(0);
      w->editor().setSelLength(2);
      w->RunCommand(cmdInsertTolerance, QString());  // 25 opens on H7 of 18-30
      QCOMPARE(w->editor().lines().value(0), "\\A1;25{\\H0.6x;\\S+0" + sep + "021^0;}");
      w->editor().setSelStart(0);
      w->editor().setSelLength(w->editor().lines().value(0).size());
      w->RunCommand(cmdToolsRecount, QString());
      QCOMPARE(w->editor().lines().value(0), "50" + sep + "8");
      w->editor().setSelStart(0);
      w->editor().setSelLength(w->editor().lines().value(0).size());
      w->RunCommand(cmdInsertThreeStack, QString());
      QCOMPARE(w->editor().lines().value(0), "\\A1;50" + sep + "8{\\H0.6x;\\S+0" + sep + "5^-0" + sep + "25;}");
      w->ExitWithoutSaving();
    }
    QLocale::setDefault(QLocale::c());
    FBed.FSession.Options.CommaAsSep = saved;
  }
};

KORVEX_TEST(TestToolCommands)
#include "test_toolcommands.moc"
