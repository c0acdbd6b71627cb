// The spelling set-up of the main window: entries in the editor's context
// menu built from the shipped definition, F5 and F6 while typing, and a
// rebuild of the menus that starts again from "Нет".
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

#include "MainWindowTestBed.h"
#include "app/General.h"
#include "TestMain.h"
#include "app/UfrmMain.h"
#include "editor/Editor.h"
#include "platform/Platform.h"
#include "spell/SpellMenu.h"

class TestSpelling : public QObject {
  Q_OBJECT
  TMainWindowTestBed FBed;
  static QAction* language(TfrmMain& w, int id) {
    for (QAction* a : w.spelling()->languageMenu()->actions())
      if (a->data().toInt() == id) return a;
    return nullptr;
  }

 private slots:
  void initTestCase() {
    FBed.start();
  }
  void cleanupTestCase() { FBed.stop(); }
  void init() { FBed.FMessages.clear(); }

  void contextMenuGetsTheSpellingEntries() {
    auto w = FBed.openWith(QStringLiteral("Сегодня хорашая погода\r\n").toUtf8());
    QVERIFY2(FBed.FMessages.isEmpty(), qPrintable(FBed.FMessages.join('\n')));
    QVERIFY(w->spelling());
    QMenu* popup = w->editorPopup();
    QVERIFY(TSpellMenu::FindPopupItem(popup, "pmiAddToDictionary"));
    QVERIFY(TSpellMenu::FindPopupItem(popup, "pmiSelectLanguage"));
    QVERIFY(language(*w, 0)->isChecked());
    QVERIFY(language(*w, 0x0419));
    QCOMPARE(language(*w, 0x0419)->text(), QStringLiteral("Русский"));
    QCOMPARE(language(*w, 0x0409)->text(), QStringLiteral("Английский (США)"));

    // F6 while typing: no menu command holds the key.
    language(*w, 0x0419)->trigger();
    w->activateWindow();
    w->editor().setFocus();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    w->editor().setCaretXY(QPoint(1, 1));
    QTest::keyClick(w->editor().viewport(), Qt::Key_F6);
    QCOMPARE(w->editor().caretXY(), QPoint(9, 1));
    QVERIFY(FBed.FMessages.isEmpty());
    QTest::keyClick(w->editor().viewport(), Qt::Key_F6);
    QCOMPARE(FBed.FMessages, QStringList{"Ошибок больше не найдено!"});

    // A rebuild (after the menu editor saved) keeps the language chosen, as
    // the next run does, with one set of entries.
    QCOMPARE(w->session().Options.SpellLanguage, 0x0419);
    const int entries = int(popup->actions().size());
    w->RebuildMenus();
    QVERIFY(w->spelling());
    QVERIFY(language(*w, 0x0419)->isChecked());
    QVERIFY(w->spelling()->FSpellCheck->Enabled());
    language(*w, 0)->trigger();
    QCOMPARE(w->session().Options.SpellLanguage, 0);
    QCOMPARE(int(w->editorPopup()->actions().size()), entries);
    QCOMPARE(w->editor().pluginCount(), 1);
  }
};

KORVEX_TEST(TestSpelling)
#include "test_spelling.moc"
