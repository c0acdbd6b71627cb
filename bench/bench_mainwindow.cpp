// The preview on the user's path: keys sent to the main window's editor and
// handled with all they cause, on text as dense in codes as real drawings
// (over 100 codes per 1000 characters, \S and \H frequent).  The process CPU
// time is reported, so the work of other threads counts too.  Run with
// --write-texts=DIR to write the texts for the peers of bench/compare.sh.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <cstring>

#include "WindowBench.h"
#include "app/General.h"
#include "app/Recovery.h"
#include "app/RenderText.h"
#include "app/Session.h"
#include "app/UfrmMain.h"
#include "core/TextCodec.h"
#include "mtext/zorAcCanvas.h"
#include "platform/Paths.h"
#include "platform/Platform.h"

namespace {

// Lines of about 70 characters, one code for every 8 to 9 characters.
QStringList denseLines(int targetChars) {
  static const char* const words[] = {"Отв.", "М6", "Ra", "сталь", "фаска", "Hole", "H7", "size", "шаг", "L="};
  static const char* const codes[] = {
      "\\S1/2;",     "\\S+0.1^-0.2;", "\\S3#4;",   "\\H2.5;",  "\\H1.5x;", "{\\H0.7x;\\S+0,05^-0,02;}",
      "{\\C1;кр}",   "\\Lпод\\l",     "{\\W0.8;у}", "{\\T1.2;t}", "{\\Q15;н}", "%%c20",
      "45%%d",       "%%p0.5",        "\\U+0416",  "{\\fArial|b1;b}", "\\A1;",  "\\H3;"};
  quint32 state = 4242;
  auto next = [&state](quint32 n) {
    state = state * 1103515245u + 12345u;
    return (state >> 8) % n;
  };
  QStringList lines;
  QString line;
  qsizetype total = 0;
  while (total < targetChars) {
    line += QString::fromUtf8(next(5) < 3 ? codes[next(18)] : words[next(10)]);
    if (next(3) == 0) line += QLatin1Char(' ');
    if (line.size() >= 70) {
      total += line.size() + 2;
      lines << line;
      line.clear();
    }
  }
  return lines;
}

// Codes per 1000 characters: backslash codes and %% symbols.
double codeDensity(const QStringList& lines) {
  qsizetype codes = 0, chars = 0;
  for (const QString& l : lines) {
    chars += l.size();
    for (qsizetype i = 0; i + 1 < l.size(); ++i) {
      if ((l[i] == u'\\' && l[i + 1].isLetter()) || (l[i] == u'%' && l[i + 1] == u'%')) {
        ++codes;
        ++i;
      }
    }
  }
  return chars ? 1000.0 * double(codes) / double(chars) : 0;
}

const QStringList& lines100K() {
  static const QStringList l = denseLines(100 * 1024);
  return l;
}
const QStringList& lines1M() {
  static const QStringList l = denseLines(1024 * 1024);
  return l;
}

QString writeText(const QString& name, const QStringList& lines) {
  const QString path = scratch().filePath(name);
  QString error;
  TTextFormat format;
  format.encoding = TTextFormat::Utf8;
  if (!QFile::exists(path)) WriteTextFile(path, lines, format, error);
  return path;
}

std::unique_ptr<TfrmMain> openWindow(const QString& path) {
  auto w = std::make_unique<TfrmMain>(benchSession(), QStringList{QStringLiteral("korvex"), path});
  w->resize(800, 900);
  w->show();
  QApplication::processEvents();
  // Without a document the recovery copy is never taken: its thread is measured elsewhere.
  w->recovery()->setDocument(QString());
  w->RenderText();
  QApplication::processEvents();
  return w;
}

void key(TfrmMain& w, int code, const QString& text) {
  QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
  QApplication::sendEvent(&w.editor(), &press);
  QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier, text);
  QApplication::sendEvent(&w.editor(), &release);
  QApplication::processEvents();
}

long peakKiB() {
  QFile f(QStringLiteral("/proc/self/status"));
  if (!f.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& l : f.readAll().split('\n'))
    if (l.startsWith("VmHWM:")) return l.mid(6).trimmed().split(' ').value(0).toLong();
  return 0;
}

// A letter typed, then "Визуализировать": the whole preview of 100 KB built again.
void BM_LetterThenRender100K(benchmark::State& state) {
  auto w = openWindow(writeText(QStringLiteral("dense100k.txt"), lines100K()));
  w->editor().setCaretXY(QPoint(1, 1));
  int n = 0;
  for (auto _ : state) {
    key(*w, 0, QString(QChar(u'а' + (n++ % 32))));
    w->RunCommand(cmdToolsRender, QString());
    QApplication::processEvents();
  }
  state.counters["codes_per_1000"] = codeDensity(lines100K());
  // Every benchmark reports the same counters: the CSV output of compare.sh needs them all.
  state.counters["peak_MiB"] = double(peakKiB()) / 1024.0;
  w->ExitWithoutSaving();
}

// A space at the top, middle or end of 1 MB: the preview is rendered again.
void spaceOrLetter1M(benchmark::State& state, bool space) {
  auto w = openWindow(writeText(QStringLiteral("dense1m.txt"), lines1M()));
  const int line = int(state.range(0) * (w->editor().lineCount() - 1) / 2);
  w->editor().setCaretXY(QPoint(1, line + 1));
  int n = 0;
  for (auto _ : state) {
    if (space)
      key(*w, Qt::Key_Space, QStringLiteral(" "));
    else
      key(*w, 0, QString(QChar(u'а' + (n++ % 32))));
  }
  state.counters["codes_per_1000"] = codeDensity(lines1M());
  state.counters["peak_MiB"] = double(peakKiB()) / 1024.0;
  w->ExitWithoutSaving();
}
void BM_Space1M(benchmark::State& state) { spaceOrLetter1M(state, true); }
void BM_Letter1M(benchmark::State& state) { spaceOrLetter1M(state, false); }

// Peak memory with 1 MB open, rendered and edited, the window at the size it
// opens with, and the recovery copy written on its thread.  The peak is the
// process's: run it alone (compare.sh does).
void BM_Memory1M(benchmark::State& state) {
  auto w = std::make_unique<TfrmMain>(benchSession(),
                                      QStringList{QStringLiteral("korvex"), writeText(QStringLiteral("dense1m.txt"), lines1M())});
  w->show();
  QApplication::processEvents();
  for (auto _ : state) {
    w->RenderText();
    key(*w, Qt::Key_Space, QStringLiteral(" "));
    // The copy is taken a second after the first change.
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 1500) {
      QApplication::processEvents(QEventLoop::AllEvents, 50);
      QThread::msleep(20);
    }
  }
  state.counters["codes_per_1000"] = codeDensity(lines1M());
  state.counters["peak_MiB"] = double(peakKiB()) / 1024.0;
  w->ExitWithoutSaving();
}

// What `korvex --render` does with 1 MB once its fonts are loaded: the
// file read, its MText built and measured through a band of no area.
void BM_HeadlessMeasure1M(benchmark::State& state) {
  const QString path = writeText(QStringLiteral("dense1m.txt"), lines1M());
  const TRenderProps props = benchSession().Options.RenderProps;
  TCanvas canvas;
  for (auto _ : state) {
    QString text, error;
    TTextFormat format;
    ReadTextFile(path, text, format, error);
    const QString mtext = EditorTextToMText(std::move(text));
    benchmark::DoNotOptimize(RenderPreviewBand(canvas, mtext, props, QRect()));
  }
  state.counters["codes_per_1000"] = codeDensity(lines1M());
  state.counters["peak_MiB"] = double(peakKiB()) / 1024.0;
}

}  // namespace

// Arguments: 0 top, 1 middle, 2 end of the text.
BENCHMARK(BM_LetterThenRender100K)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Space1M)->ArgName("at")->Arg(0)->Arg(1)->Arg(2)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Letter1M)->ArgName("at")->Arg(0)->Arg(1)->Arg(2)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HeadlessMeasure1M)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Memory1M)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--write-texts=", 14) == 0) {
      const QString dir = QString::fromLocal8Bit(argv[i] + 14);
      const std::pair<const char*, const QStringList*> texts[] = {{"dense100k.txt", &lines100K()},
                                                                   {"dense1m.txt", &lines1M()}};
      // The document as the editor opens it, and the MText the preview gets.
      for (const auto& [name, lines] : texts) {
        for (const char* sep : {"\r\n", "\\P"}) {
          QFile f(dir + QLatin1Char('/') + QLatin1String(name) + QLatin1String(sep[0] == '\r' ? "" : ".mtext"));
          if (!f.open(QIODevice::WriteOnly) || f.write(lines->join(QLatin1String(sep)).toUtf8()) < 0) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(f.fileName()));
            return 1;
          }
        }
      }
      return 0;
    }
  }
  return runWindowBenchmarks(argc, argv);
}
