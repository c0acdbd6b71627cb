// Reading format codes: numbers, heights, parameters, escapes, unknown codes,
// and the formatting state they leave behind.
#include <QtTest>

#include "TestMain.h"

#include "RenderHelpers.h"

using namespace mtexttest;

class TestMTextCodes : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() { SetScreenDpiY(96); }

  void decimalSeparatorEitherWay() {
    const QLocale saved;
    for (const QLocale& loc : {QLocale(QLocale::C), QLocale(QLocale::German), QLocale(QLocale::Russian)}) {
      QLocale::setDefault(loc);
      const QPoint dot = sizeOf(QStringLiteral("\\H7.5;A"));
      QCOMPARE(sizeOf(QStringLiteral("\\H7,5;A")), dot);
      // 7.5 mm at 96 dpi = 28 px, taller than 16 px.
      QCOMPARE(dot.y(), 28);
      QVERIFY(sizeOf(QStringLiteral("\\W0,5;AAAA")).x() < widthOf(QStringLiteral("AAAA")));
      QCOMPARE(sizeOf(QStringLiteral("\\W0,5;AAAA")), sizeOf(QStringLiteral("\\W0.5;AAAA")));
    }
    QLocale::setDefault(saved);
  }

  void heightCodeForms() {
    // Relative with and without ';' consume the same; the ';' is not drawn.
    QCOMPARE(sizeOf(QStringLiteral("\\H2xAB")), sizeOf(QStringLiteral("\\H2x;AB")));
    QCOMPARE(sizeOf(QStringLiteral("\\H2x;AB")).y(), 32);
    // Only a lower-case x makes it relative: "2X" is no number, so 0 mm.
    TCanvas c;
    prepare(c);
    render(c, QStringLiteral("\\H2X;A"));
    QVERIFY(c.fontCharHeight() == 0);
    // Spaces around the value are trimmed.
    QCOMPARE(sizeOf(QStringLiteral("\\H 2x ;A")).y(), 32);
    // A height without ';' or x takes the rest of the text: nothing drawn.
    QCOMPARE(sizeOf(QStringLiteral("ab\\H5 and more")).x(), widthOf(QStringLiteral("ab")));
  }

  void missingSemicolonEndsScan() {
    // A number up to the end of the text is read and the scan stops there.
    for (const char* code : {"\\C1", "\\A1", "\\W2", "\\T2", "\\Q10"}) {
      const QString t = QStringLiteral("ab") + QString::fromLatin1(code);
      QCOMPARE(sizeOf(t).x(), widthOf(QStringLiteral("ab")));
    }
    TCanvas c;
    prepare(c);
    QCOMPARE(render(c, QStringLiteral("ab\\fDejaVu Sans xyz")).x(), widthOf(QStringLiteral("ab")));
    QCOMPARE(c.fontName(), QStringLiteral("DejaVu Sans xyz"));
    // A stack without ';' takes the rest as its text.
    QCOMPARE(sizeOf(QStringLiteral("\\S12/3")).x(), widthOf(QStringLiteral("12")));
  }

  void nonNumbersAreDrawnAsText() {
    // Only backslash and letter are consumed; the rest is text.
    QCOMPARE(sizeOf(QStringLiteral("\\Wabc;")).x(), widthOf(QStringLiteral("abc;")));
    QCOMPARE(sizeOf(QStringLiteral("\\C;x")).x(), widthOf(QStringLiteral(";x")));
    QCOMPARE(sizeOf(QStringLiteral("\\Tinf;")).x(), widthOf(QStringLiteral("inf;")));
    // A bad number for \C means index 0: white.
    TCanvas c;
    prepare(c);
    render(c, QStringLiteral("\\Cred;"));
    QCOMPARE(c.fontColor(), RGBColor(255, 255, 255));
  }

  void unicodeCode() {
    QCOMPARE(sizeOf(QStringLiteral("\\U+0041")).x(), widthOf(QStringLiteral("A")));
    QCOMPARE(sizeOf(QStringLiteral("\\U+0041B")).x(), widthOf(QStringLiteral("AB")));
    QCOMPARE(sizeOf(QStringLiteral("\\U+041a")).x(), widthOf(QString(QChar(0x041A))));
    QCOMPARE(sizeOf(QStringLiteral("\\U+00G1")).x(), widthOf(QStringLiteral("\\U+00G1")));
    QCOMPARE(sizeOf(QStringLiteral("\\U+004")).x(), widthOf(QStringLiteral("\\U+004")));
    QCOMPARE(sizeOf(QStringLiteral("\\U-0041")).x(), widthOf(QStringLiteral("\\U-0041")));
  }

  void lettersAreCaseSensitive() {
    // Only the letters of the lexicon are codes: these draw as text.
    for (const char* t : {"\\h", "\\q", "\\w", "\\Z", "\\D"})
      QCOMPARE(sizeOf(QString::fromLatin1(t)).x(), widthOf(QString::fromLatin1(t)));
  }

  void escapesAndBraces() {
    QCOMPARE(sizeOf(QStringLiteral("\\\\")).x(), widthOf(QStringLiteral("\\")));
    QCOMPARE(sizeOf(QStringLiteral("\\{\\}")).x(), widthOf(QStringLiteral("{}")));
    QCOMPARE(sizeOf(QStringLiteral("{")).x(), 0);
    QCOMPARE(sizeOf(QStringLiteral("}")).x(), 0);
    QCOMPARE(sizeOf(QStringLiteral("a\\")).x(), widthOf(QStringLiteral("a\\")));
    // %% codes in either case are figures as wide as W; others are text.
    QCOMPARE(sizeOf(QStringLiteral("%%C")).x(), widthOf(QStringLiteral("W")));
    QCOMPARE(sizeOf(QStringLiteral("%%d%%P")).x(), 2 * widthOf(QStringLiteral("W")));
    QCOMPARE(sizeOf(QStringLiteral("%%x")).x(), widthOf(QStringLiteral("%%x")));
    QCOMPARE(sizeOf(QStringLiteral("%%")).x(), widthOf(QStringLiteral("%%")));
  }

  void groupsRestoreState() {
    TCanvas c;
    prepare(c);
    render(c, QStringLiteral("{\\C1;\\fDejaVu Sans|b1;\\H3;x}y"));
    QCOMPARE(c.fontColor(), RGBColor(0, 0, 0));
    QCOMPARE(c.penColor(), RGBColor(0, 0, 0));
    QCOMPARE(c.fontName(), faceName());
    QCOMPARE(c.fontCharHeight(), 16);
    QCOMPARE(int(c.fontStyle() & fsBold), 0);
    // Nested groups unwind one level at a time.
    prepare(c);
    render(c, QStringLiteral("{\\C1;{\\C3;a}"));
    QCOMPARE(c.fontColor(), RGBColor(255, 0, 0));
    // Unbalanced braces: the stray closers are ignored, open groups are freed.
    QCOMPARE(sizeOf(QStringLiteral("}{\\H2x;A}B")), sizeOf(QStringLiteral("{\\H2x;A}B")));
    QCOMPARE(sizeOf(QStringLiteral("}}}}A{{{{")).x(), widthOf(QStringLiteral("A")));
  }

  void fontCode() {
    TCanvas c;
    prepare(c);
    render(c, QStringLiteral("\\fDejaVu Sans|b1|i0;x"));
    QCOMPARE(c.fontName(), QStringLiteral("DejaVu Sans"));
    QCOMPARE(int(c.fontStyle() & (fsBold | fsItalic)), int(fsBold));
    prepare(c);
    render(c, QStringLiteral("\\fDejaVu Sans|b1;x\\H3;y"));
    QCOMPARE(c.fontName(), QStringLiteral("DejaVu Sans"));
    QVERIFY(c.fontStyle() & fsBold);
    prepare(c);
    render(c, QStringLiteral("\\f  Times.ttf ;"));
    QCOMPARE(c.fontName(), QStringLiteral("Times"));
    prepare(c);
    render(c, QStringLiteral("\\fmy.font.shx|i1;"));
    QCOMPARE(c.fontName(), QStringLiteral("my.font"));
    QVERIFY(c.fontStyle() & fsItalic);
    // The code ends at its ';' exactly: nothing of it is drawn, nothing after it is eaten.
    for (const QString& code : {QStringLiteral("\\f%1;"), QStringLiteral("\\f%1|b0|i0;")}) {
      const QString text = code.arg(faceName()) + QStringLiteral("AB");
      QCOMPARE(sizeOf(text).x(), widthOf(QStringLiteral("AB")));
    }
  }

  void obliquingRange() {
    const struct {
      const char* code;
      bool italic;
    } cases[] = {{"\\Q0;", true},    {"\\Q85;", true},   {"\\Q-85;", true}, {"\\Q85.5;", false},
                 {"\\Q90;", false},  {"\\Q-90;", false}, {"\\Qx;", true}};
    for (const auto& cs : cases) {
      TCanvas c;
      prepare(c);
      render(c, QString::fromLatin1(cs.code));
      QCOMPARE(bool(c.fontStyle() & fsItalic), cs.italic);
    }
  }

  void widthRange() {
    const int natural = widthOf(QStringLiteral("MMMMMMMMMM"));
    QCOMPARE(sizeOf(QStringLiteral("\\W0.05;MMMMMMMMMM")).x(), natural);
    QCOMPARE(sizeOf(QStringLiteral("\\W11;MMMMMMMMMM")).x(), natural);
    QVERIFY(sizeOf(QStringLiteral("\\W0.1;MMMMMMMMMM")).x() < natural / 3);
    QVERIFY(sizeOf(QStringLiteral("\\W10;MMMMMMMMMM")).x() > natural * 5);
    const int doubled = sizeOf(QStringLiteral("\\W2;MMMMMMMMMM")).x();
    QVERIFY(qAbs(doubled - 2 * natural) <= natural / 10);
    // The factor survives a height change and is undone by a closing brace.
    QCOMPARE(sizeOf(QStringLiteral("\\W2;MMMMM\\H1x;MMMMM")).x(), doubled);
    QCOMPARE(sizeOf(QStringLiteral("{\\W2;}MMMMMMMMMM")).x(), natural);
  }

  void trackingIsTemporary() {
    const int natural = widthOf(QStringLiteral("MMMMM"));
    QCOMPARE(sizeOf(QStringLiteral("\\T0.7;MMMMM")).x(), natural);
    const int tracked = sizeOf(QStringLiteral("\\T2;MMMMM")).x();
    QVERIFY(tracked > natural * 3 / 2);
    // The next re-creation returns to the stored width factor.
    QCOMPARE(sizeOf(QStringLiteral("\\T2;MMMMM\\H1x;MMMMM")).x(), tracked + natural);
    // Tracking is not saved by a group: after } the width is the stored one.
    QCOMPARE(sizeOf(QStringLiteral("{\\T2;MMMMM}MMMMM")).x(), tracked + natural);
  }

  void colourAndAlignmentCodes() {
    const struct {
      const char* code;
      TColor color;
    } cases[] = {{"\\C1;", RGBColor(255, 0, 0)},        {"\\C0;", RGBColor(255, 255, 255)},
                 {"\\C256;", RGBColor(255, 255, 255)},  {"\\C7;", RGBColor(255, 255, 255)},
                 {"\\C2.4;", RGBColor(255, 255, 0)},    {"\\C2.5;", RGBColor(255, 255, 0)},
                 {"\\C3.5;", RGBColor(0, 255, 255)}, {"\\C-1;", RGBColor(255, 255, 255)},
                 {"\\C1e30;", RGBColor(255, 255, 255)}};
    for (const auto& cs : cases) {
      TCanvas c;
      prepare(c);
      render(c, QString::fromLatin1(cs.code));
      QCOMPARE(c.fontColor(), cs.color);
      QCOMPARE(c.penColor(), c.fontColor());
    }
  }
};

KORVEX_TEST(TestMTextCodes)
#include "test_codes.moc"
