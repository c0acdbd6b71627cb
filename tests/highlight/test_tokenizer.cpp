// The MText tokenizer: token boundaries and kinds for the codes, numbers,
// %% symbols, spaces and identifiers, and the attributes behind the kinds.
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

#include "TestMain.h"
#include "highlight/SynHighlighterMText.h"
#include "mtext/LexiconCases.h"

namespace {

struct Tok {
  TtkTokenKind kind;
  QString text;
  bool operator==(const Tok& o) const { return kind == o.kind && text == o.text; }
};

const char* kindName(TtkTokenKind k) {
  switch (k) {
    case tkIdentifier: return "tkIdentifier";
    case tkKey: return "tkKey";
    case tkNull: return "tkNull";
    case tkNumber: return "tkNumber";
    case tkSpace: return "tkSpace";
    case tkUnknown: return "tkUnknown";
    case tkSymbols: return "tkSymbols";
  }
  return "?";
}

QString describe(const QVector<Tok>& v) {
  QStringList parts;
  for (const Tok& t : v) {
    QString shown = t.text;
    shown.replace('\r', "\\r").replace('\n', "\\n").replace('\t', "\\t");
    parts << QStringLiteral("%1 \"%2\"").arg(kindName(t.kind), shown);
  }
  return parts.join(QStringLiteral(", "));
}

// Drives the tokenizer the way an editor does; the guard stops a scanner that
// would never reach the end of the line.
QVector<Tok> scan(const QString& line) {
  TSynMText h;
  QVector<Tok> out;
  h.setLine(line, 0);
  int guard = 0;
  while (!h.getEol() && guard++ <= line.size() + 1) {
    out.append({h.getTokenID(), h.getToken()});
    h.next();
  }
  return out;
}

// Whether [from, to) lies in one code or escape of the lexicon.
bool inCode(const QString& line, int from, int to) {
  TMTextLexer lexer(line);
  qsizetype pos = 0;
  while (pos < line.size()) {
    const TMTextToken t = lexer.scan(pos);
    if (from >= t.start && from < t.end())
      return to <= t.end() && (t.kind == lkCode || t.kind == lkEscape);
    pos = t.end();
  }
  return false;
}

}  // namespace

namespace QTest {
template <>
inline
char* toString(const QVector<Tok>& v) {
  return qstrdup(describe(v).toUtf8().constData());
}
}  // namespace QTest

Q_DECLARE_METATYPE(QVector<Tok>)

class TestMTextTokenizer : public QObject {
  Q_OBJECT

 private slots:
  void tokens_data();
  void tokens();
  void emptyLineIsOnlyEndOfLine();
  void endOfLineAfterTerminator();
  void tokenPositionsAdvance();
  void tokenAttributes();
  void defaultAttributes();
  void attributeDefaults();
  void attributeAtPosition();
  void attributeChangesNotify();
  void copyAttributes();
  void randomLinesAreCoveredWithoutGaps();
  void coloursEndWhereThePreviewEndsTheCode();
};

void TestMTextTokenizer::tokens_data() {
  QTest::addColumn<QString>("line");
  QTest::addColumn<QVector<Tok>>("expected");

  // A code is coloured as far as the preview reads it, its numbers as numbers.
  QTest::newRow("height code") << QStringLiteral("\\H2.5;")
                               << QVector<Tok>{{tkKey, "\\H"}, {tkNumber, "2.5"}, {tkKey, ";"}};
  QTest::newRow("font code") << QStringLiteral("\\fArial;")
                             << QVector<Tok>{{tkKey, "\\fArial;"}};
  QTest::newRow("stack") << QStringLiteral("\\S1^2;")
                         << QVector<Tok>{{tkKey, "\\S"}, {tkNumber, "1"}, {tkKey, "^"},
                                         {tkNumber, "2"}, {tkKey, ";"}};
  QTest::newRow("colour that is no number") << QStringLiteral("\\Cred;")
                                            << QVector<Tok>{{tkKey, "\\C"}, {tkIdentifier, "red"}, {tkUnknown, ";"}};
  QTest::newRow("paragraph code") << QStringLiteral("\\pxqc;x")
                                  << QVector<Tok>{{tkKey, "\\p"}, {tkKey, "xqc;"}, {tkIdentifier, "x"}};
  QTest::newRow("decimal symbol") << QStringLiteral("%%1762")
                                  << QVector<Tok>{{tkSymbols, "%%176"}, {tkNumber, "2"}};
  QTest::newRow("paragraph keys") << QStringLiteral("\\P\\p")
                                  << QVector<Tok>{{tkKey, "\\P"}, {tkKey, "\\p"}};
  QTest::newRow("escaped braces and tilde") << QStringLiteral("\\{\\}\\~")
                                            << QVector<Tok>{{tkKey, "\\{"}, {tkKey, "\\}"}, {tkKey, "\\~"}};
  QTest::newRow("N is a key") << QStringLiteral("\\N") << QVector<Tok>{{tkKey, "\\N"}};
  QTest::newRow("U is a key") << QStringLiteral("\\U+2205") << QVector<Tok>{{tkKey, "\\U+2205"}};
  QTest::newRow("U without four digits") << QStringLiteral("\\U+22")
                                         << QVector<Tok>{{tkUnknown, "\\"}, {tkIdentifier, "U"}, {tkUnknown, "+"},
                                                         {tkNumber, "22"}};
  QTest::newRow("X is a key") << QStringLiteral("\\X") << QVector<Tok>{{tkKey, "\\X"}};
  QTest::newRow("lower q is not a key") << QStringLiteral("\\q")
                                        << QVector<Tok>{{tkUnknown, "\\"}, {tkIdentifier, "q"}};
  QTest::newRow("escaped backslash") << QStringLiteral("\\\\") << QVector<Tok>{{tkKey, "\\\\"}};
  // The escape is drawn as a backslash: the P after it is text, as in the preview.
  QTest::newRow("escaped backslash then P") << QStringLiteral("\\\\P")
                                            << QVector<Tok>{{tkKey, "\\\\"}, {tkIdentifier, "P"}};
  QTest::newRow("backslash at end") << QStringLiteral("a\\")
                                    << QVector<Tok>{{tkIdentifier, "a"}, {tkUnknown, "\\"}};
  QTest::newRow("backslash digit") << QStringLiteral("\\1")
                                   << QVector<Tok>{{tkUnknown, "\\"}, {tkNumber, "1"}};

  // Numbers take digits and points, never a comma or a leading point.
  QTest::newRow("several points") << QStringLiteral("12.5.3") << QVector<Tok>{{tkNumber, "12.5.3"}};
  QTest::newRow("leading point") << QStringLiteral(".5")
                                 << QVector<Tok>{{tkUnknown, "."}, {tkNumber, "5"}};
  QTest::newRow("trailing point") << QStringLiteral("5.") << QVector<Tok>{{tkNumber, "5."}};
  QTest::newRow("comma") << QStringLiteral("2,5")
                         << QVector<Tok>{{tkNumber, "2"}, {tkUnknown, ","}, {tkNumber, "5"}};
  QTest::newRow("number then letters") << QStringLiteral("10mm")
                                       << QVector<Tok>{{tkNumber, "10"}, {tkIdentifier, "mm"}};

  // Special symbols.
  QTest::newRow("diameter") << QStringLiteral("%%c") << QVector<Tok>{{tkSymbols, "%%c"}};
  QTest::newRow("degree upper case") << QStringLiteral("%%D") << QVector<Tok>{{tkSymbols, "%%D"}};
  QTest::newRow("plus-minus") << QStringLiteral("%%p") << QVector<Tok>{{tkSymbols, "%%p"}};
  QTest::newRow("symbol in text") << QStringLiteral("%%c12")
                                  << QVector<Tok>{{tkSymbols, "%%c"}, {tkNumber, "12"}};
  QTest::newRow("unknown symbol letter") << QStringLiteral("%%x")
                                         << QVector<Tok>{{tkUnknown, "%"}, {tkUnknown, "%"}, {tkIdentifier, "x"}};
  QTest::newRow("percents at end") << QStringLiteral("a%%")
                                   << QVector<Tok>{{tkIdentifier, "a"}, {tkUnknown, "%"}, {tkUnknown, "%"}};
  QTest::newRow("three percents") << QStringLiteral("%%%c")
                                  << QVector<Tok>{{tkUnknown, "%"}, {tkSymbols, "%%c"}};
  QTest::newRow("single percent") << QStringLiteral("5%")
                                  << QVector<Tok>{{tkNumber, "5"}, {tkUnknown, "%"}};

  // Spaces and line breaks.
  QTest::newRow("tab with spaces") << QStringLiteral("a \t b")
                                   << QVector<Tok>{{tkIdentifier, "a"}, {tkSpace, " \t "}, {tkIdentifier, "b"}};
  QTest::newRow("only spaces") << QStringLiteral("   ") << QVector<Tok>{{tkSpace, "   "}};
  QTest::newRow("control characters join spaces") << QString(QStringLiteral(" \x01\x1f "))
                                                  << QVector<Tok>{{tkSpace, QString(QStringLiteral(" \x01\x1f "))}};
  QTest::newRow("CR LF") << QStringLiteral("a\r\nb")
                         << QVector<Tok>{{tkIdentifier, "a"}, {tkSpace, "\r\n"}, {tkIdentifier, "b"}};
  QTest::newRow("lone CR") << QStringLiteral("a\rb")
                           << QVector<Tok>{{tkIdentifier, "a"}, {tkSpace, "\r"}, {tkIdentifier, "b"}};
  QTest::newRow("CR at end") << QStringLiteral("a\r") << QVector<Tok>{{tkIdentifier, "a"}, {tkSpace, "\r"}};
  QTest::newRow("LF LF") << QStringLiteral("\n\n") << QVector<Tok>{{tkSpace, "\n"}, {tkSpace, "\n"}};
  QTest::newRow("LF CR") << QStringLiteral("\n\r") << QVector<Tok>{{tkSpace, "\n"}, {tkSpace, "\r"}};
  QTest::newRow("space run stops at a break") << QStringLiteral(" \r\n\t")
                                              << QVector<Tok>{{tkSpace, " "}, {tkSpace, "\r\n"}, {tkSpace, "\t"}};

  // Identifiers.
  QTest::newRow("letters digits underscore") << QStringLiteral("abc123_x")
                                             << QVector<Tok>{{tkIdentifier, "abc123_x"}};
  QTest::newRow("hyphen") << QStringLiteral("abc-def")
                          << QVector<Tok>{{tkIdentifier, "abc"}, {tkUnknown, "-"}, {tkIdentifier, "def"}};
  QTest::newRow("Cyrillic continues a Latin word") << QStringLiteral("abЖук")
                                                   << QVector<Tok>{{tkIdentifier, "abЖук"}};
  QTest::newRow("Cyrillic word") << QStringLiteral("Жук")
                                 << QVector<Tok>{{tkUnknown, "Ж"}, {tkUnknown, "у"}, {tkUnknown, "к"}};
  QTest::newRow("underscore does not start") << QStringLiteral("_a")
                                             << QVector<Tok>{{tkUnknown, "_"}, {tkIdentifier, "a"}};
  QTest::newRow("section sign ends") << QStringLiteral("a\u00a7b")
                                     << QVector<Tok>{{tkIdentifier, "a"}, {tkUnknown, "\u00a7"}, {tkIdentifier, "b"}};
  QTest::newRow("degree sign ends") << QStringLiteral("a\u00b0")
                                    << QVector<Tok>{{tkIdentifier, "a"}, {tkUnknown, "\u00b0"}};
  QTest::newRow("acute accent ends") << QStringLiteral("a\u00b4")
                                     << QVector<Tok>{{tkIdentifier, "a"}, {tkUnknown, "\u00b4"}};
  QTest::newRow("other Latin-1 continues") << QStringLiteral("a\u00b1\u00e9")
                                           << QVector<Tok>{{tkIdentifier, "a\u00b1\u00e9"}};
  QTest::newRow("brace ends") << QStringLiteral("{ab}")
                              << QVector<Tok>{{tkUnknown, "{"}, {tkIdentifier, "ab"}, {tkUnknown, "}"}};
  QTest::newRow("percent ends") << QStringLiteral("ab%%c")
                                << QVector<Tok>{{tkIdentifier, "ab"}, {tkSymbols, "%%c"}};
  QTest::newRow("backslash ends") << QStringLiteral("ab\\P")
                                  << QVector<Tok>{{tkIdentifier, "ab"}, {tkKey, "\\P"}};
}

void TestMTextTokenizer::tokens() {
  QFETCH(QString, line);
  QFETCH(QVector<Tok>, expected);
  QCOMPARE(scan(line), expected);
}

void TestMTextTokenizer::emptyLineIsOnlyEndOfLine() {
  TSynMText h;
  h.setLine(QString(), 3);
  QVERIFY(h.getEol());
  QCOMPARE(h.lineNumber(), 3);
  QVERIFY(TSynMText::tokenize(QString()).isEmpty());
}

void TestMTextTokenizer::endOfLineAfterTerminator() {
  // The end comes only once the run has passed the terminating character.
  TSynMText h;
  h.setLine(QStringLiteral("ab"), 0);
  QVERIFY(!h.getEol());
  QCOMPARE(h.runPosition(), 2);
  h.next();
  QCOMPARE(h.getTokenID(), tkNull);
  QCOMPARE(h.getTokenAttribute(), nullptr);
  QCOMPARE(h.runPosition(), 3);
  QVERIFY(h.getEol());

  // A code 0 inside the line is a null token but not the end of the line.
  h.setLine(QString(QChar(u'a')) + QChar(0) + QChar(u'b'), 0);
  h.next();
  QCOMPARE(h.getTokenID(), tkNull);
  QVERIFY(!h.getEol());
  h.next();
  QCOMPARE(h.getToken(), QStringLiteral("b"));
}

void TestMTextTokenizer::tokenPositionsAdvance() {
  TSynMText h;
  h.setLine(QStringLiteral("\\H2.5;"), 0);
  QCOMPARE(h.getTokenPos(), 0);
  QCOMPARE(h.getTokenLen(), 2);
  h.next();
  QCOMPARE(h.getTokenPos(), 2);
  QCOMPARE(h.getTokenKind(), int(tkNumber));
  h.next();
  QCOMPARE(h.getTokenPos(), 5);
  // A new line starts afresh; nothing carries over.
  h.setLine(QStringLiteral("%%d"), 1);
  QCOMPARE(h.getTokenPos(), 0);
  QCOMPARE(h.getTokenID(), tkSymbols);
}

void TestMTextTokenizer::tokenAttributes() {
  TSynMText h;
  const struct {
    QString line;
    THighlighterAttribute* attr;
  } cases[] = {
      {QStringLiteral("abc"), h.identifierAttri()}, {QStringLiteral("Ж"), h.identifierAttri()},
      {QStringLiteral(";"), h.identifierAttri()},   {QStringLiteral("\\P"), h.keyAttri()},
      {QStringLiteral("42"), h.numberAttri()},      {QStringLiteral(" "), h.spaceAttri()},
      {QStringLiteral("%%p"), h.symbolsAttri()},
  };
  for (const auto& c : cases) {
    h.setLine(c.line, 0);
    QVERIFY2(h.getTokenAttribute() == c.attr, qPrintable(c.line));
  }
}

void TestMTextTokenizer::defaultAttributes() {
  TSynMText h;
  QCOMPARE(h.getDefaultAttribute(daIdentifier), h.identifierAttri());
  QCOMPARE(h.getDefaultAttribute(daKeyword), h.keyAttri());
  QCOMPARE(h.getDefaultAttribute(daWhitespace), h.spaceAttri());
  QCOMPARE(h.getDefaultAttribute(daComment), nullptr);
  QCOMPARE(h.getDefaultAttribute(daString), nullptr);
  QCOMPARE(h.getDefaultAttribute(daSymbol), nullptr);
  QCOMPARE(h.getDefaultAttribute(-1), nullptr);
}

void TestMTextTokenizer::attributeDefaults() {
  TSynMText h;
  const QVector<THighlighterAttribute*> attrs = h.attributes();
  QCOMPARE(attrs.size(), 5);
  QStringList names;
  for (auto* a : attrs) {
    names << a->name();
    QCOMPARE(a->displayName(), a->name());
    QVERIFY(!a->background().isValid());
  }
  QCOMPARE(names, (QStringList{"Identifier", "Key", "Number", "Space", "Variable"}));
  QCOMPARE(attrs[4], h.symbolsAttri());

  QVERIFY(!h.identifierAttri()->foreground().isValid());
  QCOMPARE(h.identifierAttri()->style(), TFontStyles(0));
  QCOMPARE(h.keyAttri()->foreground(), QColor(0, 0, 255));
  QCOMPARE(h.keyAttri()->style(), TFontStyles(fsBold));
  QCOMPARE(h.numberAttri()->foreground(), QColor(255, 0, 0));
  QCOMPARE(h.numberAttri()->style(), TFontStyles(0));
  QVERIFY(!h.spaceAttri()->foreground().isValid());
  QCOMPARE(h.symbolsAttri()->foreground(), QColor(0, 128, 0));

  QCOMPARE(h.findAttribute(QStringLiteral("variable")), h.symbolsAttri());
  QCOMPARE(h.findAttribute(QStringLiteral("Symbols")), nullptr);
}

void TestMTextTokenizer::attributeAtPosition() {
  TSynMText h;
  const QString line = QStringLiteral("\\fArial;Жук %%c");
  QCOMPARE(h.attributeAt(line, 0), h.keyAttri());
  QCOMPARE(h.attributeAt(line, 1), h.keyAttri());
  QCOMPARE(h.attributeAt(line, 2), h.keyAttri());
  QCOMPARE(h.attributeAt(line, 7), h.keyAttri());
  QCOMPARE(h.attributeAt(line, 9), h.identifierAttri());
  QCOMPARE(h.attributeAt(line, 11), h.spaceAttri());
  QCOMPARE(h.attributeAt(line, 14), h.symbolsAttri());
  QCOMPARE(h.attributeAt(line, line.size()), nullptr);
  QCOMPARE(h.attributeAt(line, -1), nullptr);
  QCOMPARE(h.attributeAt(QString(), 0), nullptr);
}

void TestMTextTokenizer::attributeChangesNotify() {
  TSynMText h;
  QSignalSpy spy(&h, &TSynMText::attributesChanged);
  h.keyAttri()->setForeground(QColor(1, 2, 3));
  QCOMPARE(spy.count(), 1);
  h.keyAttri()->setForeground(QColor(1, 2, 3));  // unchanged
  QCOMPARE(spy.count(), 1);
  h.spaceAttri()->setForeground(QColor());  // none to none
  QCOMPARE(spy.count(), 1);
  h.numberAttri()->setStyle(fsItalic);
  h.identifierAttri()->setBackground(Qt::yellow);
  QCOMPARE(spy.count(), 3);

  h.beginUpdate();
  h.keyAttri()->setStyle(0);
  h.numberAttri()->setForeground(Qt::black);
  h.beginUpdate();
  h.symbolsAttri()->setForeground(Qt::black);
  h.endUpdate();
  QCOMPARE(spy.count(), 3);
  h.endUpdate();
  QCOMPARE(spy.count(), 4);

  // An update without changes says nothing; an unmatched end is harmless.
  h.beginUpdate();
  h.endUpdate();
  h.endUpdate();
  QCOMPARE(spy.count(), 4);
  h.keyAttri()->setStyle(fsBold);
  QCOMPARE(spy.count(), 5);
}

void TestMTextTokenizer::copyAttributes() {
  TSynMText a, b;
  a.keyAttri()->setForeground(Qt::magenta);
  a.keyAttri()->setStyle(fsItalic | fsUnderline);
  a.identifierAttri()->setForeground(Qt::darkGray);
  a.symbolsAttri()->setBackground(Qt::cyan);
  QSignalSpy spy(&b, &TSynMText::attributesChanged);
  b.copyAttributesFrom(a);
  QCOMPARE(spy.count(), 1);
  QCOMPARE(b.keyAttri()->foreground(), QColor(Qt::magenta));
  QCOMPARE(b.keyAttri()->style(), TFontStyles(fsItalic | fsUnderline));
  QCOMPARE(b.identifierAttri()->foreground(), QColor(Qt::darkGray));
  QCOMPARE(b.symbolsAttri()->background(), QColor(Qt::cyan));
  QCOMPARE(b.symbolsAttri()->name(), QStringLiteral("Variable"));
  b.copyAttributesFrom(a);
  QCOMPARE(spy.count(), 1);
}

void TestMTextTokenizer::randomLinesAreCoveredWithoutGaps() {
  // Characters that start or end tokens, mixed with arbitrary UTF-16 units.
  const QString alphabet = QStringLiteral("\\%%%.,;:{}~^#/+- \t\r\n0123456789aAcCdDpPxXHfSNU_ЖжЁ\u00a7\u00b0\u00b4\u00b1");
  auto* rng = QRandomGenerator::global();
  for (int iter = 0; iter < 3000; ++iter) {
    const int len = rng->bounded(0, 24);
    QString line;
    for (int i = 0; i < len; ++i) {
      if (rng->bounded(8) == 0)
        line += QChar(ushort(rng->bounded(0, 0x10000)));
      else
        line += alphabet.at(rng->bounded(alphabet.size()));
    }
    const QByteArray dump = line.toUtf8().toHex();

    TSynMText h;
    h.setLine(line, iter);
    QString joined;
    QVector<TSynMTextToken> driven;
    int steps = 0;
    while (!h.getEol()) {
      QVERIFY2(++steps <= len, dump.constData());
      const QString tok = h.getToken();
      QVERIFY2(!tok.isEmpty(), dump.constData());
      QVERIFY2(h.getTokenPos() == joined.size(), dump.constData());
      const TtkTokenKind kind = h.getTokenID();
      const int end = h.getTokenPos() + tok.size();
      const QChar after = end < line.size() ? line.at(end) : QChar(0);
      switch (kind) {
        case tkKey:
          // A code of the lexicon, or a part of one.
          QVERIFY2(inCode(line, h.getTokenPos(), end), dump.constData());
          break;
        case tkSymbols:
          // %%c, or %% and three digits.
          QVERIFY2((tok.size() == 3 || (tok.size() == 5 && tok.at(4).isDigit())) && tok.startsWith(QStringLiteral("%%")),
                   dump.constData());
          break;
        case tkNumber:
          // Maximal: a number never stops before a digit or a point.
          QVERIFY2(tok.at(0).isDigit() && !(after.unicode() >= '0' && after.unicode() <= '9') && after != u'.',
                   dump.constData());
          break;
        case tkIdentifier:
          QVERIFY2(end >= line.size() || !TSynMText::isIdentChar(after), dump.constData());
          break;
        case tkSpace:
          for (QChar c : tok) QVERIFY2(c.unicode() <= 32, dump.constData());
          break;
        case tkUnknown:
        case tkNull:
          QVERIFY2(tok.size() == 1, dump.constData());
          break;
      }
      joined += tok;
      driven.append({h.getTokenPos(), int(tok.size()), kind});
      h.next();
    }
    QVERIFY2(joined == line, dump.constData());
    QCOMPARE(h.runPosition(), line.size() + 1);

    const QVector<TSynMTextToken> listed = TSynMText::tokenize(line);
    QCOMPARE(listed.size(), driven.size());
    for (int i = 0; i < listed.size(); ++i) {
      QCOMPARE(listed[i].pos, driven[i].pos);
      QCOMPARE(listed[i].length, driven[i].length);
      QCOMPARE(listed[i].kind, driven[i].kind);
    }
  }
}

void TestMTextTokenizer::coloursEndWhereThePreviewEndsTheCode() {
  for (const auto& c : lexiconcases::kCases) {
    const QString line = QString::fromUtf8(c.text);
    const bool code = c.kind == lkCode || c.kind == lkEscape || c.kind == lkSymbol;
    bool boundary = false;
    for (const TSynMTextToken& t : TSynMText::tokenize(line)) {
      if (t.pos == c.end) boundary = true;
      if (t.pos >= c.end) break;
      const bool coloured = t.kind == tkKey || t.kind == tkNumber || t.kind == tkSymbols;
      QVERIFY2(coloured == code && (code || c.kind == lkGroupOpen || t.length == 1), c.text);
    }
    QVERIFY2(boundary || c.end == line.size(), c.text);
  }
}

KORVEX_TEST(TestMTextTokenizer)
#include "test_tokenizer.moc"
