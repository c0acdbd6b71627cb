#include <QApplication>
#include <QPainter>
#include <QTest>

#include "MenuTestUtil.h"
#include "TestMain.h"
#include "menus/MenuXML.h"
#include "menus/zorAcMtextMenus.h"

using namespace menutest;

namespace {
QString mtextItem(const QString& caption, const QString& argument, const QString& children = QString()) {
  return item(caption, 27, argument, children, QStringLiteral("MTEXT=\"1\""));
}

// What the renderer gives for a text in the drawer's current font.
QPoint rendered(TAcMtextMenu& drawer, const QString& mtext) {
  TCanvas c;
  c.setSize(1, 1);
  const QFont& f = drawer.Font();
  TFontStyles st = 0;
  if (f.bold()) st |= fsBold;
  if (f.italic()) st |= fsItalic;
  c.setFont(f.family(), qRound(f.pointSizeF()), st, drawer.FontColor());
  c.setPenColor(drawer.FontColor());
  c.moveTo(0, 0);
  QPoint size;
  RenderMText(c, mtext, size, [&c](int v, TResizeType t) {
    if (t == rtWidth && c.width() < v) c.setSize(v + c.width() + 1, c.height());
    if (t == rtHeight && c.height() < v) c.setSize(c.width(), v + c.height() + 1);
    return true;
  });
  return size;
}

// Glyph pixels are antialiased: text colours are matched within a tolerance,
// fills exactly (tolerance 0).
bool contains(const QImage& img, const QRect& r, const QColor& colour, int tolerance = 0) {
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) {
      const QColor c = img.pixelColor(x, y);
      if (qAbs(c.red() - colour.red()) <= tolerance && qAbs(c.green() - colour.green()) <= tolerance &&
          qAbs(c.blue() - colour.blue()) <= tolerance)
        return true;
    }
  return false;
}

TXmlMenuItem* firstItem(QWidget* menu) {
  for (QAction* a : menu->actions())
    if (auto* i = qobject_cast<TXmlMenuItem*>(a)) return i;
  return nullptr;
}
}  // namespace

class TestMtextMenus : public QObject {
  Q_OBJECT
  QTemporaryDir FDir;

  QString file(const QString& body, const QString& name) { return writeFile(FDir, name, document(body)); }

 private slots:
  void drawerStartsFromTheSystemMenuFont() {
    Form f;
    TAcMtextMenu drawer(f.window.menuBar());
    QCOMPARE(TAcMtextMenu::of(f.window.menuBar()), &drawer);
    QCOMPARE(drawer.Font(), QApplication::font("QMenu"));
    QCOMPARE(drawer.FontColor(), clMenuText);
    QCOMPARE(drawer.MaxWidth(), 0);
    QCOMPARE(drawer.MaxHeight(), 0);
    drawer.SetMtextMenuFont(QStringLiteral("DejaVu Sans"), 14, RGBColor(255, 0, 0), fsBold | fsItalic);
    QCOMPARE(drawer.Font().family(), QStringLiteral("DejaVu Sans"));
    QCOMPARE(drawer.Font().pointSize(), 14);
    QVERIFY(drawer.Font().bold() && drawer.Font().italic() && !drawer.Font().underline());
    QCOMPARE(drawer.FontColor(), RGBColor(255, 0, 0));
    drawer.ResetMtextMenuFont();
    QCOMPARE(drawer.Font(), QApplication::font("QMenu"));
    QCOMPARE(drawer.FontColor(), clMenuText);
  }

  void drawerIsForgottenWhenDestroyed() {
    Form f;
    { TAcMtextMenu drawer(f.window.menuBar()); }
    QVERIFY(!TAcMtextMenu::of(f.window.menuBar()));
  }

  void adjustBitmapSizeGrowsByValuePlusOldSize() {
    Form f;
    TAcMtextMenu drawer(f.window.menuBar());
    // From an empty bitmap, one side at a time: the first side is kept.
    QVERIFY(drawer.AdjustBitmapSize(25, rtWidth));
    QVERIFY(drawer.AdjustBitmapSize(7, rtHeight));
    QVERIFY(drawer.Bitmap().width() >= 26);
    QVERIFY(drawer.Bitmap().height() >= 8);
    drawer.Bitmap().setSize(10, 4);
    QVERIFY(drawer.AdjustBitmapSize(25, rtWidth));
    QCOMPARE(drawer.Bitmap().width(), 36);
    QCOMPARE(drawer.Bitmap().height(), 4);
    QVERIFY(!drawer.AdjustBitmapSize(35, rtWidth));
    // An edge on the last column still grows: that column is drawn on.
    QVERIFY(drawer.AdjustBitmapSize(36, rtWidth));
    QCOMPARE(drawer.Bitmap().width(), 36 + 36 + 1);
    QVERIFY(drawer.AdjustBitmapSize(5, rtHeight));
    QCOMPARE(drawer.Bitmap().height(), 10);
    QVERIFY(!drawer.AdjustBitmapSize(3, rtHeight));
    QVERIFY(!drawer.AdjustBitmapSize(10, rtHeight));
    QCOMPARE(drawer.Bitmap().width(), 73);
  }

  // Only MText items below the bar count, depth first through submenus;
  // bar entries and popups do not.
  void calcMaxSizeMeasuresMtextBelowTheBar() {
    const QString wide = QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWW");
    const QString path = file(
        QStringLiteral("<MAINMENU>%1%2</MAINMENU><POPUPMENU>%3</POPUPMENU>")
            .arg(mtextItem("bar", wide, mtextItem("%%c", "%%c~") + item("plain", 27, wide)),
                 item("Вставка", 0, {},
                      item("Дроби", 0, {}, mtextItem("1/2", "{\\H2x;\\S1/2;}~"))),
                 item("MAIN", 0, {}, mtextItem("wide", wide + wide))),
        "calc.xml");
    Form f;
    TAcMtextMenu drawer(f.window.menuBar());
    TXmlToMenu loader(&f.window, nullptr, f.toolBar, {});
    QVERIFY(loader.MenuLoad(path));  // re-measures at the end
    const QPoint a = rendered(drawer, QStringLiteral("%%c"));
    const QPoint b = rendered(drawer, QStringLiteral("{\\H2x;\\S1/2;}"));
    QVERIFY(b.y() > a.y());
    QCOMPARE(drawer.MaxWidth(), qMax(a.x(), b.x()) + 2);
    QCOMPARE(drawer.MaxHeight(), qMax(a.y(), b.y()));
    QVERIFY(drawer.MaxWidth() < rendered(drawer, wide).x());

    // An empty main menu leaves the maxima as they were.
    const int w = drawer.MaxWidth(), h = drawer.MaxHeight();
    for (QAction* top : f.window.menuBar()->actions()) f.window.menuBar()->removeAction(top);
    drawer.CalcMaxSize();
    QCOMPARE(drawer.MaxWidth(), w);
    QCOMPARE(drawer.MaxHeight(), h);
  }

  void calcMaxSizeWithoutMtextItems() {
    const QString path = file(QStringLiteral("<MAINMENU>%1</MAINMENU>")
                                  .arg(mtextItem("bar", "%%c", item("a", 27, "%%c~"))),
                              "plain.xml");
    Form f;
    TAcMtextMenu drawer(f.window.menuBar());
    drawer.CalcMaxSize();  // nothing on the bar yet
    QCOMPARE(drawer.MaxWidth(), 0);
    TXmlToMenu loader(&f.window, nullptr, f.toolBar, {});
    QVERIFY(loader.MenuLoad(path));
    QCOMPARE(drawer.MaxWidth(), 2);
    QCOMPARE(drawer.MaxHeight(), 0);
  }

  void failedLoadSkipsMeasuring() {
    const QString path = writeFile(FDir, "broken.xml",
                                   QStringLiteral("<ROOT><MAINMENU>%1<ITEM").arg(item("A", 0, {}, mtextItem("x", "%%c"))));
    Form f;
    TAcMtextMenu drawer(f.window.menuBar());
    TXmlToMenu loader(&f.window, nullptr, f.toolBar, {});
    QVERIFY(!loader.MenuLoad(path));
    QCOMPARE(drawer.MaxWidth(), 0);
    drawer.CalcMaxSize();
    QVERIFY(drawer.MaxWidth() > 2);  // the item itself was built
  }

  void captionColoursFollowTheSelection() {
    Form f;
    TAcMtextMenu drawer(f.window.menuBar());
    const TColor red = RGBColor(255, 0, 0);
    drawer.SetMtextMenuFont(QStringLiteral("DejaVu Sans"), 16, red, 0);
    const QString text = QStringLiteral("WW");
    const QPoint expected = rendered(drawer, text);

    const QSize normal = drawer.renderCaption(text, false);
    QCOMPARE(normal, QSize(expected.x(), expected.y()));
    QCOMPARE(drawer.captionSize(text), QSize(expected.x(), expected.y() + 2));
    QImage img = drawer.Bitmap().image().copy();
    QCOMPARE(img.size(), normal);
    // An empty text is one line high and 0 wide.
    QCOMPARE(drawer.captionSize(QString()).width(), 0);
    QVERIFY(drawer.captionSize(QString()).height() > 2);
    const QRect all(QPoint(0, 0), normal);
    QVERIFY(contains(img, all, ColorToQColor(clMenu)));
    QVERIFY(contains(img, all, QColor(255, 0, 0), 40));
    QVERIFY(!contains(img, all, ColorToQColor(clHighlight)));

    drawer.renderCaption(text, true);
    img = drawer.Bitmap().image().copy();
    QVERIFY(contains(img, all, ColorToQColor(clHighlight)));
    QVERIFY(contains(img, all, ColorToQColor(clHighlightText), 16));
    QVERIFY(!contains(img, all, QColor(255, 0, 0), 40));
  }

  // Captions made smaller than the menu font start from a larger height, so
  // the smallest text comes out at the font's size and proportions stay;
  // groups end their factors, and the raise stops at twice the font.
  void smallCaptionsStartLarger() {
    Form f;
    TAcMtextMenu drawer(f.window.menuBar());
    drawer.SetMtextMenuFont(QStringLiteral("DejaVu Sans"), 12, RGBColor(255, 0, 0), 0);
    auto inkHeight = [&](const QString& mtext, int from = 0, int to = -1) {
      drawer.renderCaption(mtext, false);
      const QImage img = drawer.Bitmap().image().copy();
      int top = img.height(), bottom = -1;
      for (int y = 0; y < img.height(); ++y)
        for (int x = from; x < (to < 0 ? img.width() : to); ++x)
          if (qRed(img.pixel(x, y)) > 160 && qGreen(img.pixel(x, y)) < 110) {
            top = qMin(top, y);
            bottom = qMax(bottom, y);
          }
      return bottom - top + 1;
    };
    const int plain = inkHeight(QStringLiteral("H"));
    QVERIFY(plain > 6);
    QVERIFY(qAbs(inkHeight(QStringLiteral("{\\H0.5x;H}")) - plain) <= 1);
    QVERIFY(qAbs(inkHeight(QStringLiteral("{\\H0.5x;H}{\\H0.5x;H}")) - plain) <= 1);
    QVERIFY(qAbs(inkHeight(QStringLiteral("{\\H0.8x;{\\H0.8x;H}}")) - plain) <= 1);
    QVERIFY(inkHeight(QStringLiteral("{\\H0.1x;H}")) < plain);
    // An absolute height is not raised: its size does not depend on the start.
    QCOMPARE(inkHeight(QStringLiteral("\\H0.5x;\\H2;H")), inkHeight(QStringLiteral("\\H2;H")));
    // The larger letter keeps twice the height of the smaller one.
    const int halfWidth = drawer.renderCaption(QStringLiteral("H"), false).width() * 2;
    QVERIFY(qAbs(inkHeight(QStringLiteral("H{\\H0.5x;H}"), 0, halfWidth) - 2 * plain) <= 2);
  }

  // The item is as tall as its picture needs, and a font change makes the
  // menus measure their items again.
  void itemsAreRemeasuredAfterAFontChange() {
    const QString path = file(QStringLiteral("<MAINMENU>%1</MAINMENU>")
                                  .arg(item("Вставка", 0, {}, item("Обычный", 27) + mtextItem("M", "%%c~"))),
                              "sizes.xml");
    Form f;
    TAcMtextMenu drawer(f.window.menuBar());
    TXmlToMenu loader(&f.window, nullptr, f.toolBar, {});
    QVERIFY(loader.MenuLoad(path));
    TXmlMenu* menu = firstItem(f.window.menuBar())->subMenu();
    const QList<QAction*> actions = menu->actions();
    QAction* plain = actions[0];
    QAction* mtext = actions[1];

    drawer.SetMtextMenuFont(QStringLiteral("DejaVu Sans"), 6, clMenuText, 0);
    menu->adjustSize();
    const int standard = menu->actionGeometry(plain).height();
    const int small = menu->actionGeometry(mtext).height();
    QCOMPARE(small, standard);

    drawer.SetMtextMenuFont(QStringLiteral("DejaVu Sans"), 40, clMenuText, 0);
    menu->adjustSize();
    const int large = menu->actionGeometry(mtext).height();
    QVERIFY2(large > standard, qPrintable(QStringLiteral("%1 vs %2").arg(large).arg(standard)));
    QCOMPARE(large, qMax(standard, drawer.captionSize(QStringLiteral("%%c")).height()));
    QVERIFY(menu->actionGeometry(mtext).width() >= drawer.captionSize(QStringLiteral("%%c")).width());

    drawer.ResetMtextMenuFont();
    menu->adjustSize();
    QVERIFY(menu->actionGeometry(mtext).height() < large);
  }

  // The menu shows the rendered picture, not the caption text.
  void menuPaintsTheRenderedCaption() {
    const QString path = file(QStringLiteral("<MAINMENU>%1</MAINMENU>")
                                  .arg(item("Вставка", 0, {},
                                            mtextItem("caption", "WW~") + item("plain", 27))),
                              "paint.xml");
    Form f;
    TAcMtextMenu drawer(f.window.menuBar());
    TXmlToMenu loader(&f.window, nullptr, f.toolBar, {});
    QVERIFY(loader.MenuLoad(path));
    drawer.SetMtextMenuFont(QStringLiteral("DejaVu Sans"), 14, RGBColor(0, 160, 0), 0);
    TXmlMenu* menu = firstItem(f.window.menuBar())->subMenu();
    menu->adjustSize();
    const QImage shot = menu->grab().toImage();
    QAction* mtext = menu->actions()[0];
    QAction* plain = menu->actions()[1];
    const qreal dpr = shot.devicePixelRatio();
    auto scaled = [dpr](const QRect& r) {
      return QRect(qRound(r.x() * dpr), qRound(r.y() * dpr), qRound(r.width() * dpr), qRound(r.height() * dpr));
    };
    QVERIFY(contains(shot, scaled(menu->actionGeometry(mtext)), QColor(0, 160, 0), 40));
    QVERIFY(!contains(shot, scaled(menu->actionGeometry(plain)), QColor(0, 160, 0), 40));
    // The picture sits on the colour the style gives the item: apart from the
    // green ink, the item shows one shade only (the menu's frame runs along
    // the item's outer edges and is left out).
    const QRect item = scaled(menu->actionGeometry(mtext)).adjusted(2, 2, -2, -2);
    const QRgb back = shot.pixel(item.right() - 2, item.center().y());
    int foreign = 0;
    for (int y = item.top(); y <= item.bottom(); ++y)
      for (int x = item.left(); x <= item.right(); ++x) {
        const QRgb p = shot.pixel(x, y);
        if (qRed(p) == qGreen(p) && qGreen(p) == qBlue(p) && p != back) ++foreign;
      }
    QCOMPARE(foreign, 0);

    // The picture starts where the style starts the captions of the others
    // ("plain" and "WW" both open with a straight stem).
    auto inkLeft = [&](const QRect& r, auto isInk) {
      for (int x = r.left(); x <= r.right(); ++x)
        for (int y = r.top(); y <= r.bottom(); ++y)
          if (isInk(QColor(shot.pixel(x, y)))) return x;
      return -1;
    };
    const int picture = inkLeft(item, [](const QColor& c) { return c.green() > 120 && c.red() < 80; });
    const int caption = inkLeft(scaled(menu->actionGeometry(plain)).adjusted(2, 2, -2, -2),
                                [](const QColor& c) { return c.lightness() < 110; });
    QVERIFY2(picture >= 0 && caption >= 0 && qAbs(picture - caption) <= qRound(2 * dpr),
             qPrintable(QStringLiteral("picture at %1, caption at %2").arg(picture).arg(caption)));
  }
};

KORVEX_TEST(TestMtextMenus)

#include "test_mtextmenus.moc"
