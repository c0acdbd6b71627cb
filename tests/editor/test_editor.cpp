// The editing control: line list, notifications, selection, caret and keys.
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QSignalSpy>
#include <QSyntaxHighlighter>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

#include "TestMain.h"
#include "editor/Editor.h"

namespace {

void key(TEditor& e, Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(&e, k, m); }

class TRecordingPlugin : public TEditorPlugin {
 public:
  int FCalls = 0;
  int FFirst = 0, FLast = 0;
  void afterPaint(QPainter& canvas, const QRect&, int firstLine, int lastLine) override {
    ++FCalls;
    FFirst = firstLine;
    FLast = lastLine;
    QVERIFY(canvas.isActive());
  }
};

class TBoldDigits : public QSyntaxHighlighter {
 public:
  using QSyntaxHighlighter::QSyntaxHighlighter;
  int FBlocks = 0;
  void highlightBlock(const QString& text) override {
    ++FBlocks;
    for (int i = 0; i < text.size(); ++i)
      if (text.at(i).isDigit()) setFormat(i, 1, QColor(Qt::red));
  }
};

}  // namespace

class TestEditor : public QObject {
  Q_OBJECT
 private:
  QTemporaryDir FDir;

  static int pdfPages(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QByteArray pdf = f.readAll();
    int pages = 0;
    for (int i = pdf.indexOf("/Type /Page"); i >= 0; i = pdf.indexOf("/Type /Page", i + 1))
      if (pdf.mid(i + 11, 1) != "s") ++pages;
    return pages;
  }

 private slots:
  void emptyEditorHasNoLines() {
    TEditor e;
    QCOMPARE(e.lineCount(), 0);
    QCOMPARE(e.lines(), QStringList());
    QCOMPARE(e.text(), QString());
    QCOMPARE(e.lineBreak(), QStringLiteral("\r\n"));
    e.setLines({""});
    QCOMPARE(e.lineCount(), 1);
    QCOMPARE(e.text(), QStringLiteral("\r\n"));
    e.setLines({"a", "", "b"});
    QCOMPARE(e.text(), QStringLiteral("a\r\n\r\nb\r\n"));
    QCOMPARE(e.line(1), QString());
    QCOMPARE(e.line(7), QString());
    e.setLine(0, QString());
    e.setLines({"x"});
    e.setLine(0, QString());
    QCOMPARE(e.lineCount(), 1);  // the one line is kept, only emptied
  }

  void changedFiresOnlyForUndoableEdits() {
    TEditor e;
    QSignalSpy spy(&e, &TEditor::changed);
    e.setLines({"abc", "def"});
    e.setLine(1, "xyz");
    e.beginUpdate();
    e.setLine(0, "1");
    e.endUpdate();
    const QString file = FDir.filePath("load.txt");
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("one\ntwo\n");
    f.close();
    QVERIFY(e.loadFromFile(file, nullptr));
    e.clearAll();
    e.setLines({"12 ab", "3"});
    // Colouring by a highlighter is no edit.
    TBoldDigits highlighter(e.document());
    highlighter.rehighlight();
    QVERIFY(highlighter.FBlocks >= 2);
    QCOMPARE(spy.count(), 0);
    highlighter.setDocument(nullptr);
    e.clearAll();

    QTest::keyClicks(&e, "ab");
    QVERIFY(spy.count() >= 1);
    spy.clear();
    e.setSelText("Z");
    QCOMPARE(spy.count(), 1);
    spy.clear();
    e.undo();
    QCOMPARE(spy.count(), 1);
    spy.clear();
    e.redo();
    QCOMPARE(spy.count(), 1);
    spy.clear();
    e.selectAll();
    e.clearSelection();
    QCOMPARE(spy.count(), 1);
    QCOMPARE(e.lineCount(), 0);
  }

  void directChangesLeaveUndoAndModifiedAlone() {
    TEditor e;
    e.setLines({"abc"});
    QVERIFY(!e.modified());
    QVERIFY(!e.canUndo());
    e.setLine(0, "xyz");
    QVERIFY(!e.modified());
    QVERIFY(!e.canUndo());

    QTest::keyClicks(&e, "Q");
    QVERIFY(e.modified());
    QVERIFY(e.canUndo());
    e.setLine(0, "direct");
    QVERIFY(e.modified());  // stays as it was
    e.undo();
    QCOMPARE(e.lines(), QStringList{"direct"});  // undo never reverts a direct change
  }

  void loadingClearsHistoryAndModified() {
    TEditor e;
    QTest::keyClicks(&e, "typed");
    QVERIFY(e.modified());
    const QString file = FDir.filePath("lf.txt");
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("first\nsecond");
    f.close();
    QSignalSpy status(&e, &TEditor::statusChanged);
    QVERIFY(e.loadFromFile(file, nullptr));
    QVERIFY(!e.modified());
    QVERIFY(!e.canUndo());
    QCOMPARE(e.lines(), (QStringList{"first", "second"}));
    QCOMPARE(e.text(), QStringLiteral("first\nsecond\n"));
    QCOMPARE(e.textFormat().lineBreak, QStringLiteral("\n"));
    bool sawAll = false;
    for (const auto& args : status) sawAll |= bool(args.at(0).value<TStatusChanges>() & scAll);
    QVERIFY(sawAll);

    const QString copy = FDir.filePath("copy.txt");
    QVERIFY(e.saveToFile(copy, nullptr));
    QFile c(copy);
    QVERIFY(c.open(QIODevice::ReadOnly));
    QCOMPARE(c.readAll(), QByteArray("first\nsecond\n"));

    // A failed load keeps what the editor holds and explains why.
    QString error;
    QVERIFY(!e.loadFromFile(FDir.filePath("missing.txt"), &error));
    QVERIFY(error.contains(QStringLiteral("Не удается открыть файл")));
    QCOMPARE(e.lines(), (QStringList{"first", "second"}));

    e.clearAll();
    QCOMPARE(e.lineCount(), 0);
    QCOMPARE(e.lineBreak(), QStringLiteral("\r\n"));
    QVERIFY(!e.modified());
  }

  void selectionOffsetsCountOneCharPerBreak() {
    TEditor e;
    e.setLines({"ab", "cd", "ef"});
    e.setSelStart(3);
    QCOMPARE(e.caretXY(), QPoint(1, 2));
    QVERIFY(!e.hasSelection());
    e.setSelLength(2);
    QCOMPARE(e.selText(), QStringLiteral("cd"));
    QCOMPARE(e.selStart(), 3);
    QCOMPARE(e.selLength(), 2);
    e.setSelStart(1);
    e.setSelLength(3);
    QCOMPARE(e.selText(), QStringLiteral("b\nc"));
    e.setSelText("X\r\nY");
    QCOMPARE(e.lines(), (QStringList{"aX", "Yd", "ef"}));
    QCOMPARE(e.selStart(), 4);  // the caret after the inserted text
    e.setSelStart(1000);
    QCOMPARE(e.selStart(), 8);
    e.setSelStart(-5);
    QCOMPARE(e.selStart(), 0);
  }

  void caretIsOneBasedAndClamped() {
    TEditor e;
    e.setLines({"hello", "hi"});
    e.setCaretXY(QPoint(4, 1));
    QCOMPARE(e.selStart(), 3);
    QCOMPARE(e.caretXY(), QPoint(4, 1));
    e.setCaretXY(QPoint(10, 2));
    QCOMPARE(e.caretXY(), QPoint(3, 2));
    e.setCaretXY(QPoint(0, 9));
    QCOMPARE(e.caretXY(), QPoint(1, 2));
  }

  void statusReportsCaretAndInsertMode() {
    TEditor e;
    e.setLines({"ab", "cd"});
    QSignalSpy spy(&e, &TEditor::statusChanged);
    e.setCaretXY(QPoint(2, 2));
    QVERIFY(!spy.isEmpty());
    const TStatusChanges c = spy.last().at(0).value<TStatusChanges>();
    QVERIFY(c & scCaretY);
    QVERIFY(c & scCaretX);
    spy.clear();
    e.setSelLength(1);
    bool sawSelection = false;
    for (const auto& args : spy) sawSelection |= bool(args.at(0).value<TStatusChanges>() & scSelection);
    QVERIFY(sawSelection);
    e.setSelLength(0);
    spy.clear();
    e.setInsertMode(false);
    QCOMPARE(spy.count(), 1);
    QVERIFY(spy.last().at(0).value<TStatusChanges>() & scInsertMode);
    e.setCaretXY(QPoint(1, 1));
    QTest::keyClicks(&e, "XY");
    QCOMPARE(e.line(0), QStringLiteral("XY"));  // overwritten
    e.setInsertMode(true);
    QTest::keyClicks(&e, "Z");
    QCOMPARE(e.line(0), QStringLiteral("XYZ"));
  }

  void typingUndoesAsOneStep() {
    TEditor e;
    QTest::keyClicks(&e, "hello");
    e.undo();
    QCOMPARE(e.lineCount(), 0);
    QVERIFY(!e.modified());
    QVERIFY(e.canRedo());
  }

  void endTogglesBetweenLastNonBlankAndLineEnd() {
    TEditor e;
    e.setLines({"ab  ", "cd"});
    e.setCaretXY(QPoint(1, 1));
    key(e, Qt::Key_End);
    QCOMPARE(e.caretXY(), QPoint(3, 1));
    key(e, Qt::Key_End);
    QCOMPARE(e.caretXY(), QPoint(5, 1));
    key(e, Qt::Key_End);
    QCOMPARE(e.caretXY(), QPoint(3, 1));
    e.setCaretXY(QPoint(1, 1));
    key(e, Qt::Key_End, Qt::ShiftModifier);
    QCOMPARE(e.selText(), QStringLiteral("ab"));
    e.setCaretXY(QPoint(1, 2));
    key(e, Qt::Key_End);
    QCOMPARE(e.caretXY(), QPoint(3, 2));
    key(e, Qt::Key_End);
    QCOMPARE(e.caretXY(), QPoint(3, 2));
  }

  void keyHooksSwallow() {
    TEditor e;
    e.onKeyDown = [](QKeyEvent* k) { return k->key() == Qt::Key_Space; };
    e.onKeyPress = [](QChar& c) {
      if (c == QLatin1Char('4'))
        c = QChar();
      else if (c == QLatin1Char('a'))
        c = QLatin1Char('b');
    };
    QTest::keyClicks(&e, "x 4a");
    QCOMPARE(e.lines(), QStringList{"xb"});
    // Enter is not a printable key, so the press hook is not asked.
    int asked = 0;
    e.onKeyPress = [&](QChar&) { ++asked; };
    key(e, Qt::Key_Return);
    QCOMPARE(asked, 0);
    QCOMPARE(e.lineCount(), 2);
  }

  void altNInsertsLineAndRemovedBindingsDoNothing() {
    TEditor e;
    e.setLines({"abcd"});
    e.setCaretXY(QPoint(3, 1));
    for (auto [k, m] : {std::pair{Qt::Key_M, Qt::KeyboardModifiers(Qt::ControlModifier)},
                        std::pair{Qt::Key_N, Qt::KeyboardModifiers(Qt::ControlModifier)},
                        std::pair{Qt::Key_T, Qt::KeyboardModifiers(Qt::ControlModifier)},
                        std::pair{Qt::Key_Y, Qt::KeyboardModifiers(Qt::ControlModifier | Qt::ShiftModifier)}})
      key(e, k, m);
    QCOMPARE(e.lines(), QStringList{"abcd"});
    QCOMPARE(e.caretXY(), QPoint(3, 1));
    QVERIFY(!e.modified());
    key(e, Qt::Key_N, Qt::AltModifier);
    QCOMPARE(e.lines(), (QStringList{"ab", "cd"}));
    QCOMPARE(e.caretXY(), QPoint(3, 1));
    QVERIFY(e.modified());
  }

  void enterAutoIndentsAndTrimsTheSplitLine() {
    TEditor e;
    e.setLines({"    abc   "});
    e.setCaretXY(QPoint(11, 1));
    key(e, Qt::Key_Return);
    QCOMPARE(e.lines(), (QStringList{"    abc", "    "}));
    QCOMPARE(e.caretXY(), QPoint(5, 2));
    e.setAutoIndent(false);
    QVERIFY(!e.autoIndent());
    e.setLines({"    abc"});
    e.setCaretXY(QPoint(6, 1));
    key(e, Qt::Key_Return, Qt::ShiftModifier);  // no soft line separator either
    QCOMPARE(e.lines(), (QStringList{"    a", "bc"}));
    QCOMPARE(e.caretXY(), QPoint(1, 2));
  }

  void trailingBlanksGoOnlyFromEditedLines() {
    TEditor e;
    e.setLines({"keep  ", "y", "z  "});
    e.setCaretXY(QPoint(1, 2));
    QTest::keyClicks(&e, "x ");
    key(e, Qt::Key_Up);
    QCOMPARE(e.lines(), (QStringList{"keep  ", "x y", "z  "}));  // no trailing blanks in line 2
    e.setCaretXY(QPoint(2, 2));
    QTest::keyClicks(&e, "  ");
    e.setCaretXY(QPoint(4, 2));
    QCOMPARE(e.line(1), QStringLiteral("x   y"));  // inner blanks stay
    // Trailing blanks typed at the end of a line go when the caret leaves it.
    e.setCaretXY(QPoint(6, 2));
    QTest::keyClicks(&e, "w  ");
    key(e, Qt::Key_Down);
    QCOMPARE(e.lines(), (QStringList{"keep  ", "x   yw", "z  "}));
    // Undo first brings the blanks back, then takes the typing away.
    e.undo();
    QCOMPARE(e.line(1), QStringLiteral("x   yw  "));
    e.undo();
    QCOMPARE(e.line(1), QStringLiteral("x   y"));
  }

  void tabInsertsSpacesToTheNextStop() {
    TEditor e;
    e.setLines({"abc"});
    e.setCaretXY(QPoint(2, 1));
    key(e, Qt::Key_Tab);
    QCOMPARE(e.line(0), QStringLiteral("a       bc"));  // to column 9
    QCOMPARE(e.caretXY(), QPoint(9, 1));
    // Smart tab: word starts of the line above are the stops.
    e.setLines({"int    value = 1;", ""});
    e.setCaretXY(QPoint(1, 2));
    key(e, Qt::Key_Tab);
    QCOMPARE(e.caretXY(), QPoint(8, 2));
    key(e, Qt::Key_Tab);
    QCOMPARE(e.caretXY(), QPoint(14, 2));
    QVERIFY(!e.line(1).contains(QLatin1Char('\t')));
    // Shift+Tab neither moves focus nor types.
    key(e, Qt::Key_Backtab);
    QCOMPARE(e.caretXY(), QPoint(14, 2));
  }

  void backspaceInIndentGoesToThePreviousLevel() {
    TEditor e;
    e.setLines({"a", "    b", "", "        c"});
    e.setCaretXY(QPoint(9, 4));
    key(e, Qt::Key_Backspace);
    QCOMPARE(e.line(3), QStringLiteral("    c"));
    key(e, Qt::Key_Backspace);
    QCOMPARE(e.line(3), QStringLiteral("c"));
    // Outside the indent Backspace deletes one character.
    e.setCaretXY(QPoint(5, 2));
    key(e, Qt::Key_Right);
    key(e, Qt::Key_Backspace);
    QCOMPARE(e.line(1), QStringLiteral("    "));
  }

  void pasteTakesTheDocumentsBreaks() {
    TEditor e;
    QApplication::clipboard()->setText(QStringLiteral("one\r\ntwo\rthree") + QChar(0x2028) + "four");
    QVERIFY(e.canPaste());
    e.paste();
    QCOMPARE(e.lines(), (QStringList{"one", "two", "three", "four"}));
    e.selectAll();
    e.cut();
    QCOMPARE(e.lineCount(), 0);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("one\ntwo\nthree\nfour"));
  }

  void wordAtPosition() {
    TEditor e;
    e.setLines({"\\fArial;Привет мир_2 x"});
    QCOMPARE(e.wordAtRowCol(1, 10), QStringLiteral("Привет"));
    QCOMPARE(e.wordAtRowCol(1, 17), QStringLiteral("мир_2"));
    QCOMPARE(e.wordAtRowCol(1, 15), QString());  // the blank between
    QCOMPARE(e.wordAtRowCol(1, 99), QString());
  }

  void wordNavigationCrossesLines() {
    TEditor e;
    e.setLines({"ab  cd", "", "  ef."});
    QCOMPARE(e.nextWordPos(QPoint(1, 1)), QPoint(5, 1));
    QCOMPARE(e.nextWordPos(QPoint(3, 1)), QPoint(5, 1));  // from a blank
    QCOMPARE(e.nextWordPos(QPoint(5, 1)), QPoint(3, 3));  // over an empty line
    QCOMPARE(e.nextWordPos(QPoint(3, 3)), QPoint(6, 3));  // none left: end of the last line
    QCOMPARE(e.nextWordPos(QPoint(6, 3)), QPoint(6, 3));
    QCOMPARE(e.prevWordPos(QPoint(3, 3)), QPoint(5, 1));
    QCOMPARE(e.prevWordPos(QPoint(6, 1)), QPoint(5, 1));
    QCOMPARE(e.prevWordPos(QPoint(1, 1)), QPoint(1, 1));
    QCOMPARE(e.wordStart(QPoint(6, 1)), QPoint(5, 1));
    QCOMPARE(e.wordEnd(QPoint(5, 1)), QPoint(7, 1));
    QCOMPARE(e.wordEnd(QPoint(7, 1)), QPoint(7, 1));  // just after the word
    QCOMPARE(e.wordStart(QPoint(2, 3)), QPoint(2, 3));  // not at a word
  }

  void pluginsPaintAndPositionsMatchLayout() {
    TEditor e;
    e.resize(400, 300);
    QStringList l;
    for (int i = 0; i < 100; ++i) l << QStringLiteral("line %1").arg(i);
    e.setLines(l);
    e.show();
    QVERIFY(QTest::qWaitForWindowExposed(&e));
    TRecordingPlugin plugin;
    e.addPlugin(&plugin);
    e.viewport()->repaint();
    QVERIFY(plugin.FCalls > 0);
    QCOMPARE(plugin.FFirst, 1);
    QVERIFY(plugin.FLast > 3 && plugin.FLast < 100);
    QCOMPARE(plugin.FLast, e.lastVisibleLine());
    e.removePlugin(&plugin);
    const int calls = plugin.FCalls;
    e.viewport()->repaint();
    QCOMPARE(plugin.FCalls, calls);

    const QRect r = e.lineColumnRect(2, 1, 4);
    QVERIFY(r.width() > 0);
    QCOMPARE(r.height(), e.lineHeight());
    QVERIFY(e.lineColumnRect(2, 3, 1).left() > r.left());
    const QPoint p1 = e.rowColumnToScreen(1, 1), p2 = e.rowColumnToScreen(2, 1);
    QCOMPARE(p2.x(), p1.x());
    QCOMPARE(p2.y() - p1.y(), e.lineHeight());
    QCOMPARE(e.rowColumnToPixels(2, 1).y(), r.top());
  }

  // A destroyed underlining plug-in must not be called on the next paint.
  void destroyedPluginIsNotCalledOnNextPaint() {
    TEditor e;
    e.resize(300, 200);
    e.setLines({QStringLiteral("one two")});
    e.show();
    QVERIFY(QTest::qWaitForWindowExposed(&e));
    TRecordingPlugin survivor;
    {
      TRecordingPlugin gone;
      e.addPlugin(&gone);
      e.addPlugin(&survivor);
      QCOMPARE(e.pluginCount(), 2);
      QCOMPARE(gone.pluginEditor(), &e);
    }
    QCOMPARE(e.pluginCount(), 1);
    e.viewport()->repaint();  // would call the destroyed one (ASan: use after scope)
    QVERIFY(survivor.FCalls > 0);

    // A plug-in that destroys another one while painting: the other is skipped.
    struct TKiller : TEditorPlugin {
      TRecordingPlugin* victim = nullptr;
      void afterPaint(QPainter&, const QRect&, int, int) override {
        delete victim;
        victim = nullptr;
      }
    } killer;
    auto* victim = new TRecordingPlugin;
    e.removePlugin(&survivor);
    e.addPlugin(&killer);
    e.addPlugin(victim);
    killer.victim = victim;
    e.viewport()->repaint();
    QCOMPARE(e.pluginCount(), 1);
    e.removePlugin(&killer);
  }

  void pluginOutlivesItsEditorAndMovesBetweenEditors() {
    TRecordingPlugin plugin;
    auto* first = new TEditor;
    TEditor second;
    first->addPlugin(&plugin);
    second.addPlugin(&plugin);  // moves: one editor at a time
    QCOMPARE(first->pluginCount(), 0);
    QCOMPARE(plugin.pluginEditor(), &second);
    second.removePlugin(&plugin);
    first->addPlugin(&plugin);
    delete first;  // the editor forgets its plug-ins
    QCOMPARE(plugin.pluginEditor(), nullptr);
  }  // destroying the plug-in afterwards touches no editor

  // With word wrap every screen row of the caret's paragraph takes the active
  // colour, the last paragraph of the document too, and no row of another one.
  void activeParagraphColoursAllItsWrappedRows() {
    TEditor e;
    e.resize(300, 400);
    e.setBackgroundColor(Qt::white);
    e.setWordWrap(true);
    const QColor active(255, 255, 0);
    e.setActiveLineColor(active);
    const QString longText = QStringLiteral("слово ").repeated(40).trimmed();
    e.setLines({QStringLiteral("первая"), longText, QStringLiteral("третья"), longText});
    e.show();
    QVERIFY(QTest::qWaitForWindowExposed(&e));
    const int x = e.viewport()->width() - 3;
    // Colour seen at the right end of each screen row, by paragraph.
    auto rowColours = [&](int blockNumber) {
      const QImage image = e.viewport()->grab().toImage();
      const QTextBlock block = e.document()->findBlockByNumber(blockNumber);
      QList<QColor> colours;
      for (int i = 0; i < block.layout()->lineCount(); ++i) {
        const QRect row = e.lineColumnRect(blockNumber + 1, block.layout()->lineAt(i).textStart() + 1, 1);
        colours << image.pixelColor(x, row.center().y());
      }
      return colours;
    };
    for (int caretBlock : {1, 3}) {
      QTextCursor c(e.document()->findBlockByNumber(caretBlock));
      c.movePosition(QTextCursor::NextWord);
      e.setTextCursor(c);
      for (int b = 0; b < 4; ++b) {
        const QList<QColor> colours = rowColours(b);
        if (b == 1 || b == 3) QVERIFY2(colours.size() >= 3, "the long paragraph wraps");
        for (const QColor& colour : colours)
          QCOMPARE(colour, b == caretBlock ? active : QColor(Qt::white));
      }
    }
    // Joining the next paragraph from the end of this one keeps the colour whole.
    e.setLines({longText, longText});
    QTextCursor c(e.document()->firstBlock());
    c.movePosition(QTextCursor::EndOfBlock);
    e.setTextCursor(c);
    key(e, Qt::Key_Delete);
    QCOMPARE(e.lineCount(), 1);
    const QList<QColor> joined = rowColours(0);
    QVERIFY(joined.size() >= 5);
    for (const QColor& colour : joined) QCOMPARE(colour, active);
  }

  void printsWithHighlighterAndPageRange() {
    TEditor e;
    QStringList l;
    for (int i = 0; i < 300; ++i) l << QStringLiteral("Строка %1").arg(i);
    e.setLines(l);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = FDir.filePath("print.pdf");
    printer.setOutputFileName(pdf);
    const int pages = e.printPageCount(&printer, false);
    QVERIFY(pages > 1);
    TBoldDigits* made = nullptr;
    QString seen;
    e.print(&printer, "title", false, [&](QTextDocument* doc) {
      seen = doc->firstBlock().text();
      made = new TBoldDigits(doc);
      return made;
    });
    QCOMPARE(seen, QStringLiteral("Строка 0"));
    QVERIFY(made != nullptr);
    QCOMPARE(printer.docName(), QStringLiteral("title"));
    // At least 10 mm on every side, a wider page-setup margin kept.
    const QMarginsF m = printer.pageLayout().margins(QPageLayout::Millimeter);
    QVERIFY(m.left() >= 10 && m.top() >= 10 && m.right() >= 10 && m.bottom() >= 10);
    printer.setPageMargins(QMarginsF(25, 5, 10, 10), QPageLayout::Millimeter);
    e.printPageCount(&printer, false);
    QCOMPARE(printer.pageLayout().margins(QPageLayout::Millimeter), QMarginsF(25, 10, 10, 10));
    QVERIFY(QFileInfo(pdf).size() > 0);
    QCOMPARE(pdfPages(pdf), pages);

    // A page range prints only those pages.
    const QString part = FDir.filePath("part.pdf");
    printer.setOutputFileName(part);
    e.print(&printer, "title", false, nullptr, 2, 3);
    QCOMPARE(pdfPages(part), 2);
    // Copies of a range into a PDF file: each copy gets its pages.
    const QString copies = FDir.filePath("copies.pdf");
    printer.setOutputFileName(copies);
    printer.setCopyCount(3);
    e.print(&printer, "title", false, nullptr, 2, 3);
    QCOMPARE(pdfPages(copies), 6);
    printer.setCopyCount(1);
    // The editor's own document is untouched by printing.
    QCOMPARE(e.line(0), QStringLiteral("Строка 0"));
    QVERIFY(e.document()->firstBlock().layout()->formats().isEmpty());

    // A long line needs more pages wrapped than cut off.
    e.setLines({QString(20000, QLatin1Char('w'))});
    QCOMPARE(e.printPageCount(&printer, false), 1);
    QVERIFY(e.printPageCount(&printer, true) > 1);
  }

  // Its speed is measured by bench/bench_editor.
  void largeDocumentEditedInOneUpdate() {
    TEditor e;
    QStringList l;
    for (int i = 0; i < 40000; ++i) l << QStringLiteral("{\\H2.5;Строка номер %1 текста}").arg(i);
    e.setLines(l);
    QCOMPARE(e.lineCount(), 40000);
    e.beginUpdate();
    for (int i = 0; i < e.lineCount(); ++i) e.setLine(i, QLatin1Char(' ') + e.line(i));
    e.endUpdate();
    const QStringList back = e.lines();
    QCOMPARE(back.size(), 40000);
    QCOMPARE(back.first(), QLatin1Char(' ') + l.first());
    QCOMPARE(back.last(), QLatin1Char(' ') + l.last());
    QVERIFY(!e.modified());
  }
};

KORVEX_TEST(TestEditor)
#include "test_editor.moc"
