// Highlighting on demand in the real editor, wired as the main window wires
// it: a large document loads plain and each line is highlighted as it is
// shown, with exactly the formats it gets when highlighted at load.
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include "TestMain.h"
#include "editor/Editor.h"
#include "highlight/SynHighlighterMText.h"

namespace {

constexpr int kLines = 10000;

struct TShownBed {
  QTemporaryDir dir;
  TSynMText syn;
  TEditor editor;
  TSynMTextHighlighter highlighter{&syn, static_cast<QObject*>(nullptr)};

  TShownBed(bool wrap, const QFont& font) {
    highlighter.setOnDemand(true);
    editor.onPaintBlocks = [this](const QTextBlock& first, const QTextBlock& last) {
      highlighter.highlightShown(first, last);
    };
    editor.resize(500, 300);
    editor.setWordWrap(wrap);
    editor.setEditorFont(font);
    editor.show();
    highlighter.setDocument(editor.document());
    static const char* const pieces[] = {"{\\H2.5;Высота %1}", "%%c%1 отверстия", "\\fArial|b1;Шрифт %1",
                                         "текст %1,5 без кодов", "\\S%1/2;\\P", "%%d угол 12.5.3 abc-def %1"};
    QFile f(dir.filePath(QStringLiteral("large.txt")));
    if (f.open(QIODevice::WriteOnly))
      for (int i = 0; i < kLines; ++i)
        f.write(QString::fromUtf8("%1 %2\r\n").arg(QString::fromUtf8(pieces[i % 6]).arg(i),
                                                   QString::fromUtf8(pieces[(i / 6) % 6]).arg(i)).toUtf8());
    f.close();
    QString error;
    editor.loadFromFile(f.fileName(), &error);
    highlighter.rehighlight();
  }

  QTextBlock block(int i) const { return editor.document()->findBlockByNumber(i); }
  // Paints, then gives the first shown line that differs from the same text
  // highlighted at load, or -1.
  int paintAndCompare() {
    editor.viewport()->grab();
    for (int i = editor.firstVisibleLine() - 1; i < editor.lastVisibleLine(); ++i) {
      QTextDocument doc(block(i).text());
      TSynMTextHighlighter atLoad(&syn, &doc);
      if (block(i).layout()->formats() != doc.firstBlock().layout()->formats()) return i;
    }
    return -1;
  }
};

}  // namespace

class TestHighlightShown : public QObject {
  Q_OBJECT

 private slots:
  void shownLinesAsAtLoad_data() {
    QTest::addColumn<bool>("wrap");
    QTest::addColumn<QFont>("font");
    const QFont mono(QStringLiteral("Liberation Mono"), 10);
    QTest::newRow("word wrap") << true << mono;
    QTest::newRow("no wrap") << false << mono;
    // Bold text highlighted in normal weight gets narrower: the wrapped lines
    // get shorter and more of them fit than before the highlighting.
    QFont bold(QStringLiteral("Liberation Sans"), 18);
    bold.setBold(true);
    QTest::newRow("bold, word wrap") << true << bold;
  }

  void shownLinesAsAtLoad() {
    QFETCH(bool, wrap);
    QFETCH(QFont, font);
    TShownBed bed(wrap, font);
    QVERIFY(!bed.highlighter.isHighlighted(bed.block(0)));
    QCOMPARE(bed.paintAndCompare(), -1);
    QVERIFY(bed.editor.lastVisibleLine() > 3);
    // Lines nobody has seen cost nothing.
    QVERIFY(!bed.highlighter.isHighlighted(bed.block(bed.editor.lastVisibleLine())));
    QVERIFY(bed.block(kLines / 2).layout()->formats().isEmpty());

    bed.editor.moveCursor(QTextCursor::End);
    bed.editor.ensureCursorVisible();
    QCOMPARE(bed.paintAndCompare(), -1);
    QCOMPARE(bed.editor.lastVisibleLine(), kLines);
    QVERIFY(!bed.highlighter.isHighlighted(bed.block(kLines / 2)));
  }

  void editsAndAttributes() {
    TShownBed bed(true, QFont(QStringLiteral("Liberation Mono"), 10));
    bed.editor.resize(250, 300);  // every line wraps
    QCOMPARE(bed.paintAndCompare(), -1);
    const int shown = bed.editor.lastVisibleLine();

    // Typing and undo re-highlight the line at once, before any paint.
    bed.editor.setFocus();
    bed.editor.setTextCursor(QTextCursor(bed.block(2)));
    QTest::keyClicks(&bed.editor, QStringLiteral("\\H3;%%p"));
    QVERIFY(bed.block(2).text().startsWith(QStringLiteral("\\H3;%%p")));
    QVERIFY(bed.highlighter.isHighlighted(bed.block(2)));
    QCOMPARE(bed.paintAndCompare(), -1);
    bed.editor.undo();
    QVERIFY(bed.highlighter.isHighlighted(bed.block(2)));
    QCOMPARE(bed.paintAndCompare(), -1);

    // A new colour reaches the shown lines, and the others when shown.
    bed.syn.keyAttri()->setForeground(QColor(1, 2, 3));
    QCOMPARE(bed.paintAndCompare(), -1);
    bed.editor.verticalScrollBar()->setValue(bed.editor.verticalScrollBar()->maximum() / 2);
    QCOMPARE(bed.paintAndCompare(), -1);
    QVERIFY(bed.editor.firstVisibleLine() > shown);

    // Word wrap off fits more lines: those are highlighted too.
    bed.editor.setWordWrap(false);
    QCOMPARE(bed.paintAndCompare(), -1);
    const int top = bed.editor.firstVisibleLine() - 1;
    QVERIFY(bed.editor.lastVisibleLine() - top > shown);

    // Highlighting off clears the formats; on again, the shown lines come back.
    bed.highlighter.setDocument(nullptr);
    QVERIFY(bed.block(top).layout()->formats().isEmpty());
    bed.highlighter.setDocument(bed.editor.document());
    QCOMPARE(bed.paintAndCompare(), -1);
    QVERIFY(!bed.block(top).layout()->formats().isEmpty());
  }
};

KORVEX_TEST(TestHighlightShown)
#include "test_highlightshown.moc"
