// Listing a drawing's MTEXT as `korvex --list` does (read, decode, plain-text
// start of each), and writing one entity back.  The drawing is made by ezdxf
// (bench/dxf_make.py) unless --dxf=FILE names one; bench/compare_dxf.sh runs
// ezdxf's readfile on the same file in the same run.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <cstring>

#include "BenchMain.h"
#include "dxf/DxfDrawing.h"

namespace {

QString gDrawing;

void BM_ListDxf(benchmark::State& state) {
  qsizetype count = 0;
  for (auto _ : state) {
    TDxfDrawing d;
    QString error;
    if (!d.load(gDrawing, error)) {
      state.SkipWithError(qPrintable(error));
      return;
    }
    count = 0;
    for (const TDxfMText& m : d.mtexts()) count += DxfPlainText(m.text).left(40).size() > 0;
    benchmark::DoNotOptimize(count);
  }
  state.counters["mtext"] = double(count);
}
BENCHMARK(BM_ListDxf)->Unit(benchmark::kMillisecond)->UseRealTime();

// Read, splice, write through a temporary file: one pass over the bytes.
void BM_WriteOneDxf(benchmark::State& state) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("w.dxf"));
  QFile::copy(gDrawing, path);
  TDxfDrawing d;
  QString error;
  d.load(path, error);
  const TDxfMText m = d.mtexts().value(d.mtexts().size() / 2);
  QString text = m.text;
  for (auto _ : state) {
    bool conflict = false;
    const QString next = text + QLatin1Char('!');
    if (!WriteDxfText(path, m.handle, m.index, text, next, false, conflict, error)) {
      state.SkipWithError(qPrintable(error));
      return;
    }
    text = next;
  }
}
BENCHMARK(BM_WriteOneDxf)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTemporaryDir dir;
  for (int i = 1; i < argc; ++i)
    if (std::strncmp(argv[i], "--dxf=", 6) == 0) {
      gDrawing = QString::fromLocal8Bit(argv[i] + 6);
      for (int j = i; j + 1 < argc; ++j) argv[j] = argv[j + 1];
      --argc;
      break;
    }
  if (gDrawing.isEmpty()) {
    gDrawing = dir.filePath(QStringLiteral("bench.dxf"));
    const int rc = QProcess::execute(QStringLiteral("/usr/bin/python3"),
                                     {QStringLiteral(KORVEX_SOURCE_DIR "/bench/dxf_make.py"), gDrawing});
    if (rc != 0) {
      std::fprintf(stderr, "bench_dxf: could not make the drawing with ezdxf (python3-ezdxf)\n");
      return 1;
    }
  }
  return runBenchmarks(argc, argv);
}
