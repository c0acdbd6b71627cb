// Spelling in the editor: underlining, the context-menu entries, F5 and F6,
// the checking pass; with the MText highlighter and the real engine.
#include <QImage>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

#include "SpellTestUtil.h"
#include "TestMain.h"
#include "editor/Editor.h"
#include "highlight/SynHighlighterMText.h"
#include "spell/SpellMenu.h"

using namespace spelltest;

namespace {

// An editor with the MText highlighter, a context menu and the spelling set-up
// reading a folder of its own.
struct TFixture {
  QTemporaryDir FDir;
  TEditor FEditor;
  QMenu* FContext = new QMenu(&FEditor);
  TSynMText* FTokenizer = new TSynMText(&FEditor);
  TSynMTextHighlighter* FHighlighter = new TSynMTextHighlighter(FTokenizer, FEditor.document());
  std::unique_ptr<TSpellMenu> FSpelling;

  explicit TFixture(const QStringList& lines, const char* dict = "ru_RU") {
    if (dict) copyDict(dict, FDir.path(), "ru_RU");
    FEditor.resize(600, 200);
    FEditor.setEditorFont(QFont(QStringLiteral("DejaVu Sans Mono"), 12));
    FEditor.setLines(lines);
    FContext->addAction(QStringLiteral("Копировать"));
    FSpelling = TSpellMenu::CreateSpellCheck(&FEditor, FContext, FDir.path() + "/", FHighlighter);
  }
  TSynEditSpellCheck* spell() const { return FSpelling->FSpellCheck; }
  void chooseRussian() {
    for (QAction* a : FSpelling->languageMenu()->actions())
      if (a->data().toInt() == 0x0419) a->trigger();
  }
  QImage paint() {
    FEditor.show();
    return FEditor.viewport()->grab().toImage();
  }
  // Red pixels on the underline's rows below the word at (line, column).
  int redBelow(const QImage& image, int line, int column, int length) {
    const QRect r = FEditor.lineColumnRect(line, column, length);
    const int base = r.top() + FEditor.lineHeight() - 3;
    int red = 0;
    for (int x = r.left(); x <= r.right() + 1; ++x)
      for (int y = base - 1; y <= base + 2; ++y)
        if (image.valid(x, y) && image.pixelColor(x, y) == QColor(255, 0, 0)) ++red;
    return red;
  }
  // Whether the zigzag follows the style's offsets pixel for pixel.
  bool zigzagBelow(const QImage& image, int line, int column, int length) {
    const QRect r = FEditor.lineColumnRect(line, column, length);
    const int base = r.top() + FEditor.lineHeight() - 3;
    for (int x = qMax(r.left(), 1); x <= r.left() + r.width(); ++x) {
      static const int zigzag[4] = {0, 1, 2, 1};
      const int d = zigzag[(x - r.left()) % 4];
      if (image.pixelColor(x, base + d) != QColor(255, 0, 0)) return false;
    }
    return true;
  }
};

}  // namespace

class TestEditorSpell : public QObject {
  Q_OBJECT
 private slots:
  void entriesOfTheContextMenu() {
    TFixture f({QStringLiteral("Сегодня хорашая погода")});
    QVERIFY(f.FSpelling);
    const QStringList names = [&] {
      QStringList n;
      for (QAction* a : f.FContext->actions()) n << a->objectName();
      return n;
    }();
    QCOMPARE(names, QStringList({"", "", "pmiAddToDictionary", "pmiSuggestions", "pmiMisspelling",
                                 "pmiSelectLanguage"}));
    QVERIFY(f.FContext->actions().at(1)->isSeparator());
    QAction* add = TSpellMenu::FindPopupItem(f.FContext, "PMIADDTODICTIONARY");
    QVERIFY(add);
    QCOMPARE(add->text(), QStringLiteral("Добавить слово в словарь"));
    QCOMPARE(add->shortcut(), QKeySequence(Qt::Key_F5));
    QCOMPARE(TSpellMenu::FindPopupItem(f.FContext, "pmiMisspelling")->shortcut(), QKeySequence(Qt::Key_F6));
    QVERIFY(!TSpellMenu::FindPopupItem(f.FContext, "pmiNoSpellCheck"));  // top level only
    const QList<QAction*> languages = f.FSpelling->languageMenu()->actions();
    QCOMPARE(languages.size(), 2);
    QCOMPARE(languages.at(0)->text(), QStringLiteral("Нет"));
    QVERIFY(languages.at(0)->isChecked());
    QCOMPARE(languages.at(1)->text(), QStringLiteral("Русский"));
    QCOMPARE(languages.at(1)->data().toInt(), 0x0419);
    QVERIFY(!f.spell()->Enabled());  // no language until the user chooses one

    f.chooseRussian();
    QVERIFY(languages.at(1)->isChecked());
    QVERIFY(!languages.at(0)->isChecked());
    QVERIFY(f.spell()->Enabled());
    languages.at(0)->trigger();
    QVERIFY(!f.spell()->Enabled());

    // Taking the set-up away takes its entries and its plug-in too.
    QCOMPARE(f.FEditor.pluginCount(), 1);
    f.FSpelling.reset();
    QCOMPARE(f.FContext->actions().size(), 1);
    QCOMPARE(f.FEditor.pluginCount(), 0);
    f.paint();  // nothing left to call
  }

  void noContextMenuNoSpelling() {
    TEditor editor;
    QVERIFY(!TSpellMenu::CreateSpellCheck(&editor, nullptr, shippedDictFolder(), nullptr));
    QCOMPARE(editor.pluginCount(), 0);
    QVERIFY(editor.actions().isEmpty());
  }

  void misspelledPlainTextGetsTheZigzag() {
    TFixture f({QStringLiteral("Сегодня хорашая погода"), QStringLiteral("\\fхорашая; хорашая  хорашая ш")});
    QImage image = f.paint();
    QCOMPARE(f.redBelow(image, 1, 9, 7), 0);  // no language chosen yet
    f.chooseRussian();
    image = f.paint();
    QVERIFY(f.zigzagBelow(image, 1, 9, 7));
    QCOMPARE(f.redBelow(image, 1, 1, 7), 0);    // Сегодня
    QCOMPARE(f.redBelow(image, 1, 17, 6), 0);   // погода
    QCOMPARE(f.redBelow(image, 2, 2, 8), 0);    // the font name of a code is not text
    QVERIFY(f.zigzagBelow(image, 2, 12, 7));
    QVERIFY(f.zigzagBelow(image, 2, 21, 7));    // after two blanks
    // A one-letter word is ignored, and at the end of a line never looked at.
    QCOMPARE(f.redBelow(image, 2, 29, 1), 0);
    f.spell()->setOptions({sscoAutoSpellCheck});
    image = f.paint();
    QCOMPARE(f.redBelow(image, 2, 29, 1), 0);
    f.FEditor.setLine(1, QStringLiteral("ш хорошая"));
    image = f.paint();
    QVERIFY(f.redBelow(image, 2, 1, 1) > 0);

    // Without the highlighter codes are still no words; plain text is checked.
    f.FHighlighter->setDocument(nullptr);
    f.FEditor.setLine(1, QStringLiteral("\\fхорашая; хорашая"));
    image = f.paint();
    QCOMPARE(f.redBelow(image, 2, 2, 8), 0);
    QVERIFY(f.zigzagBelow(image, 2, 12, 7));
  }

  void aLineFullOfCodesUnderlinesOnlyItsMisspelledWords() {
    const QString line = QStringLiteral(
        "{\\fTimes New Roman|b1;\\H2.5;\\C1;сл\\Lово\\l} %%c25 \\S1/2; H7 M10x1 2x45 \\U+0416ук ашибка "
        "\\Fsimplex.shx;Формат\\~А2 \\pxqc;\\c255;провирка\\P");
    for (bool highlighted : {true, false}) {
      TFixture f({line});
      if (!highlighted) f.FHighlighter->setDocument(nullptr);
      f.chooseRussian();
      QStringList misspelled;
      for (const TMTextWord& w : MTextWords(line))
        if (f.spell()->IsMisspelledWord(&f.FEditor, line, w)) misspelled << w.text;
      QCOMPARE(misspelled, (QStringList{"ашибка", "провирка"}));
      // F6 from the start stops on the first of them, and a suggestion replaces
      // it; a word split by a code keeps the code after it.
      TMessages messages;
      f.FEditor.setCaretXY(QPoint(1, 1));
      f.FSpelling->FindNextMisspelling();
      QCOMPARE(f.FEditor.caretXY().x(), int(line.indexOf(QStringLiteral("ашибка"))) + 1);
    }
    TFixture f({QStringLiteral("сл\\Lвоо")});
    f.chooseRussian();
    f.FEditor.setCaretXY(QPoint(2, 1));
    QAction suggestion(QStringLiteral("слово"));
    f.FSpelling->ReplaceBySuggestion(&suggestion);
    QCOMPARE(f.FEditor.line(0), QStringLiteral("слово\\L"));
  }

  void wordPerfectStyleAndColour() {
    TFixture f({QStringLiteral("хорашая")});
    f.chooseRussian();
    f.spell()->setUnderlineStyle(usCorelWordPerfect);
    f.spell()->setUnderlineColor(RGBColor(0, 0, 255));
    const QImage image = f.paint();
    const QRect r = f.FEditor.lineColumnRect(1, 1, 7);
    const int base = r.top() + f.FEditor.lineHeight() - 3;
    for (int x = r.left() + 1; x <= r.left() + r.width(); ++x) {
      static const int sawtooth[4] = {2, 1, 0, -1};
      const int d = sawtooth[(x - r.left()) % 4];
      const QColor expected = d < 0 ? f.FEditor.backgroundColor() : QColor(0, 0, 255);
      QCOMPARE(image.pixelColor(x, base + d), expected);
    }
  }

  void menuOffersSuggestionsForTheWordAtTheCaret() {
    TFixture f({QStringLiteral("Сегодня хорашая погода")});
    QAction* add = TSpellMenu::FindPopupItem(f.FContext, "pmiAddToDictionary");
    QAction* suggestions = TSpellMenu::FindPopupItem(f.FContext, "pmiSuggestions");
    f.FEditor.setCaretXY(QPoint(11, 1));
    f.FSpelling->UpdateSpellMenu();
    QVERIFY(!add->isVisible());  // checking is off: every word is correct
    QVERIFY(!suggestions->isVisible());
    f.chooseRussian();
    f.FSpelling->UpdateSpellMenu();
    QVERIFY(add->isVisible());
    QVERIFY(suggestions->isVisible());
    const QList<QAction*> items = f.FSpelling->suggestionsMenu()->actions();
    QCOMPARE(items.first()->objectName(), QStringLiteral("Item0"));
    QCOMPARE(items.first()->text(), QStringLiteral("хорошая"));

    items.first()->trigger();
    QCOMPARE(f.FEditor.line(0), QStringLiteral("Сегодня хорошая погода"));
    f.FEditor.undo();
    QCOMPARE(f.FEditor.line(0), QStringLiteral("Сегодня хорашая погода"));

    f.FEditor.setCaretXY(QPoint(2, 1));  // a correct word
    f.FSpelling->UpdateSpellMenu();
    QVERIFY(!add->isVisible());
    QVERIFY(!suggestions->isVisible());
    QVERIFY(f.FSpelling->suggestionsMenu()->actions().isEmpty());
    f.FEditor.setCaretXY(QPoint(16, 1));  // just after the word typed last
    f.FSpelling->UpdateSpellMenu();
    QVERIFY(add->isVisible());
  }

  // Entries are numbered by the engine's positions; the word itself is not offered.
  void suggestionEqualToTheWordIsSkipped() {
    TFixture f({QStringLiteral("aa")}, nullptr);
    QVERIFY(writeFile(f.FDir.path() + "/ru_RU.aff", "SET UTF-8\nREP 3\nREP a x\nREP a b\nREP a y\nOCONV 1\nOCONV b a\n"));
    QVERIFY(writeFile(f.FDir.path() + "/ru_RU.dic", "3\nax\nab\nay\n"));
    f.FSpelling = TSpellMenu::CreateSpellCheck(&f.FEditor, f.FContext, f.FDir.path(), f.FHighlighter);
    f.chooseRussian();
    f.FEditor.setCaretXY(QPoint(1, 1));
    f.FSpelling->UpdateSpellMenu();
    QStringList names, captions;
    for (QAction* a : f.FSpelling->suggestionsMenu()->actions()) {
      names << a->objectName();
      captions << a->text();
    }
    QCOMPARE(names, QStringList({"Item0", "Item2"}));
    QCOMPARE(captions, QStringList({"ax", "ay"}));
  }

  void f5AddsTheWordWhileTyping() {
    TFixture f({QStringLiteral("Сегодня хорашая погода")});
    f.chooseRussian();
    f.FEditor.show();
    f.FEditor.activateWindow();
    f.FEditor.setFocus();
    QVERIFY(QTest::qWaitForWindowActive(&f.FEditor));
    f.FEditor.setCaretXY(QPoint(16, 1));
    QVERIFY(f.zigzagBelow(f.paint(), 1, 9, 7));
    QTest::keyClick(f.FEditor.viewport(), Qt::Key_F5);
    QCOMPARE(f.spell()->UserDict(), QStringList{"хорашая"});
    QCOMPARE(f.FEditor.caretXY(), QPoint(16, 1));
    QCOMPARE(f.redBelow(f.paint(), 1, 9, 7), 0);
    f.FSpelling.reset();  // the list is written when the set-up goes
    QCOMPARE(readFile(f.FDir.path() + "/ru.user.dic"), QStringLiteral("хорашая\r\n").toUtf8());
  }

  void f6FindsTheNextError() {
    TFixture f({QStringLiteral("один два три четыре пятт шестт"), QStringLiteral("\\fхорашая; хорошая")});
    f.chooseRussian();
    f.FEditor.show();
    f.FEditor.activateWindow();
    f.FEditor.setFocus();
    QVERIFY(QTest::qWaitForWindowActive(&f.FEditor));
    TMessages messages;
    f.FEditor.setCaretXY(QPoint(1, 1));
    QTest::keyClick(f.FEditor.viewport(), Qt::Key_F6);
    QCOMPARE(f.FEditor.caretXY(), QPoint(21, 1));  // the fifth word of the line
    f.FSpelling->FindNextMisspelling();
    QCOMPARE(f.FEditor.caretXY(), QPoint(26, 1));
    QVERIFY(messages.FTexts.isEmpty());
    QCOMPARE(messages.FBeeps, 0);
    // On the last error: the code's font name is not an error, and there is no wrapping around.
    f.FSpelling->FindNextMisspelling();
    QCOMPARE(messages.FTexts, QStringList{"Ошибок больше не найдено!"});
    QCOMPARE(messages.FBeeps, 1);
    QCOMPARE(f.FEditor.caretXY(), QPoint(26, 1));

    // Checking off: nothing is an error.
    f.FSpelling->languageMenu()->actions().first()->trigger();
    f.FEditor.setCaretXY(QPoint(1, 1));
    f.FSpelling->FindNextMisspelling();
    QCOMPARE(messages.FTexts.size(), 2);
    QCOMPARE(f.FEditor.caretXY(), QPoint(1, 1));
  }

  void checkingPassStopsOnTheNextError() {
    TFixture f({QStringLiteral("Сегодня  хорошая"), QStringLiteral("\\fхорашая; погода пятт")});
    QVERIFY(!f.spell()->SpellCheck(&f.FEditor));  // off: nothing done
    f.chooseRussian();
    int started = 0, done = 0;
    f.spell()->OnStart = [&](QObject*) { ++started; };
    f.spell()->OnDone = [&](QObject*) { ++done; };
    f.FEditor.setCaretXY(QPoint(5, 2));
    QVERIFY(f.spell()->SpellCheck(&f.FEditor));
    QCOMPARE(f.FEditor.caretXY(), QPoint(19, 2));  // from the start of the text
    QVERIFY(!f.FEditor.hasSelection());
    QCOMPARE(started, 1);
    QCOMPARE(done, 1);
    QVERIFY(!f.spell()->Busy());

    f.spell()->setOptions({sscoGoUp, sscoStartFromCursor, sscoHideCursor});
    f.FEditor.setCaretXY(QPoint(23, 2));
    f.FEditor.setLine(0, QStringLiteral("пятт хорошая"));
    QVERIFY(f.spell()->SpellCheck(&f.FEditor));
    QCOMPARE(f.FEditor.caretXY(), QPoint(19, 2));  // the word at the caret comes first
    f.FEditor.setCaretXY(QPoint(12, 2));
    QVERIFY(f.spell()->SpellCheck(&f.FEditor));
    QCOMPARE(f.FEditor.caretXY(), QPoint(1, 1));
  }
};

KORVEX_TEST(TestEditorSpell)
#include "test_editorspell.moc"
