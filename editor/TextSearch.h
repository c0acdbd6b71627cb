#pragma once
// Search and replace over a text document, with or without a widget showing
// it.  Positions are QTextDocument positions (a line break counts as one
// character); lines and columns given to callbacks are 1-based.
#include <QFlags>
#include <QString>
#include <QTextCursor>
#include <functional>

class QTextDocument;

enum TSearchOption {
  ssoMatchCase = 1,
  ssoWholeWord = 2,
  ssoBackwards = 4,
  ssoEntireScope = 8,
  ssoSelectedOnly = 16,
  ssoReplace = 32,
  ssoReplaceAll = 64,
  ssoPrompt = 128,
};
Q_DECLARE_FLAGS(TSearchOptions, TSearchOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TSearchOptions)

enum TReplaceAction { raCancel, raSkip, raReplace, raReplaceAll };

// CR LF, CR and the Unicode line and paragraph separators become the one
// break a document keeps between lines (offsets count it as one character).
QString NormalizeLineBreaks(QString s);
// A word is a run of letters, digits, combining marks and '_'.
bool IsWordChar(QChar c);

class TTextSearch {
 public:
  using TAskReplace =
      std::function<TReplaceAction(const QString& search, const QString& replace, int line, int column)>;
  using TShow = std::function<void(const QTextCursor& found)>;

  explicit TTextSearch(QTextDocument* document) : FDocument(document) {}

  // Asked before each replacement under ssoPrompt, while the occurrence is
  // shown; without it every occurrence is replaced.
  TAskReplace onReplaceText;
  // Shows an occurrence found (selected) or the text just replaced; the
  // caret of whoever shows the document goes there.
  TShow onShow;

  // Starts at the caret (its selection is the scope under ssoSelectedOnly;
  // ssoEntireScope starts at the scope's start, or end backwards).  Finding:
  // 1 when an occurrence was shown, else 0.  Replacing: the replacements
  // made; a replace-all is one undo step.
  int run(const QString& search, const QString& replace, TSearchOptions options, const QTextCursor& caret);

 private:
  QString documentText() const;
  void setScope(TSearchOptions options, const QTextCursor& caret);
  bool findNext(int& found);
  bool isWholeWord(int found) const;
  QTextCursor matchCursor(int docPos) const;
  QTextCursor replaceAt(int found);
  int replaceMatches(const QString& search, const QString& replace, TSearchOptions options);
  void show(const QTextCursor& c) const {
    if (onShow) onShow(c);
  }

  QTextDocument* FDocument;
  // The text as it was when the run started; replacements only touch text
  // already passed, so positions before the scan point stay valid and FDelta
  // maps them to document positions in forward runs.
  QString FHay;
  QString FNeedle;
  QString FReplacement;
  Qt::CaseSensitivity FCase = Qt::CaseInsensitive;
  bool FBackwards = false;
  bool FWholeWord = false;
  int FScopeStart = 0;
  int FScopeEnd = 0;
  int FPos = 0;
  int FDelta = 0;
};
