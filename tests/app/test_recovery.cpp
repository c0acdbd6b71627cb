// Nothing typed is lost: the recovery copy is written soon after a change,
// removed at a clean end, offered back at the next start, kept apart for two
// documents and written when the program is ended by a signal; a document
// changed by another program is not overwritten without a question.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <cstdio>

#include "TestMain.h"
#include "app/Recovery.h"
#include "app/Session.h"
#include "app/UfrmMain.h"
#include "core/TextCodec.h"
#include "platform/Paths.h"
#include "platform/Platform.h"
#include "platform/Signals.h"

using korvextest::readFile;
using korvextest::writeFile;

namespace {

using korvextest::typeText;

void useRecoveryFolder(const QString& folder) {
  platform::ProgramPaths paths = platform::programPaths();
  paths.RecoveryFolder = folder + QLatin1Char('/');
  platform::setProgramPaths(paths);
}

// One run for the whole suite, as in the program.
TSession& suiteSession() {
  static TSession session;
  return session;
}

std::unique_ptr<TfrmMain> openOn(const QString& path) {
  auto w = std::make_unique<TfrmMain>(suiteSession(), QStringList{QStringLiteral("korvex"), path});
  w->show();
  QApplication::processEvents();
  return w;
}

// Sets a file's time, as another program's write would.
void setTime(const QString& path, const QDateTime& t) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::ReadWrite));
  QVERIFY(f.setFileTime(t, QFileDevice::FileModificationTime));
}

}  // namespace

// The child process of terminationSignalWritesTheCopy (tests/app/main.cpp
// starts it): a main window wired to the signals as the program's main()
// does, with text typed, waiting in its event loop for the signal.
int RecoverySignalChild(const QString& document, const QString& folder) {
  useRecoveryFolder(folder);
  TSession session;
  session.SettingsFile = folder + QStringLiteral("/korvex.ini");
  TfrmMain w(session, {QStringLiteral("korvex"), document});
  platform::setTerminationHandler([&w](int signal) { w.EndBySignal(signal); });
  w.show();
  QApplication::processEvents();
  // Only the signal may write the copy.
  w.recovery()->setDelay(600000);
  w.editor().moveCursor(QTextCursor::End);
  typeText(&w.editor(), QStringLiteral(" набрано"));
  std::printf("ready\n");
  std::fflush(stdout);
  return QApplication::exec();
}

class TestRecovery : public QObject {
  Q_OBJECT
  QTemporaryDir FDir;
  QStringList FAsked;
  QStringList FErrors;
  QMessageBox::StandardButton FAnswer = QMessageBox::No;
  int FCount = 0;

  QString folder() const { return FDir.filePath(QStringLiteral("recovery")); }
  QString newDocument(const QByteArray& bytes, const QString& name = QString()) {
    const QString path = FDir.filePath(name.isEmpty() ? QStringLiteral("doc%1.txt").arg(++FCount) : name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    return writeFile(path, bytes) ? path : QString();
  }
  QString copyOf(const QString& document) const { return RecoveryFileName(folder(), document); }

 private slots:
  void initTestCase() {
    QVERIFY(FDir.isValid());
    suiteSession().SettingsFile = FDir.filePath(QStringLiteral("korvex.ini"));
    useRecoveryFolder(folder());
    platform::MessageSeam seam;
    seam.ask = [this](const QString& t) {
      FAsked << t;
      return FAnswer;
    };
    seam.error = [this](const QString& t) { FErrors << t; };
    seam.message = seam.error;
    seam.beep = [] {};
    platform::setMessageSeam(seam);
  }
  void init() {
    FAsked.clear();
    FErrors.clear();
    FAnswer = QMessageBox::No;
  }
  void cleanupTestCase() { platform::setMessageSeam({}); }

  // --- written soon after a change, in the document's own form; every clean
  // end removes it, a refused close keeps it.
  void copyFollowsTheTextAndGoesAtACleanEnd_data() {
    QTest::addColumn<QString>("end");
    QTest::addColumn<bool>("kept");
    QTest::newRow("apply") << "apply" << false;
    QTest::newRow("close, save") << "yes" << false;
    QTest::newRow("close, discard") << "no" << false;
    QTest::newRow("exit") << "exit" << false;
    QTest::newRow("close cancelled") << "cancel" << true;
  }
  void copyFollowsTheTextAndGoesAtACleanEnd() {
    QFETCH(QString, end);
    QFETCH(bool, kept);
    // Windows-1251 with LF breaks: the copy must come back the same way.
    const QString doc = newDocument(EncodeWindows1251(QStringLiteral("Размер\nдва\n")));
    auto w = openOn(doc);
    QVERIFY(FAsked.isEmpty());
    const QString copy = copyOf(doc);
    w->recovery()->setDelay(200);
    typeText(&w->editor(), QStringLiteral("ё"));
    // At most two seconds after the change.
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(copy).isFile(), 2000);
    QCOMPARE(readFile(copy), EncodeWindows1251(QStringLiteral("ёРазмер\nдва\n")));
    // A later change reaches the copy too, not only the first one.
    typeText(&w->editor(), QStringLiteral("ж"));
    QTRY_COMPARE_WITH_TIMEOUT(readFile(copy), EncodeWindows1251(QStringLiteral("ёжРазмер\nдва\n")), 2000);
    QVERIFY(!QFileInfo(folder()).permissions().testFlag(QFileDevice::ReadOther));

    if (end == "apply") {
      w->ApplyAndClose();
    } else if (end == "exit") {
      w->ExitWithoutSaving();
    } else {
      FAnswer = end == "yes" ? QMessageBox::Yes : end == "no" ? QMessageBox::No : QMessageBox::Cancel;
      w->close();
    }
    QCOMPARE(w->isVisible(), kept);
    QCOMPARE(QFileInfo(copy).isFile(), kept);
    QCOMPARE(readFile(doc), EncodeWindows1251(end == "apply" || end == "yes" ? QStringLiteral("ёжРазмер\nдва\n")
                                                                               : QStringLiteral("Размер\nдва\n")));
    if (kept) {
      w->ExitWithoutSaving();
      QVERIFY(!QFileInfo(copy).exists());
    }
  }

  // Saving without closing: the copy is stale and goes; the next change
  // brings it back.
  void savingRemovesTheCopyUntilTheNextChange() {
    const QString doc = newDocument("a\r\n");
    auto w = openOn(doc);
    w->recovery()->setDelay(50);
    typeText(&w->editor(), QStringLiteral("b"));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(copyOf(doc)).isFile(), 2000);
    w->SaveText();
    QVERIFY(!QFileInfo(copyOf(doc)).exists());
    QCOMPARE(readFile(doc), QByteArray("ba\r\n"));
    typeText(&w->editor(), QStringLiteral("c"));
    QTRY_COMPARE_WITH_TIMEOUT(readFile(copyOf(doc)), QByteArray("bca\r\n"), 2000);
    w->ExitWithoutSaving();
  }

  // --- the next start offers the copy; Return (Yes) restores it as a
  // modified text, No keeps the file's text and the copy.
  void aNewerCopyIsOffered_data() {
    QTest::addColumn<bool>("restore");
    QTest::newRow("restored") << true;
    QTest::newRow("declined") << false;
  }
  void aNewerCopyIsOffered() {
    QFETCH(bool, restore);
    const QString doc = newDocument("old\r\n");
    setTime(doc, QDateTime::currentDateTime().addSecs(-60));
    const QString copy = copyOf(doc);
    QVERIFY(QDir().mkpath(folder()));
    QVERIFY(writeFile(copy, "new\r\ntext\r\n"));
    const QDateTime written(QDate(2026, 12, 9), QTime(23, 41, 5));
    setTime(copy, written);
    setTime(doc, written.addSecs(-60));
    FAnswer = restore ? QMessageBox::Yes : QMessageBox::No;
    auto w = openOn(doc);
    QCOMPARE(FAsked.size(), 1);
    QVERIFY2(FAsked.first().contains("09.12.2026") && FAsked.first().contains("23:41:05"), qPrintable(FAsked.first()));
    QVERIFY(FAsked.first().contains("Восстановить"));
    QCOMPARE(w->editor().lines(), restore ? QStringList({"new", "text"}) : QStringList({"old"}));
    QCOMPARE(w->editor().modified(), restore);
    QCOMPARE(readFile(doc), QByteArray("old\r\n"));  // not written by restoring
    if (restore) {
      QVERIFY(QFileInfo(copy).isFile());
      w->ApplyAndClose();
      QCOMPARE(readFile(doc), QByteArray("new\r\ntext\r\n"));
    } else {
      // Declined, the copy survives the copies of later changes.
      w->recovery()->setDelay(50);
      typeText(&w->editor(), QStringLiteral("x"));
      QTRY_COMPARE_WITH_TIMEOUT(readFile(copy), QByteArray("xold\r\n"), 2000);
      QCOMPARE(readFile(copy + ".declined"), QByteArray("new\r\ntext\r\n"));
      w->ExitWithoutSaving();
      QVERIFY(!QFileInfo(copy + ".declined").exists());
    }
    QVERIFY(!QFileInfo(copy).exists());
  }

  void anOlderCopyIsNotOffered() {
    const QString doc = newDocument("saved later\r\n");
    QVERIFY(QDir().mkpath(folder()));
    QVERIFY(writeFile(copyOf(doc), "older\r\n"));
    setTime(copyOf(doc), QDateTime::currentDateTime().addSecs(-60));
    auto w = openOn(doc);
    QVERIFY(FAsked.isEmpty());
    QCOMPARE(w->editor().lines(), QStringList{"saved later"});
    w->close();
  }

  // --- two documents of the same name in two folders keep two copies.
  void twoDocumentsTwoCopies() {
    const QString a = newDocument("a\r\n", "one/same.txt");
    const QString b = newDocument("b\r\n", "two/same.txt");
    QVERIFY(copyOf(a) != copyOf(b));
    QVERIFY(QFileInfo(copyOf(a)).fileName().startsWith("same.txt"));
    // The same file reached through another spelling of its path shares one.
    QCOMPARE(copyOf(FDir.filePath("one/../one/same.txt")), copyOf(a));
    auto wa = openOn(a);
    auto wb = openOn(b);
    wa->recovery()->setDelay(50);
    wb->recovery()->setDelay(50);
    typeText(&wa->editor(), QStringLiteral("1"));
    typeText(&wb->editor(), QStringLiteral("2"));
    QTRY_COMPARE_WITH_TIMEOUT(readFile(copyOf(a)), QByteArray("1a\r\n"), 2000);
    QTRY_COMPARE_WITH_TIMEOUT(readFile(copyOf(b)), QByteArray("2b\r\n"), 2000);
    wa->ExitWithoutSaving();
    QVERIFY(QFileInfo(copyOf(b)).isFile());
    wb->ExitWithoutSaving();
  }

  // --- a document another program changed or removed is not overwritten
  // without a question.
  void changedUnderYouAsksBeforeOverwriting_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("overwrite");
    QTest::newRow("content, same size and time, kept") << "content" << false;
    QTest::newRow("content, overwritten") << "content" << true;
    QTest::newRow("time only, kept") << "time" << false;
    QTest::newRow("removed, kept away") << "removed" << false;
    QTest::newRow("removed, written again") << "removed" << true;
  }
  void changedUnderYouAsksBeforeOverwriting() {
    QFETCH(QString, change);
    QFETCH(bool, overwrite);
    const QString doc = newDocument("abc\r\n");
    const QDateTime t = QFileInfo(doc).lastModified();
    auto w = openOn(doc);
    w->editor().moveCursor(QTextCursor::End);
    typeText(&w->editor(), QStringLiteral("!"));
    QByteArray other = readFile(doc);
    if (change == "content") {
      other = "xyz\r\n";
      QVERIFY(writeFile(doc, other));
      setTime(doc, t);
    } else if (change == "time") {
      setTime(doc, t.addSecs(5));
    } else {
      QVERIFY(QFile::remove(doc));
    }
    FAnswer = overwrite ? QMessageBox::Yes : QMessageBox::No;
    w->ApplyAndClose();
    QCOMPARE(FAsked.size(), 1);
    QVERIFY2(FAsked.first().startsWith("Файл изменен другой программой"), qPrintable(FAsked.first()));
    QCOMPARE(w->isVisible(), !overwrite);
    if (overwrite) {
      QCOMPARE(readFile(doc), QByteArray("abc!\r\n"));
      return;
    }
    QCOMPARE(QFileInfo(doc).exists(), change != "removed");
    if (change != "removed") QCOMPARE(readFile(doc), other);
    QCOMPARE(w->editor().lines(), QStringList{"abc!"});  // the text stays in the editor
    // Declined, it asks again next time; Save asks the same way.
    FAsked.clear();
    w->SaveText();
    QCOMPARE(FAsked.size(), 1);
    w->ExitWithoutSaving();
  }

  void ourOwnSaveIsNoChangeUnderYou() {
    const QString doc = newDocument("abc\r\n");
    auto w = openOn(doc);
    typeText(&w->editor(), QStringLiteral("1"));
    w->SaveText();
    typeText(&w->editor(), QStringLiteral("2"));
    w->ApplyAndClose();
    QVERIFY(FAsked.isEmpty());
    QCOMPARE(readFile(doc), QByteArray("12abc\r\n"));
  }

  // --- a real signal to a child process: the copy holds the typed text, the
  // document is untouched, and the program ends by itself.
  void terminationSignalWritesTheCopy_data() {
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGHUP") << int(SIGHUP);
    QTest::newRow("SIGINT") << int(SIGINT);
  }
  void terminationSignalWritesTheCopy() {
    QFETCH(int, signal);
    const QString doc = newDocument(EncodeWindows1251(QStringLiteral("текст\n")));
    const QString childFolder = FDir.filePath(QStringLiteral("child%1").arg(signal));
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--recovery-child"), doc, childFolder});
    QVERIFY(child.waitForStarted(10000));
    QByteArray out;
    while (!out.contains("ready") && child.waitForReadyRead(30000)) out += child.readAllStandardOutput();
    QVERIFY2(out.contains("ready"), out.constData());
    QCOMPARE(::kill(pid_t(child.processId()), signal), 0);
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 128 + signal);
    QCOMPARE(readFile(RecoveryFileName(childFolder, doc)), EncodeWindows1251(QStringLiteral("текст набрано\n")));
    QCOMPARE(readFile(doc), EncodeWindows1251(QStringLiteral("текст\n")));
  }
};

KORVEX_TEST(TestRecovery)
#include "test_recovery.moc"
