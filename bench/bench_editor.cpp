// Speed of the editing control on a large document: filling it with 40 000
// lines and rewriting every line inside one update (what the whole-text tools
// do).  Correctness of the same steps is checked in tests/editor.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QStringList>

#include "BenchMain.h"
#include "editor/Editor.h"

namespace {

constexpr int LargeLineCount = 40000;

const QStringList& largeDocument() {
  static const QStringList lines = [] {
    QStringList l;
    l.reserve(LargeLineCount);
    for (int i = 0; i < LargeLineCount; ++i) l << QStringLiteral("{\\H2.5;Строка номер %1 текста}").arg(i);
    return l;
  }();
  return lines;
}

void BM_SetLines40K(benchmark::State& state) {
  for (auto _ : state) {
    TEditor e;
    e.setLines(largeDocument());
    benchmark::DoNotOptimize(e.lineCount());
  }
  state.SetItemsProcessed(state.iterations() * LargeLineCount);
}

void BM_EditEveryLine40K(benchmark::State& state) {
  TEditor e;
  for (auto _ : state) {
    state.PauseTiming();
    e.setLines(largeDocument());
    state.ResumeTiming();
    e.beginUpdate();
    for (int i = 0; i < e.lineCount(); ++i) e.setLine(i, QLatin1Char(' ') + e.line(i));
    e.endUpdate();
    benchmark::DoNotOptimize(e.lines());
  }
  state.SetItemsProcessed(state.iterations() * LargeLineCount);
}

}  // namespace

BENCHMARK(BM_SetLines40K)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditEveryLine40K)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  return runBenchmarks(argc, argv);
}
