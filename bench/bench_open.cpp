// Opening a large document with highlighting on, as the main window does it:
// the highlighter is attached to the editor before the file is read, the file
// is read into the editor, the attributes are set and the highlighter is
// re-applied, then the editor paints its first screen.  Also a letter typed in
// that document, up to the repainted screen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>

#include "BenchMain.h"
#include "core/TextCodec.h"
#include "editor/Editor.h"
#include "highlight/SynHighlighterMText.h"

namespace {

constexpr int LineCount = 10000;

// Mixed codes, numbers, symbols and Cyrillic and Latin words, about 70
// characters a line.
QString generatedLine(int i) {
  static const char* const pieces[] = {
      "{\\H2.5;Высота %1}",      "\\P%1",           "\\fArial|b1|i0;Шрифт %1", "%%c%1 отверстия",
      "\\S%1/2;",               "\\C3;red %1",     "\\A1;выравнивание \\L%1\\l", "%%d угол %1.5",
      "текст без кодов номер %1", "\\W0.8;ж%1",     "\\Q15;наклон %1",        "\\T1.1;трекинг %1",
  };
  QString s;
  for (int k = 0; k < 5; ++k) s += QString::fromUtf8(pieces[(i * 7 + k * 5) % 12]).arg(i + k) + QLatin1Char(' ');
  return s;
}

QString documentFile(const QTemporaryDir& dir) {
  const QString path = dir.filePath(QStringLiteral("large.txt"));
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly)) return QString();
  for (int i = 0; i < LineCount; ++i) f.write((generatedLine(i) + QStringLiteral("\r\n")).toUtf8());
  return path;
}

struct TOpenBed {
  TSynMText syn;
  TEditor editor;
  TSynMTextHighlighter highlighter{&syn, static_cast<QObject*>(nullptr)};
  QImage screen{QSize(800, 600), QImage::Format_ARGB32_Premultiplied};

  TOpenBed(bool wrap, bool onDemand) {
    highlighter.setOnDemand(onDemand);
    editor.onPaintBlocks = [this](const QTextBlock& first, const QTextBlock& last) {
      highlighter.highlightShown(first, last);
    };
    editor.resize(screen.size());
    QFont f(QStringLiteral("Courier New"), 10);
    f.setStyleHint(QFont::TypeWriter);
    editor.setEditorFont(f);
    editor.setWordWrap(wrap);
    editor.show();
    applySettings();
  }

  // The attribute part of the main window's settings, then the attachment.
  void applySettings() {
    syn.beginUpdate();
    syn.identifierAttri()->setForeground(Qt::black);
    syn.keyAttri()->setForeground(QColor(0, 0, 255));
    syn.numberAttri()->setForeground(QColor(255, 0, 0));
    syn.symbolsAttri()->setForeground(QColor(0, 128, 0));
    syn.endUpdate();
    if (highlighter.document() != editor.document()) {
      highlighter.setDocument(editor.document());
    } else {
      highlighter.rehighlight();
    }
  }

  void open(const QString& path) {
    editor.clearAll();
    QString error;
    editor.loadFromFile(path, &error);
    applySettings();
  }

  void paint() {
    QPainter p(&screen);
    editor.viewport()->render(&p);
  }

  void key(int code, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
    QApplication::sendEvent(&editor, &press);
    QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier, text);
    QApplication::sendEvent(&editor, &release);
  }
};

void label(benchmark::State& state) {
  std::string s = state.range(0) ? "word wrap" : "no wrap";
  s += state.range(1) ? ", on demand" : ", every line at load";
  state.SetLabel(s);
}

// Arguments: word wrap, highlighting on demand.
void BM_OpenToFirstPaint(benchmark::State& state) {
  QTemporaryDir dir;
  const QString path = documentFile(dir);
  TOpenBed bed(state.range(0) != 0, state.range(1) != 0);
  for (auto _ : state) {
    bed.open(path);
    bed.paint();
  }
  label(state);
}

// Half-way down the document, so that lines above and below are unpainted.
void BM_TypeLetter(benchmark::State& state) {
  QTemporaryDir dir;
  const QString path = documentFile(dir);
  TOpenBed bed(state.range(0) != 0, state.range(1) != 0);
  bed.open(path);
  QTextCursor c(bed.editor.document()->findBlockByNumber(LineCount / 2));
  c.movePosition(QTextCursor::EndOfBlock);
  bed.editor.setTextCursor(c);
  bed.editor.centerCursor();
  bed.paint();
  for (auto _ : state) {
    bed.key(Qt::Key_A, QStringLiteral("ж"));
    bed.paint();
    state.PauseTiming();
    bed.key(Qt::Key_Backspace, QString());
    bed.paint();
    state.ResumeTiming();
  }
  label(state);
}

// Paging down through lines never shown, up to the repainted viewport; at the
// end the document is opened afresh (not timed).
void BM_PageDown(benchmark::State& state) {
  QTemporaryDir dir;
  const QString path = documentFile(dir);
  TOpenBed bed(state.range(0) != 0, state.range(1) != 0);
  QScrollBar* bar = bed.editor.verticalScrollBar();
  for (auto _ : state) {
    if (bar->value() >= bar->maximum()) {
      state.PauseTiming();
      bed.open(path);
      bed.paint();
      state.ResumeTiming();
    }
    bar->setValue(bar->value() + bar->pageStep());
    bed.paint();
  }
  label(state);
}

// The file's bytes to lines alone, as every open and the headless render begin.
void BM_ReadDocument(benchmark::State& state) {
  QTemporaryDir dir;
  const QString path = documentFile(dir);
  for (auto _ : state) {
    QStringList lines;
    TTextFormat format;
    QString error;
    if (!ReadTextFile(path, lines, format, error)) state.SkipWithError(qPrintable(error));
    benchmark::DoNotOptimize(lines);
  }
}

}  // namespace

BENCHMARK(BM_ReadDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenToFirstPaint)->ArgsProduct({{1, 0}, {1, 0}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeLetter)->ArgsProduct({{1, 0}, {1, 0}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageDown)->ArgsProduct({{1, 0}, {1, 0}})->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  return runBenchmarks(argc, argv);
}
