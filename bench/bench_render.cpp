// Rendering speed of RenderMText on generated documents, against a bare
// QPainter loop drawing the same characters.  Run with --write-text=FILE to
// write the generated 100 KB text for bench/ezdxf_tokenize.py instead.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <cstring>

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

// Prepared the way the preview is: 16 x 16, font, colours, filled, pen at 0,0;
// the callback grows to value + old + 1.
QPoint renderPreview(TCanvas& c, const QString& text) {
  c.setSize(16, 16);
  c.setFont(QStringLiteral("Liberation Sans"), 12, 0, RGBColor(0, 0, 0));
  c.setPenColor(RGBColor(0, 0, 0));
  c.setBrushColor(RGBColor(255, 255, 255));
  c.fill();
  c.moveTo(0, 0);
  QPoint size;
  RenderMText(c, text, size, [&c](int v, TResizeType t) { return GrowCanvas(c, v, t); });
  return size;
}

void runRender(benchmark::State& state, const QString& text) {
  TCanvas c;
  QPoint size;
  for (auto _ : state) {
    size = renderPreview(c, text);
    benchmark::DoNotOptimize(size);
  }
  state.SetItemsProcessed(state.iterations() * text.size());
  state.SetBytesProcessed(state.iterations() * text.size() * qint64(sizeof(QChar)));
  state.counters["width"] = size.x();
  state.counters["height"] = size.y();
  state.counters["truncated"] = c.truncated() ? 1 : 0;
}

void BM_Render2K(benchmark::State& state) { runRender(state, text2K()); }
void BM_Render100K(benchmark::State& state) { runRender(state, text100K()); }
void BM_Render1M(benchmark::State& state) { runRender(state, text1M()); }

// The practical floor: every character of the 100 KB text drawn one by one
// with QPainter in one font, lines broken at \P, into a surface of the same size.
void BM_BareQPainter100K(benchmark::State& state) {
  const QString& text = text100K();
  SetScreenDpiY(96);
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPixelSize(16);
  const QFontMetrics fm(font);
  TCanvas probe;
  const QPoint full = renderPreview(probe, text);
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

}  // namespace

BENCHMARK(BM_Render2K)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Render100K)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Render1M)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareQPainter100K)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  SetScreenDpiY(96);
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--write-text=", 13) == 0) {
      QFile f(QString::fromLocal8Bit(argv[i] + 13));
      if (!f.open(QIODevice::WriteOnly) || f.write(text100K().toUtf8()) < 0) {
        std::fprintf(stderr, "cannot write %s\n", argv[i] + 13);
        return 1;
      }
      std::printf("%lld characters written\n", static_cast<long long>(text100K().size()));
      return 0;
    }
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
