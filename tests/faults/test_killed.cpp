// kill -9 of a process in the middle of writing, at random moments: the file
// on disk is always one of the two whole contents, never a mix or a stump.
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <random>
#include <thread>

#include "SaveTargets.h"
#include "TestMain.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr int kDefaultRuns = 20;  // a sanitized child starts ten times slower
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr int kDefaultRuns = 20;
#else
constexpr int kDefaultRuns = 100;
#endif
#else
constexpr int kDefaultRuns = 100;
#endif

int runCount() {
  bool ok = false;
  const int n = qEnvironmentVariableIntValue("KORVEX_FAULT_RUNS", &ok);
  return ok && n > 0 ? n : kDefaultRuns;
}

}  // namespace

class TestKilledWhileWriting : public QObject {
  Q_OBJECT
 private slots:
  void fileIsOldOrNew_data() {
    QTest::addColumn<QString>("target");
    for (const faults::TSaveTarget& t : faults::saveTargets()) QTest::newRow(t.name) << QString::fromLatin1(t.name);
  }
  void fileIsOldOrNew() {
    QFETCH(QString, target);
    const faults::TSaveTarget* t = faults::findTarget(target);
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(t->fileName));
    QVERIFY(t->write(dir.filePath("content0"), 0) && t->write(dir.filePath("content1"), 1));
    const QByteArray content[2] = {korvextest::readFile(dir.filePath("content0")),
                                   korvextest::readFile(dir.filePath("content1"))};
    QVERIFY(!content[0].isEmpty() && content[0] != content[1]);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(t->write(path, 0) && t->write(path, 1));
    // The kills fall anywhere within about two writes after the child is ready.
    const qint64 spreadUs = clock.nsecsElapsed() / 1000;

    const quint32 seed = QRandomGenerator::global()->generate();
    std::mt19937 random(seed);
    std::uniform_int_distribution<qint64> delay(0, spreadUs);
    const int runs = runCount();
    int insideWrite = 0, losses = 0, leftovers = 0;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("KORVEX_FAULT_WRITER", target);
    env.insert("KORVEX_FAULT_FILE", path);
    for (int run = 0; run < runs; ++run) {
      QProcess child;
      child.setProcessEnvironment(env);
      child.start(QCoreApplication::applicationFilePath(), {});
      QVERIFY2(child.waitForReadyRead(20000), "the writer did not start");
      std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
      ::kill(pid_t(child.processId()), SIGKILL);
      QVERIFY(child.waitForFinished(20000));
      const QByteArray said = child.readAllStandardOutput();
      QVERIFY2(child.exitStatus() == QProcess::CrashExit, qPrintable("the writer stopped by itself: " + said));
      if (said.endsWith('b')) ++insideWrite;
      const QByteArray now = korvextest::readFile(path);
      if (now != content[0] && now != content[1]) {
        ++losses;
        qWarning("run %d: %s holds %lld bytes, neither content (%lld or %lld bytes)", run, qPrintable(path),
                 qlonglong(now.size()), qlonglong(content[0].size()), qlonglong(content[1].size()));
      }
      // A temporary file of the killed write stays behind; it is not the user's file.
      for (const QFileInfo& f : QDir(dir.path()).entryInfoList(QDir::Files | QDir::Hidden))
        if (!f.fileName().startsWith("content") && f.filePath() != path) {
          ++leftovers;
          QFile::remove(f.filePath());
        }
    }
    qInfo("%s: %d runs (seed %u), %d killed inside a write, %d losses, %d temporary files left behind",
          qPrintable(target), runs, seed, insideWrite, losses, leftovers);
    QCOMPARE(losses, 0);
    // Kills that all missed the writes would prove nothing.
    QVERIFY2(insideWrite * 4 >= runs, qPrintable(QString("only %1 of %2 kills hit a write").arg(insideWrite).arg(runs)));
  }
};

KORVEX_TEST(TestKilledWhileWriting)
#include "test_killed.moc"
