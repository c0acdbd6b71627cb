// The tolerance dialog from the command to its first complete paint, with the
// shipped table (read afresh on every show, as the dialog does).  The target
// is 100 ms.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QStringList>

#include "BenchMain.h"
#include "core/TextCodec.h"
#include "tools/UfrmTolTable.h"

namespace {

// The copy next to the build's executables, as the program reads it.
QString TableFile;

// Create, prepare, load and select (1, 1), show, and paint every visible
// widget into an image: what the user waits for.
void BM_TolTableAppears(benchmark::State& state) {
  for (auto _ : state) {
    TfrmTolTable dialog(0.6, false);
    dialog.Prepare(QStringLiteral("25"));
    dialog.FormShow(TableFile);
    dialog.show();
    QImage shot(dialog.size(), QImage::Format_ARGB32_Premultiplied);
    dialog.render(&shot);
    benchmark::DoNotOptimize(shot.constBits());
    dialog.hide();
  }
}

// The part that runs again on every show: reading and splitting the table.
void BM_TolTableRead(benchmark::State& state) {
  for (auto _ : state) {
    QStringList lines;
    TTextFormat format;
    QString error;
    ReadTextFile(TableFile, lines, format, error);
    const TTolTable table = ParseTolTable(lines);
    benchmark::DoNotOptimize(table.Cells.size());
  }
}

// Selecting a cell: fragment, preview and limits.
void BM_TolTableSelect(benchmark::State& state) {
  TfrmTolTable dialog(0.6, false);
  dialog.Prepare(QStringLiteral("25"));
  dialog.FormShow(TableFile);
  int c = 1;
  for (auto _ : state) {
    dialog.TableGridSelectCell(c, 5);
    c = c % (dialog.ColCount() - 1) + 1;
  }
}

}  // namespace

BENCHMARK(BM_TolTableAppears)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TolTableRead)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TolTableSelect)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  TableFile = QCoreApplication::applicationDirPath() + QStringLiteral("/../Support/korvex.tol");
  return runBenchmarks(argc, argv);
}
