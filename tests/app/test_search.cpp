// Search and replace through the real editor: the dialog's OK path, find next
// and previous, the options, the prompted replace run with each answer, the
// histories and where the confirmation window goes.
#include <QComboBox>
#include <QLabel>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

#include "TestMain.h"
#include "app/SearchReplace.h"
#include "app/UfrmSearch.h"
#include "editor/Editor.h"
#include "platform/Platform.h"

namespace {

QString historyOf(int first, int last) {
  QStringList lines;
  for (int i = first; i <= last; ++i) lines << QStringLiteral("t%1").arg(i);
  return lines.join("\r\n");
}

}  // namespace

class TestSearch : public QObject {
  Q_OBJECT

  int FBeeps = 0;
  // Answers given to the confirmation window, in order; a run past them cancels.
  QList<int> FAnswers;
  QStringList FQuestions;
  QList<TfrmConfirmReplace*> FWindows;
  TSearchSession FSearch;
  // Fills the dialog when it is "shown"; returns the dialog's result.
  std::function<int(TfrmTextSearch&)> FDialog;

  void installSeam() {
    platform::MessageSeam messages;
    messages.beep = [this] { ++FBeeps; };
    platform::setMessageSeam(messages);
    platform::DialogSeam seam;
    seam.dialog = [this](QDialog* dlg) {
      if (auto* window = qobject_cast<TfrmConfirmReplace*>(dlg)) {
        FQuestions << window->lblConfirmation->text();
        FWindows << window;
        return FAnswers.isEmpty() ? int(QDialog::Rejected) : FAnswers.takeFirst();
      }
      auto* dialog = qobject_cast<TfrmTextSearch*>(dlg);
      return dialog && FDialog ? FDialog(*dialog) : int(QDialog::Rejected);
    };
    platform::setDialogSeam(seam);
  }

  // Opens the search (or replace) dialog and closes it with OK after setting
  // the given text and options.
  void find(TEditor& editor, const QString& text, bool fromCursor = false, bool backwards = false,
            bool replace = false, const QString& replacement = QString()) {
    FDialog = [&](TfrmTextSearch& dialog) {
      dialog.setSearchText(text);
      dialog.setSearchFromCursor(fromCursor);
      dialog.setSearchBackwards(backwards);
      if (auto* r = qobject_cast<TfrmReplaceText*>(&dialog)) r->setReplaceText(replacement);
      return int(QDialog::Accepted);
    };
    FSearch.ShowSearchDialog(nullptr, editor, replace);
    FDialog = nullptr;
  }

  void setText(TEditor& editor, const QStringList& lines) {
    editor.setLines(lines);
    editor.setSelStart(0);
    editor.setSelLength(0);
  }

 private slots:
  void init() {
    FSearch.SearchState = TSearchState();
    FBeeps = 0;
    FAnswers.clear();
    FQuestions.clear();
    FWindows.clear();
    FDialog = nullptr;
    installSeam();
  }
  void cleanup() {
    platform::setDialogSeam({});
    platform::setMessageSeam({});
    FSearch.DestroyConfirmReplace();
  }

  void findNextBeforeAnySearchBeeps() {
    TEditor editor;
    setText(editor, {"abc abc"});
    editor.setSelStart(1);
    editor.setSelLength(2);
    FSearch.SearchReplaceText(nullptr, editor, false, false);
    QCOMPARE(FBeeps, 1);
    QCOMPARE(editor.selLength(), 0);
    QCOMPARE(editor.selStart(), 3);
    FSearch.SearchReplaceText(nullptr, editor, false, true);
    QCOMPARE(FBeeps, 2);
    QCOMPARE(editor.selLength(), 0);
  }

  void firstSearchStartsAtTheTopUnlessFromCursor() {
    TEditor editor;
    setText(editor, {"foo x", "bar foo", "end"});
    editor.setSelStart(editor.lines().join('\n').size());  // caret at the very end
    find(editor, "foo");
    QCOMPARE(editor.selText(), QStringLiteral("foo"));
    QCOMPARE(editor.caretXY(), QPoint(4, 1));
    QVERIFY(FSearch.SearchState.SearchFromCaret);

    FSearch.SearchReplaceText(nullptr, editor, false, false);
    QCOMPARE(editor.selText(), QStringLiteral("foo"));
    QCOMPARE(editor.caretXY(), QPoint(8, 2));
    QCOMPARE(FBeeps, 0);

    FSearch.SearchReplaceText(nullptr, editor, false, false);
    QCOMPARE(FBeeps, 1);
    QCOMPARE(editor.selLength(), 0);
    QCOMPARE(editor.caretXY(), QPoint(8, 2));

    // From the cursor, with the caret past every occurrence, nothing is found.
    editor.setSelStart(editor.lines().join('\n').size());
    find(editor, "foo", true);
    QCOMPARE(FBeeps, 2);
  }

  void findNextAndPreviousKeepTheirDirections() {
    TEditor editor;
    setText(editor, {"foo foo foo"});
    editor.setSelStart(7);
    find(editor, "foo", true, true);  // backwards from the caret
    QCOMPARE(editor.selStart(), 4);
    QCOMPARE(editor.selLength(), 3);
    QVERIFY(FSearch.SearchState.Backwards);

    editor.setSelStart(7);
    FSearch.SearchReplaceText(nullptr, editor, false, false);
    QCOMPARE(editor.selStart(), 8);
    editor.setSelStart(7);
    FSearch.SearchReplaceText(nullptr, editor, false, true);
    QCOMPARE(editor.selStart(), 4);
    QCOMPARE(FBeeps, 0);
    QVERIFY(FSearch.SearchState.Backwards);

    // Nothing before the caret: the selection collapses onto its start.
    editor.setSelStart(0);
    editor.setSelLength(2);
    FSearch.SearchReplaceText(nullptr, editor, false, true);
    QCOMPARE(FBeeps, 1);
    QCOMPARE(editor.selStart(), 0);
    QCOMPARE(editor.selLength(), 0);
    // Nothing after it: onto its end.
    editor.setSelStart(9);
    editor.setSelLength(2);
    FSearch.SearchReplaceText(nullptr, editor, false, false);
    QCOMPARE(FBeeps, 2);
    QCOMPARE(editor.selStart(), 11);
    QCOMPARE(editor.selLength(), 0);
  }

  void wholeWordsAndCase() {
    TEditor editor;
    setText(editor, {QStringLiteral("foobar foo Ёжик ёж ЁЖ")});
    FDialog = [](TfrmTextSearch& dialog) {
      dialog.setSearchText("foo");
      dialog.setSearchWholeWords(true);
      return int(QDialog::Accepted);
    };
    FSearch.ShowSearchDialog(nullptr, editor, false);
    QCOMPARE(editor.selStart(), 7);
    QVERIFY(FSearch.SearchState.WholeWords);

    // Cyrillic without case: the first "ёж" in any case, as a whole word.
    FDialog = [](TfrmTextSearch& dialog) {
      dialog.setSearchText(QStringLiteral("ЁЖ"));
      return int(QDialog::Accepted);
    };
    FSearch.ShowSearchDialog(nullptr, editor, false);
    QCOMPARE(editor.selText(), QStringLiteral("ёж"));

    FDialog = [](TfrmTextSearch& dialog) {
      dialog.setSearchText(QStringLiteral("ЁЖ"));
      dialog.setSearchCaseSensitive(true);
      dialog.setSearchWholeWords(false);
      return int(QDialog::Accepted);
    };
    FSearch.ShowSearchDialog(nullptr, editor, false);
    QCOMPARE(editor.selText(), QStringLiteral("ЁЖ"));
    QCOMPARE(editor.selStart(), 19);

    FDialog = [](TfrmTextSearch& dialog) {
      dialog.setSearchText(QStringLiteral("ёЖ"));
      return int(QDialog::Accepted);
    };
    FSearch.ShowSearchDialog(nullptr, editor, false);
    QCOMPARE(FBeeps, 1);
  }

  void selectionOnly() {
    TEditor editor;
    setText(editor, {"foo bar foo bar"});
    auto onlySelected = [](TfrmTextSearch& dialog) {
      dialog.setSearchText("foo");
      dialog.setSearchInSelectionOnly(true);
      return int(QDialog::Accepted);
    };
    editor.setSelStart(4);
    editor.setSelLength(11);
    FDialog = onlySelected;
    FSearch.ShowSearchDialog(nullptr, editor, false);
    QCOMPARE(editor.selStart(), 8);
    QCOMPARE(editor.selLength(), 3);

    // Without a selection the whole text is searched.
    editor.setSelStart(0);
    editor.setSelLength(0);
    FSearch.ShowSearchDialog(nullptr, editor, false);
    QCOMPARE(editor.selStart(), 0);
    QCOMPARE(editor.selLength(), 3);
    QCOMPARE(FBeeps, 0);
  }

  void cancelledDialogChangesNothing() {
    TEditor editor;
    setText(editor, {"foo"});
    FSearch.SearchState.SearchText = "old";
    FSearch.SearchState.SearchTextHistory = "old";
    FDialog = [](TfrmTextSearch& dialog) {
      dialog.setSearchText("foo");
      dialog.setSearchWholeWords(true);
      return int(QDialog::Rejected);
    };
    FSearch.ShowSearchDialog(nullptr, editor, false);
    QCOMPARE(FSearch.SearchState.SearchText, QStringLiteral("old"));
    QCOMPARE(FSearch.SearchState.SearchTextHistory, QStringLiteral("old"));
    QVERIFY(!FSearch.SearchState.WholeWords);
    QCOMPARE(editor.selLength(), 0);
  }

  void emptySearchTextStoresOptionsOnly() {
    TEditor editor;
    setText(editor, {"foo"});
    editor.setSelStart(0);
    editor.setSelLength(2);
    FDialog = [](TfrmTextSearch& dialog) {
      dialog.setSearchText(QString());
      dialog.setSearchCaseSensitive(true);
      dialog.setSearchFromCursor(false);
      return int(QDialog::Accepted);
    };
    FSearch.ShowSearchDialog(nullptr, editor, false);
    QVERIFY(FSearch.SearchState.CaseSensitive);
    QVERIFY(!FSearch.SearchState.SearchFromCaret);
    QCOMPARE(FBeeps, 0);
    QCOMPARE(editor.selLength(), 2);
  }

  void dialogIsFilledFromState() {
    TEditor editor;
    FSearch.SearchState.Backwards = true;
    FSearch.SearchState.WholeWords = true;
    FSearch.SearchState.SelectionOnly = true;
    FSearch.SearchState.SearchText = "abc";
    FSearch.SearchState.SearchTextHistory = "abc\r\nxyz";
    FSearch.SearchState.ReplaceText = "def";
    FSearch.SearchState.ReplaceTextHistory = "def";
    // The dialog is only inspected once the modal part has returned.
    QStringList seen;
    FDialog = [&](TfrmTextSearch& dialog) {
      auto& r = dynamic_cast<TfrmReplaceText&>(dialog);
      seen << r.windowTitle() << QString::number(r.directionIndex()) << QString::number(r.SearchBackwards())
           << QString::number(r.SearchWholeWords()) << QString::number(r.SearchInSelectionOnly())
           << QString::number(r.SearchCaseSensitive()) << r.SearchText() << QString::number(r.cbSearchText->count())
           << r.ReplaceText() << QString::number(r.cbReplaceText->count());
      return int(QDialog::Rejected);
    };
    FSearch.ShowSearchDialog(nullptr, editor, true);
    QCOMPARE(seen, QStringList({QStringLiteral("Найти"), "1", "1", "1", "1", "0", "abc", "2", "def", "1"}));
  }

  void historyKeepsTenAndMovesRepeatsToTheTop() {
    TEditor editor;
    setText(editor, {"nothing here"});
    FSearch.SearchState.SearchTextHistory = historyOf(1, 10);
    find(editor, "new");
    QCOMPARE(FSearch.SearchState.SearchTextHistory, "new\r\n" + historyOf(1, 9));
    QCOMPARE(FBeeps, 1);

    int shown = -1;
    FDialog = [&](TfrmTextSearch& dialog) {
      shown = dialog.cbSearchText->count();
      dialog.setSearchText("T5");  // a repeat in another letter case
      return int(QDialog::Accepted);
    };
    FSearch.ShowSearchDialog(nullptr, editor, false);
    QCOMPARE(shown, 10);
    QCOMPARE(FSearch.SearchState.SearchText, QStringLiteral("T5"));
    QCOMPARE(FSearch.SearchState.SearchTextHistory, QStringLiteral("T5\r\nnew\r\nt1\r\nt2\r\nt3\r\nt4\r\nt6\r\nt7\r\nt8\r\nt9"));

    // The same text again is not added twice.
    find(editor, "T5");
    QCOMPARE(FSearch.SearchState.SearchTextHistory.count("T5"), 1);
  }

  void replaceDialogUpdatesBothHistories() {
    TEditor editor;
    setText(editor, {"abc"});
    FSearch.SearchState.SearchTextHistory = "abc";
    FSearch.SearchState.ReplaceTextHistory = "Xyz\r\nq";
    FAnswers = {TfrmConfirmReplace::crSkip};
    find(editor, "ABC", false, false, true, "xyz");
    QCOMPARE(FSearch.SearchState.SearchTextHistory, QStringLiteral("ABC"));
    QCOMPARE(FSearch.SearchState.ReplaceTextHistory, QStringLiteral("xyz\r\nq"));
    QCOMPARE(FSearch.SearchState.ReplaceText, QStringLiteral("xyz"));
  }

  void helpButtonOpensSearchHelp() {
    platform::setHelpFolder(QStringLiteral(KORVEX_SOURCE_DIR "/Help"));
    TfrmReplaceText dialog;
    dialog.sbtnHelp->click();
    QWidget* help = platform::helpWindow();
    QVERIFY(help);
    auto* browser = help->findChild<QTextBrowser*>("HelpBrowser");
    QVERIFY(browser);
    QVERIFY(browser->source().toLocalFile().endsWith("/240.html"));
    delete help;
    platform::setHelpFolder(QString());
  }

  void replaceWithTheSameTextAsksNothing() {
    TEditor editor;
    setText(editor, {"a b a"});
    find(editor, "a", false, false, true, "a");
    QCOMPARE(FQuestions.size(), 0);
    QCOMPARE(editor.line(0), QStringLiteral("a b a"));
    QVERIFY(!editor.modified());
    QCOMPARE(FBeeps, 1);  // nothing was replaced
  }

  void answersOverThreeOccurrences_data() {
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("questions");
    const int yes = TfrmConfirmReplace::crReplace;
    const int no = TfrmConfirmReplace::crSkip;
    const int all = TfrmConfirmReplace::crReplaceAll;
    const int cancel = QDialog::Rejected;
    QTest::newRow("yes yes yes") << QList<int>{yes, yes, yes} << "yy-yy-yy" << 3;
    QTest::newRow("no yes no") << QList<int>{no, yes, no} << "x-yy-x" << 3;
    QTest::newRow("yes to all first") << QList<int>{all} << "yy-yy-yy" << 1;
    QTest::newRow("no then yes to all") << QList<int>{no, all} << "x-yy-yy" << 2;
    QTest::newRow("yes then cancel") << QList<int>{yes, cancel} << "yy-x-x" << 2;
    QTest::newRow("cancel first") << QList<int>{cancel} << "x-x-x" << 1;
  }
  void answersOverThreeOccurrences() {
    QFETCH(QList<int>, answers);
    QFETCH(QString, expected);
    QFETCH(int, questions);
    TEditor editor;
    setText(editor, {"x-x-x"});
    FAnswers = answers;
    find(editor, "x", false, false, true, "yy");
    QCOMPARE(editor.line(0), expected);
    QCOMPARE(FQuestions.size(), questions);
    QCOMPARE(FQuestions.first(), QStringLiteral("Заменить \"x\"?"));
    // One window for the whole run, gone when the run is over.
    for (auto* w : FWindows) QCOMPARE(w, FWindows.first());
    QCOMPARE(FSearch.confirmReplace(), nullptr);
  }

  void confirmationPlacement() {
    TfrmConfirmReplace window;
    const int w = window.width();
    const int h = window.height();
    const QRect rect(100, 200, w + 400, 300);  // lower third starts below y 400
    window.PrepareShow(rect, 150, 380, 396, "abc");
    QCOMPARE(window.lblConfirmation->text(), QStringLiteral("Заменить \"abc\"?"));
    QCOMPARE(window.pos(), QPoint(150, 400));
    window.PrepareShow(rect, 150, 384, 400, "abc");
    QCOMPARE(window.pos(), QPoint(150, 404));
    window.PrepareShow(rect, 150, 385, 401, "abc");
    QCOMPARE(window.pos(), QPoint(150, 385 - h - 4));
    // Kept inside the right edge.
    window.PrepareShow(rect, 520, 220, 236, "abc");
    QCOMPARE(window.pos(), QPoint(rect.left() + rect.width() - w, 240));
    QCOMPARE(window.x(), 500);
    window.PrepareShow(rect, 500, 220, 236, "abc");  // ends exactly at the edge
    QCOMPARE(window.x(), 500);
    // A rectangle narrower than the window: centred on it.
    const QRect narrow(300, 0, w - 100, 90);
    window.PrepareShow(narrow, 310, 70, 86, "abc");
    QCOMPARE(window.pos(), QPoint(300 - 50, 70 - h - 4));
    QCOMPARE(window.size(), QSize(w, h));
  }
  void confirmationPointerIsCleared() {
    // A prompted run makes the window; the run's end frees it.
    TEditor editor;
    setText(editor, {"x"});
    TfrmConfirmReplace* window = nullptr;
    platform::DialogSeam seam;
    seam.dialog = [&](QDialog* d) {
      window = FSearch.confirmReplace();
      return d == window ? int(TfrmConfirmReplace::crSkip) : int(QDialog::Rejected);
    };
    platform::ScopedDialogScript script(seam);
    FSearch.SearchState.SearchText = "x";
    FSearch.SearchState.ReplaceText = "y";
    FSearch.SearchReplaceText(nullptr, editor, true, false);
    QVERIFY(window);
    QCOMPARE(FSearch.confirmReplace(), nullptr);
    FSearch.DestroyConfirmReplace();  // nothing left to free
  }

  void confirmationFollowsTheOccurrence() {
    QWidget main;
    main.resize(600, 600);
    auto* layout = new QVBoxLayout(&main);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* editor = new TEditor(&main);
    layout->addWidget(editor);
    QStringList lines;
    for (int i = 0; i < 60; ++i) lines << QStringLiteral("line %1").arg(i);
    lines[0] = "x first";
    editor->setLines(lines);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));

    QList<QPoint> positions;
    QList<QPoint> occurrences;
    int windowHeight = 0;
    platform::DialogSeam seam;
    seam.dialog = [&](QDialog* window) {
      positions << window->pos();
      windowHeight = window->height();
      occurrences << editor->rowColumnToScreen(editor->caretXY().y(), 1);
      return int(TfrmConfirmReplace::crSkip);
    };
    platform::ScopedDialogScript script(seam);
    FSearch.SearchState.SearchText = "x";
    FSearch.SearchState.ReplaceText = "y";
    editor->setSelStart(0);
    FSearch.SearchReplaceText(&main, *editor, true, false);
    QCOMPARE(positions.size(), 1);
    // The first line is in the upper part: the window sits 4 px below it.
    QCOMPARE(positions[0].y(), occurrences[0].y() + editor->lineHeight() + 4);

    // An occurrence scrolled to the bottom of the window gets it above its line.
    const int bottomLine = editor->lineCount() - 1;
    editor->setLine(bottomLine, "x last");
    positions.clear();
    occurrences.clear();
    FSearch.SearchState.SearchFromCaret = true;
    editor->setSelStart(editor->lines().join('\n').size() - 6);
    FSearch.SearchReplaceText(&main, *editor, true, false);
    QCOMPARE(positions.size(), 1);
    const QRect client(main.mapToGlobal(QPoint(0, 0)), main.size());
    QVERIFY(occurrences[0].y() + editor->lineHeight() > client.top() + client.height() * 2 / 3);
    QCOMPARE(positions[0].y(), occurrences[0].y() - windowHeight - 4);
  }
};

KORVEX_TEST(TestSearch)
#include "test_search.moc"
