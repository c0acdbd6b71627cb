// replaceLines: the undoable rewrite the text tools and the line mover use.
#include <QSignalSpy>
#include <QTest>

#include "TestMain.h"
#include "editor/Editor.h"

class TestReplaceLines : public QObject {
  Q_OBJECT

 private slots:
  void oneUndoStepAfterEarlierEdits() {
    TEditor e;
    e.setLines({"a", "b", "c", "d"});
    e.setSelStart(0);
    e.setSelText(QStringLiteral("1"));
    QSignalSpy changes(&e, &TEditor::changed);
    e.replaceLines(1, {"c", "b"});
    QCOMPARE(e.lines(), QStringList({"1a", "c", "b", "d"}));
    QVERIFY(e.modified());
    QCOMPARE(changes.count(), 0);
    e.undo();
    QCOMPARE(e.lines(), QStringList({"1a", "b", "c", "d"}));
    e.undo();
    QCOMPARE(e.lines(), QStringList({"a", "b", "c", "d"}));
    e.redo();
    e.redo();
    QCOMPARE(e.lines(), QStringList({"1a", "c", "b", "d"}));
  }

  // A replacement holding a break adds lines without shifting the ones after it.
  void breaksInsideReplacement() {
    TEditor e;
    e.setLines({"a", "b", "c"});
    e.replaceLines(0, {"x\r\ny", "B", "z"});
    QCOMPARE(e.lines(), QStringList({"x", "y", "B", "z"}));
    e.undo();
    QCOMPARE(e.lines(), QStringList({"a", "b", "c"}));
  }

  void nothingToChange() {
    TEditor e;
    e.setLines({"a", "b"});
    e.replaceLines(0, {"a", "b"});
    e.replaceLines(1, {"x", "y"});  // past the last line
    e.replaceLines(-1, {"x"});
    QCOMPARE(e.lines(), QStringList({"a", "b"}));
    QVERIFY(!e.modified());
    QVERIFY(!e.canUndo());
  }
};

KORVEX_TEST(TestReplaceLines)
#include "test_replacelines.moc"
