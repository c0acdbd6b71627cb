// The layout kept between renders: after an edit, the band it draws is the
// whole render's, and it measures again only the lines the edit reaches.
#include <QtTest>

#include "TestMain.h"

#include "RenderHelpers.h"
#include "mtext/MTextLayout.h"

using namespace mtexttest;

class TestMTextKeptLayout : public QObject {
  Q_OBJECT

  // Renders through the layout (onto the canvas holding its last picture) and
  // whole into the same band; the two must agree.
  static void renderBoth(TMTextLayout& layout, TCanvas& kept, const QString& text, const QRect& band) {
    TCanvas whole;
    QPoint keptSize, wholeSize;
    kept.setWindow(band);
    // As prepare() without the fill: the band keeps the layout's last picture.
    kept.setSize(16, 16);
    kept.setFont(faceName(), 12, 0, RGBColor(0, 0, 0));
    kept.setPenColor(RGBColor(0, 0, 0));
    kept.setBrushColor(RGBColor(255, 255, 255));
    kept.moveTo(0, 0);
    layout.render(kept, text, keptSize, [&kept](int v, TResizeType t) { return grow(kept, v, t); });
    whole.setWindow(band);
    prepare(whole);
    wholeSize = render(whole, text);
    QCOMPARE(keptSize, wholeSize);
    QVERIFY(kept.image() == whole.image());
  }

 private slots:
  void initTestCase() { SetScreenDpiY(96); }

  // An open brace with a height in the second line changes every line after
  // it; a letter typed in a line leaves the lines after it as they were.
  void stateCarriedAcrossLines() {
    QString text = QStringLiteral("\\pxqc;");
    for (int i = 0; i < 200; ++i) text += QStringLiteral("строка %1 \\S1/2; {\\C1;кр}\\P").arg(i);
    TMTextLayout layout;
    TCanvas kept;
    const QRect band(0, 40 * 16, 300, 200);
    renderBoth(layout, kept, text, band);
    QCOMPARE(layout.measuredLines(), 201);

    const qsizetype second = text.indexOf(QStringLiteral("\\P")) + 2;
    text.insert(second, QStringLiteral("{\\H2x;"));
    renderBoth(layout, kept, text, band);
    QCOMPARE(layout.measuredLines(), 200);  // every line from the second on

    text.insert(second + 6, QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW"));  // the widest line now
    renderBoth(layout, kept, text, band);
    QCOMPARE(layout.measuredLines(), 1);

    text.insert(text.indexOf(QStringLiteral("\\P"), second), QLatin1Char('}'));
    renderBoth(layout, kept, text, band);
    QCOMPARE(layout.measuredLines(), 200);
    QCOMPARE(layout.lineCount(), 201);
  }
};

KORVEX_TEST(TestMTextKeptLayout)
#include "test_keptlayout.moc"
