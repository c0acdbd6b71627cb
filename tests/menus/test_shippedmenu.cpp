#include <QFile>
#include <QSet>
#include <QTest>
#include <QToolButton>
#include <QWidgetAction>
#include <QXmlStreamReader>

#include "MenuTestUtil.h"
#include "TestMain.h"
#include "menus/MenuXML.h"
#include "menus/zorAcMtextMenus.h"

using namespace menutest;

namespace {
// Box of the pixels that are clearly red (the MText colour 1).
QRect redInk(const QImage& img, const QRect& area) {
  QRect box;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) {
      const QColor c = img.pixelColor(x, y);
      if (c.red() > 160 && c.green() < 110 && c.blue() < 110) box |= QRect(x, y, 1, 1);
    }
  return box;
}
}  // namespace

// The menu definition and icon strip that ship in Support/.
class TestShippedMenu : public QObject {
  Q_OBJECT
  QString FXml = QStringLiteral(KORVEX_SOURCE_DIR "/Support/menu.xml");
  QString FBmp = QStringLiteral(KORVEX_SOURCE_DIR "/Support/menu.bmp");

  struct Scan {
    int items = 0;
    int popupDefinitions = 0;
    int maxImageIndex = -1;
    QStringList badItems;
  };

  // Read independently of the loader.
  Scan scan() {
    Scan s;
    QFile f(FXml);
    if (!f.open(QIODevice::ReadOnly)) return s;
    QXmlStreamReader r(&f);
    const QStringList order{"CAPTION", "COMMAND", "ARGUMENT", "HINT",     "SHOWHINT",
                            "BTNMENU", "IMAGEINDEX", "BREAK", "SHORTCUT", "MTEXT"};
    QStringList path;
    while (!r.atEnd()) {
      r.readNext();
      if (r.isStartElement()) {
        if (r.name() == QLatin1String("ITEM")) {
          ++s.items;
          if (path.size() == 2 && path.last() == QLatin1String("POPUPMENU")) ++s.popupDefinitions;
          QStringList names;
          for (const QXmlStreamAttribute& a : r.attributes()) names << a.name().toString();
          if (names != order) s.badItems << r.attributes().value("CAPTION").toString();
          s.maxImageIndex = qMax(s.maxImageIndex, r.attributes().value("IMAGEINDEX").toInt());
        }
        path << r.name().toString();
      } else if (r.isEndElement()) {
        path.removeLast();
      }
    }
    if (r.hasError()) s.items = -1;
    return s;
  }

 private slots:
  void everyItemIsBuilt() {
    const Scan s = scan();
    QVERIFY(s.items > 0);
    QVERIFY2(s.badItems.isEmpty(), qPrintable(s.badItems.join(", ")));

    Form f;
    TImageList icons;
    LoadIconStrip(icons, FBmp);
    QVERIFY(icons.count() >= s.maxImageIndex + 1);

    int menuItems = 0, buttons = 0, updowns = 0;
    QList<TXmlToolButton*> dropdowns;
    QSet<int> barCommands;
    TXmlToMenu loader(&f.window, &icons, f.toolBar, [](QObject*) {});
    loader.OnSetMenuItem = [&](TXmlMenuItem*) { ++menuItems; };
    loader.OnSetToolButton = [&](TXmlToolButton*) { ++buttons; };
    loader.OnSetUpDown = [&](TUpDown*) { ++updowns; };
    loader.OnDropdownMenuFind = [&](TXmlToolButton* b, const QString& name) {
      b->setDropdownMenu(FindXmlPopupMenu(&f.window, name));
      dropdowns << b;
    };
    QVERIFY(loader.MenuLoad(FXml));
    QCOMPARE(menuItems + buttons + updowns + s.popupDefinitions, s.items);
    QCOMPARE(updowns, 1);
    QVERIFY(!dropdowns.isEmpty());
    for (TXmlToolButton* b : dropdowns) QVERIFY2(b->menu(), qPrintable(b->objectName()));

    QVERIFY(FindXmlPopupMenu(&f.window, "MAIN"));
    QVERIFY(XmlPopupMenus(&f.window).size() >= 2);
  }

  // The menu bar alone reaches every command, with the usual shortcuts and
  // none of them given twice (Qt fires neither of two equal shortcuts).
  void menuBarReachesEveryCommand() {
    Form f;
    TImageList icons;
    LoadIconStrip(icons, FBmp);
    TAcMtextMenu drawer(f.window.menuBar());
    TXmlToMenu loader(&f.window, &icons, f.toolBar, [](QObject*) {});
    QVERIFY(loader.MenuLoad(FXml));
    QVERIFY(drawer.MaxHeight() > 0);

    QSet<int> commands;
    QMap<QString, TMenuCommand> shortcuts;
    QStringList duplicates;
    int mtextItems = 0;
    std::function<void(QMenu*)> walk = [&](QMenu* m) {
      for (QAction* a : m->actions()) {
        if (auto* i = qobject_cast<TXmlMenuItem*>(a)) {
          commands.insert(i->FCmd);
          if (!i->shortcut().isEmpty()) {
            const QString key = i->shortcut().toString();
            if (shortcuts.contains(key)) duplicates << key;
            shortcuts.insert(key, i->FCmd);
          }
          if (i->FAsMText) {
            ++mtextItems;
            QVERIFY(!i->mtext().isEmpty());
            QVERIFY2(drawer.captionSize(i->mtext()).width() > 0, qPrintable(i->FArgument));
          }
          if (i->FImageIndex >= 0) QVERIFY(!i->icon().isNull());
        }
        if (a->menu()) walk(a->menu());
      }
    };
    const QList<QAction*> bar = f.window.menuBar()->actions();
    QCOMPARE(bar.size(), 5);
    for (QAction* a : bar) {
      QVERIFY(a->menu());
      walk(a->menu());
    }
    for (int c = 1; c < MenuCommandCount; ++c)
      QVERIFY2(commands.contains(c), qPrintable(MenuCommandName(MenuCommandFromInt(c))));
    QVERIFY2(duplicates.isEmpty(), qPrintable(duplicates.join(", ")));
    QVERIFY(mtextItems >= 4);

    const QList<QPair<QKeySequence, TMenuCommand>> expected{
        {QKeySequence(Qt::CTRL | Qt::Key_N), cmdFileNew},   {QKeySequence(Qt::CTRL | Qt::Key_O), cmdFileOpen},
        {QKeySequence(Qt::CTRL | Qt::Key_S), cmdFileSave},  {QKeySequence(Qt::CTRL | Qt::Key_P), cmdFilePrint},
        {QKeySequence(Qt::Key_F2), cmdFileOk},               {QKeySequence(Qt::CTRL | Qt::Key_Z), cmdEditUndo},
        {QKeySequence(Qt::CTRL | Qt::Key_Y), cmdEditRedo},  {QKeySequence(Qt::CTRL | Qt::Key_X), cmdEditCut},
        {QKeySequence(Qt::CTRL | Qt::Key_C), cmdEditCopy},  {QKeySequence(Qt::CTRL | Qt::Key_V), cmdEditPaste},
        {QKeySequence(Qt::CTRL | Qt::Key_A), cmdEditSelectAll}, {QKeySequence(Qt::CTRL | Qt::Key_F), cmdEditFind},
        {QKeySequence(Qt::Key_F3), cmdEditFindNext},         {QKeySequence(Qt::SHIFT | Qt::Key_F3), cmdEditFindPrev},
        {QKeySequence(Qt::CTRL | Qt::Key_H), cmdEditReplace}, {QKeySequence(Qt::Key_F9), cmdToolsRender},
        {QKeySequence(Qt::Key_F1), cmdHelpCallHelp},
    };
    for (const auto& [seq, cmd] : expected) {
      QVERIFY2(shortcuts.contains(seq.toString()), qPrintable(seq.toString()));
      QCOMPARE(shortcuts.value(seq.toString()), cmd);
    }
    // F5 and F6 belong to the spelling entries the program adds to the editor.
    QVERIFY(!shortcuts.contains(QKeySequence(Qt::Key_F5).toString()));
    QVERIFY(!shortcuts.contains(QKeySequence(Qt::Key_F6).toString()));
  }

  // Alt+letter reaches one item only: within the bar, each menu and each
  // popup, no access key is given twice.
  void accessKeysAreUnique() {
    Form f;
    TXmlToMenu loader(&f.window, nullptr, f.toolBar, [](QObject*) {});
    QVERIFY(loader.MenuLoad(FXml));
    QStringList clashes;
    auto check = [&](const QString& where, const QList<QAction*>& actions) {
      QMap<QChar, QString> keys;
      for (QAction* a : actions) {
        const QString t = a->text();
        const int amp = t.indexOf(QLatin1Char('&'));
        if (a->isSeparator() || amp < 0 || amp + 1 >= t.size()) continue;
        const QChar k = t.at(amp + 1).toLower();
        if (keys.contains(k)) clashes << QStringLiteral("%1: %2 / %3").arg(where, keys.value(k), t);
        keys.insert(k, t);
      }
    };
    std::function<void(const QString&, QMenu*)> walk = [&](const QString& where, QMenu* m) {
      check(where, m->actions());
      for (QAction* a : m->actions())
        if (a->menu()) walk(a->text(), a->menu());
    };
    check(QStringLiteral("bar"), f.window.menuBar()->actions());
    for (QAction* a : f.window.menuBar()->actions())
      if (a->menu()) walk(a->text(), a->menu());
    for (QMenu* popup : XmlPopupMenus(&f.window)) walk(popup->objectName(), popup);
    QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join("; ")));
  }

  // The sample of a smaller red height in Вставка › Оформление is drawn as
  // big as the menu's own letters, in the middle of its row.
  void smallHeightSampleIsLegible() {
    Form f;
    TImageList icons;
    LoadIconStrip(icons, FBmp);
    TAcMtextMenu drawer(f.window.menuBar());
    TXmlToMenu loader(&f.window, &icons, f.toolBar, [](QObject*) {});
    QVERIFY(loader.MenuLoad(FXml));
    TXmlMenuItem* sample = nullptr;
    QMenu* menu = nullptr;
    std::function<void(QMenu*)> walk = [&](QMenu* m) {
      for (QAction* a : m->actions()) {
        auto* i = qobject_cast<TXmlMenuItem*>(a);
        if (i && i->FAsMText && i->mtext().contains(QStringLiteral("\\H0.7x;"))) {
          sample = i;
          menu = m;
        }
        if (a->menu()) walk(a->menu());
      }
    };
    for (QAction* a : f.window.menuBar()->actions()) walk(a->menu());
    QVERIFY(sample);

    menu->adjustSize();
    const QImage shot = menu->grab().toImage();
    const qreal dpr = shot.devicePixelRatio();
    const QRect g = menu->actionGeometry(sample);
    const QRect row(qRound(g.x() * dpr), qRound(g.y() * dpr), qRound(g.width() * dpr), qRound(g.height() * dpr));
    const QRect ink = redInk(shot, row);
    QVERIFY(!ink.isEmpty());

    // The same letters at the menu font's own height.
    drawer.renderCaption(QStringLiteral("{\\C1;Аб}"), false);
    const QImage plain = drawer.Bitmap().image().copy();
    const QRect normal = redInk(plain, plain.rect());
    QVERIFY2(ink.height() >= normal.height() * dpr - 1,
             qPrintable(QStringLiteral("%1 px, letters of the menu font %2 px").arg(ink.height()).arg(normal.height())));
    QVERIFY2(qAbs(ink.center().y() - row.center().y()) <= row.height() / 4,
             qPrintable(QStringLiteral("ink %1..%2 in row %3..%4")
                            .arg(ink.top()).arg(ink.bottom()).arg(row.top()).arg(row.bottom())));
  }

  void stripIsARealBitmap() {
    QImage img(FBmp);
    QVERIFY(!img.isNull());
    QCOMPARE(img.width() % 16, 0);
    QCOMPARE(img.height() % 16, 0);
    TImageList icons;
    LoadIconStrip(icons, FBmp);
    QCOMPARE(icons.count(), (img.width() / 16) * (img.height() / 16));
    // The key colour is not drawn into the icons: every cell has both
    // transparent and opaque pixels, except unused cells at the end.
    int drawn = 0;
    for (int i = 0; i < icons.count(); ++i) {
      const QImage c = icons.pixmap(i).toImage();
      int opaque = 0;
      for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) opaque += qAlpha(c.pixel(x, y)) != 0;
      QVERIFY(opaque < 256);
      if (opaque > 0) ++drawn;
    }
    QVERIFY(drawn >= scan().maxImageIndex + 1);
  }

  // In a window of the default width (608 px) the whole toolbar shows, set up
  // as the main window sets it up: no button behind the extension arrow, the
  // up-down control whole.
  void toolbarFitsTheDefaultWidth() {
    Form f;
    f.toolBar->setIconSize(QSize(16, 16));
    f.toolBar->setMovable(false);
    f.toolBar->setFloatable(false);
    TImageList icons;
    LoadIconStrip(icons, FBmp);
    TXmlToMenu loader(&f.window, &icons, f.toolBar, [](QObject*) {});
    loader.OnDropdownMenuFind = [&](TXmlToolButton* b, const QString& name) {
      b->setDropdownMenu(FindXmlPopupMenu(&f.window, name));
    };
    QVERIFY(loader.MenuLoad(FXml));
    f.window.resize(608, 384);
    f.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.window));
    QCOMPARE(f.window.width(), 608);
    int shown = 0;
    for (QAction* a : f.toolBar->actions()) {
      QWidget* w = f.toolBar->widgetForAction(a);
      QVERIFY(w);
      QVERIFY2(w->isVisible(), qPrintable(a->text()));
      QVERIFY2(f.toolBar->rect().contains(w->geometry()), qPrintable(a->text()));
      shown += !a->isSeparator();
    }
    QVERIFY(shown >= 12);
    auto* extension = f.toolBar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"));
    QVERIFY(extension);
    QVERIFY(!extension->isVisible());
  }
};

KORVEX_TEST(TestShippedMenu)

#include "test_shippedmenu.moc"
