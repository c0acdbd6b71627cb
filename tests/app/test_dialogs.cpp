// Every command of the main window run with a script standing in for the
// user: the program's own dialogs and file choosers reach the script, and no
// command opens a modal loop of its own (the test main's watchdog would fail
// the row that did).
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "TestMain.h"
#include "app/General.h"
#include "app/Session.h"
#include "app/UfrmMain.h"
#include "platform/Platform.h"

class TestDialogs : public QObject {
  Q_OBJECT
  QTemporaryDir FDir;
  TOptions FSaved;
  TSession FSession;

 private slots:
  void initTestCase() {
    QVERIFY(FDir.isValid());
    FSession.SettingsFile = FDir.filePath(QStringLiteral("korvex.ini"));
    FSaved = FSession.Options;
  }
  void cleanup() {
    platform::setDialogSeam({});
    platform::setMessageSeam({});
    if (QWidget* help = platform::helpWindow()) help->close();
    FSession.Options = FSaved;
  }

  void everyCommandGoesThroughTheSeam_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<QStringList>("expected");  // empty: not checked
    const QMap<int, QStringList> known{
        {cmdFileOpen, {QStringLiteral("open file")}},
        {cmdFileSaveAs, {QStringLiteral("save file")}},
        {cmdFilePrint, {QStringLiteral("QPrintDialog")}},
        {cmdEditFind, {QStringLiteral("TfrmTextSearch")}},
        {cmdEditReplace, {QStringLiteral("TfrmReplaceText")}},
        {cmdToolsOptions, {QStringLiteral("TfrmOptions")}},
        {cmdHelpAbout, {QStringLiteral("TfrmAboutBox")}},
    };
    // Leaving the program and starting other programs are not dialogs.
    const QList<int> skipped{cmdFileOk, cmdFileExit, cmdToolsCharMap, cmdToolsExecCalc};
    for (int c = cmdNone + 1; c < MenuCommandCount; ++c) {
      if (skipped.contains(c)) continue;
      QTest::newRow(qPrintable(QString::number(c))) << c << known.value(c);
    }
  }
  void everyCommandGoesThroughTheSeam() {
    QFETCH(int, command);
    QFETCH(QStringList, expected);
    const QString path = FDir.filePath(QStringLiteral("doc.txt"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("12\r\nabc\r\n");
    f.close();

    QStringList seen;
    platform::DialogSeam seam;
    seam.dialog = [&](QDialog* dlg) {
      seen << QLatin1String(dlg->metaObject()->className());
      return int(QDialog::Rejected);
    };
    seam.file = [&](const platform::FileChoice& c) {
      seen << (c.save ? QStringLiteral("save file") : QStringLiteral("open file"));
      return QString();
    };
    platform::setDialogSeam(seam);
    platform::MessageSeam messages;
    messages.ask = [](const QString&) { return QMessageBox::No; };
    messages.message = [](const QString&) {};
    messages.error = [](const QString&) {};
    messages.beep = [] {};
    platform::setMessageSeam(messages);

    TfrmMain w(FSession, QStringList{QStringLiteral("korvex"), path});
    w.show();
    QApplication::processEvents();
    w.RunCommand(TMenuCommand(command), QString());
    QApplication::processEvents();
    if (!expected.isEmpty()) QCOMPARE(seen, expected);
    w.ExitWithoutSaving();
  }
};

KORVEX_TEST(TestDialogs)
#include "test_dialogs.moc"
