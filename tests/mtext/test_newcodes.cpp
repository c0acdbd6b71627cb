// The codes real drawings use beyond the basic set, drawn as AutoCAD draws
// them: each picture compared with the same text written without the code.
#include <QProcess>
#include <QtTest>

#include "RenderHelpers.h"
#include "TestMain.h"

using namespace mtexttest;

namespace {

QImage picture(const QString& text, int penX = 0) {
  TCanvas c;
  prepare(c, 12, penX);
  render(c, text);
  return c.image().copy();
}

// The pixels of a and b inside r (both white outside their own surfaces).
bool samePixels(const QImage& a, const QImage& b, const QRect& r) {
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) {
      const QRgb pa = a.rect().contains(x, y) ? a.pixel(x, y) : qRgb(255, 255, 255);
      const QRgb pb = b.rect().contains(x, y) ? b.pixel(x, y) : qRgb(255, 255, 255);
      if ((pa & 0xFFFFFF) != (pb & 0xFFFFFF)) return false;
    }
  return true;
}

}  // namespace

class TestMTextNewCodes : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() { SetScreenDpiY(96); }

  void nonBreakingSpaceIsASpace() {
    QCOMPARE(picture(QStringLiteral("Формат\\~А2\\~ГОСТ")), picture(QStringLiteral("Формат А2 ГОСТ")));
  }

  void paragraphAlignment() {
    const int wide = widthOf(QStringLiteral("abcdef")), narrow = widthOf(QStringLiteral("ab"));
    const QRect line(0, 0, wide + 4, 16);
    // Centred and right-aligned in the widest line; the size stays that line's.
    const QImage centred = picture(QStringLiteral("\\pxqc;ab\\Pabcdef\\P"));
    QVERIFY(samePixels(centred, picture(QStringLiteral("ab"), (wide - narrow) / 2), line));
    QCOMPARE(sizeOf(QStringLiteral("\\pxqc;ab\\Pabcdef\\P")).x(), wide);
    QVERIFY(samePixels(picture(QStringLiteral("\\pxqr;ab\\Pabcdef\\P")), picture(QStringLiteral("ab"), wide - narrow), line));
    // Justified and distributed are drawn left; unknown options are passed over.
    QCOMPARE(picture(QStringLiteral("\\pxqj,z5;ab")), picture(QStringLiteral("ab")));
    // Indents are multiples of the starting height (16 px): first line 1 + left 2.
    QCOMPARE(sizeOf(QStringLiteral("\\pxi1,l2;ab")).x(), 48 + narrow);
    QCOMPARE(sizeOf(QStringLiteral("\\pi-3,l4t4;ab")).x(), 16 + narrow);
  }

  void strikeThroughIsOneLineMidHeight() {
    const QImage plain = picture(QStringLiteral("ab")), struck = picture(QStringLiteral("\\Kab\\kab"));
    const int w = widthOf(QStringLiteral("ab"));
    QList<int> rows;
    for (int y = 0; y < plain.height(); ++y)
      if (!samePixels(plain, struck, QRect(0, y, w, 1))) rows << y;
    QCOMPARE(rows.size(), 1);
    QVERIFY(rows.first() > 5 && rows.first() < 14);
    // \k ends it: the second pair is drawn plain (the line, like an underline,
    // reaches one pixel into the next character).
    QVERIFY(samePixels(picture(QStringLiteral("abab")), struck, QRect(w + 1, 0, w - 1, 16)));
  }

  void tabsStopAtStops() {
    TCanvas c;
    prepare(c);
    const int step = 4 * c.averageCharWidth();
    QCOMPARE(sizeOf(QStringLiteral("a\tb")).x(), step + widthOf(QStringLiteral("b")));
    QCOMPARE(sizeOf(QStringLiteral("a\t\tb")).x(), 2 * step + widthOf(QStringLiteral("b")));
    // Stops of the paragraph, in starting heights: 5 x 16 px.
    QCOMPARE(sizeOf(QStringLiteral("\\pxt5;a\tb")).x(), 80 + widthOf(QStringLiteral("b")));
  }

  void trueColourRedInTheLowByte() {
    TCanvas c;
    prepare(c);
    render(c, QStringLiteral("\\c255;x"));
    QCOMPARE(c.fontColor(), RGBColor(255, 0, 0));
    render(c, QStringLiteral("\\c3351057;x"));
    QCOMPARE(c.fontColor(), RGBColor(0x11, 0x22, 0x33));
  }

  void columnAndDimensionBreaksStartLines() {
    QCOMPARE(sizeOf(QStringLiteral("a\\Nb\\Xc\\P")), sizeOf(QStringLiteral("a\\Pb\\Pc\\P")));
  }

  void shxFontsDrawInASubstitute() {
    QCOMPARE(ShxSubstituteFace(u"simplex.shx,gbcbig.shx"), QStringLiteral("Liberation Sans"));
    QCOMPARE(ShxSubstituteFace(u"romand.shx|c1"), QStringLiteral("Liberation Serif"));
    QCOMPARE(ShxSubstituteFace(u"unknown.shx"), QStringLiteral("Liberation Sans"));
    QCOMPARE(ShxSubstituteFace(u"DejaVuSans.ttf"), QStringLiteral("DejaVuSans"));
    QCOMPARE(sizeOf(QStringLiteral("\\Fromand.shx;Шрифт")), sizeOf(QStringLiteral("\\fLiberation Serif;Шрифт")));
  }

  void lineHeightFollowsBraces() {
    // Each group puts the height back: the line is as tall as its tallest letter.
    QCOMPARE(sizeOf(QStringLiteral("{\\H2x;A}{\\H2x;B}{\\H2x;C}{\\H2x;D}{\\H2x;E}{\\H2x;F}\\P")).y(), 32);
    QCOMPARE(sizeOf(QStringLiteral("{\\H2x;A}\\P{\\H2x;B}\\P")).y(), 64);
    // A group opened on an earlier line, closed on this one.
    QCOMPARE(sizeOf(QStringLiteral("{\\H2x;A\\P}\\H2x;B\\P")).y(), 64);
    // An escaped backslash is no height code.
    QCOMPARE(sizeOf(QStringLiteral("\\\\H3x;\\P")).y(), 16);
  }

  void toleranceStackSpaceIsNotDrawn() {
    QCOMPARE(picture(QStringLiteral("\\S+0.1^ -0.2;")), picture(QStringLiteral("\\S+0.1^-0.2;")));
  }

  void ezdxfBuiltTextsShowNoCode() {
    // Texts written by ezdxf's MText builder, with the plain text ezdxf says
    // AutoCAD shows.
    QProcess py;
    py.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QStringLiteral(R"(
from ezdxf.tools.text import MTextEditor, plain_mtext, ParagraphProperties
from ezdxf.enums import MTextParagraphAlignment as A
e = MTextEditor()
e.color('red').append('Красный ').underline('подчёркнутый').strike_through('зачёркнутый')
e.overline('над').aci(3).rgb((0, 0, 255)).append('синий').append(e.NBSP).append('А2')
print(str(e)); print(plain_mtext(str(e)))
e = MTextEditor(); e.paragraph(ParagraphProperties(indent=1, left=2, align=A.LEFT, tab_stops=(4,)))
e.append('Текст\tтаб'); print(str(e))
e = MTextEditor(); e.stack('1', '22', '^'); print(str(e))
)")});
    if (!py.waitForFinished(30000) || py.exitCode() != 0) QSKIP("python3-ezdxf is not installed");
    const QStringList out = QString::fromUtf8(py.readAllStandardOutput()).split(QLatin1Char('\n'));
    QVERIFY(out.size() >= 4);
    QCOMPARE(sizeOf(out[0]).x(), widthOf(out[1]));
    QCOMPARE(sizeOf(out[2]).x(), 64 + 48 + widthOf(QStringLiteral("таб")));
    QCOMPARE(sizeOf(out[3]).x(), widthOf(QStringLiteral("22")));
  }
};

KORVEX_TEST(TestMTextNewCodes)
#include "test_newcodes.moc"
