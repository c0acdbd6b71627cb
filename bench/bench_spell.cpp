// Spelling costs the user feels, with the real ru_RU dictionary copied next to
// the program (build/Support/dict):
//   BM_UnderlinePass      the underlining after a paint of a full screen of
//                         Russian plain text (50 lines of 80 characters, a few
//                         misspellings), verdicts cached as while typing
//   BM_UnderlinePassCold  the same pass right after the cache was emptied
//                         (the first paint after choosing a language or adding a word)
//   BM_ChooseRussian      choosing Russian: the engine reads ru_RU.aff/.dic
//   BM_StartUp            the spelling set-up of the main window at start:
//                         the dictionary folder is listed, nothing is parsed
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QTemporaryDir>
#include <QFile>

#include "BenchMain.h"
#include "editor/Editor.h"
#include "highlight/SynHighlighterMText.h"
#include "spell/SpellMenu.h"

namespace {

QString dictFolder() { return QCoreApplication::applicationDirPath() + QStringLiteral("/../Support/dict/"); }

// Russian prose, 80 characters a line, one misspelled word in every fifth line.
QStringList screenOfText() {
  const QStringList words = QStringLiteral(
                                "сегодня хорошая погода и мы идём гулять по парку где растут старые деревья "
                                "вдоль дороги стоят дома с красными крышами а над рекой летают птицы")
                                .split(QLatin1Char(' '));
  const QStringList typos = {QStringLiteral("хорашая"), QStringLiteral("пагода"), QStringLiteral("дерeвья"),
                             QStringLiteral("крышамы")};
  QStringList lines;
  int w = 0;
  for (int l = 0; l < 50; ++l) {
    QString line;
    while (line.size() < 80) {
      QString word = words.at(w++ % words.size());
      if (l % 5 == 0 && line.size() > 30 && line.size() < 40) word = typos.at(l / 5 % typos.size());
      if (!line.isEmpty()) line += QLatin1Char(' ');
      line += word;
    }
    lines << line.left(80);
  }
  return lines;
}

struct TScreen {
  QTemporaryDir FDir;
  TEditor FEditor;
  QMenu* FContext = new QMenu(&FEditor);
  TSynMText* FTokenizer = new TSynMText(&FEditor);
  TSynMTextHighlighter* FHighlighter = new TSynMTextHighlighter(FTokenizer, FEditor.document());
  std::unique_ptr<TSpellMenu> FSpelling;

  TScreen() {
    for (const char* ext : {".aff", ".dic"})
      QFile::copy(dictFolder() + "ru_RU" + ext, FDir.path() + "/ru_RU" + ext);
    FEditor.setEditorFont(QFont(QStringLiteral("DejaVu Sans Mono"), 10));
    FEditor.setLines(screenOfText());
    FEditor.resize(80 * QFontMetrics(FEditor.font()).horizontalAdvance(QLatin1Char('m')) + 40,
                   51 * FEditor.lineHeight() + 20);
    FEditor.show();
    FSpelling = TSpellMenu::CreateSpellCheck(&FEditor, FContext, FDir.path() + "/", FHighlighter);
    for (QAction* a : FSpelling->languageMenu()->actions())
      if (a->data().toInt() == 0x0419) a->trigger();
  }
};

TScreen& screen() {
  static TScreen s;
  return s;
}

void underlinePass(benchmark::State& state, bool cold) {
  TScreen& s = screen();
  QImage image(s.FEditor.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
  const int first = s.FEditor.firstVisibleLine();
  const int last = s.FEditor.lastVisibleLine();
  if (last - first + 1 < 50) state.SkipWithError("fewer than 50 lines on screen");
  TDrawAutoSpellCheckPlugin* plugin = s.FSpelling->FDrawAutoSpellCheckPlugin.get();
  int n = 0;
  for (auto _ : state) {
    if (cold) {
      state.PauseTiming();
      // Adding a word empties the verdict cache.
      s.FSpelling->FSpellCheck->AddDictWord(QStringLiteral("слово") + QString::number(n++));
      state.ResumeTiming();
    }
    QPainter painter(&image);
    plugin->afterPaint(painter, image.rect(), first, last);
  }
  state.counters["lines"] = last - first + 1;
}

void BM_UnderlinePass(benchmark::State& state) { underlinePass(state, false); }
void BM_UnderlinePassCold(benchmark::State& state) { underlinePass(state, true); }

void BM_ChooseRussian(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto spell = std::make_unique<TSynEditSpellCheck>(nullptr, TCheckAttributes{caText, caIdentifier});
    spell->setOptions({sscoHourGlass});
    spell->LoadDictionaries(dictFolder());
    state.ResumeTiming();
    if (!spell->SelectDictionary(0x0419)) state.SkipWithError("ru_RU missing");
    state.PauseTiming();
    spell.reset();
    state.ResumeTiming();
  }
}

void BM_StartUp(benchmark::State& state) {
  TEditor editor;
  QMenu* context = new QMenu(&editor);
  for (auto _ : state) {
    auto spelling = TSpellMenu::CreateSpellCheck(&editor, context, dictFolder(), nullptr);
    benchmark::DoNotOptimize(spelling.get());
    state.PauseTiming();
    spelling.reset();
    state.ResumeTiming();
  }
}

}  // namespace

BENCHMARK(BM_UnderlinePass)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UnderlinePassCold)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ChooseRussian)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_StartUp)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  return runBenchmarks(argc, argv);
}
