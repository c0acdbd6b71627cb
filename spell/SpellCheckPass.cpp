// The component's side of an editor: which words of it are checked, and the
// checking pass that walks from word to word.
#include <QGuiApplication>

#include "editor/Editor.h"
#include "highlight/SynHighlighterMText.h"
#include "spell/SynEditSpell.h"
#include "spell/UserDictionary.h"

TSynMText* TSynEditSpellCheck::attachedHighlighter(const TEditor* AEditor) const {
  if (!FHighlighter || !AEditor || FHighlighter->document() != AEditor->document()) return nullptr;
  return FHighlighter->tokenizer();
}

bool TSynEditSpellCheck::IsMisspelledAt(const TEditor* AEditor, int line, int column, const QString& word) {
  if (const TSynMText* highlighter = attachedHighlighter(AEditor)) {
    // Only plain text is spelling: format codes, numbers and symbols are not.
    const THighlighterAttribute* attribute = highlighter->attributeAt(AEditor->line(line - 1), column - 1);
    if (!attribute) attribute = highlighter->getDefaultAttribute(daWhitespace);
    if (!attribute || !CheckHighlighterAttribute(attribute->name())) return false;
  }
  return !CheckWord(word);
}

bool TSynEditSpellCheck::SpellCheck(TEditor* AEditor) {
  if (!FEnabled || !AEditor) return false;
  FBusy = true;
  if (OnStart) OnStart(this);
  const bool hourGlass = FOptions.contains(sscoHourGlass) && qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  if (hourGlass) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  auto finish = [&]() {
    if (hourGlass) QGuiApplication::restoreOverrideCursor();
    if (OnDone) OnDone(this);
    FBusy = false;
  };
  if (TrimWord(AEditor->text()).isEmpty()) {
    finish();
    return true;
  }
  if (!FOptions.contains(sscoStartFromCursor)) AEditor->setCaretXY(QPoint(1, 1));
  const bool hide = FOptions.contains(sscoHideCursor);
  if (hide) AEditor->beginUpdate();
  const bool up = FOptions.contains(sscoGoUp);
  // A step that does not move means there is no word further on.
  auto step = [&](const QPoint& from) { return up ? AEditor->prevWordPos(from) : AEditor->nextWordPos(from); };
  while (true) {
    const QPoint caret = AEditor->caretXY();
    const QString word = AEditor->wordAtRowCol(caret.y(), caret.x());
    if (!TrimWord(word).isEmpty() && IsMisspelledAt(AEditor, caret.y(), caret.x(), word)) break;
    const QPoint next = step(caret);
    if (next == caret) break;
    AEditor->setCaretXY(next);
  }
  if (hide) AEditor->endUpdate();
  AEditor->setCaretXY(AEditor->caretXY());
  finish();
  return true;
}
