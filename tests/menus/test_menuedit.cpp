// The menu editor dialog, driven through its controls and handlers on real
// files: the shipped menu and icon strip copied to a temporary folder.
#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>

#include "MenuTestUtil.h"
#include "TestMain.h"
#include "menus/UfrmMenuEdit.h"
#include "platform/Platform.h"

namespace {
QString source(const char* name) { return QStringLiteral(KORVEX_SOURCE_DIR "/Support/") + QLatin1String(name); }

struct Files {
  QTemporaryDir dir;
  QString xml;
  QString bmp;
  explicit Files(const QString& text = QString()) {
    xml = dir.filePath(QStringLiteral("menu.xml"));
    bmp = dir.filePath(QStringLiteral("menu.bmp"));
    QFile::copy(source("menu.bmp"), bmp);
    if (text.isEmpty())
      QFile::copy(source("menu.xml"), xml);
    else
      menutest::writeFile(dir, QStringLiteral("menu.xml"), text);
  }
  QByteArray bytes() const {
    QFile f(xml);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
};

// The node reached by captions from the root, or nullptr.
TXmlTreeNode* node(TfrmMenuEdit& d, const QStringList& path) {
  QTreeWidgetItem* found = nullptr;
  for (int i = 0; i < d.tvElements->topLevelItemCount(); ++i)
    if (d.tvElements->topLevelItem(i)->text(0) == path[0]) found = d.tvElements->topLevelItem(i);
  for (int k = 1; found && k < path.size(); ++k) {
    QTreeWidgetItem* next = nullptr;
    for (int i = 0; i < found->childCount(); ++i)
      if (found->child(i)->text(0) == path[k]) next = found->child(i);
    found = next;
  }
  return static_cast<TXmlTreeNode*>(found);
}

void select(TfrmMenuEdit& d, TXmlTreeNode* n) {
  QVERIFY(n);
  d.tvElements->setCurrentItem(n);
}

QStringList childCaptions(QTreeWidgetItem* item) {
  QStringList r;
  for (int i = 0; i < item->childCount(); ++i) r << item->child(i)->text(0);
  return r;
}

struct Enabled {
  bool btnMenu, shortCut, brk, mtext;
};
Enabled enabledOf(TfrmMenuEdit& d) {
  return {d.edBtnMenu->isEnabled(), d.hkShortCut->isEnabled(), d.chbBreak->isEnabled(), d.chbAsMtext->isEnabled()};
}

const QString Main = QStringLiteral("MAINMENU");
const QString Popup = QStringLiteral("POPUPMENU");
const QString Tool = QStringLiteral("TOOLBAR");
}  // namespace

class TestMenuEdit : public QObject {
  Q_OBJECT
  QStringList FMessages;

 private slots:
  void init() {
    FMessages.clear();
    platform::MessageSeam seam;
    seam.message = [this](const QString& t) { FMessages << t; };
    seam.error = [this](const QString& t) { FMessages << QStringLiteral("error: ") + t; };
    platform::setMessageSeam(seam);
  }
  void cleanup() { platform::setMessageSeam({}); }

  void opensOnTheFile() {
    Files f;
    TfrmMenuEdit d(f.bmp);
    d.LoadFile(f.xml);
    QCOMPARE(d.windowTitle(), f.xml);
    QVERIFY(!d.FModified);
    QCOMPARE(d.lbCommand->count(), 41);
    QCOMPARE(d.lbCommand->item(31)->text(), QStringLiteral("Настройка интерфейса"));
    // 128 x 80 strip: 40 icons, then the three section icons.
    QCOMPARE(d.stripIconCount(), 40);
    QCOMPARE(d.imlIcons.count(), 43);
    QCOMPARE(d.lbImageIndex->count(), 41);
    QCOMPARE(d.lbImageIndex->item(0)->text(), QStringLiteral("нет"));
    QCOMPARE(d.lbImageIndex->item(40)->text(), QStringLiteral("39"));
    QCOMPARE(d.tvElements->topLevelItemCount(), 3);
    QCOMPARE(static_cast<TXmlTreeNode*>(d.tvElements->topLevelItem(2))->FImageIndex, 42);
    QCOMPARE(d.selectedNode(), node(d, {Main}));

    // Layout: properties 266 wide, the tree keeps 256 when the window narrows.
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    QCOMPARE(d.size(), QSize(646, 494));
    QCOMPARE(d.gbProperties->width(), 266);
    QVERIFY(d.tvElements->hasFocus());
    d.resize(d.minimumSize());
    QCOMPARE(d.minimumWidth(), 532);
    QTRY_COMPARE(d.gbElements->width(), 256);
    QVERIFY(d.gbProperties->width() >= 256);
    d.hide();
  }

  void sectionSelected() {
    Files f;
    TfrmMenuEdit d(f.bmp);
    d.LoadFile(f.xml);
    select(d, node(d, {Tool, QStringLiteral("Новый")}));
    QVERIFY(d.edCaption->isEnabled());
    select(d, node(d, {Tool}));
    for (QWidget* w : d.gbProperties->findChildren<QWidget*>())
      QVERIFY2(w == d.btnHelp || !w->isEnabled(), qPrintable(w->metaObject()->className()));
    QVERIFY(d.btnHelp->isEnabled());
    QVERIFY(d.edCaption->text().isEmpty() && d.edHint->text().isEmpty());
    QCOMPARE(d.lbCommand->currentRow(), 0);
    QCOMPARE(d.lbImageIndex->currentRow(), 0);
    QCOMPARE(d.hkShortCut->shortCut(), quint16(0));

    const QByteArray before = WriteMenuTree(TTreeToXml(d.tvElements).document());
    d.btnApplyClick();
    d.acInsertExecute();
    d.acDeleteExecute();
    d.acMoveUpExecute();
    d.acMoveDownExecute();
    QVERIFY(!d.FModified);
    QCOMPARE(WriteMenuTree(TTreeToXml(d.tvElements).document()), before);

    const int count = node(d, {Tool})->childCount();
    d.acAddChildExecute();
    QVERIFY(d.FModified);
    QCOMPARE(node(d, {Tool})->childCount(), count + 1);
    QCOMPARE(d.selectedNode(), node(d, {Tool}));
  }

  void enablingByPlace() {
    Files f;
    TfrmMenuEdit d(f.bmp);
    d.LoadFile(f.xml);
    struct Case {
      QStringList path;
      Enabled e;
    };
    const Case cases[] = {
        {{Tool, QStringLiteral("Символы")}, {true, false, false, false}},
        {{Tool, QStringLiteral("-")}, {false, false, false, false}},
        {{Main, QStringLiteral("&Файл")}, {false, true, false, false}},
        {{Main, QStringLiteral("&Файл"), QStringLiteral("&Новый")}, {false, true, true, true}},
        {{Popup, QStringLiteral("MAIN")}, {false, true, false, false}},
        {{Popup, QStringLiteral("MAIN"), QStringLiteral("&Вырезать")}, {false, true, true, false}},
    };
    for (const Case& c : cases) {
      select(d, node(d, c.path));
      const Enabled e = enabledOf(d);
      QVERIFY2(e.btnMenu == c.e.btnMenu && e.shortCut == c.e.shortCut && e.brk == c.e.brk && e.mtext == c.e.mtext,
               qPrintable(c.path.join(QLatin1Char('/'))));
      QCOMPARE(d.lblBtnMenu->isEnabled(), e.btnMenu);
      QCOMPARE(d.lblShortCut->isEnabled(), e.shortCut);
    }
    // A disabled control still shows the node's value.
    select(d, node(d, {Tool, QStringLiteral("Символы")}));
    QCOMPARE(d.edBtnMenu->text(), QStringLiteral("SYMBOLS"));
    QCOMPARE(d.lbImageIndex->currentRow(), 15);
  }

  void editsNeedApply() {
    Files f;
    TfrmMenuEdit d(f.bmp);
    d.LoadFile(f.xml);
    TXmlTreeNode* open = node(d, {Main, QStringLiteral("&Файл"), QStringLiteral("&Открыть...")});
    select(d, open);
    d.edCaption->setText(QStringLiteral("Прочитать"));
    select(d, node(d, {Main}));
    select(d, open);
    QCOMPARE(d.edCaption->text(), QStringLiteral("&Открыть..."));
    QVERIFY(!d.FModified);

    // Applied: every field lands in the node; "нет" is image index -1.
    d.edCaption->setText(QStringLiteral("Градус"));
    d.lbCommand->setCurrentRow(cmdInsertString);
    d.lbImageIndex->setCurrentRow(0);
    d.edArgument->setText(QStringLiteral("%%d~"));
    d.edHint->setText(QStringLiteral("h"));
    d.chbShowHint->setChecked(true);
    d.chbBreak->setChecked(true);
    d.chbAsMtext->setChecked(true);
    QVERIFY(d.hkShortCut->takeKey(Qt::Key_D, Qt::ControlModifier));
    d.btnApplyClick();
    QVERIFY(d.FModified);
    QCOMPARE(open->caption(), QStringLiteral("Градус"));
    QCOMPARE(open->FCommand, cmdInsertString);
    QCOMPARE(open->FImageIndex, -1);
    QCOMPARE(open->icon(0).cacheKey(), BlankNodeIcon().cacheKey());
    QCOMPARE(open->FArgument, QStringLiteral("%%d~"));
    QCOMPARE(open->FShortCut, quint16(0x4044));
    QVERIFY(open->FShowHint && open->FBreak && open->FAsMText);
    TMenuItemProps written = TTreeToXml(d.tvElements).document()[0].Children[0].Children[1].Props;
    QCOMPARE(written.ImageIndex, -1);
    QCOMPARE(written.Caption, QStringLiteral("Градус"));
  }

  void emptyImageIndexIsIconZero() {
    Files f(menutest::document(QStringLiteral("<MAINMENU>%1%2</MAINMENU>")
                                   .arg(menutest::item(QStringLiteral("A"), 0, QString(), QString(),
                                                       QStringLiteral("IMAGEINDEX=\"\"")),
                                        menutest::item(QStringLiteral("B"), 0, QString(), QString(),
                                                       QStringLiteral("IMAGEINDEX=\"x\"")))));
    TfrmMenuEdit d(f.bmp);
    d.LoadFile(f.xml);
    for (const char* caption : {"A", "B"}) {
      TXmlTreeNode* n = node(d, {Main, QString::fromLatin1(caption)});
      QCOMPARE(n->FImageIndex, 0);
      QVERIFY(!n->icon(0).isNull());
      select(d, n);
      QCOMPARE(d.lbImageIndex->currentRow(), 1);
    }
  }

  void insertAddAndMove() {
    Files f;
    TfrmMenuEdit d(f.bmp);
    d.LoadFile(f.xml);
    TXmlTreeNode* help = node(d, {Main, QStringLiteral("&Справка")});
    TXmlTreeNode* service = node(d, {Main, QStringLiteral("С&ервис")});
    // Insert: before the selected node, same parent, from the controls.
    select(d, help);
    d.edCaption->setText(QStringLiteral("&Окно"));
    d.acInsertExecute();
    QCOMPARE(childCaptions(node(d, {Main})).mid(3),
             (QStringList{"С&ервис", "&Окно", "&Справка"}));
    QCOMPARE(d.selectedNode(), help);

    // Down: the second-to-last becomes last; the last stays.
    select(d, node(d, {Main, QStringLiteral("&Окно")}));
    d.acMoveDownExecute();
    QCOMPARE(childCaptions(node(d, {Main})).mid(3), (QStringList{"С&ервис", "&Справка", "&Окно"}));
    d.FModified = false;
    d.acMoveDownExecute();
    QVERIFY(!d.FModified);
    QCOMPARE(childCaptions(node(d, {Main})).last(), QStringLiteral("&Окно"));

    // Up from the first does nothing; a move takes the subtree along.
    select(d, node(d, {Main, QStringLiteral("&Файл")}));
    d.acMoveUpExecute();
    QVERIFY(!d.FModified);
    select(d, service);
    service->setExpanded(true);
    const int children = service->childCount();
    d.acMoveUpExecute();
    QCOMPARE(childCaptions(node(d, {Main})).mid(2, 2), (QStringList{"С&ервис", "&Вставка"}));
    QCOMPARE(service->childCount(), children);
    QVERIFY(service->isExpanded());
    QCOMPARE(d.selectedNode(), service);

    // Add child: last child, not selected.
    d.edCaption->setText(QStringLiteral("Новый пункт"));
    d.acAddChildExecute();
    QCOMPARE(childCaptions(service).last(), QStringLiteral("Новый пункт"));
    QCOMPARE(d.selectedNode(), service);

    // Delete: with its subtree, the neighbour below takes the selection.
    d.acDeleteExecute();
    QVERIFY(!node(d, {Main, QStringLiteral("С&ервис")}));
    QCOMPARE(d.selectedNode(), node(d, {Main, QStringLiteral("&Вставка")}));
  }

  void hotKeyField() {
    THotKeyEdit hk;
    QVERIFY(hk.takeKey(Qt::Key_D, Qt::ControlModifier));
    QCOMPARE(hk.shortCut(), quint16(16452));
    QVERIFY(!hk.takeKey(Qt::Key_D, Qt::ShiftModifier));
    QVERIFY(!hk.takeKey(Qt::Key_F3, Qt::ShiftModifier));
    QCOMPARE(hk.shortCut(), quint16(16452));
    QVERIFY(hk.takeKey(Qt::Key_F3, Qt::ShiftModifier | Qt::ControlModifier));
    QCOMPARE(hk.shortCut(), quint16(0x6072));
    QVERIFY(hk.takeKey(Qt::Key_F2, Qt::NoModifier));
    QCOMPARE(hk.shortCut(), quint16(113));
    QTest::keyClick(&hk, Qt::Key_Backspace);
    QCOMPARE(hk.shortCut(), quint16(0));
    QCOMPARE(hk.text(), QStringLiteral("Нет"));
    QTest::keyClick(&hk, Qt::Key_M, Qt::ControlModifier | Qt::AltModifier);
    QCOMPARE(hk.shortCut(), quint16(0xC04D));
    // A shipped Shift-only shortcut is shown as it is.
    hk.setShortCut(8306);
    QCOMPARE(hk.shortCut(), quint16(8306));
  }

  void keyboard() {
    Files f;
    TfrmMenuEdit d(f.bmp);
    d.LoadFile(f.xml);
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    d.activateWindow();
    QTRY_VERIFY(d.tvElements->hasFocus());
    QCOMPARE(d.selectedNode(), node(d, {Main}));

    // Insert adds a child (and is not the editor's insert-mode toggle).
    const bool toggle = platform::insertToggled();
    QTest::keyClick(d.tvElements, Qt::Key_Insert);
    platform::setInsertToggled(!toggle);  // what the application's key watch does
    QCOMPARE(node(d, {Main})->childCount(), 6);
    QVERIFY(d.FModified);

    // Ctrl+Up / Ctrl+Down move, Delete deletes.
    select(d, node(d, {Main, QStringLiteral("&Файл")}));
    QTest::keyClick(d.tvElements, Qt::Key_Down, Qt::ControlModifier);
    QCOMPARE(childCaptions(node(d, {Main})).mid(0, 2), (QStringList{"&Правка", "&Файл"}));
    QTest::keyClick(d.tvElements, Qt::Key_Up, Qt::ControlModifier);
    QCOMPARE(childCaptions(node(d, {Main})).first(), QStringLiteral("&Файл"));
    // Delete asks first: No keeps the element, Yes removes it.
    QStringList asked;
    QMessageBox::StandardButton answer = QMessageBox::No;
    platform::MessageSeam seam;
    seam.ask = [&](const QString& t) {
      asked << t;
      return answer;
    };
    platform::setMessageSeam(seam);
    QTest::keyClick(d.tvElements, Qt::Key_Delete);
    QCOMPARE(childCaptions(node(d, {Main})).first(), QStringLiteral("&Файл"));
    QCOMPARE(asked.size(), 1);
    QVERIFY2(asked.first().startsWith(QStringLiteral("Удалить элемент «&Файл»")), qPrintable(asked.first()));
    answer = QMessageBox::Yes;
    QTest::keyClick(d.tvElements, Qt::Key_Delete);
    QCOMPARE(childCaptions(node(d, {Main})).first(), QStringLiteral("&Правка"));

    // Insert on an element: a new one right after it, selected.
    select(d, node(d, {Main, QStringLiteral("&Правка")}));
    const int before = node(d, {Main})->childCount();
    QTest::keyClick(d.tvElements, Qt::Key_Insert);
    QCOMPARE(node(d, {Main})->childCount(), before + 1);
    QCOMPARE(node(d, {Main})->indexOfChild(d.selectedNode()), 1);
    answer = QMessageBox::Yes;
    QTest::keyClick(d.tvElements, Qt::Key_Delete);
    QCOMPARE(node(d, {Main})->childCount(), before);

    // Return in a property field applies.
    select(d, node(d, {Main, QStringLiteral("&Правка")}));
    QTest::keyClick(d.tvElements, Qt::Key_Return);
    QTRY_VERIFY(d.edCaption->hasFocus());
    d.edCaption->setText(QStringLiteral("&Изменить"));
    QTest::keyClick(d.edCaption, Qt::Key_Return);
    QVERIFY(node(d, {Main, QStringLiteral("&Изменить")}));
    d.edHint->setFocus();
    d.edHint->setText(QStringLiteral("подсказка"));
    QTest::keyClick(d.edHint, Qt::Key_Enter);
    QCOMPARE(node(d, {Main, QStringLiteral("&Изменить")})->FHint, QStringLiteral("подсказка"));
    d.FModified = false;
    d.reject();
    QCOMPARE(platform::insertToggled(), toggle);
  }

  void mouseOnTreeAndToolbar() {
    Files f;
    TfrmMenuEdit d(f.bmp);
    d.LoadFile(f.xml);
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    const QPoint free(d.tbElements->width() - 5, d.tbElements->height() / 2);
    select(d, node(d, {Popup, QStringLiteral("SYMBOLS"), QStringLiteral("Градус")}));
    QTest::mouseClick(d.tbElements, Qt::LeftButton, Qt::NoModifier, free);
    QCOMPARE(FMessages, QStringList{Popup});
    // A click on an item selects it and shows its properties.
    TXmlTreeNode* open = node(d, {Tool, QStringLiteral("Открыть")});
    QTest::mouseClick(d.tvElements->viewport(), Qt::LeftButton, Qt::NoModifier,
                      d.tvElements->visualItemRect(open).center());
    QCOMPARE(d.selectedNode(), open);
    QVERIFY(d.edCaption->isEnabled());
    QCOMPARE(d.edCaption->text(), QStringLiteral("Открыть"));
    // A click on a button is that button's action, not the message.
    select(d, node(d, {Tool, QStringLiteral("Новый")}));
    QWidget* down = d.tbElements->widgetForAction(d.acMoveDown);
    QTest::mouseClick(down, Qt::LeftButton, Qt::NoModifier, down->rect().center());
    QCOMPARE(FMessages.size(), 1);
    QCOMPARE(childCaptions(node(d, {Tool}))[1], QStringLiteral("Новый"));
    d.FModified = false;
    d.hide();
  }

  // Destroyed while shown, the dialog hides its children after its own part
  // is gone; the sanitizer build catches a filter that still sees them.
  void destroyedWhileShown() {
    Files f;
    auto* d = new TfrmMenuEdit(f.bmp);
    d->LoadFile(f.xml);
    d->show();
    QVERIFY(QTest::qWaitForWindowExposed(d));
    delete d;
  }

  void closingUnchangedWritesNothing() {
    Files f;
    const QDateTime stamp = QFileInfo(f.xml).lastModified();
    const QByteArray before = f.bytes();
    TfrmMenuEdit d(f.bmp);
    d.LoadFile(f.xml);
    select(d, node(d, {Main, QStringLiteral("&Файл")}));
    d.edCaption->setText(QStringLiteral("не применено"));
    d.reject();
    QCOMPARE(d.result(), int(QDialog::Rejected));
    QCOMPARE(f.bytes(), before);
    QCOMPARE(QFileInfo(f.xml).lastModified(), stamp);
  }

  void changeAndYesWritesWhatTheLoaderTakes() {
    Files f;
    TfrmMenuEdit d(f.bmp);
    d.LoadFile(f.xml);
    // The trial of a new user: &Файл below &Правка, a rendered "Градус" on Ctrl+D in &Вставка.
    select(d, node(d, {Main, QStringLiteral("&Файл")}));
    d.acMoveDownExecute();
    select(d, node(d, {Main, QStringLiteral("&Вставка")}));
    d.edCaption->setText(QStringLiteral("Градус"));
    d.lbCommand->setCurrentRow(cmdInsertString);
    d.edArgument->setText(QStringLiteral("%%d~"));
    QVERIFY(d.hkShortCut->takeKey(Qt::Key_D, Qt::ControlModifier));
    d.acAddChildExecute();
    QTreeWidgetItem* insertMenu = node(d, {Main, QStringLiteral("&Вставка")});
    select(d, static_cast<TXmlTreeNode*>(insertMenu->child(insertMenu->childCount() - 1)));
    QCOMPARE(d.edCaption->text(), QStringLiteral("Градус"));
    QVERIFY(d.chbAsMtext->isEnabled());
    d.chbAsMtext->setChecked(true);
    d.btnApplyClick();

    QStringList questions;
    platform::ScopedDialogScript script({[&](QDialog* dlg) {
                                           auto* box = qobject_cast<QMessageBox*>(dlg);
                                           questions << (box ? box->text() : QString());
                                           if (box) box->button(QMessageBox::Yes)->click();
                                           return int(QDialog::Accepted);
                                         },
                                         {}});
    d.reject();
    QCOMPARE(questions, QStringList{QStringLiteral("Меню изменено. Сохранить?")});
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QVERIFY(!d.FModified);

    // Every ITEM carries the ten attributes, so the loader's rules take each one.
    struct Count : TMenuXmlHandler {
      int items = 0, accepted = 0;
      void startElement(TMenuElement e, QStringView, const QXmlStreamAttributes& atts) override {
        TMenuItemProps p;
        if (e != meItem) return;
        ++items;
        accepted += ReadMenuItemProps(atts, mrLoader, p) && atts.size() == MenuItemAttrCount;
      }
      void endElement(TMenuElement, QStringView) override {}
    } count;
    QVERIFY(ParseMenuXml(f.bytes(), count, nullptr));
    QCOMPARE(count.accepted, count.items);
    QVERIFY(count.items > 100);

    // And the loader builds them: the new order and the new item.
    menutest::Form form;
    TImageList icons;
    LoadIconStrip(icons, f.bmp);
    TXmlToMenu loader(&form.window, &icons, form.toolBar, [](QObject*) {});
    QVERIFY(loader.MenuLoad(f.xml));
    const QList<QAction*> bar = form.window.menuBar()->actions();
    QCOMPARE(bar[0]->text(), QStringLiteral("&Правка"));
    QCOMPARE(bar[1]->text(), QStringLiteral("&Файл"));
    auto* degree = qobject_cast<TXmlMenuItem*>(bar[2]->menu()->actions().last());
    QVERIFY(degree);
    QCOMPARE(degree->text(), QStringLiteral("Градус"));
    QCOMPARE(degree->FCmd, cmdInsertString);
    QCOMPARE(degree->FArgument, QStringLiteral("%%d~"));
    QVERIFY(degree->FAsMText);
    QCOMPARE(degree->shortcut(), QKeySequence(QStringLiteral("Ctrl+D")));
  }

  void changeAndNoWritesNothing() {
    Files f;
    const QByteArray before = f.bytes();
    TfrmMenuEdit d(f.bmp);
    d.LoadFile(f.xml);
    select(d, node(d, {Main, QStringLiteral("&Файл")}));
    d.acDeleteExecute();
    // The title names the file a save goes to.
    QCOMPARE(d.windowTitle(), QDir::toNativeSeparators(f.xml));
    QMessageBox::StandardButton reply = QMessageBox::Cancel;
    platform::ScopedDialogScript script({[&](QDialog* dlg) {
                                           if (auto* box = qobject_cast<QMessageBox*>(dlg))
                                             box->button(reply)->click();
                                           return int(QDialog::Rejected);
                                         },
                                         {}});
    d.show();
    d.reject();  // Отмена: back to the editing, nothing lost
    QVERIFY(d.isVisible());
    QVERIFY(d.FModified);
    reply = QMessageBox::No;
    d.reject();
    QVERIFY(!d.isVisible());
    QCOMPARE(d.result(), int(QDialog::Rejected));
    QCOMPARE(f.bytes(), before);
  }

  void failedSaveKeepsTheDialogAndItsTree() {
    Files f;
    TfrmMenuEdit d(f.bmp);
    d.LoadFile(f.xml);
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    select(d, node(d, {Main, QStringLiteral("&Файл")}));
    d.acDeleteExecute();
    // The file's place is taken by a folder: the temporary file cannot replace it.
    QVERIFY(QFile::remove(f.xml));
    QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("menu.xml")));
    QString answer = QStringLiteral("yes");
    platform::ScopedDialogScript script({[&](QDialog* dlg) {
                                           if (auto* box = qobject_cast<QMessageBox*>(dlg))
                                             box->button(answer == QLatin1String("yes") ? QMessageBox::Yes
                                                                                        : QMessageBox::No)
                                                 ->click();
                                           return int(QDialog::Rejected);
                                         },
                                         {}});
    d.close();
    QCOMPARE(FMessages.size(), 1);
    QVERIFY(FMessages.first().startsWith(QStringLiteral("error: Ошибка при сохранении ") + f.xml));
    QVERIFY(d.isVisible());
    QVERIFY(d.FModified);
    QVERIFY(!node(d, {Main, QStringLiteral("&Файл")}));
    QCOMPARE(node(d, {Main})->childCount(), 4);
    // Closing again and answering No lets it go.
    answer = QStringLiteral("no");
    d.close();
    QVERIFY(!d.isVisible());
    QCOMPARE(d.result(), int(QDialog::Rejected));
  }

  // accept() keeps the edits: written without a question, Accepted; with
  // nothing to write it reports no save.
  void acceptSavesWithoutAsking() {
    Files f;
    TfrmMenuEdit d(f.bmp);
    d.LoadFile(f.xml);
    int asked = 0;
    platform::ScopedDialogScript script({[&](QDialog*) {
                                           ++asked;
                                           return int(QDialog::Rejected);
                                         },
                                         {}});
    d.accept();
    QCOMPARE(d.result(), int(QDialog::Rejected));
    select(d, node(d, {Main, QStringLiteral("&Файл")}));
    d.acDeleteExecute();
    d.accept();
    QCOMPARE(asked, 0);
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QVERIFY(!d.FModified);
    QCOMPARE(ReadMenuTree(f.xml).front().Children.size(), size_t(4));
  }

  void editMenuFileReportsOnlyASave() {
    Files f;
    const QByteArray before = f.bytes();
    // Opened and closed without a change: false, nothing asked.
    int asked = 0;
    {
      platform::ScopedDialogScript script({[&](QDialog* dlg) {
                                             asked += qobject_cast<QMessageBox*>(dlg) != nullptr;
                                             return int(QDialog::Accepted);
                                           },
                                           {}});
      QVERIFY(!EditMenuFile(f.xml, f.bmp));
    }
    QCOMPARE(asked, 0);
    QCOMPARE(f.bytes(), before);
    // A move, then Yes: true, and the file has the new order.
    bool treeFocused = false;
    platform::ScopedDialogScript script({[&](QDialog* dlg) {
                                           if (auto* box = qobject_cast<QMessageBox*>(dlg)) {
                                             box->button(QMessageBox::Yes)->click();
                                           } else if (auto* d = qobject_cast<TfrmMenuEdit*>(dlg)) {
                                             treeFocused = QTest::qWaitFor([d] { return d->tvElements->hasFocus(); });
                                             d->tvElements->setCurrentItem(node(*d, {Main, QStringLiteral("&Файл")}));
                                             QTest::keyClick(d->tvElements, Qt::Key_Down, Qt::ControlModifier);
                                           }
                                           return int(QDialog::Rejected);
                                         },
                                         {}});
    QVERIFY(EditMenuFile(f.xml, f.bmp));
    QVERIFY(treeFocused);
    QCOMPARE(ReadMenuTree(f.xml)[0].Children[1].Props.Caption, QStringLiteral("&Файл"));
  }

  void unreadableFilesAreReported() {
    Files f(QStringLiteral("<ROOT><MAINMENU>"));
    TfrmMenuEdit d(f.bmp);
    QVERIFY_THROWS_EXCEPTION(TMenuFileError, d.LoadFile(f.xml));
    QVERIFY_THROWS_EXCEPTION(TIconStripError, TfrmMenuEdit(f.dir.filePath(QStringLiteral("none.bmp"))));
  }
};

KORVEX_TEST(TestMenuEdit)
#include "test_menuedit.moc"
