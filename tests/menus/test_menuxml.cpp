#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QWidgetAction>

#include "MenuTestUtil.h"
#include "TestMain.h"
#include "menus/MenuXML.h"
#include "menus/zorAcMtextMenus.h"

using namespace menutest;

namespace {
QList<TXmlMenuItem*> itemsOf(QWidget* menu) {
  QList<TXmlMenuItem*> r;
  for (QAction* a : menu->actions())
    if (auto* i = qobject_cast<TXmlMenuItem*>(a)) r << i;
  return r;
}

QList<QWidget*> toolControls(QToolBar* tb) {
  QList<QWidget*> r;
  for (QAction* a : tb->actions())
    if (auto* wa = qobject_cast<QWidgetAction*>(a)) r << wa->defaultWidget();
  return r;
}

void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
}  // namespace

class TestMenuXml : public QObject {
  Q_OBJECT
  QTemporaryDir FDir;

  QString file(const QString& body, const QString& name = QStringLiteral("menu.xml")) {
    return writeFile(FDir, name, document(body));
  }

 private slots:
  void argumentsAreChecked() {
    QToolBar tb;
    auto message = [](auto&& make) -> QString {
      try {
        make();
      } catch (const std::logic_error& e) {
        return QString::fromUtf8(e.what());
      }
      return QString();
    };
    QCOMPARE(message([&] { TXmlToMenu(nullptr, nullptr, &tb, {}); }), QStringLiteral("Form not assigned"));
    QMainWindow bare;  // no menu bar was ever asked for
    QCOMPARE(message([&] { TXmlToMenu(&bare, nullptr, &tb, {}); }), QStringLiteral("MainMenu not assigned"));
    Form f;
    QCOMPARE(message([&] { TXmlToMenu(&f.window, nullptr, nullptr, {}); }), QStringLiteral("ToolBar not assigned"));
    QCOMPARE(message([&] { TXmlToMenu(&f.window, nullptr, f.toolBar, {}); }), QString());
  }

  // Wrong attribute sets create nothing and take no running number.
  void onlyItemsWithTheTenAttributesAreBuilt() {
    const QString nine = QStringLiteral(
        "<ITEM CAPTION=\"nine\" COMMAND=\"8\" ARGUMENT=\"\" HINT=\"\" SHOWHINT=\"0\" BTNMENU=\"\" "
        "IMAGEINDEX=\"-1\" BREAK=\"0\" SHORTCUT=\"0\"/>");
    const QString eleven = QStringLiteral(
        "<ITEM CAPTION=\"eleven\" COMMAND=\"8\" ARGUMENT=\"\" HINT=\"\" SHOWHINT=\"0\" BTNMENU=\"\" "
        "IMAGEINDEX=\"-1\" BREAK=\"0\" SHORTCUT=\"0\" MTEXT=\"0\" EXTRA=\"1\"/>");
    const QString misnamed = QStringLiteral(
        "<ITEM CAPTON=\"misnamed\" COMMAND=\"8\" ARGUMENT=\"\" HINT=\"\" SHOWHINT=\"0\" BTNMENU=\"\" "
        "IMAGEINDEX=\"-1\" BREAK=\"0\" SHORTCUT=\"0\" MTEXT=\"0\"/>");
    // A skipped ITEM still ends a level, so each sits at the end of its menu.
    const QString path = file(QStringLiteral("<MAINMENU>%1</MAINMENU><TOOLBAR>%2%3</TOOLBAR>")
                                  .arg(item("&Правка", 0, {}, item("Отменить", 8) + nine + eleven + misnamed),
                                       item("Повторить", 9), nine));
    Form f;
    TXmlToMenu loader(&f.window, nullptr, f.toolBar, {});
    QVERIFY(loader.MenuLoad(path));
    const QList<TXmlMenuItem*> bar = itemsOf(f.window.menuBar());
    QCOMPARE(bar.size(), 1);
    QVERIFY(bar[0]->subMenu());
    const QList<TXmlMenuItem*> sub = itemsOf(bar[0]->subMenu());
    QCOMPARE(sub.size(), 1);
    QCOMPARE(sub[0]->objectName(), QStringLiteral("cmdEditUndo0001"));
    const QList<QWidget*> tools = toolControls(f.toolBar);
    QCOMPARE(tools.size(), 1);
    QCOMPARE(tools[0]->objectName(), QStringLiteral("cmdEditRedo0002"));
  }

  void menuItemFields() {
    TImageList icons;
    icons.add(QPixmap(16, 16));
    const QString path = file(QStringLiteral("<MAINMENU>%1</MAINMENU>")
                                  .arg(item("&Вставка", 0, {},
                                            item("Нет команды", 0) +
                                                item("Меню", 31, "arg", {},
                                                     "IMAGEINDEX=\"0\" SHORTCUT=\"16461\" MTEXT=\"1\"") +
                                                item("Плохие числа", 0, {}, {},
                                                     "COMMAND=\"x\" IMAGEINDEX=\"y\" SHORTCUT=\"z\"") +
                                                item("Вне списка", 0, {}, {}, "COMMAND=\"41\" IMAGEINDEX=\"5\"") +
                                                item("-", 10, "sep"))));
    Form f;
    QList<QObject*> clicked;
    TXmlToMenu loader(&f.window, &icons, f.toolBar, [&](QObject* s) { clicked << s; });
    QVERIFY(loader.MenuLoad(path));
    const QList<TXmlMenuItem*> items = itemsOf(itemsOf(f.window.menuBar())[0]->subMenu());
    QCOMPARE(items.size(), 5);

    TXmlMenuItem* none = items[0];
    QCOMPARE(none->FCmd, cmdNone);
    QCOMPARE(none->objectName(), QStringLiteral("cmdNone0001"));
    QCOMPARE(none->statusTip(), QStringLiteral("Подсказка Нет команды"));
    none->trigger();
    QVERIFY(clicked.isEmpty());  // cmdNone gets no click handler

    TXmlMenuItem* edit = items[1];
    QCOMPARE(edit->FCmd, cmdToolsEditMenus);
    QCOMPARE(edit->objectName(), QStringLiteral("cmdToolsEditMenus0002"));
    QCOMPARE(edit->FArgument, QStringLiteral("arg"));
    QVERIFY(edit->FAsMText);
    QVERIFY(!edit->icon().isNull());
    QCOMPARE(edit->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_M));
    QCOMPARE(edit->shortcutContext(), Qt::WindowShortcut);
    edit->trigger();
    QCOMPARE(clicked, QList<QObject*>{edit});

    QCOMPARE(items[2]->FCmd, cmdNone);
    QCOMPARE(items[2]->FImageIndex, -1);
    QVERIFY(items[2]->icon().isNull());
    QVERIFY(items[2]->shortcut().isEmpty());
    // Unknown command numbers and icons beyond the list give nothing.
    QCOMPARE(items[3]->FCmd, cmdNone);
    QVERIFY(items[3]->icon().isNull());

    TXmlMenuItem* sep = items[4];
    QVERIFY(sep->isSeparator());
    QCOMPARE(sep->FCmd, cmdEditCut);
    QCOMPARE(sep->FArgument, QStringLiteral("sep"));
    QCOMPARE(sep->objectName(), QStringLiteral("cmdEditCut0005"));
  }

  void mtextDropsOnlyTheFirstTilde() {
    TXmlMenuItem i(nullptr);
    i.FArgument = QStringLiteral("a~b~");
    QCOMPARE(i.mtext(), QStringLiteral("ab~"));
    i.FArgument = QStringLiteral("%%c~");
    QCOMPARE(i.mtext(), QStringLiteral("%%c"));
    i.FArgument = QStringLiteral("\\S1/2;");
    QCOMPARE(i.mtext(), QStringLiteral("\\S1/2;"));
  }

  // Submenus nest to any depth, and after a nested item the next one goes
  // back to the level it is written at.
  void nestingFollowsTheDocument() {
    const QString path = file(QStringLiteral("<MAINMENU>%1%2</MAINMENU>")
                                  .arg(item("A", 0, {},
                                            item("A1", 0, {}, item("A1a", 0, {}, item("A1a-i", 27))) +
                                                item("A2", 27, {}, {}, "BREAK=\"1\"")),
                                       item("B", 0, {}, item("B1", 27))));
    Form f;
    TXmlToMenu loader(&f.window, nullptr, f.toolBar, {});
    QVERIFY(loader.MenuLoad(path));
    const QList<TXmlMenuItem*> bar = itemsOf(f.window.menuBar());
    QCOMPARE(bar.size(), 2);
    QCOMPARE(bar[1]->text(), QStringLiteral("B"));
    const QList<TXmlMenuItem*> a = itemsOf(bar[0]->subMenu());
    QCOMPARE(a.size(), 2);
    QCOMPARE(a[1]->text(), QStringLiteral("A2"));
    TXmlMenuItem* deepest = itemsOf(itemsOf(a[0]->subMenu())[0]->subMenu())[0];
    QCOMPARE(deepest->text(), QStringLiteral("A1a-i"));
    QCOMPARE(deepest->FParentItem->text(), QStringLiteral("A1a"));
    QVERIFY(!a[1]->subMenu());  // a leaf has no submenu
    // A column break adds nothing to the menu but the item.
    QCOMPARE(bar[0]->subMenu()->actions().size(), 2);
    QVERIFY(a[1]->FBreak && bar[0]->subMenu()->hasColumns());
  }

  // Items after a break stand in a column right of the first, past a bar,
  // and answer the mouse and the keys where they are shown.
  void columnBreakMakesASecondColumn() {
    const QString path = file(QStringLiteral("<MAINMENU>%1</MAINMENU>")
                                  .arg(item("A", 0, {},
                                            item("WWWW", 27, "1") + item("MMMM", 27, "2") +
                                                item("Второй", 27, "3", {}, "BREAK=\"1\"") +
                                                item("Выкл", 27, "4") + item("Подменю", 0, {}, item("Внутри", 27, "6")))));
    Form f;
    QStringList clicked;
    TXmlToMenu loader(&f.window, nullptr, f.toolBar,
                      [&](QObject* s) { clicked << static_cast<TXmlMenuItem*>(s)->FArgument; });
    QVERIFY(loader.MenuLoad(path));
    TXmlMenu* menu = itemsOf(f.window.menuBar())[0]->subMenu();
    const QList<TXmlMenuItem*> it = itemsOf(menu);
    it[3]->setEnabled(false);
    f.window.show();
    menu->popup(QPoint(40, 40));
    QVERIFY(QTest::qWaitForWindowExposed(menu));

    const QRect first = menu->itemRect(it[0]), second = menu->itemRect(it[2]);
    QCOMPARE(menu->itemColumn(it[1]), 0);
    QCOMPARE(menu->itemColumn(it[4]), 1);
    QVERIFY(second.left() > first.right());
    QCOMPARE(second.top(), first.top());
    QVERIFY(menu->height() < first.height() * 5);
    QVERIFY(menu->rect().contains(menu->itemRect(it[4])));

    // Ink: the first column's captions left of the bar, the second's right
    // of it, and the bar itself down most of the menu.
    const QImage shot = menu->grab().toImage();
    QCOMPARE(shot.size(), menu->size());  // no scaling in the offscreen screen
    const QRgb back = shot.pixel(second.right() - 2, second.bottom() - 1);
    auto inkColumns = [&](const QRect& r) {
      QVector<int> xs;
      for (int x = r.left(); x <= r.right(); ++x)
        for (int y = r.top(); y <= r.bottom(); ++y)
          if (qGray(shot.pixel(x, y)) < qGray(back) - 80) {
            xs << x;
            break;
          }
      return xs;
    };
    const QVector<int> left = inkColumns(first.united(menu->itemRect(it[1])));
    const QVector<int> right = inkColumns(second);
    QVERIFY(!left.isEmpty() && !right.isEmpty());
    const int bar = (first.right() + second.left()) / 2;
    QVERIFY(left.last() < bar && right.first() > bar);
    int barRows = 0;
    for (int y = first.top(); y <= first.bottom() + first.height(); ++y)
      for (int x = first.right() + 1; x < second.left(); ++x)
        if (shot.pixel(x, y) != back) {
          ++barRows;
          break;
        }
    QVERIFY2(barRows >= 2 * first.height() - 2, qPrintable(QString::number(barRows)));

    // Keys: Right and Left cross at the same height (the disabled item is
    // passed over), Down runs from the end of a column into the next.
    menu->setActiveAction(it[1]);
    QTest::keyClick(menu, Qt::Key_Right);
    QCOMPARE(menu->activeAction(), static_cast<QAction*>(it[2]));
    QTest::keyClick(menu, Qt::Key_Left);
    QCOMPARE(menu->activeAction(), static_cast<QAction*>(it[0]));
    menu->setActiveAction(it[1]);
    QTest::keyClick(menu, Qt::Key_Down);
    QCOMPARE(menu->activeAction(), static_cast<QAction*>(it[2]));
    QTest::keyClick(menu, Qt::Key_Return);
    QCOMPARE(clicked, QStringList{"3"});
    QVERIFY(!menu->isVisible());

    // The mouse: a click where the item is shown triggers it; the disabled
    // one does nothing; a submenu opens beside its column.
    menu->popup(QPoint(40, 40));
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    QTest::mouseMove(menu, menu->itemRect(it[3]).center());
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->itemRect(it[3]).center());
    QCOMPARE(clicked.size(), 1);
    QTest::mouseMove(menu, menu->itemRect(it[4]).center());
    QTRY_VERIFY(it[4]->subMenu()->isVisible());
    QVERIFY(it[4]->subMenu()->x() >= menu->mapToGlobal(menu->itemRect(it[4]).topRight()).x() - 4);
    QTest::mouseMove(menu, second.center());
    QTest::mouseClick(menu, Qt::LeftButton, {}, second.center());
    QCOMPARE(clicked, (QStringList{"3", "3"}));
    QVERIFY(!menu->isVisible());
  }

  void toolbarControls() {
    TImageList icons;
    icons.add(QPixmap(16, 16));
    const QString path = file(QStringLiteral("<TOOLBAR>%1%2%3%4%5</TOOLBAR>")
                                  .arg(item("Новый", 1, {}, {}, "IMAGEINDEX=\"0\""),
                                       item("-", 30, "sep arg"),
                                       item("UPDOWN", 12, "ignored", {}, "SHOWHINT=\"1\""),
                                       item("Найти", 14, {}, {}, "SHOWHINT=\"0\""),
                                       item("Нет", 0)));
    Form f;
    QList<QObject*> clicked;
    QList<TXmlToolButton*> reported;
    QList<TUpDown*> updowns;
    TXmlToMenu loader(&f.window, &icons, f.toolBar, [&](QObject* s) { clicked << s; });
    loader.OnSetToolButton = [&](TXmlToolButton* b) { reported << b; };
    loader.OnSetUpDown = [&](TUpDown* u) { updowns << u; };
    QVERIFY(loader.MenuLoad(path));

    const QList<QWidget*> tools = toolControls(f.toolBar);
    QCOMPARE(tools.size(), 5);
    QCOMPARE(reported.size(), 4);
    QCOMPARE(updowns.size(), 1);

    auto* newBtn = qobject_cast<TXmlToolButton*>(tools[0]);
    QVERIFY(newBtn);
    QCOMPARE(newBtn->objectName(), QStringLiteral("cmdFileNew0000"));
    QVERIFY(!newBtn->icon().isNull());
    QCOMPARE(newBtn->toolTip(), QStringLiteral("Подсказка Новый"));
    newBtn->click();
    QCOMPARE(clicked, QList<QObject*>{newBtn});

    auto* sep = qobject_cast<TXmlToolButton*>(tools[1]);
    QVERIFY(sep && sep->FSeparator);
    QCOMPARE(sep->sizeHint().width(), 8);
    QCOMPARE(sep->FCmd, cmdToolsRender);
    QCOMPARE(sep->FArgument, QStringLiteral("sep arg"));
    QCOMPARE(sep->objectName(), QStringLiteral("cmdToolsRender0001"));
    QCOMPARE(reported[1], sep);

    auto* ud = qobject_cast<TUpDown*>(tools[2]);
    QVERIFY(ud);
    QCOMPARE(updowns[0], ud);
    QVERIFY(ud->objectName().isEmpty());
    QCOMPARE(ud->toolTip(), QStringLiteral("Подсказка UPDOWN"));
    QSignalSpy moves(ud, &TUpDown::moveLine);
    ud->upButton()->click();
    ud->downButton()->click();
    ud->upButton()->click();
    QCOMPARE(moves.size(), 3);
    QCOMPARE(moves[0][0].toInt(), -1);
    QCOMPARE(moves[1][0].toInt(), 1);
    QCOMPARE(ud->position(), 0);  // every click is a request, the position never moves
    ud->setRange(0, 1);
    ud->clickUp();
    QCOMPARE(moves.size(), 3);

    // The up-down took no number.
    auto* find = qobject_cast<TXmlToolButton*>(tools[3]);
    QCOMPARE(find->objectName(), QStringLiteral("cmdEditFind0002"));
    QVERIFY(find->toolTip().isEmpty());  // SHOWHINT 0
    QCOMPARE(find->FHint, QStringLiteral("Подсказка Найти"));

    auto* none = qobject_cast<TXmlToolButton*>(tools[4]);
    none->click();
    QCOMPARE(clicked.size(), 1);
  }

  // A drop-down finds only popups defined earlier in the file.
  void dropdownButtonsFindEarlierPopups() {
    const QString path = file(
        QStringLiteral("<POPUPMENU>%1</POPUPMENU><TOOLBAR>%2%3%4</TOOLBAR><POPUPMENU>%5</POPUPMENU>")
            .arg(item("SYMBOLS", 0, {}, item("Диаметр", 27, "%%c~")),
                 item("Символы", 27, "%%c~", {}, "BTNMENU=\"SYMBOLS\""),
                 item("Позже", 27, {}, {}, "BTNMENU=\"LATER\""),
                 item("Регистр", 27, {}, {}, "BTNMENU=\"symbols\""),
                 item("LATER", 0, {}, item("x", 27))));
    Form f;
    QStringList asked;
    TXmlToMenu loader(&f.window, nullptr, f.toolBar, {});
    loader.OnDropdownMenuFind = [&](TXmlToolButton* b, const QString& name) {
      asked << name;
      b->setDropdownMenu(FindXmlPopupMenu(&f.window, name));
    };
    QVERIFY(loader.MenuLoad(path));
    QCOMPARE(asked, (QStringList{"SYMBOLS", "LATER", "symbols"}));
    const QList<QWidget*> tools = toolControls(f.toolBar);
    auto* found = qobject_cast<TXmlToolButton*>(tools[0]);
    QVERIFY(found->FDropdown);
    QCOMPARE(found->popupMode(), QToolButton::MenuButtonPopup);
    QCOMPARE(found->menu(), static_cast<QMenu*>(FindXmlPopupMenu(&f.window, "SYMBOLS")));
    for (int i : {1, 2}) {
      auto* b = qobject_cast<TXmlToolButton*>(tools[i]);
      QVERIFY(b->FDropdown);
      QCOMPARE(b->popupMode(), QToolButton::MenuButtonPopup);
      QVERIFY(!b->menu());
    }
    QVERIFY(FindXmlPopupMenu(&f.window, "LATER"));  // it does exist after the load
  }

  void buttonsWithoutIconShowNoCaption() {
    const QString caption = QStringLiteral("Очень длинная подпись кнопки");
    const QString path = file(QStringLiteral("<TOOLBAR>%1</TOOLBAR>").arg(item(caption, 27, "x")));
    Form f;
    TXmlToMenu loader(&f.window, nullptr, f.toolBar, {});
    QVERIFY(loader.MenuLoad(path));
    auto* b = qobject_cast<TXmlToolButton*>(toolControls(f.toolBar).value(0));
    QVERIFY(b);
    QVERIFY(b->icon().isNull());
    QVERIFY(b->sizeHint().width() < b->fontMetrics().horizontalAdvance(caption) / 2);
    b->resize(b->sizeHint());
    const QImage shot = b->grab().toImage();
    int dark = 0;
    for (int y = 0; y < shot.height(); ++y)
      for (int x = 0; x < shot.width(); ++x) dark += qGray(shot.pixel(x, y)) < 100;
    QCOMPARE(dark, 0);
  }

  void popupSections() {
    const QString path = file(
        QStringLiteral("<POPUPMENU>%1%2%3</POPUPMENU>")
            .arg(item("Main", 0, {}, item("Вырезать", 10, {}, {}, "SHORTCUT=\"16472\"")), item("EMPTY"),
                 item("MAIN", 0, {}, item("Копировать", 11) + item("Еще", 0, {}, item("Вставить", 12)) +
                                         item("Выделить все", 18))));
    Form f;
    QMenu internal(&f.window);  // a menu of the window that the file did not build
    TXmlToMenu loader(&f.window, nullptr, f.toolBar, {});
    QVERIFY(loader.MenuLoad(path));
    const QList<TXmlMenu*> popups = XmlPopupMenus(&f.window);
    QCOMPARE(popups.size(), 3);
    QCOMPARE(popups[0]->objectName(), QStringLiteral("Main"));
    QCOMPARE(popups[1]->objectName(), QStringLiteral("EMPTY"));
    // Shown beside the caption, but live only inside the popup.
    TXmlMenuItem* cut = itemsOf(popups[0])[0];
    QCOMPARE(cut->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_X));
    QCOMPARE(cut->shortcutContext(), Qt::WidgetShortcut);
    QVERIFY(popups[1]->actions().isEmpty());
    TXmlMenu* main = FindXmlPopupMenu(&f.window, "MAIN");
    QCOMPARE(main, popups[2]);  // exact case: "Main" is not it
    const QList<TXmlMenuItem*> items = itemsOf(main);
    QCOMPARE(items.size(), 3);
    QCOMPARE(itemsOf(items[1]->subMenu())[0]->FCmd, cmdEditPaste);
    QCOMPARE(items[2]->FCmd, cmdEditSelectAll);
    QVERIFY(!FindXmlPopupMenu(&f.window, "main"));
    // Popup definitions take no number: Вырезать is 0, Копировать 1.
    QCOMPARE(items[0]->objectName(), QStringLiteral("cmdEditCopy0001"));
    QCOMPARE(f.window.menuBar()->actions().size(), 0);
  }

  // What the main window's FEditMenus / FEditButtons would hold.
  void eventsFireInDocumentOrder() {
    const QString path = file(
        QStringLiteral("<MAINMENU>%1</MAINMENU><POPUPMENU>%2</POPUPMENU><TOOLBAR>%3</TOOLBAR>")
            .arg(item("&Правка", 0, {}, item("Отменить", 8) + item("Найти", 14) + item("Перенос", 37)),
                 item("MAIN", 0, {}, item("Вырезать", 10) + item("Строка", 27)),
                 item("Повторить", 9) + item("-", 0) + item("UPDOWN") + item("Нумерация", 32)));
    Form f;
    QStringList order;
    QList<TXmlMenuItem*> editMenus;
    QList<TXmlToolButton*> editButtons;
    TXmlToMenu loader(&f.window, nullptr, f.toolBar, {});
    loader.OnSetMenuItem = [&](TXmlMenuItem* i) {
      QVERIFY(i->parent() == &f.window);
      QVERIFY(!i->associatedObjects().isEmpty());  // already added when reported
      order << i->objectName();
      if (IsStateCommand(i->FCmd)) editMenus << i;
    };
    loader.OnSetToolButton = [&](TXmlToolButton* b) {
      order << b->objectName();
      if (IsStateCommand(b->FCmd)) editButtons << b;
    };
    loader.OnSetUpDown = [&](TUpDown*) { order << QStringLiteral("UPDOWN"); };
    QVERIFY(loader.MenuLoad(path));
    QCOMPARE(order, (QStringList{"cmdNone0000", "cmdEditUndo0001", "cmdEditFind0002", "cmdToolsWordWrap0003",
                                 "cmdEditCut0004", "cmdInsertString0005", "cmdEditRedo0006", "cmdNone0007",
                                 "UPDOWN", "cmdToolsNumbering0008"}));
    QCOMPARE(editMenus.size(), 3);
    QCOMPARE(editMenus[0]->FCmd, cmdEditUndo);
    QCOMPARE(editMenus[1]->FCmd, cmdToolsWordWrap);
    QCOMPARE(editMenus[2]->FCmd, cmdEditCut);
    QCOMPARE(editButtons.size(), 2);
    QCOMPARE(editButtons[1]->FCmd, cmdToolsNumbering);
  }

  void itemsOutsideSectionsAreIgnored() {
    const QString path = file(item("outside", 8) + QStringLiteral("<MAINMENU>%1</MAINMENU>").arg(item("A")) +
                              item("after", 9));
    Form f;
    QStringList order;
    TXmlToMenu loader(&f.window, nullptr, f.toolBar, {});
    loader.OnSetMenuItem = [&](TXmlMenuItem* i) { order << i->objectName(); };
    QVERIFY(loader.MenuLoad(path));
    QCOMPARE(order, QStringList{"cmdNone0000"});
  }

  void malformedFileKeepsWhatWasBuilt() {
    const QString path = writeFile(
        FDir, "broken.xml",
        QStringLiteral("<ROOT><MAINMENU>%1<ITEM CAPTION=\"unclosed\"</MAINMENU>")
            .arg(item("&Файл", 0, {}, item("Новый", 1))));
    Form f;
    QStringList errors;
    TXmlToMenu loader(&f.window, nullptr, f.toolBar, {});
    loader.OnParseError = [&](const QString& m) { errors << m; };
    QVERIFY(!loader.MenuLoad(path));
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors.first().startsWith("Ошибка в файле меню " + QDir::toNativeSeparators(path) + ": строка 1, позиция "),
             qPrintable(errors.first()));
    QVERIFY(!loader.errorString().isEmpty());
    const QList<TXmlMenuItem*> bar = itemsOf(f.window.menuBar());
    QCOMPARE(bar.size(), 1);
    QCOMPARE(itemsOf(bar[0]->subMenu()).size(), 1);

    errors.clear();
    QVERIFY(!loader.MenuLoad(FDir.filePath("missing.xml")));
    QVERIFY(errors.value(0).endsWith("missing.xml: файл не найден"));
    QVERIFY(!loader.MenuLoad(writeFile(FDir, "empty.xml", QString())));
  }

  // The main window builds from the first file that reads whole; the copy
  // built into the program always does.
  void brokenMenuFileFallsBackToTheShippedOne() {
    const QString cut = writeFile(FDir, "cut.xml", QStringLiteral("<ROOT>\n<MAINMENU>\n<ITEM CAPTION=\"a\""));
    const QString missing = FDir.filePath("missing.xml");
    TMenuSource source = ChooseMenuSource({cut, missing, BuiltInMenuFile});
    QCOMPARE(source.FileName, QString(BuiltInMenuFile));
    QCOMPARE(source.BrokenFile, cut);
    QVERIFY2(source.Error.startsWith("Ошибка в файле меню " + QDir::toNativeSeparators(cut) + ": строка 3, позиция "),
             qPrintable(source.Error));
    QVERIFY(BrokenMenuMessage(source).contains("Сервис"));
    QCOMPARE(ReadMenuTree(BuiltInMenuFile).size(), 3);  // main menu, popups, toolbar
    source = ChooseMenuSource({missing, cut});
    QVERIFY(source.FileName.isEmpty());
    QVERIFY(source.Error.endsWith("файл не найден"));
    QVERIFY(BrokenMenuMessage(ChooseMenuSource({BuiltInMenuFile})).isEmpty());
  }

  // A new loader destroys the earlier load's items, controls and popups,
  // and leaves menus of the window that the file did not build.
  void newLoaderClearsEarlierLoad() {
    const QString first = file(QStringLiteral("<MAINMENU>%1</MAINMENU><POPUPMENU>%2</POPUPMENU><TOOLBAR>%3</TOOLBAR>")
                                   .arg(item("A", 0, {}, item("A1", 0, {}, item("A1a", 8))),
                                        item("MAIN", 0, {}, item("Cut", 10)), item("B", 1) + item("UPDOWN")),
                               "first.xml");
    const QString second = file(QStringLiteral("<MAINMENU>%1</MAINMENU>").arg(item("Z", 0, {}, item("Z1", 9))),
                                "second.xml");
    Form f;
    QMenu internal(&f.window);
    QAction* placeholder = f.window.menuBar()->addAction(QStringLiteral("Load &Menu"));
    QPointer<QAction> placeholderGuard(placeholder);
    QPointer<TXmlMenuItem> oldItem, oldDeep;
    QPointer<TXmlMenu> oldPopup;
    QPointer<QWidget> oldButton, oldUpDown;
    {
      TXmlToMenu loader(&f.window, nullptr, f.toolBar, {});
      QVERIFY(!f.window.menuBar()->actions().contains(placeholder));
      QVERIFY(loader.MenuLoad(first));
      oldItem = itemsOf(f.window.menuBar())[0];
      oldDeep = itemsOf(itemsOf(oldItem->subMenu())[0]->subMenu())[0];
      oldPopup = FindXmlPopupMenu(&f.window, "MAIN");
      oldButton = toolControls(f.toolBar)[0];
      oldUpDown = toolControls(f.toolBar)[1];
    }
    QVERIFY(oldPopup);
    TXmlToMenu loader(&f.window, nullptr, f.toolBar, {});
    QVERIFY(f.window.menuBar()->actions().isEmpty());
    QVERIFY(f.toolBar->actions().isEmpty());
    QVERIFY(XmlPopupMenus(&f.window).isEmpty());
    QVERIFY(f.window.findChildren<TXmlMenuItem*>().isEmpty());
    QVERIFY(loader.MenuLoad(second));
    QCOMPARE(itemsOf(itemsOf(f.window.menuBar())[0]->subMenu())[0]->objectName(),
             QStringLiteral("cmdEditRedo0001"));  // numbering restarts
    flushDeletes();
    QVERIFY(oldItem.isNull());
    QVERIFY(oldDeep.isNull());
    QVERIFY(oldPopup.isNull());
    QVERIFY(oldButton.isNull());
    QVERIFY(oldUpDown.isNull());
    QVERIFY(placeholderGuard.isNull());
    QCOMPARE(internal.parent(), static_cast<QObject*>(&f.window));
  }
};

// ---------------------------------------------------------------------------

class TestIconStrip : public QObject {
  Q_OBJECT
  QTemporaryDir FDir;

 private slots:
  void cellsRowByRowWithTransparentKey() {
    const QRgb key = qRgb(255, 0, 255);
    QImage strip(40, 36, QImage::Format_RGB32);  // 2 x 2 full cells; the rest is partial
    strip.fill(key);
    strip.setPixel(3, 4, qRgb(255, 0, 0));    // cell 0
    strip.setPixel(16 + 5, 6, qRgb(0, 255, 0));  // cell 1
    strip.setPixel(7, 16 + 8, qRgb(0, 0, 255));  // cell 2 (row 1)
    strip.setPixel(35, 2, qRgb(1, 2, 3));        // partial column, dropped
    const QString path = FDir.filePath("strip.bmp");
    QVERIFY(strip.save(path, "BMP"));

    TImageList list;
    LoadIconStrip(list, path);
    QCOMPARE(list.count(), 4);
    const QImage c0 = list.pixmap(0).toImage();
    QCOMPARE(c0.size(), QSize(16, 16));
    QCOMPARE(qAlpha(c0.pixel(0, 0)), 0);
    QCOMPARE(c0.pixel(3, 4), qRgb(255, 0, 0));
    QCOMPARE(list.pixmap(1).toImage().pixel(5, 6), qRgb(0, 255, 0));
    QCOMPARE(qAlpha(list.pixmap(1).toImage().pixel(3, 4)), 0);
    QCOMPARE(list.pixmap(2).toImage().pixel(7, 8), qRgb(0, 0, 255));
    QVERIFY(list.icon(-1).isNull());
    QVERIFY(list.icon(4).isNull());
    QVERIFY(!list.icon(3).isNull());
  }

  void fortyByTwentyGivesTwoIcons() {
    QImage strip(40, 20, QImage::Format_RGB32);
    strip.fill(qRgb(0, 128, 128));  // the key is whatever pixel (0, 0) holds
    strip.setPixel(20, 3, qRgb(255, 255, 255));
    const QString path = FDir.filePath("two.bmp");
    QVERIFY(strip.save(path, "BMP"));
    TImageList list;
    LoadIconStrip(list, path);
    QCOMPARE(list.count(), 2);
    const QImage c1 = list.pixmap(1).toImage();
    QCOMPARE(qAlpha(c1.pixel(0, 0)), 0);
    QCOMPARE(c1.pixel(4, 3), qRgb(255, 255, 255));

    QImage small(15, 40, QImage::Format_RGB32);
    small.fill(Qt::white);
    QVERIFY(small.save(FDir.filePath("small.bmp"), "BMP"));
    LoadIconStrip(list, FDir.filePath("small.bmp"));
    QCOMPARE(list.count(), 2);  // narrower than a cell: nothing added
  }

  void unreadableStripThrows() {
    TImageList list;
    const QString missing = FDir.filePath("missing.bmp");
    QVERIFY_THROWS_EXCEPTION(TIconStripError, LoadIconStrip(list, missing));
    const QString junk = writeFile(FDir, "junk.bmp", QStringLiteral("not a bitmap"));
    try {
      LoadIconStrip(list, junk);
      QFAIL("no exception");
    } catch (const std::runtime_error& e) {
      QVERIFY(QString::fromUtf8(e.what()).contains(QStringLiteral("значков")));
    }
    QCOMPARE(list.count(), 0);
  }
};

// ---------------------------------------------------------------------------

class TestShortCuts : public QObject {
  Q_OBJECT
 private slots:
  void knownCodes() {
    QCOMPARE(ShortCutToKeySequence(16461), QKeySequence(Qt::CTRL | Qt::Key_M));
    QCOMPARE(ShortCutToKeySequence(112), QKeySequence(Qt::Key_F1));
    QCOMPARE(ShortCutToKeySequence(0x2000 | 114), QKeySequence(Qt::SHIFT | Qt::Key_F3));
    QCOMPARE(ShortCutToKeySequence(0x8000 | 0x4000 | 46), QKeySequence(Qt::ALT | Qt::CTRL | Qt::Key_Delete));
    QCOMPARE(ShortCutToKeySequence(13), QKeySequence(Qt::Key_Return));
    QCOMPARE(ShortCutToKeySequence(188 | 0x4000), QKeySequence(Qt::CTRL | Qt::Key_Comma));
    QCOMPARE(ShortCutToKeySequence(96), QKeySequence(Qt::KeypadModifier | Qt::Key_0));
    QVERIFY(ShortCutToKeySequence(0).isEmpty());
    QVERIFY(ShortCutToKeySequence(0x4000).isEmpty());  // a modifier alone
    QVERIFY(ShortCutToKeySequence(255).isEmpty());

    QCOMPARE(KeySequenceToShortCut(QKeySequence(Qt::CTRL | Qt::Key_M)), quint16(16461));
    QCOMPARE(KeySequenceToShortCut(QKeySequence(Qt::Key_F1)), quint16(112));
    QCOMPARE(KeySequenceToShortCut(QKeySequence(Qt::SHIFT | Qt::Key_F3)), quint16(8306));
    QCOMPARE(KeySequenceToShortCut(QKeySequence(Qt::Key_Enter)), quint16(13));
    QCOMPARE(KeySequenceToShortCut(QKeySequence(Qt::KeypadModifier | Qt::Key_Minus)), quint16(109));
    QCOMPARE(KeySequenceToShortCut(QKeySequence(Qt::Key_Minus)), quint16(189));
    QCOMPARE(KeySequenceToShortCut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Plus)), quint16(0x6000 | 187));
    QCOMPARE(KeySequenceToShortCut(QKeySequence()), quint16(0));
    QCOMPARE(KeySequenceToShortCut(QKeySequence(Qt::Key_VolumeUp)), quint16(0));
  }

  void everyMappedCodeRoundTrips() {
    int mapped = 0;
    for (int vk = 1; vk < 256; ++vk)
      for (int mods : {0, 0x2000, 0x4000, 0x8000, 0xE000}) {
        const quint16 sc = quint16(vk | mods);
        const QKeySequence seq = ShortCutToKeySequence(sc);
        if (seq.isEmpty()) continue;
        ++mapped;
        QCOMPARE(KeySequenceToShortCut(seq), sc);
      }
    // letters, digits, F1..F24, keypad, navigation and punctuation keys
    QVERIFY(mapped >= 5 * (26 + 10 + 24 + 15 + 20));
  }
};

KORVEX_TEST(TestMenuXml)
KORVEX_TEST(TestIconStrip)
KORVEX_TEST(TestShortCuts)

#include "test_menuxml.moc"
