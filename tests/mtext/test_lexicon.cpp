// The lexicon against its table of cases, and the renderer drawing each case
// as the plain text it stands for.
#include <QtTest>

#include "LexiconCases.h"
#include "RenderHelpers.h"
#include "TestMain.h"

using namespace mtexttest;

class TestMTextLexicon : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() { SetScreenDpiY(96); }

  void firstTokenOfEachCase() {
    for (const auto& c : lexiconcases::kCases) {
      const QString text = QString::fromUtf8(c.text);
      TMTextLexer lexer(text);
      const TMTextToken t = lexer.scan(0);
      QVERIFY2(t.length == c.end && t.kind == c.kind, c.text);
      if (c.drawn) QVERIFY2(sizeOf(text).x() == widthOf(QString::fromUtf8(c.drawn)), c.text);
    }
  }

  void everyLetterOfTheTableIsACode() {
    int n = 0;
    const TMTextCodeInfo* table = MTextCodeTable(&n);
    for (int i = 0; i < n; ++i) {
      QCOMPARE(MTextCodeInfo(QLatin1Char(table[i].letter)), &table[i]);
      QVERIFY(*table[i].meaning && *table[i].example);
      // The example starts with its own code.
      const QString ex = QString::fromUtf8(table[i].example);
      const qsizetype at = ex.indexOf(QString(QLatin1Char(0x5c)) + QLatin1Char(table[i].letter));
      QVERIFY2(at >= 0, table[i].example);
      TMTextLexer lexer(ex);
      QVERIFY2(lexer.scan(at).info == &table[i], table[i].example);
    }
    QCOMPARE(MTextCodeInfo(u'q'), nullptr);
  }

  void valuesRead() {
    const QString t = QStringLiteral("\\H0,5x;\\c3351057;\\U+00B0%%065");
    TMTextLexer lexer(t);
    TMTextToken h = lexer.scan(0);
    QVERIFY(h.relative && h.valueOk);
    QCOMPARE(h.value, 0.5);
    const TMTextToken c = lexer.scan(h.end());
    QCOMPARE(c.value, 3351057.0);
    const TMTextToken u = lexer.scan(c.end());
    QCOMPARE(u.ch, char16_t(0xB0));
    const TMTextToken d = lexer.scan(u.end());
    QCOMPARE(d.ch, char16_t('A'));
  }

  void wordsReadAsDrawn() {
    const QVector<TMTextWord> w = MTextWords(
        QStringLiteral("сл\\Lово \\fArial;{\\H2.5;\\C1;H7} M10x1 %%c25 \\S1/2; \\U+0416ук Формат\\~А2\\Pдва"));
    QStringList texts;
    for (const TMTextWord& x : w) texts << x.text + (x.hasDigit ? QStringLiteral("#") : QString());
    QCOMPARE(texts, (QStringList{"слово", "H7#", "M10x1#", "25#", "Жук", "Формат", "А2#", "два"}));
    // The word covers its source, the code inside included.
    QCOMPARE(w.first().start, 0);
    QCOMPARE(w.first().length, 7);
  }
};

KORVEX_TEST(TestMTextLexicon)
#include "test_lexicon.moc"
