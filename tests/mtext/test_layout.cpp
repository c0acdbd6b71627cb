// Size results, line heights and the colour index table.
#include <QtTest>

#include "TestMain.h"

#include "RenderHelpers.h"

using namespace mtexttest;

namespace {
// The size of an absurd text on a canvas that never grows: the size is the
// full one all the same, and no 256 MiB surface slows the sanitizer run.
QPoint fixedCanvasSizeOf(const QString& text) {
  TCanvas c;
  prepare(c);
  QPoint size;
  RenderMText(c, text, size, [](int, TResizeType) { return false; });
  return size;
}
}  // namespace

class TestMTextLayout : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() { SetScreenDpiY(96); }

  void sizeResults() {
    QCOMPARE(sizeOf(QString()), QPoint(0, 16));
    QCOMPARE(sizeOf(QStringLiteral("abc")), QPoint(widthOf(QStringLiteral("abc")), 16));
    QCOMPARE(sizeOf(QStringLiteral("abc\\P")), QPoint(widthOf(QStringLiteral("abc")), 16));
    QCOMPARE(sizeOf(QStringLiteral("a\\Pb\\P")).y(), 32);
    // Without a closing \P the last line's top equals its height.
    QCOMPARE(sizeOf(QStringLiteral("a\\Pb")).y(), 16);
    QCOMPARE(sizeOf(QStringLiteral("a\\Pbb\\Pc\\P")), QPoint(widthOf(QStringLiteral("bb")), 48));
    // 12 pt at 120 dpi: 20 px.
    SetScreenDpiY(120);
    TCanvas c;
    c.setFont(faceName(), 12, 0, 0);
    QCOMPARE(c.fontCharHeight(), 20);
    SetScreenDpiY(96);
  }

  void groupHeights() {
    // A drawn at twice the height makes the line box 32 high; B stays 16 px.
    TCanvas big;
    prepare(big);
    big.setFontCharHeight(32);
    const int wA2 = big.textWidth(QStringLiteral("A"));
    QCOMPARE(sizeOf(QStringLiteral("{\\H2x;A}B")), QPoint(wA2 + widthOf(QStringLiteral("B")), 32));
    QCOMPARE(sizeOf(QStringLiteral("}{\\H2x;A}B")), QPoint(wA2 + widthOf(QStringLiteral("B")), 32));
    // Relative heights multiply; the measurement and the drawing agree.
    QCOMPARE(sizeOf(QStringLiteral("\\H2x;\\H1.5x;A\\P")).y(), 48);
    // Each line is measured on its own.
    QCOMPARE(sizeOf(QStringLiteral("a\\P\\H3x;b\\Pc\\P")).y(), 16 + 48 + 48);
    // A stack counts twice the text height of its upper part.
    TCanvas c;
    prepare(c);
    const int cell = c.textHeight(QStringLiteral("1"));
    QCOMPARE(sizeOf(QStringLiteral("x\\S1/2;\\P")).y(), 2 * cell);
    QCOMPARE(sizeOf(QStringLiteral("\\S/2;\\P")).y(), 2 * cell);
  }

  void widthsAndPenStart() {
    // Symbols advance by W, stacks by the wider part or by both for #.
    const int w1 = widthOf(QStringLiteral("1")), w12 = widthOf(QStringLiteral("12"));
    QCOMPARE(sizeOf(QStringLiteral("\\S12/3;")).x(), w12);
    QCOMPARE(sizeOf(QStringLiteral("\\S12#3;")).x(), w12 + widthOf(QStringLiteral("3")));
    QCOMPARE(sizeOf(QStringLiteral("\\S1^;x")).x(), w1 + widthOf(QStringLiteral("x")));
    QCOMPARE(sizeOf(QStringLiteral("\\Sabc;")).x(), widthOf(QStringLiteral("abc")));
    // Second line starts at x = 0 whatever the first did.
    TCanvas c;
    prepare(c, 12, 10, 0);
    QCOMPARE(render(c, QStringLiteral("a\\Pb")).x(), 10 + widthOf(QStringLiteral("a")));
    prepare(c, 12, 100, 5);
    QCOMPARE(render(c, QStringLiteral("a\\Pbb\\P")), QPoint(100 + widthOf(QStringLiteral("a")), 5 + 32));
  }

  void absurdHeightsDoNotOverflow() {
    // Each line asks for more height than the last, never a negative extent.
    QList<int> heights;
    TCanvas c;
    prepare(c);
    QPoint size;
    RenderMText(c, QStringLiteral("\\H1e9;a\\Pb\\Pc\\Pd\\P"), size, [&](int v, TResizeType t) {
      if (t == rtHeight) heights << v;
      return grow(c, v, t);
    });
    QCOMPARE(heights.size(), 5);
    for (int i = 0; i < heights.size(); ++i) {
      QVERIFY2(heights[i] > 0, qPrintable(QString::number(heights[i])));
      if (i > 0) QVERIFY(heights[i] >= heights[i - 1]);
    }
    QVERIFY(size.y() >= heights[0]);
    QVERIFY(c.truncated());
  }

  // UndefinedBehaviorSanitizer: the centred symbol added two line tops near the int limit.
  void centredSymbolBelowAbsurdLinesDoesNotOverflow() {
    const QPoint size = fixedCanvasSizeOf(QStringLiteral("\\H1e9;a\\Pa\\Pa\\P\\A1;%%c"));
    QVERIFY(size.x() > 0);
    QCOMPARE(size.y(), TCanvas::MaxCoord);
  }

  // Fuzzing: a negative height made the next lines' boxes negative, so the
  // lines went up and the drawn size came out negative.
  void negativeHeightsKeepLinesGoingDown() {
    const QString lines = QStringLiteral("a\\Pbb\\Pc");
    QCOMPARE(sizeOf(QStringLiteral("\\H-5;") + lines), sizeOf(QStringLiteral("\\H5;") + lines));
    QCOMPARE(sizeOf(QStringLiteral("\\H-2x;") + lines), sizeOf(QStringLiteral("\\H2x;") + lines));
    QVERIFY(fixedCanvasSizeOf(QStringLiteral("\\H-1e9;") + lines).y() > 0);
  }

  // Pen positions saturate like line tops: a line of the widest characters
  // longer than an int can count ends at the bound, stacks too.
  void absurdWidthsSaturate() {
    const QString huge = QStringLiteral("\\H1e9;\\W10;");
    QCOMPARE(fixedCanvasSizeOf(huge + QString(60000, u'W')).x(), TCanvas::MaxCoord);
    QCOMPARE(fixedCanvasSizeOf(huge + QStringLiteral("\\S") + QString(60000, u'W') + QStringLiteral("#W;%%c")).x(),
             TCanvas::MaxCoord);
  }

  void callbackContract() {
    // Height requests: first line's height, then each new line's bottom;
    // width requests carry the widest right edge so far.
    QList<QPair<int, int>> calls;
    TCanvas c;
    prepare(c);
    QPoint size;
    RenderMText(c, QStringLiteral("ab\\Pc\\P"), size, [&](int v, TResizeType t) {
      calls.append({int(t), v});
      return grow(c, v, t);
    });
    const int wa = widthOf(QStringLiteral("a")), wab = widthOf(QStringLiteral("ab"));
    const QList<QPair<int, int>> expected = {{rtHeight, 16},
                                             {rtWidth, wa},
                                             {rtWidth, wab},
                                             {rtHeight, 32},
                                             {rtWidth, wab},
                                             {rtHeight, 48}};
    QCOMPARE(calls, expected);
    QVERIFY(c.width() >= wab && c.height() >= 48);
  }

  void colourTableExamples() {
    QCOMPARE(AciColor(1), RGBColor(255, 0, 0));
    QCOMPARE(AciColor(2), RGBColor(255, 255, 0));
    QCOMPARE(AciColor(3), RGBColor(0, 255, 0));
    QCOMPARE(AciColor(4), RGBColor(0, 255, 255));
    QCOMPARE(AciColor(5), RGBColor(0, 0, 255));
    QCOMPARE(AciColor(6), RGBColor(255, 0, 255));
    QCOMPARE(AciColor(7), RGBColor(255, 255, 255));
    QCOMPARE(AciColor(8), RGBColor(128, 128, 128));
    QCOMPARE(AciColor(9), RGBColor(192, 192, 192));
    QCOMPARE(AciColor(11), RGBColor(255, 127, 127));
    QCOMPARE(AciColor(20), RGBColor(255, 63, 0));
    QCOMPARE(AciColor(23), RGBColor(204, 127, 102));
    QCOMPARE(AciColor(140), RGBColor(0, 191, 255));
    QCOMPARE(AciColor(250), RGBColor(51, 51, 51));
    QCOMPARE(AciColor(255), RGBColor(255, 255, 255));
    for (int i : {0, -1, 256, 1000, INT_MIN, INT_MAX}) QCOMPARE(AciColor(i), RGBColor(255, 255, 255));
  }

  void colourTableEveryIndex() {
    // Each channel peaks (weight 4) over nine hue steps around its centre
    // (red 0, green 8, blue 16) and falls by one per step beyond.
    auto weight = [](int h, int centre) {
      int d = qAbs(h - centre);
      d = qMin(d, 24 - d);
      return qBound(0, 8 - d, 4);
    };
    const int value[5] = {255, 204, 153, 127, 76};
    for (int i = 10; i <= 249; ++i) {
      const int h = (i - 10) / 10, k = (i - 10) % 10, v = value[k / 2];
      int ch[3];
      const int centres[3] = {0, 8, 16};
      for (int j = 0; j < 3; ++j) {
        const int q = weight(h, centres[j]);
        ch[j] = (k % 2 == 0) ? v * q / 4 : v * (4 + q) / 8;
      }
      QCOMPARE(AciColor(i), RGBColor(ch[0], ch[1], ch[2]));
    }
    const int greys[6] = {51, 91, 132, 173, 214, 255};
    for (int i = 0; i < 6; ++i) QCOMPARE(AciColor(250 + i), RGBColor(greys[i], greys[i], greys[i]));
  }

  void splitStackText() {
    TStackParts p = SplitStackText(QStringLiteral("1/2#3"));
    QCOMPARE(p.upper, QStringLiteral("1"));
    QCOMPARE(p.separator, QChar(u'/'));
    QCOMPARE(p.lower, QStringLiteral("2#3"));
    p = SplitStackText(QStringLiteral("+0.1^-0.2"));
    QCOMPARE(p.upper, QStringLiteral("+0.1"));
    QCOMPARE(p.separator, QChar(u'^'));
    QCOMPARE(p.lower, QStringLiteral("-0.2"));
    p = SplitStackText(QStringLiteral("abc"));
    QCOMPARE(p.upper, QStringLiteral("abc"));
    QCOMPARE(p.separator, QChar(u'^'));
    QVERIFY(p.lower.isEmpty());
    p = SplitStackText(QStringLiteral("#"));
    QVERIFY(p.upper.isEmpty() && p.lower.isEmpty());
    QCOMPARE(p.separator, QChar(u'#'));
  }
};

KORVEX_TEST(TestMTextLayout)
#include "test_layout.moc"
