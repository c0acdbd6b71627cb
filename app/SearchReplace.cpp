#include "app/SearchReplace.h"

#include <QComboBox>
#include <QDialog>
#include <QMainWindow>
#include <QWidget>
#include <memory>

#include "app/UfrmSearch.h"
#include "platform/Platform.h"

namespace {

// The main window's client area in screen coordinates.
// The menu bar is not part of a window's client area.
QRect clientRectOnScreen(QWidget* window) {
  if (!window) return QRect();
  QRect r(window->mapToGlobal(QPoint(0, 0)), window->size());
  if (auto* main = qobject_cast<QMainWindow*>(window))
    if (QWidget* bar = main->menuWidget(); bar && bar->isVisible()) r.setTop(r.top() + bar->height());
  return r;
}

}  // namespace

TSearchSession::~TSearchSession() { DestroyConfirmReplace(); }

void TSearchSession::FillSearchDialog(TfrmTextSearch& dialog) const {
  dialog.setSearchBackwards(SearchState.Backwards);
  dialog.setSearchCaseSensitive(SearchState.CaseSensitive);
  dialog.setSearchFromCursor(SearchState.FromCursor);
  dialog.setSearchInSelectionOnly(SearchState.SelectionOnly);
  dialog.setSearchText(SearchState.SearchText);
  dialog.setSearchTextHistory(SearchState.SearchTextHistory);
  if (auto* replace = qobject_cast<TfrmReplaceText*>(&dialog)) {
    replace->setReplaceText(SearchState.ReplaceText);
    replace->setReplaceTextHistory(SearchState.ReplaceTextHistory);
    replace->cbSearchText->setFocus();
  }
  dialog.setSearchWholeWords(SearchState.WholeWords);
}

void TSearchSession::AcceptSearchDialog(QWidget* mainWindow, TEditor& editor, TfrmTextSearch& dialog) {
  dialog.updateHistories();
  SearchState.Backwards = dialog.SearchBackwards();
  SearchState.CaseSensitive = dialog.SearchCaseSensitive();
  SearchState.FromCursor = dialog.SearchFromCursor();
  SearchState.SelectionOnly = dialog.SearchInSelectionOnly();
  SearchState.WholeWords = dialog.SearchWholeWords();
  SearchState.SearchText = dialog.SearchText();
  SearchState.SearchTextHistory = dialog.SearchTextHistory();
  auto* replaceDialog = qobject_cast<TfrmReplaceText*>(&dialog);
  if (replaceDialog) {
    SearchState.ReplaceText = replaceDialog->ReplaceText();
    SearchState.ReplaceTextHistory = replaceDialog->ReplaceTextHistory();
  }
  SearchState.SearchFromCaret = SearchState.FromCursor;
  if (!SearchState.SearchText.isEmpty()) {
    SearchReplaceText(mainWindow, editor, replaceDialog != nullptr, SearchState.Backwards);
    // Later find next / find previous continue from where this one stopped.
    SearchState.SearchFromCaret = true;
  }
}

void TSearchSession::ShowSearchDialog(QWidget* mainWindow, TEditor& editor, bool replace) {
  std::unique_ptr<TfrmTextSearch> dialog(replace ? new TfrmReplaceText(mainWindow) : new TfrmTextSearch(mainWindow));
  FillSearchDialog(*dialog);
  const int result = platform::execDialog(dialog.get());
  if (result != QDialog::Accepted) return;
  AcceptSearchDialog(mainWindow, editor, *dialog);
}

TSearchOptions TSearchSession::SearchOptionsFor(bool replace, bool backwards) const {
  TSearchOptions options;
  if (replace) options |= ssoReplace | ssoReplaceAll | ssoPrompt;
  if (backwards) options |= ssoBackwards;
  if (SearchState.CaseSensitive) options |= ssoMatchCase;
  if (!SearchState.SearchFromCaret) options |= ssoEntireScope;
  if (SearchState.SelectionOnly) options |= ssoSelectedOnly;
  if (SearchState.WholeWords) options |= ssoWholeWord;
  return options;
}

void TSearchSession::SearchReplaceText(QWidget* mainWindow, TEditor& editor, bool replace, bool backwards) {
  const TSearchOptions options = SearchOptionsFor(replace, backwards);
  // The editor asks us before each replacement for the length of this run only.
  auto previous = editor.onReplaceText;
  editor.onReplaceText = [this, mainWindow, &editor](const QString& search, const QString& replacement, int line,
                                               int column) {
    return EditorReplaceText(mainWindow, editor, search, replacement, line, column);
  };
  int count = 0;
  // An empty search text (find next before any search) finds nothing.
  if (!SearchState.SearchText.isEmpty())
    count = editor.searchReplace(SearchState.SearchText, SearchState.ReplaceText, options);
  editor.onReplaceText = previous;

  if (count == 0) {
    platform::beep();
    const int start = editor.selStart();
    const int length = editor.selLength();
    editor.setSelStart(backwards ? start : start + length);
    editor.setSelLength(0);
  }
  DestroyConfirmReplace();
}

TReplaceAction TSearchSession::EditorReplaceText(QWidget* mainWindow, TEditor& editor, const QString& ASearch,
                                                 const QString& AReplace, int Line, int Column) {
  if (ASearch == AReplace) return raSkip;

  const QPoint P = editor.rowColumnToScreen(Line, Column);
  QWidget* window = mainWindow ? mainWindow : editor.window();
  const QRect editorRect = clientRectOnScreen(window);
  // It outlives no run: DestroyConfirmReplace frees it.
  if (!FConfirmReplace) FConfirmReplace = new TfrmConfirmReplace(nullptr);
  TfrmConfirmReplace* confirm = FConfirmReplace;
  confirm->PrepareShow(editorRect, P.x(), P.y(), P.y() + editor.lineHeight(), ASearch);

  const int result = platform::execDialog(confirm);
  switch (result) {
    case TfrmConfirmReplace::crReplace:
      return raReplace;
    case TfrmConfirmReplace::crSkip:
      return raSkip;
    case TfrmConfirmReplace::crReplaceAll:
      return raReplaceAll;
    default:
      return raCancel;
  }
}

void TSearchSession::DestroyConfirmReplace() { delete FConfirmReplace.data(); }
