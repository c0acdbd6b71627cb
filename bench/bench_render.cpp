// Rendering speed of the preview on generated documents, the way the main
// window renders it (the whole text scanned, the band in view drawn), against
// a bare QPainter loop drawing the same characters.  Run with
// --write-texts=DIR to write the generated texts for the tokenizers of
// bench/compare.sh instead.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <cstring>

#include "BenchMain.h"
#include "app/General.h"
#include "app/RenderText.h"
#include "mtext/zorAcCanvas.h"
#include "mtext/zorAcMtextRender.h"

namespace {

// Small deterministic generator, so every run and the Python side see the same text.
struct TLcg {
  quint32 FState = 12345;
  quint32 next(quint32 n) {
    FState = FState * 1103515245u + 12345u;
    return (FState >> 8) % n;
  }
};

QString generateMText(int targetChars, int lineChars = 70) {
  static const char* const words[] = {
      "Отверстие", "резьба", "шероховатость", "допуск", "размер", "сталь", "чертёж", "фаска",
      "Hole",      "thread", "surface",       "finish", "size",   "steel", "drawing", "chamfer"};
  static const char* const codes[] = {
      "{\\C1;красный}", "{\\H1.5x;крупно}", "{\\H2.5;abs}",  "\\Lподчёркнуто\\l", "\\Oнадчёркнуто\\o",
      "{\\W0.8;узко}",  "{\\T1.2;spaced}",  "{\\Q15;наклон}", "{\\fDejaVu Sans|b1;bold}", "\\U+0416",
      "\\S1/2;",        "\\S+0.1^-0.2;",    "\\S3#4;",        "%%c20",             "45%%d",
      "%%p0.5",         "\\\\",             "\\{x\\}",        "{\\A1;mid}",        "{\\C5;\\A2;top}"};
  TLcg rnd;
  QString s;
  s.reserve(targetChars + 256);
  int lineLen = 0;
  while (s.size() < targetChars) {
    const QString piece = rnd.next(4) == 0 ? QString::fromUtf8(codes[rnd.next(20)])
                                           : QString::fromUtf8(words[rnd.next(16)]);
    s += piece;
    s += QLatin1Char(' ');
    lineLen += piece.size() + 1;
    if (lineLen >= lineChars) {
      s += QStringLiteral("\\P");
      lineLen = 0;
    }
  }
  s += QStringLiteral("\\P");
  return s;
}

const QString& text100K() {
  static const QString t = generateMText(100 * 1024);
  return t;
}
const QString& text1M() {
  static const QString t = generateMText(1024 * 1024);
  return t;
}
const QString& text2K() {
  static const QString t = generateMText(2 * 1024, 48);
  return t;
}

// The preview's render settings: 12 pt black on white.
TRenderProps previewProps() {
  TRenderProps p;
  p.rpFont.fpName = QStringLiteral("Liberation Sans");
  p.rpFont.fpSize = 12;
  p.rpFont.fpColor = RGBColor(0, 0, 0);
  p.rpBackColor = RGBColor(255, 255, 255);
  return p;
}

// The band the main window draws for a pane of 600 x 400 at the top of the
// text: two pane widths by three pane heights.
const QRect kBand(0, 0, 1200, 1200);

void runPreview(benchmark::State& state, const QString& text, const QRect& band) {
  const TRenderProps props = previewProps();
  TCanvas c;
  QPoint size;
  for (auto _ : state) {
    size = RenderPreviewBand(c, text, props, band);
    benchmark::DoNotOptimize(size);
  }
  state.SetItemsProcessed(state.iterations() * text.size());
  state.SetBytesProcessed(state.iterations() * text.size() * qint64(sizeof(QChar)));
  state.counters["width"] = size.x();
  state.counters["height"] = size.y();
}

// Re-render of the preview, as on every space key.
void BM_Preview2K(benchmark::State& state) { runPreview(state, text2K(), kBand); }
void BM_Preview100K(benchmark::State& state) { runPreview(state, text100K(), kBand); }
void BM_Preview1M(benchmark::State& state) { runPreview(state, text1M(), kBand); }
// The same band at the end of the text, as after scrolling there.
void BM_Preview1MEnd(benchmark::State& state) {
  TCanvas probe;
  const QPoint size = RenderPreviewBand(probe, text1M(), previewProps(), QRect());
  runPreview(state, text1M(), kBand.translated(0, qMax(0, size.y() - kBand.height())));
}
// A space key in a 1 MB document: the editor's lines joined into one MText
// string, then the preview rendered, as the main window does it.
void BM_SpaceKey1M(benchmark::State& state) {
  const QStringList lines = QString(text1M()).split(QStringLiteral("\\P"));
  const TRenderProps props = previewProps();
  TCanvas c;
  for (auto _ : state) {
    const QString mtext = EditorTextToMText(lines, QStringLiteral("\r\n"));
    benchmark::DoNotOptimize(RenderPreviewBand(c, mtext, props, kBand));
  }
  state.counters["lines"] = lines.size();
}
// The scan alone: a band of no area.
void BM_Scan100K(benchmark::State& state) { runPreview(state, text100K(), QRect()); }
void BM_Scan1M(benchmark::State& state) { runPreview(state, text1M(), QRect()); }
// Codes without their ';' all over a megabyte.
void BM_ScanUnterminated1M(benchmark::State& state) {
  static const QString t = QStringLiteral("\\C1").repeated(1 << 18) + QStringLiteral("\\H2").repeated(1 << 16);
  runPreview(state, t, QRect());
}

// The practical floor: every character of the 100 KB text drawn one by one
// with QPainter in one font, lines broken at \P, into a surface of the same size.
void BM_BareQPainter100K(benchmark::State& state) {
  const QString& text = text100K();
  SetScreenDpiY(96);
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPixelSize(16);
  const QFontMetrics fm(font);
  TCanvas probe;
  const QPoint full = RenderPreviewBand(probe, text, previewProps(), QRect());
  QImage img(full.x() + 1, full.y() + 1, QImage::Format_RGB32);
  QString one(1, QChar(u' '));
  const int ascent = fm.ascent(), lineHeight = 16;
  for (auto _ : state) {
    img.fill(Qt::white);
    QPainter p(&img);
    p.setFont(font);
    p.setPen(Qt::black);
    int x = 0, y = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
      const QChar ch = text.at(i);
      if (ch == u'\\' && i + 1 < text.size() && text.at(i + 1) == u'P') {
        x = 0;
        y += lineHeight;
        ++i;
        continue;
      }
      one[0] = ch;
      p.drawText(QPoint(x, y + ascent), one);
      x += fm.horizontalAdvance(ch);
    }
  }
  state.SetItemsProcessed(state.iterations() * text.size());
  state.SetBytesProcessed(state.iterations() * text.size() * qint64(sizeof(QChar)));
}

// Whole renders onto a surface that reaches its caps: 3000 lines (too tall),
// and one line of a megabyte (too wide).
void runCapped(benchmark::State& state, const QString& text) {
  TCanvas c;
  for (auto _ : state) {
    c.resetTruncated();
    c.setSize(16, 16);
    c.setFont(QStringLiteral("Liberation Sans"), 12, 0, 0);
    c.setBrushColor(RGBColor(255, 255, 255));
    c.fill();
    c.moveTo(0, 0);
    QPoint size;
    RenderMText(c, text, size, [&c](int v, TResizeType t) { return GrowCanvas(c, v, t); });
    benchmark::DoNotOptimize(size);
  }
}
void BM_SurfaceCap3000Lines(benchmark::State& state) {
  QString text;
  for (int i = 0; i < 3000; ++i) text += QStringLiteral("строка %1\\P").arg(i);
  runCapped(state, text);
}
void BM_WideLine1M(benchmark::State& state) {
  QString text;
  while (text.size() < (1 << 20)) text += QStringLiteral("abc{\\C1;\\H1.5x;d}\\S1/2;%%c ");
  runCapped(state, text);
}

}  // namespace

BENCHMARK(BM_SurfaceCap3000Lines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WideLine1M)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Preview2K)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Preview100K)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Preview1M)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Preview1MEnd)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SpaceKey1M)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Scan100K)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Scan1M)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanUnterminated1M)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareQPainter100K)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  SetScreenDpiY(96);
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--write-texts=", 14) == 0) {
      const QString dir = QString::fromLocal8Bit(argv[i] + 14);
      const std::pair<const char*, const QString*> texts[] = {
          {"mtext2k.txt", &text2K()}, {"mtext100k.txt", &text100K()}, {"mtext1m.txt", &text1M()}};
      for (const auto& [name, text] : texts) {
        QFile f(dir + QLatin1Char('/') + QLatin1String(name));
        if (!f.open(QIODevice::WriteOnly) || f.write(text->toUtf8()) < 0) {
          std::fprintf(stderr, "cannot write %s\n", qPrintable(f.fileName()));
          return 1;
        }
      }
      return 0;
    }
  }
  return runBenchmarks(argc, argv);
}
