// Search and replace of the editing control.
#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>

#include "TestMain.h"
#include "editor/Editor.h"

class TestEditorSearch : public QObject {
  Q_OBJECT
 private:
  struct TAsked {
    int line, column;
  };

  // Answers the prompts in order and records where each was asked.
  static void answer(TEditor& e, QList<TReplaceAction> answers, QList<TAsked>& asked) {
    e.onReplaceText = [&e, answers, &asked](const QString& s, const QString&, int line, int column) mutable {
      asked.append({line, column});
      // The occurrence is selected while the question is asked.
      if (e.selText().compare(s, Qt::CaseInsensitive) != 0) return raCancel;
      return answers.isEmpty() ? raCancel : answers.takeFirst();
    };
  }

 private slots:
  void findSelectsFirstOccurrenceFromCaret() {
    TEditor e;
    e.setLines({"abc xabc", "ABC abc"});
    e.setSelStart(1);
    QCOMPARE(e.searchReplace("abc", "", {}), 1);
    QCOMPARE(e.selStart(), 5);
    QCOMPARE(e.selLength(), 3);
    // Find next continues after the selected occurrence; case is ignored.
    QCOMPARE(e.searchReplace("abc", "", {}), 1);
    QCOMPARE(e.caretXY(), QPoint(4, 2));
    QCOMPARE(e.selText(), QStringLiteral("ABC"));
    QCOMPARE(e.searchReplace("abc", "", ssoMatchCase), 1);
    QCOMPARE(e.selStart(), 13);
    // Nothing further: 0, and the selection stays as it was.
    QCOMPARE(e.searchReplace("abc", "", {}), 0);
    QCOMPARE(e.selStart(), 13);
    QCOMPARE(e.selLength(), 3);
    QCOMPARE(e.searchReplace("", "", ssoEntireScope), 0);
    QCOMPARE(e.searchReplace("zzz", "", ssoEntireScope), 0);
  }

  void entireScopeStartsAtTheEdge() {
    TEditor e;
    e.setLines({"one two one"});
    e.setCaretXY(QPoint(12, 1));
    QCOMPARE(e.searchReplace("one", "", {}), 0);
    QCOMPARE(e.searchReplace("one", "", ssoEntireScope), 1);
    QCOMPARE(e.selStart(), 0);
    e.setCaretXY(QPoint(1, 1));
    QCOMPARE(e.searchReplace("one", "", ssoBackwards), 0);
    QCOMPARE(e.searchReplace("one", "", ssoBackwards | ssoEntireScope), 1);
    QCOMPARE(e.selStart(), 8);
  }

  void backwardsFindsPreviousAndLeavesCaretAtStart() {
    TEditor e;
    e.setLines({"ab ab", "ab"});
    e.setCaretXY(QPoint(3, 2));
    QCOMPARE(e.searchReplace("ab", "", ssoBackwards), 1);
    QCOMPARE(e.selStart(), 6);
    QCOMPARE(e.caretXY(), QPoint(1, 2));
    QCOMPARE(e.searchReplace("ab", "", ssoBackwards), 1);
    QCOMPARE(e.selStart(), 3);
    QCOMPARE(e.searchReplace("ab", "", ssoBackwards), 1);
    QCOMPARE(e.selStart(), 0);
    QCOMPARE(e.searchReplace("ab", "", ssoBackwards), 0);
  }

  void matchCaseAndCyrillic() {
    TEditor e;
    e.setLines({"Привет привет ПРИВЕТ"});
    QCOMPARE(e.searchReplace("привет", "мир", ssoEntireScope | ssoReplace | ssoReplaceAll), 3);
    QCOMPARE(e.line(0), QStringLiteral("мир мир мир"));
    e.setLines({"Привет привет ПРИВЕТ"});
    QCOMPARE(e.searchReplace("привет", "мир", ssoEntireScope | ssoMatchCase | ssoReplace | ssoReplaceAll), 1);
    QCOMPARE(e.line(0), QStringLiteral("Привет мир ПРИВЕТ"));
  }

  void wholeWord() {
    TEditor e;
    e.setLines({"abc abcd xabc abc_ жabc abc.", "abc"});
    QCOMPARE(e.searchReplace("abc", "X", ssoEntireScope | ssoWholeWord | ssoReplace | ssoReplaceAll), 3);
    QCOMPARE(e.lines(), (QStringList{"X abcd xabc abc_ жabc X.", "X"}));
    // Backwards too, and a word that is no whole word anywhere is not found.
    e.setLines({"мир, мирный мир"});
    QCOMPARE(e.searchReplace("мир", "", ssoEntireScope | ssoBackwards | ssoWholeWord), 1);
    QCOMPARE(e.selStart(), 12);
    QCOMPARE(e.searchReplace("ирн", "", ssoEntireScope | ssoWholeWord), 0);
  }

  void replaceAllKeepsPositionsAndUndoesAsOne() {
    TEditor e;
    e.setLines({"a-a", "a"});
    QSignalSpy changed(&e, &TEditor::changed);
    QCOMPARE(e.searchReplace("a", "xyz", ssoEntireScope | ssoReplace | ssoReplaceAll), 3);
    QCOMPARE(e.lines(), (QStringList{"xyz-xyz", "xyz"}));
    QVERIFY(changed.count() >= 1);
    QVERIFY(e.modified());
    e.undo();
    QCOMPARE(e.lines(), (QStringList{"a-a", "a"}));
    // Backwards, and a replacement that contains the search text is not searched again.
    QCOMPARE(e.searchReplace("a", "aa", ssoEntireScope | ssoBackwards | ssoReplace | ssoReplaceAll), 3);
    QCOMPARE(e.lines(), (QStringList{"aa-aa", "aa"}));
    // Replace without "all" replaces the first occurrence only.
    e.setLines({"a a"});
    QCOMPARE(e.searchReplace("a", "b", ssoEntireScope | ssoReplace), 1);
    QCOMPARE(e.line(0), QStringLiteral("b a"));
  }

  void selectedOnly() {
    TEditor e;
    e.setLines({"aa", "aa", "aa"});
    e.setSelStart(3);
    e.setSelLength(2);  // the second line
    QCOMPARE(e.searchReplace("a", "b", ssoEntireScope | ssoSelectedOnly | ssoReplace | ssoReplaceAll), 2);
    QCOMPARE(e.lines(), (QStringList{"aa", "bb", "aa"}));
    // An occurrence reaching out of the selection is not inside it.
    e.setLines({"abc"});
    e.setSelStart(0);
    e.setSelLength(2);
    QCOMPARE(e.searchReplace("bc", "", ssoEntireScope | ssoSelectedOnly), 0);
    // Without a selection the whole text is searched.
    e.setLines({"aa", "aa"});
    e.setSelStart(0);
    QCOMPARE(e.searchReplace("a", "b", ssoEntireScope | ssoSelectedOnly | ssoReplace | ssoReplaceAll), 4);
    QCOMPARE(e.lines(), (QStringList{"bb", "bb"}));
    // From the caret: the caret stands at an end of the selection, yet the
    // whole selection is searched, in either direction.
    for (const bool backwards : {false, true}) {
      e.setLines({"foo bar foo baz foo"});
      e.setSelStart(0);
      e.setSelLength(15);  // "foo bar foo baz"
      const TSearchOptions dir = backwards ? TSearchOptions(ssoBackwards) : TSearchOptions(0);
      QCOMPARE(e.searchReplace("foo", "", ssoSelectedOnly | dir), 1);
      QCOMPARE(e.selStart(), backwards ? 8 : 0);
      e.setSelStart(0);
      e.setSelLength(15);
      QCOMPARE(e.searchReplace("foo", "x", ssoSelectedOnly | ssoReplace | ssoReplaceAll | dir), 2);
      QCOMPARE(e.line(0), QStringLiteral("x bar x baz foo"));
    }
  }

  void promptAnswers() {
    TEditor e;
    e.setLines({"a a", "a a a"});
    QList<TAsked> asked;
    answer(e, {raReplace, raSkip, raReplaceAll}, asked);
    const TSearchOptions all = ssoEntireScope | ssoReplace | ssoReplaceAll | ssoPrompt;
    QCOMPARE(e.searchReplace("a", "b", all), 4);  // the skipped one is not counted
    QCOMPARE(e.lines(), (QStringList{"b a", "b b b"}));
    QCOMPARE(asked.size(), 3);  // nothing asked after "all"
    QCOMPARE(asked[0].line, 1);
    QCOMPARE(asked[0].column, 1);
    QCOMPARE(asked[1].column, 3);
    QCOMPARE(asked[2].line, 2);
    QCOMPARE(asked[2].column, 1);

    e.setLines({"a a a"});
    asked.clear();
    answer(e, {raReplace, raCancel, raReplace}, asked);
    QCOMPARE(e.searchReplace("a", "bb", all), 1);
    QCOMPARE(e.line(0), QStringLiteral("bb a a"));
    QCOMPARE(asked.size(), 2);
    QCOMPARE(asked[1].column, 4);  // reported where it is after the first replacement

    e.setLines({"x a"});
    asked.clear();
    answer(e, {raSkip}, asked);
    QCOMPARE(e.searchReplace("a", "b", all), 0);
    QCOMPARE(e.line(0), QStringLiteral("x a"));
    // Each prompted replacement is its own undo step.
    e.setLines({"a a"});
    answer(e, {raReplace, raReplace}, asked);
    QCOMPARE(e.searchReplace("a", "c", all), 2);
    e.undo();
    QCOMPARE(e.line(0), QStringLiteral("c a"));
  }

  void readOnlyReplacesNothing() {
    TEditor e;
    e.setLines({"a"});
    e.setReadOnly(true);
    QCOMPARE(e.searchReplace("a", "b", ssoEntireScope | ssoReplace | ssoReplaceAll), 0);
    QCOMPARE(e.line(0), QStringLiteral("a"));
    QCOMPARE(e.searchReplace("a", "b", ssoEntireScope), 1);
  }

  // The engine alone, on a document no widget shows: what it shows is
  // reported, and a replace-all is one undo step.
  void engineWithoutWidget() {
    QTextDocument doc(QStringLiteral("ab\nxab ab"));
    TTextSearch engine(&doc);
    QList<QPair<int, int>> shown;
    engine.onShow = [&](const QTextCursor& c) { shown.append({c.selectionStart(), c.selectionEnd()}); };
    QTextCursor caret(&doc);
    caret.setPosition(1);
    QCOMPARE(engine.run("ab", "", ssoWholeWord, caret), 1);
    QCOMPARE(shown, (QList<QPair<int, int>>{{7, 9}}));
    QCOMPARE(engine.run("ab", "c", ssoEntireScope | ssoReplace | ssoReplaceAll, caret), 3);
    QCOMPARE(doc.toPlainText(), QStringLiteral("c\nxc c"));
    doc.undo();
    QCOMPARE(doc.toPlainText(), QStringLiteral("ab\nxab ab"));
  }
};

KORVEX_TEST(TestEditorSearch)
#include "test_search.moc"
