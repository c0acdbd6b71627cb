#pragma once
// Find, find next, find previous and replace in the markup editor.  The
// settings of the last search live for the rest of the run (in the session)
// so that find next and find previous repeat it; they are never written to
// the settings file.
#include <QPointer>
#include <QString>

#include "app/UfrmSearch.h"
#include "editor/Editor.h"

class QWidget;

struct TSearchState {
  bool Backwards = false;
  bool CaseSensitive = false;
  bool FromCursor = false;
  bool SelectionOnly = false;
  bool WholeWords = false;
  // Whether the next search starts at the caret (else it covers the whole text).
  bool SearchFromCaret = false;
  QString SearchText;
  QString SearchTextHistory;  // one text per line, CR LF between lines
  QString ReplaceText;
  QString ReplaceTextHistory;
};

// The last search of the run and the confirmation window of a replace run.
class TSearchSession {
 public:
  TSearchSession() = default;
  ~TSearchSession();
  TSearchSession(const TSearchSession&) = delete;
  TSearchSession& operator=(const TSearchSession&) = delete;

  TSearchState SearchState;

  // cmdEditFind (replace false) and cmdEditReplace (replace true).
  void ShowSearchDialog(QWidget* mainWindow, TEditor& editor, bool replace);
  // Fills a search or replace dialog from SearchState.
  void FillSearchDialog(TfrmTextSearch& dialog) const;
  // What closing the dialog with OK does: histories, SearchState, then the search.
  void AcceptSearchDialog(QWidget* mainWindow, TEditor& editor, TfrmTextSearch& dialog);

  // cmdEditFindNext (false, false), cmdEditFindPrev (false, true) and the run
  // started by the dialogs.  Nothing found: a beep and a collapsed selection.
  void SearchReplaceText(QWidget* mainWindow, TEditor& editor, bool replace, bool backwards);
  // The editor options SearchReplaceText passes for SearchState.
  TSearchOptions SearchOptionsFor(bool replace, bool backwards) const;

  // The editor's question before each replacement of a prompted run.
  TReplaceAction EditorReplaceText(QWidget* mainWindow, TEditor& editor, const QString& ASearch,
                                   const QString& AReplace, int Line, int Column);

  // The one confirmation window while it exists, else nullptr.
  TfrmConfirmReplace* confirmReplace() const { return FConfirmReplace; }
  // Frees the confirmation window if it exists (end of a run, main window gone).
  void DestroyConfirmReplace();

 private:
  // Parentless, so that it may stand beside the main window; freed at the end of each run.
  QPointer<TfrmConfirmReplace> FConfirmReplace;
};
