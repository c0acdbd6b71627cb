// Commands through the interface the shipped menu definition builds: dispatch,
// the idle-time state of registered items, the status bar, the line mover.
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QClipboard>
#include <QTest>

#include "MainWindowTestBed.h"
#include "TestMain.h"
#include "app/UfrmMain.h"
#include "menus/MenuXML.h"
#include "menus/zorAcMtextMenus.h"
#include "platform/Platform.h"

namespace {
TXmlMenuItem* findItem(TfrmMain& w, TMenuCommand cmd) {
  for (TXmlMenuItem* i : w.stateMenuItems())
    if (i->FCmd == cmd) return i;
  return nullptr;
}
}  // namespace

class TestCommands : public QObject {
  Q_OBJECT
  TMainWindowTestBed FBed;

 private slots:
  void initTestCase() {
    FBed.start();
  }
  void cleanupTestCase() { FBed.stop(); }
  void init() { FBed.FMessages.clear(); }

  // The shipped definition builds menus, the context menu and the toolbar
  // without a word of complaint.
  void shippedInterfaceLoads() {
    auto w = FBed.openWith("abc\r\n");
    QVERIFY2(FBed.FMessages.isEmpty(), qPrintable(FBed.FMessages.join('\n')));
    QVERIFY(w->menuBar()->actions().size() >= 4);
    QVERIFY(w->editorPopup());
    QCOMPARE(w->editorPopup()->objectName(), QStringLiteral("MAIN"));
    QVERIFY(w->toolBar()->isEnabled());
    QVERIFY(!w->stateToolButtons().empty());
    for (TXmlMenuItem* i : w->stateMenuItems()) QVERIFY(IsStateCommand(i->FCmd));
    QVERIFY(findItem(*w, cmdEditSelectAll));
    w->ExitWithoutSaving();
  }

  void stateFollowsSelectionUndoRedo() {
    auto w = FBed.openWith("hello world\r\n");
    platform::runIdleHandler();
    QVERIFY(!findItem(*w, cmdEditCut)->isEnabled());
    QVERIFY(!findItem(*w, cmdEditCopy)->isEnabled());
    QVERIFY(!findItem(*w, cmdEditDelete)->isEnabled());
    QVERIFY(!findItem(*w, cmdEditLowerCase)->isEnabled());
    QVERIFY(!findItem(*w, cmdEditUndo)->isEnabled());
    QVERIFY(!findItem(*w, cmdEditRedo)->isEnabled());
    QVERIFY(findItem(*w, cmdEditSelectAll)->isEnabled());

    w->editor().setSelStart(0);
    w->editor().setSelLength(5);
    platform::runIdleHandler();
    QVERIFY(findItem(*w, cmdEditCut)->isEnabled());
    QVERIFY(findItem(*w, cmdEditUpperCase)->isEnabled());

    w->RunCommand(cmdEditUpperCase, QString());
    QCOMPARE(w->editor().line(0), QStringLiteral("HELLO world"));
    platform::runIdleHandler();
    QVERIFY(findItem(*w, cmdEditUndo)->isEnabled());
    QVERIFY(!findItem(*w, cmdEditRedo)->isEnabled());
    w->RunCommand(cmdEditUndo, QString());
    QCOMPARE(w->editor().line(0), QStringLiteral("hello world"));
    platform::runIdleHandler();
    QVERIFY(findItem(*w, cmdEditRedo)->isEnabled());
    w->ExitWithoutSaving();
  }

  void dispatchTakesTheSendersCommand() {
    auto w = FBed.openWith("abc\r\n");
    TXmlMenuItem* selectAll = findItem(*w, cmdEditSelectAll);
    w->ExecuteCommand(selectAll);
    QCOMPARE(w->editor().selText(), QStringLiteral("abc"));
    // A sender that carries no command does nothing.
    QObject stranger;
    w->editor().setSelLength(0);
    w->ExecuteCommand(&stranger);
    QVERIFY(!w->editor().hasSelection());
    w->ExitWithoutSaving();
  }

  // The caret lands where "~" was; undo restores the text.
  void insertStackWithCaretMark() {
    auto w = FBed.openWith("0123456789AB\r\n");
    w->editor().setSelStart(10);
    w->editor().setSelLength(2);
    w->RunCommand(cmdInsertStack, QStringLiteral("\\S~^;"));
    QCOMPARE(w->editor().line(0), QStringLiteral("0123456789\\S^;"));
    QCOMPARE(w->editor().selStart(), 12);
    QCOMPARE(w->editor().selLength(), 0);
    w->RunCommand(cmdEditUndo, QString());
    QCOMPARE(w->editor().line(0), QStringLiteral("0123456789AB"));
    w->ExitWithoutSaving();
  }

  void quotedStringEnclosesSelection() {
    auto w = FBed.openWith("abc\r\n");
    w->editor().selectAll();
    w->RunCommand(cmdInsertQuotedString, QStringLiteral("{\\L~}"));
    QCOMPARE(w->editor().line(0), QStringLiteral("{\\Labc}"));
    QCOMPARE(w->editor().selStart(), 3);
    w->ExitWithoutSaving();
  }

  void insertSupportFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("frag.txt"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("{\\C1;~}\r\nвторая\r\n");
    f.close();
    auto w = FBed.openWith("x\r\n");
    w->editor().setSelStart(0);
    w->InsertSupportFile(path);
    QCOMPARE(w->editor().lines(), (QStringList{"{\\C1;}", "вторая", "x"}));
    QCOMPARE(w->editor().selStart(), 5);
    w->InsertSupportFile(dir.filePath(QStringLiteral("missing.txt")));
    QCOMPARE(FBed.FMessages.size(), 1);
    w->ExitWithoutSaving();
  }

  void newEmptiesTheEditor() {
    auto w = FBed.openWith("abc\r\n");
    QTest::keyClicks(&w->editor(), QStringLiteral("z"));
    w->RunCommand(cmdFileNew, QString());
    QCOMPARE(w->editor().text().trimmed(), QString());
    QVERIFY(!w->editor().modified());
    QVERIFY(!w->editor().canUndo());
    QVERIFY(!w->fileName().isEmpty());
    w->ExitWithoutSaving();
  }

  // Paste follows the clipboard, as other programs change it.
  void pasteFollowsClipboard() {
    auto w = FBed.openWith("abc\r\n");
    QGuiApplication::clipboard()->setText(QStringLiteral("x"));
    platform::runIdleHandler();
    QVERIFY(findItem(*w, cmdEditPaste)->isEnabled());
    QGuiApplication::clipboard()->clear();
    platform::runIdleHandler();
    QVERIFY(!findItem(*w, cmdEditPaste)->isEnabled());
    QGuiApplication::clipboard()->setText(QStringLiteral("y"));
    platform::runIdleHandler();
    QVERIFY(findItem(*w, cmdEditPaste)->isEnabled());
    w->ExitWithoutSaving();
  }

  void insertToggleOverwrites() {
    auto w = FBed.openWith("abc\r\n");
    platform::setInsertToggled(true);
    platform::runIdleHandler();
    QCOMPARE(w->statusPanel(2)->text(), QStringLiteral("ЗАМ"));
    QVERIFY(!w->editor().insertMode());
    w->editor().setCaretXY(QPoint(1, 1));
    QTest::keyClicks(&w->editor(), QStringLiteral("X"));
    QCOMPARE(w->editor().line(0), QStringLiteral("Xbc"));
    platform::setInsertToggled(false);
    platform::runIdleHandler();
    QCOMPARE(w->statusPanel(2)->text(), QStringLiteral("ВСТ"));
    QVERIFY(w->editor().insertMode());
    w->ExitWithoutSaving();
  }

  void wordWrapToggleChecksItsItem() {
    auto w = FBed.openWith("abc\r\n");
    TXmlMenuItem* item = findItem(*w, cmdToolsWordWrap);
    QVERIFY(item);
    const bool before = w->editor().wordWrap();
    w->ExecuteCommand(item);
    QCOMPARE(w->editor().wordWrap(), !before);
    platform::runIdleHandler();
    QCOMPARE(item->isChecked(), !before);
    QCOMPARE(w->session().Options.EditorProps.epWordWrap, before);  // the setting is not changed
    w->ExitWithoutSaving();
  }

  // A moved line is an edit like any other: modified flag, one undo step
  // each, earlier edits still undoable; the edges change nothing.
  void lineMoveSetsModified() {
    auto w = FBed.openWith("one\r\ntwo\r\nthree\r\n");
    w->editor().setCaretXY(QPoint(1, 3));
    w->editor().setSelText(QStringLiteral("3"));
    w->editor().setModified(false);
    w->editor().setCaretXY(QPoint(2, 1));
    w->MoveCaretLine(-1);  // first line: nothing
    QCOMPARE(w->editor().lines().mid(0, 3), (QStringList{"one", "two", "3three"}));
    QVERIFY(!w->editor().modified());
    w->MoveCaretLine(+1);
    QCOMPARE(w->editor().lines().mid(0, 3), (QStringList{"two", "one", "3three"}));
    QCOMPARE(w->editor().caretXY(), QPoint(2, 2));
    QVERIFY(w->editor().modified());
    w->MoveCaretLine(+1);
    QCOMPARE(w->editor().lines().mid(0, 3), (QStringList{"two", "3three", "one"}));
    w->editor().setCaretXY(QPoint(1, w->editor().lineCount()));
    const QStringList before = w->editor().lines();
    w->MoveCaretLine(+1);  // last line: nothing
    QCOMPARE(w->editor().lines(), before);
    w->editor().undo();
    w->editor().undo();
    QCOMPARE(w->editor().lines().mid(0, 3), (QStringList{"one", "two", "3three"}));
    w->editor().undo();
    QCOMPARE(w->editor().lines().mid(0, 3), (QStringList{"one", "two", "three"}));
    w->ExitWithoutSaving();
  }

  void hintsReplaceThePanels() {
    auto w = FBed.openWith("abc\r\n");
    w->ShowHintText(QStringLiteral("Подсказка"));
    QCOMPARE(w->statusBar()->currentMessage(), QStringLiteral("Подсказка"));
    w->ShowHintText(QString());
    QVERIFY(w->statusBar()->currentMessage().isEmpty());
    // The context menu is a window of its own; its hints still reach the bar.
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    emit w->editor().customContextMenuRequested(QPoint(5, 5));
    QMenu* popup = nullptr;
    QTRY_VERIFY((popup = qobject_cast<QMenu*>(QApplication::activePopupWidget())));
    QAction* hinted = nullptr;
    for (QAction* a : popup->actions())
      if (!a->isSeparator() && a->isEnabled() && !a->statusTip().isEmpty()) {
        hinted = a;
        break;
      }
    QVERIFY(hinted);
    popup->setActiveAction(hinted);
    QCOMPARE(w->statusBar()->currentMessage(), hinted->statusTip());
    popup->close();
    w->ExitWithoutSaving();
  }
};

KORVEX_TEST(TestCommands)
#include "test_commands.moc"
