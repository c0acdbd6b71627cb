// The dialog seam: a script stands in for the user and exec() is never
// reached; a dialog nobody scripted fails its test instead of hanging the
// suite, and so does a test that never returns.
#include <QDialog>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QThread>

#include <cstdlib>
#include <stdexcept>
#include <sys/resource.h>

#include "TestMain.h"
#include "platform/Platform.h"

namespace {

// A dialog with one field and OK, as the program's dialogs are built.
struct TFieldDialog : QDialog {
  QLineEdit* edit = new QLineEdit(this);
  QPushButton* ok = new QPushButton(QStringLiteral("ОК"), this);
  TFieldDialog() { connect(ok, &QPushButton::clicked, this, &QDialog::accept); }
};

}  // namespace

// Kept out of line and named, so the report can be checked for the throw site.
[[gnu::noinline]] void korvexProbeReadBrokenTable() {
  throw std::runtime_error("Ошибка в таблице допусков: строка 3");
}
[[gnu::noinline]] void korvexProbeCannotThrow() noexcept {
  korvexProbeReadBrokenTable();
}

namespace {

// Run in a child process of this suite (KORVEX_WATCHDOG_PROBE set): what a
// careless test would do.
class TWatchdogProbe : public QObject {
  Q_OBJECT
 private slots:
  void unscriptedDialog() {
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Никто не ответит"));
    const int result = platform::execDialog(&dialog);
    qInfo("execDialog returned %d", result);
  }
  void neverReturns() {
    for (;;) QThread::msleep(20);
  }
};

// The crash probes run after a class that passed, as in a real suite: Qt
// Test's own handler, installed once per class, then called itself for ever.
class TPassingProbe : public QObject {
  Q_OBJECT
 private slots:
  void passes() {}
};
class TCrashProbe : public QObject {
  Q_OBJECT
 private slots:
  void crash() {
    const QByteArray how = qgetenv("KORVEX_CRASH_PROBE");
    if (how == "exception") korvexProbeReadBrokenTable();
    if (how == "terminate") korvexProbeCannotThrow();
    if (how == "abort") std::abort();
    if (how == "segv") *static_cast<volatile int*>(nullptr) = 1;
  }
};

struct TChild {
  int exitCode = -1;
  bool crashed = false;
  QString output;
};

TChild runProbe(const QString& function, const QStringList& env) {
  QProcess p;
  QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
  e.insert(QStringLiteral("KORVEX_WATCHDOG_PROBE"), QStringLiteral("1"));
  e.insert(QStringLiteral("QTEST_DISABLE_CORE_DUMP"), QStringLiteral("1"));
  // The default of the test main must hold, whatever this run was given.
  e.remove(QStringLiteral("QTEST_DISABLE_STACK_DUMP"));
  for (const QString& kv : env) e.insert(kv.section('=', 0, 0), kv.section('=', 1));
  p.setProcessEnvironment(e);
  p.setProcessChannelMode(QProcess::MergedChannels);
  p.setChildProcessModifier([] {  // the crash probes leave no core files
    const rlimit none{0, 0};
    setrlimit(RLIMIT_CORE, &none);
  });
  p.start(QCoreApplication::applicationFilePath(), function.isEmpty() ? QStringList() : QStringList{function});
  TChild child;
  // Far beyond the limits given to the child (only a hang gets here), and
  // within this test's own limit, so the failure says what happened.  A child
  // that prints without end is stopped at 1 MB; the first 64 KB are kept.
  QElapsedTimer clock;
  clock.start();
  QByteArray out;
  qint64 total = 0;
  while (p.state() != QProcess::NotRunning && clock.elapsed() < 12000 && total < (1 << 20)) {
    p.waitForReadyRead(100);
    const QByteArray chunk = p.readAll();
    total += chunk.size();
    out += chunk.left(qMax<qint64>(0, 64 * 1024 - out.size()));
  }
  if (p.state() != QProcess::NotRunning) {
    p.kill();
    p.waitForFinished();
    child.output = QStringLiteral("the probe hung after %1 bytes of output:\n").arg(total) + QString::fromUtf8(out);
    return child;
  }
  child.exitCode = p.exitCode();
  child.crashed = p.exitStatus() == QProcess::CrashExit;
  child.output = QString::fromUtf8(out + p.readAll().left(64 * 1024));
  return child;
}

}  // namespace

int runWatchdogProbe(int argc, char** argv) {
  if (qEnvironmentVariableIsSet("KORVEX_CRASH_PROBE"))
    return korvextest::runAll(argc, argv,
                              {[] { return std::unique_ptr<QObject>(new TPassingProbe); },
                               [] { return std::unique_ptr<QObject>(new TCrashProbe); }});
  return korvextest::runAll(argc, argv, {[] { return std::unique_ptr<QObject>(new TWatchdogProbe); }});
}

class TestDialogSeam : public QObject {
  Q_OBJECT
 private slots:
  void cleanup() { platform::setDialogSeam({}); }

  void scriptSetsControlsAndCloses_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("pressOk");
    QTest::newRow("returns Accepted") << int(QDialog::Accepted) << false;
    QTest::newRow("returns Rejected") << int(QDialog::Rejected) << false;
    QTest::newRow("presses OK itself") << int(QDialog::Accepted) << true;
  }
  void scriptSetsControlsAndCloses() {
    QFETCH(int, answer);
    QFETCH(bool, pressOk);
    TFieldDialog dialog;
    QSignalSpy finished(&dialog, &QDialog::finished);
    bool shownToScript = false;
    platform::DialogSeam seam;
    seam.dialog = [&](QDialog* dlg) {
      shownToScript = dlg->isVisible();
      dlg->findChild<QLineEdit*>()->setText(QStringLiteral("ввод"));
      if (pressOk) static_cast<TFieldDialog*>(dlg)->ok->click();
      return answer;
    };
    platform::setDialogSeam(seam);
    QCOMPARE(platform::execDialog(&dialog), answer);
    QVERIFY(shownToScript);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), answer);
    // Closed once, as the user closes it: accept()/done() ran exactly once.
    QCOMPARE(finished.count(), 1);
    QCOMPARE(dialog.edit->text(), QStringLiteral("ввод"));
  }

  void fileChoiceReachesTheScript() {
    QList<platform::FileChoice> asked;
    platform::DialogSeam seam;
    seam.file = [&](const platform::FileChoice& c) {
      asked << c;
      return c.save ? QStringLiteral("/tmp/out.txt") : QString();
    };
    platform::setDialogSeam(seam);
    platform::FileChoice save;
    save.save = true;
    save.caption = QStringLiteral("Сохранить");
    save.filters = QStringList{QStringLiteral("Текст (*.txt)")};
    save.defaultSuffix = QStringLiteral("txt");
    save.selectedFile = QStringLiteral("a.txt");
    QCOMPARE(platform::chooseFile(nullptr, save), QStringLiteral("/tmp/out.txt"));
    QCOMPARE(platform::chooseFile(nullptr, platform::FileChoice()), QString());
    QCOMPARE(asked.size(), 2);
    QCOMPARE(asked[0].caption, save.caption);
    QCOMPARE(asked[0].filters, save.filters);
    QCOMPARE(asked[0].selectedFile, save.selectedFile);
    QVERIFY(!asked[1].save);
  }

  void scopedScriptRestoresThePreviousOne() {
    auto answering = [](int answer) {
      platform::DialogSeam s;
      s.dialog = [answer](QDialog*) { return answer; };
      return s;
    };
    QDialog dialog;
    {
      platform::ScopedDialogScript outer(answering(QDialog::Accepted));
      {
        platform::ScopedDialogScript inner(answering(QDialog::Rejected));
        QCOMPARE(platform::execDialog(&dialog), int(QDialog::Rejected));
      }
      QCOMPARE(platform::execDialog(&dialog), int(QDialog::Accepted));
    }
    QVERIFY(!platform::dialogSeam().dialog);
    QVERIFY(!platform::dialogSeam().file);
  }

  // The real loop of an unscripted dialog runs in a child process with a short
  // limit: it must fail its test, name the window and let the test go on.
  void unscriptedDialogFailsInsteadOfHanging() {
    const TChild child = runProbe(QStringLiteral("unscriptedDialog"),
                                  {QStringLiteral("KORVEX_MODAL_TIMEOUT_MS=300"),
                                   QStringLiteral("QTEST_FUNCTION_TIMEOUT=100000")});
    QVERIFY2(!child.crashed && child.exitCode == 1, qPrintable(child.output));
    QVERIFY2(child.output.contains(QStringLiteral("FAIL!  : TWatchdogProbe::unscriptedDialog()")),
             qPrintable(child.output));
    QVERIFY2(child.output.contains(QStringLiteral("modal window QDialog \"Никто не ответит\"")),
             qPrintable(child.output));
    QVERIFY2(child.output.contains(QStringLiteral("execDialog returned 0")), qPrintable(child.output));
  }

  // An escaped exception, an abort or a crash ends the executable at once,
  // failed, with its message and a stack, and prints it once (a looping
  // handler once filled gigabytes of log).
  void crashEndsTheSuiteWithItsStory_data() {
    QTest::addColumn<QString>("probe");
    QTest::addColumn<QStringList>("expected");
    const QString where = QStringLiteral("TCrashProbe::crash()");
    const QString message = QStringLiteral("Ошибка в таблице допусков: строка 3");
    QTest::newRow("exception") << "exception"
                               << QStringList{"Caught unhandled exception", "std::runtime_error: " + message,
                                              "Stack where it was thrown:", "korvexProbeReadBrokenTable"};
    QTest::newRow("terminate") << "terminate" << QStringList{"std::terminate", where, message, "Stack:"};
    QTest::newRow("abort") << "abort" << QStringList{"FATAL: Aborted", where, "Stack:"};
    QTest::newRow("segv") << "segv" << QStringList{"SEGV"};
  }
  void crashEndsTheSuiteWithItsStory() {
    QFETCH(QString, probe);
    QFETCH(QStringList, expected);
    QElapsedTimer clock;
    clock.start();
    const TChild child = runProbe(QString(), {QStringLiteral("KORVEX_CRASH_PROBE=") + probe});
    QVERIFY2(clock.elapsed() < 10000, qPrintable(child.output.left(2000)));
    QVERIFY2(child.crashed || child.exitCode != 0, qPrintable(child.output));
    // The sanitizers report a crash their own way ("SEGV on unknown address").
    QString output = child.output;
    output.replace(QStringLiteral("Segmentation fault"), QStringLiteral("SEGV"));
    for (const QString& e : expected) QVERIFY2(output.contains(e), qPrintable(e + "\n---\n" + output));
    QVERIFY2(child.output.count(QStringLiteral("FATAL")) <= 1, qPrintable(child.output.left(4000)));
    QVERIFY2(child.output.size() < 64 * 1024, qPrintable(child.output.left(4000)));
  }

  void testThatNeverReturnsIsEnded() {
    const TChild child = runProbe(QStringLiteral("neverReturns"), {QStringLiteral("QTEST_FUNCTION_TIMEOUT=300")});
    QVERIFY2(child.crashed || child.exitCode != 0, qPrintable(child.output));
    QVERIFY2(child.output.contains(QStringLiteral("Test function timed out")), qPrintable(child.output));
    QVERIFY2(child.output.contains(QStringLiteral("TWatchdogProbe::neverReturns")), qPrintable(child.output));
  }
};

KORVEX_TEST(TestDialogSeam)
#include "test_dialogseam.moc"
