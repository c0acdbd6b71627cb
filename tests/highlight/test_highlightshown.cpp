// Highlighting on demand in the real editor, wired as the main window wires
// it: a large document loads plain and each line is highlighted as it is
// shown, with exactly the formats it gets when highlighted at load.
#include <QApplication>
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

QString lineText(int i) {
  static const char* const pieces[] = {"{\\H2.5;Высота %1}", "%%c%1 отверстия", "\\fArial|b1;Шрифт %1",
                                       "текст %1,5 без кодов", "\\S%1/2;\\P", "%%d угол 12.5.3 abc-def %1"};
  return QString::fromUtf8(pieces[i % 6]).arg(i) + QLatin1Char(' ') + QString::fromUtf8(pieces[(i / 6) % 6]).arg(i);
}

struct TShownBed {
  QTemporaryDir dir;
  TSynMText syn;
  TEditor editor;
  TSynMTextHighlighter highlighter{&syn, static_cast<QObject*>(nullptr)};

  explicit TShownBed(bool wrap, const QFont& font = QFont()) {
    highlighter.setOnDemand(true);
    editor.onPaintBlocks = [this](const QTextBlock& first, const QTextBlock& last) {
      highlighter.highlightShown(first, last);
    };
    editor.resize(500, 300);
    editor.setWordWrap(wrap);
    if (font != QFont()) editor.setEditorFont(font);
    editor.show();
    highlighter.setDocument(editor.document());
    const QString path = dir.filePath(QStringLiteral("large.txt"));
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
      for (int i = 0; i < kLines; ++i) f.write((lineText(i) + QStringLiteral("\r\n")).toUtf8());
    f.close();
    QString error;
    editor.loadFromFile(path, &error);
    highlighter.rehighlight();
  }

  QTextBlock block(int i) const { return editor.document()->findBlockByNumber(i); }
  void paint() { editor.viewport()->grab(); }
};

// The formats a block of this text gets from a highlighter that colours the
// whole document at once.
QList<QTextLayout::FormatRange> formatsAtLoad(TSynMText& syn, const QString& text) {
  QTextDocument doc(text);
  TSynMTextHighlighter eager(&syn, &doc);
  return doc.firstBlock().layout()->formats();
}

}  // namespace

class TestHighlightShown : public QObject {
  Q_OBJECT

 private slots:
  void shownLinesAsAtLoad_data();
  void shownLinesAsAtLoad();
  void editsAndAttributes();
};

void TestHighlightShown::shownLinesAsAtLoad_data() {
  QTest::addColumn<bool>("wrap");
  QTest::addColumn<QFont>("font");
  QTest::newRow("word wrap") << true << QFont();
  QTest::newRow("no wrap") << false << QFont();
  // Bold text highlighted in normal weight gets narrower: the wrapped lines
  // get shorter and more of them fit than before the highlighting.
  QFont bold(QStringLiteral("Liberation Sans"), 18);
  bold.setBold(true);
  QTest::newRow("bold, word wrap") << true << bold;
}

void TestHighlightShown::shownLinesAsAtLoad() {
  QFETCH(bool, wrap);
  QFETCH(QFont, font);
  TShownBed bed(wrap, font);
  QVERIFY(!bed.highlighter.isHighlighted(bed.block(0)));
  bed.paint();
  const int firstShown = bed.editor.firstVisibleLine() - 1;
  const int lastShown = bed.editor.lastVisibleLine() - 1;
  QCOMPARE(firstShown, 0);
  QVERIFY(lastShown > 3);
  for (int i = firstShown; i <= lastShown; ++i) {
    QVERIFY(bed.highlighter.isHighlighted(bed.block(i)));
    QCOMPARE(bed.block(i).layout()->formats(), formatsAtLoad(bed.syn, bed.block(i).text()));
  }
  // Lines nobody has seen cost nothing.
  QVERIFY(!bed.highlighter.isHighlighted(bed.block(lastShown + 1)));
  QVERIFY(bed.block(kLines / 2).layout()->formats().isEmpty());

  bed.editor.moveCursor(QTextCursor::End);
  bed.editor.ensureCursorVisible();
  bed.paint();
  QCOMPARE(bed.editor.lastVisibleLine(), kLines);
  for (int i = bed.editor.firstVisibleLine() - 1; i < kLines; ++i)
    QCOMPARE(bed.block(i).layout()->formats(), formatsAtLoad(bed.syn, bed.block(i).text()));
  QVERIFY(!bed.highlighter.isHighlighted(bed.block(kLines / 2)));
}

void TestHighlightShown::editsAndAttributes() {
  TShownBed bed(true);
  bed.editor.resize(250, 300);  // every line wraps
  bed.paint();
  const int last = bed.editor.lastVisibleLine() - 1;

  // Typing re-highlights the line at once, before any paint.
  bed.editor.setFocus();
  bed.editor.setTextCursor(QTextCursor(bed.block(2)));
  QTest::keyClicks(&bed.editor, QStringLiteral("\\H3;%%p"));
  QCOMPARE(bed.block(2).layout()->formats(), formatsAtLoad(bed.syn, bed.block(2).text()));
  QVERIFY(bed.block(2).text().startsWith(QStringLiteral("\\H3;%%p")));
  bed.editor.undo();
  QCOMPARE(bed.block(2).layout()->formats(), formatsAtLoad(bed.syn, bed.block(2).text()));

  // A new colour reaches the shown lines; the others take it when shown.
  bed.syn.keyAttri()->setForeground(QColor(1, 2, 3));
  bed.paint();
  for (int i = 0; i <= last; ++i)
    QCOMPARE(bed.block(i).layout()->formats(), formatsAtLoad(bed.syn, bed.block(i).text()));
  bed.editor.verticalScrollBar()->setValue(bed.editor.verticalScrollBar()->maximum() / 2);
  bed.paint();
  const int middle = bed.editor.firstVisibleLine() - 1;
  QVERIFY(middle > last);
  QCOMPARE(bed.block(middle).layout()->formats(), formatsAtLoad(bed.syn, bed.block(middle).text()));

  // Word wrap off fits more lines: those are highlighted too.
  bed.editor.setWordWrap(false);
  bed.paint();
  const int top = bed.editor.firstVisibleLine() - 1;
  QVERIFY(bed.editor.lastVisibleLine() - top > last + 1);
  for (int i = top; i < bed.editor.lastVisibleLine(); ++i)
    QCOMPARE(bed.block(i).layout()->formats(), formatsAtLoad(bed.syn, bed.block(i).text()));

  // Highlighting off clears the formats; on again, the shown lines come back.
  bed.highlighter.setDocument(nullptr);
  QVERIFY(bed.block(top).layout()->formats().isEmpty());
  bed.highlighter.setDocument(bed.editor.document());
  bed.paint();
  QVERIFY(!bed.block(top).layout()->formats().isEmpty());
  QCOMPARE(bed.block(top).layout()->formats(), formatsAtLoad(bed.syn, bed.block(top).text()));
}

KORVEX_TEST(TestHighlightShown)
#include "test_highlightshown.moc"
