// Typing in a 1 MB document with and without the recovery copy.  A key is
// sent to the main window's editor and the events it causes are handled,
// timers included, so the copy's snapshot lands on the keys it follows, as it
// does for a user; max_ms shows the slowest key.  The snapshot alone and the
// write it hands to the copy's thread are measured apart.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <cstdio>

#include "WindowBench.h"
#include "app/General.h"
#include "app/Recovery.h"
#include "app/Session.h"
#include "app/UfrmMain.h"
#include "core/TextCodec.h"
#include "platform/Paths.h"
#include "platform/Platform.h"

namespace {

QStringList megabyteLines() {
  QStringList lines;
  qint64 size = 0;
  for (int i = 0; size < 1024 * 1024; ++i) {
    lines << QStringLiteral("{\\H2.5;Строка номер %1 текста \\C1;красная} %%c25").arg(i);
    size += lines.last().toUtf8().size() + 2;
  }
  return lines;
}

std::unique_ptr<TfrmMain> openMegabyte() {
  const QString path = scratch().filePath(QStringLiteral("typing.txt"));
  QString error;
  TTextFormat format;
  format.encoding = TTextFormat::Utf8;
  if (!QFile::exists(path)) WriteTextFile(path, megabyteLines(), format, error);
  auto w = std::make_unique<TfrmMain>(benchSession(), QStringList{QStringLiteral("korvex"), path});
  w->show();
  QApplication::processEvents();
  return w;
}

void BM_Keystroke1M(benchmark::State& state) {
  const bool recovery = state.range(0) != 0;
  auto w = openMegabyte();
  // Without a document the copy is never taken.
  if (!recovery) w->recovery()->setDocument(QString());
  w->editor().moveCursor(QTextCursor::End);
  double slowest = 0;
  int key = 0;
  for (auto _ : state) {
    QElapsedTimer t;
    t.start();
    const QString text(QChar(u'а' + (key++ % 32)));
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
    QApplication::sendEvent(&w->editor(), &press);
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, text);
    QApplication::sendEvent(&w->editor(), &release);
    QApplication::processEvents();
    const double seconds = t.nsecsElapsed() / 1e9;
    slowest = qMax(slowest, seconds);
    state.SetIterationTime(seconds);
  }
  w->recovery()->flush();
  state.counters["max_ms"] = slowest * 1000;
  w->ExitWithoutSaving();
}

void BM_RecoverySnapshot1M(benchmark::State& state) {
  auto w = openMegabyte();
  for (auto _ : state) benchmark::DoNotOptimize(w->editor().lines());
  w->ExitWithoutSaving();
}

void BM_RecoveryWrite1M(benchmark::State& state) {
  const QStringList lines = megabyteLines();
  const QString path = scratch().filePath(QStringLiteral("copy.txt"));
  TTextFormat format;
  format.encoding = TTextFormat::Utf8;
  for (auto _ : state) {
    QString error;
    benchmark::DoNotOptimize(WriteTextFile(path, lines, format, error));
  }
}

}  // namespace

BENCHMARK(BM_Keystroke1M)->ArgName("recovery")->Arg(0)->Arg(1)->UseManualTime()->MinTime(2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecoverySnapshot1M)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecoveryWrite1M)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return runWindowBenchmarks(argc, argv); }
