// The QSyntaxHighlighter adapter: formats in the document's block layouts.
#include <QPointer>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include "TestMain.h"
#include "highlight/SynHighlighterMText.h"

namespace {

// The highlighter's format over position pos of the block; an empty format
// when no range covers it.
QTextCharFormat formatAt(const QTextBlock& block, int pos) {
  QTextCharFormat result;
  for (const QTextLayout::FormatRange& r : block.layout()->formats())
    if (pos >= r.start && pos < r.start + r.length) result = r.format;
  return result;
}

bool rangeCovers(const QTextBlock& block, int start, int length, const QColor& color) {
  for (int p = start; p < start + length; ++p) {
    const QTextCharFormat f = formatAt(block, p);
    if (!f.hasProperty(QTextFormat::ForegroundBrush) || f.foreground().color() != color) return false;
  }
  return true;
}

}  // namespace

class TestMTextHighlighter : public QObject {
  Q_OBJECT

 private slots:
  void codeAndNumberColours();
  void noneLeavesTheEditorColour();
  void stylesReachTheFormat();
  void attributeChangeRehighlights();
  void everyBlockOnItsOwn();
  void printedCopyOwnsItsTokenizer();
  void tokenizerGoneFirst();
};

void TestMTextHighlighter::codeAndNumberColours() {
  TSynMText syn;
  QTextDocument doc(QStringLiteral("\\H2.5;abc"));
  TSynMTextHighlighter hl(&syn, &doc);
  const QTextBlock b = doc.firstBlock();
  QVERIFY(rangeCovers(b, 0, 2, QColor(0, 0, 255)));
  QCOMPARE(formatAt(b, 0).fontWeight(), int(QFont::Bold));
  QVERIFY(rangeCovers(b, 2, 3, QColor(255, 0, 0)));
  QCOMPARE(formatAt(b, 2).fontWeight(), int(QFont::Normal));
  QVERIFY(!rangeCovers(b, 5, 1, QColor(255, 0, 0)));
}

void TestMTextHighlighter::noneLeavesTheEditorColour() {
  TSynMText syn;
  QTextDocument doc(QStringLiteral("abc %%d"));
  TSynMTextHighlighter hl(&syn, &doc);
  const QTextBlock b = doc.firstBlock();
  QVERIFY(!formatAt(b, 0).hasProperty(QTextFormat::ForegroundBrush));
  QVERIFY(!formatAt(b, 3).hasProperty(QTextFormat::ForegroundBrush));
  QVERIFY(!formatAt(b, 0).hasProperty(QTextFormat::BackgroundBrush));
  QVERIFY(rangeCovers(b, 4, 3, QColor(0, 128, 0)));

  syn.identifierAttri()->setForeground(QColor(10, 20, 30));
  syn.identifierAttri()->setBackground(QColor(200, 200, 200));
  QVERIFY(rangeCovers(doc.firstBlock(), 0, 3, QColor(10, 20, 30)));
  QCOMPARE(formatAt(doc.firstBlock(), 1).background().color(), QColor(200, 200, 200));
}

void TestMTextHighlighter::stylesReachTheFormat() {
  TSynMText syn;
  syn.numberAttri()->setStyle(fsItalic | fsUnderline | fsStrikeOut);
  syn.keyAttri()->setStyle(0);
  QTextDocument doc(QStringLiteral("\\L12"));
  TSynMTextHighlighter hl(&syn, &doc);
  const QTextCharFormat key = formatAt(doc.firstBlock(), 0);
  const QTextCharFormat num = formatAt(doc.firstBlock(), 2);
  QCOMPARE(key.fontWeight(), int(QFont::Normal));
  QVERIFY(!key.fontItalic());
  QVERIFY(num.fontItalic());
  QVERIFY(num.fontUnderline());
  QVERIFY(num.fontStrikeOut());
  QCOMPARE(num.fontWeight(), int(QFont::Normal));
}

void TestMTextHighlighter::attributeChangeRehighlights() {
  TSynMText syn;
  QTextDocument doc(QStringLiteral("\\H2.5;"));
  TSynMTextHighlighter hl(&syn, &doc);
  syn.keyAttri()->setForeground(QColor(1, 2, 3));
  QVERIFY(rangeCovers(doc.firstBlock(), 0, 2, QColor(1, 2, 3)));

  // Grouped changes show up together at the end of the group.
  syn.beginUpdate();
  syn.numberAttri()->setForeground(QColor(4, 5, 6));
  QVERIFY(rangeCovers(doc.firstBlock(), 2, 3, QColor(255, 0, 0)));
  syn.endUpdate();
  QVERIFY(rangeCovers(doc.firstBlock(), 2, 3, QColor(4, 5, 6)));
}

void TestMTextHighlighter::everyBlockOnItsOwn() {
  TSynMText syn;
  // A %% at the end of one line does not pair with a letter on the next.
  QTextDocument doc(QStringLiteral("x%%\nc\\P\n\n%%p"));
  TSynMTextHighlighter hl(&syn, &doc);
  QTextBlock b = doc.firstBlock();
  QVERIFY(!formatAt(b, 1).hasProperty(QTextFormat::ForegroundBrush));
  b = b.next();
  QVERIFY(!formatAt(b, 0).hasProperty(QTextFormat::ForegroundBrush));
  QVERIFY(rangeCovers(b, 1, 2, QColor(0, 0, 255)));
  b = b.next();
  QVERIFY(b.layout()->formats().isEmpty());
  b = b.next();
  QVERIFY(rangeCovers(b, 0, 3, QColor(0, 128, 0)));
}

void TestMTextHighlighter::printedCopyOwnsItsTokenizer() {
  TSynMText editorSyn;
  editorSyn.keyAttri()->setForeground(QColor(7, 7, 7));
  QTextDocument doc(QStringLiteral("\\fArial;"));
  QScopedPointer<QTextDocument> copy(doc.clone());
  QPointer<TSynMText> tokenizer = new TSynMText;
  tokenizer->copyAttributesFrom(editorSyn);
  auto* hl = new TSynMTextHighlighter(tokenizer, copy.data());
  hl->takeTokenizer();
  // Highlighted at once, without an event loop, so that printing sees colours.
  QVERIFY(rangeCovers(copy->firstBlock(), 0, 2, QColor(7, 7, 7)));
  delete hl;
  QVERIFY(tokenizer.isNull());
}

void TestMTextHighlighter::tokenizerGoneFirst() {
  auto* syn = new TSynMText;
  QTextDocument doc(QStringLiteral("\\P"));
  TSynMTextHighlighter hl(syn, &doc);
  QVERIFY(rangeCovers(doc.firstBlock(), 0, 2, QColor(0, 0, 255)));
  delete syn;
  QCOMPARE(hl.tokenizer(), nullptr);
  hl.rehighlight();
  QVERIFY(doc.firstBlock().layout()->formats().isEmpty());
  // Attached later to another document through the parent-only constructor.
  TSynMText syn2;
  TSynMTextHighlighter later(&syn2, static_cast<QObject*>(nullptr));
  QTextDocument doc2(QStringLiteral("12"));
  later.setDocument(&doc2);
  later.rehighlight();
  QVERIFY(rangeCovers(doc2.firstBlock(), 0, 2, QColor(255, 0, 0)));
}

KORVEX_TEST(TestMTextHighlighter)
#include "test_highlighter.moc"
