#include "editor/TextSearch.h"

#include <QTextBlock>
#include <QTextDocument>

// Break style of pasted or inserted text becomes the document's own.
QString NormalizeLineBreaks(QString s) {
  s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  s.replace(QChar(QChar::LineSeparator), QLatin1Char('\n'));
  s.replace(QChar(QChar::ParagraphSeparator), QLatin1Char('\n'));
  return s;
}

bool IsWordChar(QChar c) { return c.isLetterOrNumber() || c.isMark() || c == QLatin1Char('_'); }

QString TTextSearch::documentText() const {
  QString s;
  s.reserve(FDocument->characterCount() - 1);
  for (QTextBlock b = FDocument->firstBlock(); b.isValid(); b = b.next()) {
    if (b != FDocument->firstBlock()) s += QLatin1Char('\n');
    s += b.text();
  }
  return s;
}

void TTextSearch::setScope(TSearchOptions options, const QTextCursor& caret) {
  FScopeStart = 0;
  FScopeEnd = int(FHay.size());
  const bool inSelection = (options & ssoSelectedOnly) && caret.hasSelection();
  if (inSelection) {
    FScopeStart = caret.selectionStart();
    FScopeEnd = caret.selectionEnd();
  }
  // The selection is the whole scope: the caret sits on one of its ends, and
  // starting there would skip all of it.
  if ((options & ssoEntireScope) || inSelection)
    FPos = FBackwards ? FScopeEnd : FScopeStart;
  else
    FPos = qBound(FScopeStart, caret.position(), FScopeEnd);
}

bool TTextSearch::isWholeWord(int found) const {
  const int n = int(FNeedle.size());
  const bool before = found > 0 && IsWordChar(FHay.at(found - 1));
  const bool after = found + n < FHay.size() && IsWordChar(FHay.at(found + n));
  return !before && !after;
}

// The next occurrence in the scope from the scan point, in the haystack.
bool TTextSearch::findNext(int& found) {
  const int n = int(FNeedle.size());
  while (true) {
    if (FBackwards) {
      if (FPos - n < FScopeStart) return false;
      found = int(FHay.lastIndexOf(FNeedle, FPos - n, FCase));
      if (found < FScopeStart) return false;
    } else {
      found = int(FHay.indexOf(FNeedle, FPos, FCase));
      if (found < 0 || found + n > FScopeEnd) return false;
    }
    if (!FWholeWord || isWholeWord(found)) return true;
    FPos = FBackwards ? found + n - 1 : found + 1;
  }
}

// The occurrence selected, the caret at its end in the direction of the search.
QTextCursor TTextSearch::matchCursor(int docPos) const {
  const int n = int(FNeedle.size());
  QTextCursor sel(FDocument);
  if (FBackwards) {
    sel.setPosition(docPos + n);
    sel.setPosition(docPos, QTextCursor::KeepAnchor);
  } else {
    sel.setPosition(docPos);
    sel.setPosition(docPos + n, QTextCursor::KeepAnchor);
  }
  return sel;
}

// Replaces the occurrence at `found` and moves the scan point past it.
QTextCursor TTextSearch::replaceAt(int found) {
  const int n = int(FNeedle.size());
  const int docPos = found + FDelta;
  QTextCursor edit(FDocument);
  edit.setPosition(docPos);
  edit.setPosition(docPos + n, QTextCursor::KeepAnchor);
  edit.insertText(FReplacement);
  if (FBackwards) {
    edit.setPosition(docPos);
    FPos = found;
  } else {
    FPos = found + n;
    FDelta += int(FReplacement.size()) - n;
  }
  return edit;
}

int TTextSearch::replaceMatches(const QString& search, const QString& replace, TSearchOptions options) {
  bool replaceAll = options & ssoReplaceAll;
  bool prompt = options & ssoPrompt;
  int count = 0;
  bool grouped = false;
  QTextCursor group(FDocument);
  QTextCursor last;
  auto startGroup = [&] {
    if (!grouped) {
      group.beginEditBlock();
      grouped = true;
    }
  };
  if (replaceAll && !prompt) startGroup();

  int found;
  while (findNext(found)) {
    TReplaceAction action = raReplace;
    if (prompt) {
      const int docPos = found + FDelta;
      show(matchCursor(docPos));
      const QTextBlock block = FDocument->findBlock(docPos);
      if (onReplaceText) action = onReplaceText(search, replace, block.blockNumber() + 1, docPos - block.position() + 1);
    }
    if (action == raCancel) break;
    if (action == raReplaceAll) {
      prompt = false;
      replaceAll = true;
      startGroup();
    }
    if (action == raSkip) {
      FPos = FBackwards ? found : found + int(FNeedle.size());
    } else {
      last = replaceAt(found);
      ++count;
      if (!grouped) show(last);
    }
    if (!replaceAll) break;
  }
  if (grouped) group.endEditBlock();
  if (!last.isNull()) show(last);
  return count;
}

int TTextSearch::run(const QString& search, const QString& replace, TSearchOptions options,
                     const QTextCursor& caret) {
  FNeedle = NormalizeLineBreaks(search);
  if (FNeedle.isEmpty()) return 0;
  FReplacement = NormalizeLineBreaks(replace);
  FBackwards = options & ssoBackwards;
  FWholeWord = options & ssoWholeWord;
  FCase = (options & ssoMatchCase) ? Qt::CaseSensitive : Qt::CaseInsensitive;
  FHay = documentText();
  FDelta = 0;
  setScope(options, caret);
  if (options & (ssoReplace | ssoReplaceAll)) return replaceMatches(search, replace, options);
  int found;
  if (!findNext(found)) return 0;
  show(matchCursor(found));
  return 1;
}
