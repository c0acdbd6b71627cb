// A canvas that keeps only a band of the picture: the band's pixels are the
// full render's, the size is the full size, and the scan stays linear.
#include <QtTest>

#include "TestMain.h"

#include "RenderHelpers.h"

using namespace mtexttest;

class TestMTextBand : public QObject {
  Q_OBJECT

  static QImage full(const QString& text, QPoint& size) {
    TCanvas c;
    prepare(c, 14);
    size = render(c, text);
    c.setSize(size.x() + 1, size.y() + 1);
    return c.image().copy();
  }

  // The band's pixels inside the picture, compared with the full render's.
  static void compareBand(TCanvas& c, const QString& text, const QRect& band) {
    QPoint fullSize;
    const QImage whole = full(text, fullSize);
    c.setWindow(band);
    prepare(c, 14);
    const QPoint size = render(c, text);
    c.setSize(size.x() + 1, size.y() + 1);
    QCOMPARE(size, fullSize);
    QCOMPARE(c.window(), band);
    const QImage& kept = c.image();
    const QRect shared = band & whole.rect();
    for (int y = shared.top(); y <= shared.bottom(); ++y)
      for (int x = shared.left(); x <= shared.right(); ++x)
        if (kept.pixel(x - band.x(), y - band.y()) != whole.pixel(x, y))
          QFAIL(qPrintable(QStringLiteral("band %1,%2 %3x%4 differs at %5,%6")
                               .arg(band.x())
                               .arg(band.y())
                               .arg(band.width())
                               .arg(band.height())
                               .arg(x)
                               .arg(y)));
  }

 private slots:
  void initTestCase() { SetScreenDpiY(96); }

  void bandPixelsEqualFullRender_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("words and colours") << QStringLiteral(
        "Отверстие {\\C1;красный} резьба\\P{\\H1.5x;крупно} size {\\C5;\\A2;top} фаска\\Pещё строка\\P");
    QTest::newRow("stacks and lines") << QStringLiteral(
        "\\L Ø20\\S+0.1^-0.2; \\l\\O\\S1/2; над\\o \\S3#4; x\\P%%c20 45%%d %%p0.5\\P\\A1;{\\H2x;mid} и\\P");
    QTest::newRow("diagonals cut by the band") << QStringLiteral("\\S1;\\S3#4;\\S;\\Sabc\\P{\\H3x;\\S12#345;%%c}\\P");
    QTest::newRow("glyphs too big for masks") << QStringLiteral("a{\\H12x;Жy}b\\P{\\W2;ширина}\\P");
    QTest::newRow("many lines") << QString(QStringLiteral("строка {\\C3;цвет} \\S1/3; конец\\P")).repeated(60);
  }

  void bandPixelsEqualFullRender() {
    QFETCH(QString, text);
    QPoint size;
    const QImage whole = full(text, size);
    TCanvas c;  // one canvas for every band: its memory is reused
    // Edges through glyphs, stacks and lines; a band past the picture's end;
    // a band wider than the picture.
    for (const QRect& band : {QRect(0, 0, 50, 13), QRect(7, 9, 61, 23), QRect(3, size.y() / 2 - 5, 90, 17),
                              QRect(size.x() / 3, 1, 40, size.y()), QRect(0, size.y() - 8, whole.width() + 40, 30),
                              QRect(0, 0, whole.width(), whole.height())})
      compareBand(c, text, band);
  }

  void emptyBandOnlyMeasures() {
    const QString text = QString(QStringLiteral("{\\H3x;строка} \\S1/2;\\P")).repeated(500);
    QPoint fullSize;
    full(text, fullSize);
    TCanvas c;
    c.setWindow(QRect());
    prepare(c, 14);
    QCOMPARE(render(c, text), fullSize);
    QVERIFY(c.image().isNull());
    QVERIFY(!c.truncated());
  }

  void surfaceTallerThanAnyImage() {
    // 4000 lines are far taller than one image may be; the last line's band
    // still holds its ink, and nothing is cut off.
    QString text;
    for (int i = 0; i < 4000; ++i) text += QStringLiteral("строка %1\\P").arg(i);
    TCanvas c;
    c.setWindow(QRect(0, 3999 * 16, 200, 16));
    prepare(c, 12);
    const QPoint size = render(c, text);
    QCOMPARE(size.y(), 4000 * 16);
    QVERIFY(c.height() > 4000 * 16);
    QVERIFY(!c.truncated());
    QVERIFY(countPixels(c.image(), QRect(0, 0, 200, 16), isDark) > 10);
  }

  void codesWithoutTerminatorStayLinear() {
    // Each of these used to search and copy the rest of the text for every
    // code: minutes for a megabyte.  Now one pass; the values read are the
    // ones a terminated code gives.
    for (const char* unit : {"\\C1", "\\H2", "\\W0.5", "\\S", "\\C"}) {
      QString text;
      text.reserve(1 << 20);
      while (text.size() < (1 << 20)) text += QLatin1String(unit);
      TCanvas c;
      c.setWindow(QRect());
      prepare(c, 12);
      render(c, text);
    }
    QCOMPARE(sizeOf(QStringLiteral("\\W 0,5 ;abc")), sizeOf(QStringLiteral("\\W0.5;abc")));
    QCOMPARE(sizeOf(QStringLiteral("\\H 2 x;abc")), sizeOf(QStringLiteral("\\H2x;abc")));
    // A value with anything else in it is not read: the code is skipped alone.
    QCOMPARE(sizeOf(QStringLiteral("\\W0.5x;abc")).x(), sizeOf(QStringLiteral("0.5x;abc")).x());
  }
};

KORVEX_TEST(TestMTextBand)
#include "test_band.moc"
