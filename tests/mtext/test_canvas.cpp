// The canvas: resizing with content kept, the caps, one-pixel lines, fonts.
#include <QtTest>

#include <cmath>

#include "TestMain.h"

#include "mtext/zorAcCanvas.h"

class TestCanvas : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() { SetScreenDpiY(96); }

  void resizeKeepsDrawing() {
    TCanvas c;
    c.setBrushColor(RGBColor(255, 255, 255));
    c.setSize(10, 10);
    c.fill();
    c.setPenColor(RGBColor(255, 0, 0));
    c.moveTo(0, 5);
    c.lineTo(10, 5);
    c.setBrushColor(RGBColor(0, 0, 255));
    c.setSize(20, 30);
    const QImage& img = c.image();
    QCOMPARE(img.size(), QSize(20, 30));
    QCOMPARE(img.pixel(9, 5), qRgb(255, 0, 0));
    QCOMPARE(img.pixel(0, 0), qRgb(255, 255, 255));
    QCOMPARE(img.pixel(15, 5), qRgb(0, 0, 255));
    QCOMPARE(img.pixel(5, 25), qRgb(0, 0, 255));
    // Painting continues after a resize and after image().
    c.moveTo(0, 20);
    c.lineTo(20, 20);
    QCOMPARE(c.image().pixel(19, 20), qRgb(255, 0, 0));
    c.setSize(5, 5);
    QCOMPARE(c.image().pixel(0, 0), qRgb(255, 255, 255));
    QVERIFY(!c.truncated());
  }

  void copiesAreNotChangedByLaterDrawing() {
    // The surface reuses its pixel memory; a picture handed out must not change.
    TCanvas c;
    c.setBrushColor(RGBColor(255, 255, 255));
    c.setSize(40, 40);
    c.fill();
    c.setFontColor(RGBColor(0, 0, 0));
    c.createFont(QStringLiteral("Liberation Sans"), 20, 0, 0, 400, false, false, false);
    c.drawChar(0, 0, QChar(u'H'));
    const QImage kept = c.image();
    const QImage snapshot = kept.copy();
    c.setBrushColor(RGBColor(0, 0, 255));
    c.setSize(16, 16);
    c.setSize(200, 300);
    c.fill();
    c.drawChar(0, 0, QChar(u'W'));
    c.moveTo(0, 10);
    c.lineTo(30, 10);
    QCOMPARE(kept, snapshot);
    // And the surface itself is what was asked: blue everywhere but the ink.
    const QImage& now = c.image();
    QCOMPARE(now.pixel(199, 299), qRgb(0, 0, 255));
    QCOMPARE(now.pixel(150, 5), qRgb(0, 0, 255));
    QCOMPARE(now.pixel(29, 10), qRgb(0, 0, 0));
    // No resize in between: the next glyph must still not reach a copy taken before it.
    const QImage kept2 = now;
    const QImage snapshot2 = kept2.copy();
    c.drawChar(60, 40, QChar(u'Ж'));
    QCOMPARE(kept2, snapshot2);
    QVERIFY(c.image() != snapshot2);
  }

  void clippedGlyphsMatchTheirVisiblePart() {
    // A glyph hanging over any edge draws exactly the part a whole one has there.
    auto draw = [](int w, int h, int x, int y) {
      TCanvas c;
      c.setBrushColor(RGBColor(255, 255, 255));
      c.setSize(w, h);
      c.fill();
      c.setFontColor(RGBColor(0, 0, 160));
      c.createFont(QStringLiteral("Liberation Sans"), 24, 0, 0, 400, false, false, false);
      c.drawChar(x, y, QChar(u'Ф'));
      return c.image().copy();
    };
    const QImage whole = draw(80, 80, 20, 20);
    int inked = 0;
    for (int y = 0; y < 80; ++y)
      for (int x = 0; x < 80; ++x) inked += whole.pixel(x, y) != qRgb(255, 255, 255);
    QVERIFY(inked > 20);
    // Left and top edges cut through the glyph.
    const QImage leftTop = draw(80, 80, 20 - 28, 20 - 30);
    QCOMPARE(leftTop.copy(0, 0, 52, 50), whole.copy(28, 30, 52, 50));
    // Right and bottom edges: a surface too small for the whole glyph.
    const QImage rightBottom = draw(30, 32, 20, 20);
    QCOMPARE(rightBottom.copy(20, 20, 10, 12), whole.copy(20, 20, 10, 12));
    // Entirely outside: nothing, no crash.
    const QImage outside = draw(10, 10, -200, 500);
    QCOMPARE(outside.pixel(5, 5), qRgb(255, 255, 255));
  }

  void growthFillsEveryNewRow() {
    // Grown areas take the brush of the moment they were added, even when the
    // brush changes before anything is drawn there.
    TCanvas c;
    c.setBrushColor(RGBColor(255, 0, 0));
    c.setSize(8, 8);
    c.fill();
    c.setBrushColor(RGBColor(0, 255, 0));
    c.setSize(8, 20);
    c.setBrushColor(RGBColor(0, 0, 255));
    c.setSize(12, 30);
    const QImage& img = c.image();
    QCOMPARE(img.pixel(0, 7), qRgb(255, 0, 0));
    QCOMPARE(img.pixel(0, 19), qRgb(0, 255, 0));
    QCOMPARE(img.pixel(0, 29), qRgb(0, 0, 255));
    QCOMPARE(img.pixel(11, 0), qRgb(0, 0, 255));
  }

  void capsAndEmptySurface() {
    TCanvas c;
    c.setSize(TCanvas::MaxWidth + 1, 10);
    QCOMPARE(c.width(), TCanvas::MaxWidth);
    QVERIFY(c.truncated());
    c.resetTruncated();
    c.setSize(10, 1 << 30);
    QCOMPARE(c.height(), TCanvas::MaxHeight);
    QVERIFY(c.truncated());
    c.resetTruncated();
    c.setSize(TCanvas::MaxWidth, TCanvas::MaxHeight);
    QVERIFY(c.truncated());
    QVERIFY(qint64(c.width()) * c.height() <= TCanvas::MaxPixels);
    c.setSize(-5, 0);
    QCOMPARE(c.width(), 0);
    // Drawing on no surface, or outside it, is dropped without harm.
    c.moveTo(-100, -100);
    c.lineTo(100, 100);
    c.drawChar(5, 5, QChar(u'A'));
    c.ellipse(QRect(0, 0, 10, 10));
    QVERIFY(c.image().isNull());
    c.setSize(4, 4);
    c.moveTo(-1000000, 2);
    c.lineTo(1000000, 2);
    c.drawChar(1000000, 1000000, QChar(u'A'));
    QCOMPARE(c.image().pixel(3, 2), qRgb(0, 0, 0));
  }

  void linesExcludeTheirEnd() {
    TCanvas c;
    c.setBrushColor(RGBColor(255, 255, 255));
    c.setSize(20, 20);
    c.fill();
    c.setPenColor(RGBColor(0, 0, 0));
    const QPoint ends[][2] = {{{2, 2}, {10, 2}}, {{10, 4}, {2, 4}}, {{15, 2}, {15, 10}}, {{2, 18}, {12, 8}}};
    for (const auto& e : ends) {
      c.moveTo(e[0].x(), e[0].y());
      c.lineTo(e[1].x(), e[1].y());
      QCOMPARE(c.penPos(), e[1]);
    }
    const QImage& img = c.image();
    QCOMPARE(img.pixel(2, 2), qRgb(0, 0, 0));
    QCOMPARE(img.pixel(9, 2), qRgb(0, 0, 0));
    QCOMPARE(img.pixel(10, 2), qRgb(255, 255, 255));
    QCOMPARE(img.pixel(10, 4), qRgb(0, 0, 0));
    QCOMPARE(img.pixel(2, 4), qRgb(255, 255, 255));
    QCOMPARE(img.pixel(15, 9), qRgb(0, 0, 0));
    QCOMPARE(img.pixel(15, 10), qRgb(255, 255, 255));
    QCOMPARE(img.pixel(2, 18), qRgb(0, 0, 0));
    QCOMPARE(img.pixel(7, 13), qRgb(0, 0, 0));
    QCOMPARE(img.pixel(12, 8), qRgb(255, 255, 255));
  }

  void fontsAndWidthFactor() {
    TCanvas c;
    c.setFont(QStringLiteral("DejaVu Sans"), 12, fsBold | fsUnderline, RGBColor(1, 2, 3));
    QCOMPARE(c.fontName(), QStringLiteral("DejaVu Sans"));
    QCOMPARE(c.fontCharHeight(), 16);
    QCOMPARE(c.fontStyle(), TFontStyles(fsBold | fsUnderline));
    QCOMPARE(c.fontColor(), RGBColor(1, 2, 3));
    c.setFontCharHeight(32);
    QCOMPARE(c.fontName(), QStringLiteral("DejaVu Sans"));
    QCOMPARE(c.fontStyle(), TFontStyles(fsBold | fsUnderline));
    QVERIFY(c.ascent() + c.descent() > 32);
    // The width factor widens the glyphs themselves, not only the advance.
    auto ink = [](int width) {
      TCanvas k;
      k.setBrushColor(RGBColor(255, 255, 255));
      k.setSize(200, 60);
      k.fill();
      k.createFont(QStringLiteral("Liberation Sans"), 40, width, 0, 400, false, false, false);
      k.setFontColor(0);
      k.drawChar(0, 0, QChar(u'H'));
      const QImage& img = k.image();
      int l = 1000, r = -1;
      for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
          if (qGray(img.pixel(x, y)) < 128) {
            l = qMin(l, x);
            r = qMax(r, x);
          }
      return r - l;
    };
    TCanvas k;
    k.createFont(QStringLiteral("Liberation Sans"), 40, 0, 0, 400, false, false, false);
    const int natural = ink(0);
    const int wide = ink(k.averageCharWidth() * 2);
    QVERIFY2(wide > natural * 17 / 10, qPrintable(QStringLiteral("%1 %2").arg(natural).arg(wide)));
    // Text width is the sum of the single advances.
    QCOMPARE(k.textWidth(QStringLiteral("AVAV")), 2 * (k.charWidth(u'A') + k.charWidth(u'V')));
  }

  // Fonts of one family at other sizes are measured without loading each
  // one; what they give must be Qt's own metrics of the font, character by
  // character, for every script and for characters taken from fallback fonts.
  void metricsEqualTheFontsOwn() {
    const QString text = QString::fromUtf8("AVWjgf1.Жжщё Ωβ⌀°±€№—漢ش✓é\u0301");
    const QString faces[] = {QString(), QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Serif")};
    for (const QString& face : faces)
      for (const int style : {0, 1, 2, 3}) {
        TCanvas c;
        const int weight = style & 1 ? 700 : 400;
        for (const int px : {16, 7, 13, 37, 120, 401})
          for (const double stretch : {0.0, 0.8, 1.3}) {
            QFont f(face.isEmpty() ? QGuiApplication::font().family() : face);
            f.setPixelSize(px);
            f.setWeight(style & 1 ? QFont::Bold : QFont::Normal);
            f.setItalic(style & 2);
            f.setKerning(false);
            f.setHintingPreference(QFont::PreferNoHinting);
            const int natural = QFontMetrics(f).averageCharWidth();
            const int width = int(std::lround(natural * stretch));
            if (width > 0) f.setStretch(int(std::lround(100.0 * width / natural)));
            c.createFont(face, px, width, 0, weight, style & 2, false, false);
            const QFontMetrics fm(f);
            const QString at = QStringLiteral("%1 %2 px %3 width %4").arg(face).arg(style).arg(px).arg(width);
            QVERIFY2(c.ascent() == fm.ascent() && c.descent() == fm.descent(), qPrintable(at));
            QVERIFY2(c.averageCharWidth() == fm.averageCharWidth(), qPrintable(at));
            for (const QChar ch : text)
              QVERIFY2(c.charWidth(ch) == fm.horizontalAdvance(ch), qPrintable(at + QStringLiteral(" ") + ch));
          }
      }
  }
};

KORVEX_TEST(TestCanvas)
#include "test_canvas.moc"
