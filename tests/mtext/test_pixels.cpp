// What ends up on the surface: colours, decoration lines, stack figures,
// symbols, line starts, and the surface cap on very long texts.
#include <QtTest>

#include "TestMain.h"

#include "RenderHelpers.h"

using namespace mtexttest;

class TestMTextPixels : public QObject {
  Q_OBJECT

  static QImage draw(const QString& text, QPoint* sizeOut = nullptr, int points = 24) {
    TCanvas c;
    prepare(c, points);
    const QPoint size = render(c, text);
    if (sizeOut) *sizeOut = size;
    return c.image().copy();
  }

 private slots:
  void initTestCase() { SetScreenDpiY(96); }

  void colourCode() {
    QPoint size;
    const QImage img = draw(QStringLiteral("\\C1;HH"), &size);
    const QRect box(0, 0, size.x(), size.y());
    QVERIFY(countPixels(img, box, isRed) > 20);
    QCOMPARE(countPixels(img, box, isDark), 0);
    // Without the code the same glyphs are black.
    const QImage plain = draw(QStringLiteral("HH"));
    QVERIFY(countPixels(plain, box, isDark) > 20);
    QCOMPARE(countPixels(plain, box, isRed), 0);
  }

  void underlineIsContinuous() {
    QPoint size;
    const QImage img = draw(QStringLiteral("a\\Lbcde\\lf"), &size);
    TCanvas c;
    prepare(c, 24);
    const int start = c.textWidth(QStringLiteral("a")), end = c.textWidth(QStringLiteral("abcde"));
    const int y = size.y() - 1;  // one pixel above the box bottom
    // Each character's line runs from its right edge leftwards, its left end
    // excluded, so the run covers (start, end].
    for (int x = start + 1; x <= end; ++x) QVERIFY2(isBlack(img.pixel(x, y)), qPrintable(QString::number(x)));
    int outside = 0;
    for (int x = 0; x < start; ++x) outside += isBlack(img.pixel(x, y)) ? 1 : 0;
    for (int x = end + 2; x < size.x(); ++x) outside += isBlack(img.pixel(x, y)) ? 1 : 0;
    QCOMPARE(outside, 0);
  }

  void overlineOnTop() {
    QPoint size;
    const QImage img = draw(QStringLiteral("x\\P\\Ouvw\\P"), &size);
    TCanvas c;
    prepare(c, 24);
    const int top = c.fontCharHeight();
    for (int x = 1; x <= c.textWidth(QStringLiteral("uvw")); ++x) QVERIFY(isBlack(img.pixel(x, top)));
  }

  void decorationsSurviveGrowth() {
    // Long runs on the first line make the surface grow several times under
    // the lines already drawn; none of them may be lost on the way.
    const QString word = QStringLiteral("надчёркнуто ");
    for (int points : {12, 24}) {
      QPoint size;
      const QImage img = draw(QStringLiteral("\\O") + word.repeated(6) + QStringLiteral("\\P\\L") + word.repeated(6) +
                                  QStringLiteral("\\P"),
                              &size, points);
      int missingTop = 0, missingBottom = 0;
      for (int x = 1; x < size.x(); ++x) {
        missingTop += isBlack(img.pixel(x, 0)) ? 0 : 1;
        missingBottom += isBlack(img.pixel(x, size.y() - 1)) ? 0 : 1;
      }
      QCOMPARE(missingTop, 0);
      QCOMPARE(missingBottom, 0);
    }
  }

  void fractionBar() {
    QPoint size;
    const QImage img = draw(QStringLiteral("\\S1/22;"), &size);
    TCanvas c;
    prepare(c, 24);
    const int bar = c.textWidth(QStringLiteral("22"));
    const int half = size.y() / 2;
    for (int x = 0; x < bar; ++x) QVERIFY(isBlack(img.pixel(x, half)));
    QVERIFY(!isBlack(img.pixel(bar, half)));  // end point excluded
    // Digits above and below the bar.
    QVERIFY(countPixels(img, QRect(0, 0, bar, half - 1), isDark) > 5);
    QVERIFY(countPixels(img, QRect(0, half + 1, bar, size.y() - half - 1), isDark) > 5);
    // The tolerance form has no bar.
    QPoint s2;
    const QImage tol = draw(QStringLiteral("\\S1^22;"), &s2);
    int blackRun = 0;
    for (int x = 0; x < bar; ++x) blackRun += isBlack(tol.pixel(x, s2.y() / 2)) ? 1 : 0;
    QVERIFY(blackRun < bar);
  }

  void diagonalStack() {
    QPoint size;
    const QImage img = draw(QStringLiteral("\\S1#2;"), &size);
    const int w = size.x(), L = size.y();
    // From the upper right corner to the lower left corner of the box.
    for (int i = 1; i < 10; ++i) {
      const int y = L * i / 10;
      const int x = w - (w * y) / L;
      bool found = false;
      for (int dx = -1; dx <= 1 && !found; ++dx) found = isBlack(img.pixel(qBound(0, x + dx, w - 1), y));
      QVERIFY2(found, qPrintable(QStringLiteral("no diagonal at %1,%2").arg(x).arg(y)));
    }
    // 1 in the upper left, 2 in the lower right.
    QVERIFY(countPixels(img, QRect(0, 0, w / 2, L / 2), isDark) > 10);
    QVERIFY(countPixels(img, QRect(w / 2, L / 2, w - w / 2, L - L / 2), isDark) > 10);
  }

  void diameterIsAFigure() {
    // Interior in the brush colour shows the ellipse is drawn, not a glyph.
    TCanvas c;
    prepare(c, 24);
    c.setBrushColor(RGBColor(0, 255, 0));
    const QPoint size = render(c, QStringLiteral("x\\P%%c\\P"));
    const QImage img = c.image();
    const int top = size.y() / 2, lh = size.y() - top;
    auto green = [](QRgb p) { return p == qRgb(0, 255, 0); };
    int greens = 0, blacks = 0;
    for (int y = top; y < top + lh; ++y)
      for (int x = 0; x < c.textWidth(QStringLiteral("W")); ++x) {
        greens += green(img.pixel(x, y)) ? 1 : 0;
        blacks += isBlack(img.pixel(x, y)) ? 1 : 0;
      }
    QVERIFY(greens > 10);
    QVERIFY(blacks > 20);
    // The stroke starts at the shrunken box's lower left corner.
    const int H = c.textHeight(QStringLiteral("W"));
    const int s6 = int(std::nearbyint(H / 6.0));
    const int boxBottom = top + lh - H + H - s6;
    QVERIFY(isBlack(img.pixel(0, boxBottom - 1)));
  }

  void plusMinusAndDegree() {
    TCanvas c;
    prepare(c, 24);
    const QPoint size = render(c, QStringLiteral("x\\P%%p\\P"));
    const QImage img = c.image();
    const int top = size.y() / 2, H = c.textHeight(QStringLiteral("W")), W = c.textWidth(QStringLiteral("W"));
    const int boxTop = top + (size.y() - top) - H;
    const int y1 = boxTop + H - int(std::nearbyint(H / 6.0));
    for (int x = 0; x < W - 2; ++x) QVERIFY(isBlack(img.pixel(x, y1)));
    QVERIFY(!isBlack(img.pixel(W - 2, y1)));
    const int xm = (W - 2) / 2;
    QVERIFY(isBlack(img.pixel(xm, boxTop + 1)));
    QPoint s2;
    const QImage deg = draw(QStringLiteral("%%d"), &s2);
    QVERIFY(countPixels(deg, QRect(0, 0, s2.x(), s2.y()), isBlack) > 4);
  }

  void secondLineStartsAtZero() {
    TCanvas c;
    prepare(c, 24, 40, 0);
    const QPoint size = render(c, QStringLiteral("a\\PH\\P"));
    const QImage img = c.image();
    const int lh = size.y() / 2;
    QVERIFY(countPixels(img, QRect(0, lh, 20, lh), isDark) > 10);
    QCOMPARE(countPixels(img, QRect(0, 0, 40, lh - 1), isDark), 0);
  }

  void alignmentInTallLine() {
    // A small character in a line made 3x as high by a later \H: bottom,
    // centre, top placement.
    auto inkRows = [](const QString& t) {
      TCanvas c;
      prepare(c, 12);
      const QPoint size = render(c, t);
      const QImage img = c.image();
      int first = -1, last = -1;
      for (int y = 0; y < size.y(); ++y)
        for (int x = 0; x < 8; ++x)
          if (isDark(img.pixel(x, y))) {
            if (first < 0) first = y;
            last = y;
          }
      return qMakePair(first, last);
    };
    const auto bottom = inkRows(QStringLiteral("I{\\H3x; }"));
    const auto centre = inkRows(QStringLiteral("\\A1;I{\\H3x; }"));
    const auto top = inkRows(QStringLiteral("\\A2;I{\\H3x; }"));
    QVERIFY(top.first >= 0 && top.first < 8);
    QVERIFY(bottom.second > 36);
    QVERIFY(centre.first > top.first + 8 && centre.second < bottom.second - 8);
    // 257 keeps its low byte: centre.
    QCOMPARE(inkRows(QStringLiteral("\\A257;I{\\H3x; }")), centre);
  }

  void surfaceCapKeepsFullSize() {
    // 3000 lines of 16 px need 48000 px, more than the surface may have.
    QString text;
    for (int i = 0; i < 3000; ++i) text += QStringLiteral("строка %1\\P").arg(i);
    TCanvas c;
    prepare(c, 12);
    const QPoint size = render(c, text);
    QCOMPARE(size.y(), 3000 * 16);
    QVERIFY(c.truncated());
    QCOMPARE(c.height(), TCanvas::MaxHeight);
    QVERIFY(qint64(c.width()) * c.height() <= TCanvas::MaxPixels);
    // What fits is drawn: the first line has ink.
    QVERIFY(countPixels(c.image(), QRect(0, 0, size.x(), 16), isDark) > 10);
  }

  void megabyteTextFinishes() {
    // A huge single line: the width is capped, the returned width is not.
    QString text;
    text.reserve(1 << 20);
    while (text.size() < (1 << 20)) text += QStringLiteral("abc{\\C1;\\H1.5x;d}\\S1/2;%%c ");
    TCanvas c;
    prepare(c, 12);
    const QPoint size = render(c, text);
    QVERIFY(size.x() > TCanvas::MaxWidth * 10);
    QVERIFY(c.truncated());
    QCOMPARE(c.width(), TCanvas::MaxWidth);
  }
};

KORVEX_TEST(TestMTextPixels)
#include "test_pixels.moc"
