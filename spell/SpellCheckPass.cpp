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

bool TSynEditSpellCheck::IsMisspelledWord(const TEditor* AEditor, const QString& ALine, const TMTextWord& AWord) {
  if (AWord.hasDigit || CheckWord(AWord.text)) return false;
  if (const TSynMText* highlighter = attachedHighlighter(AEditor)) {
    const THighlighterAttribute* attribute = highlighter->attributeAt(ALine, int(AWord.start));
    if (!attribute) attribute = highlighter->getDefaultAttribute(daWhitespace);
    if (!attribute || !CheckHighlighterAttribute(attribute->name())) return false;
  }
  return true;
}

bool TSynEditSpellCheck::IsMisspelledAt(const TEditor* AEditor, int line, int column, const QString& word,
                                        int* AStart) {
  // The editor's word may be part of one (сл of сл\Lово) or a code with its
  // argument (fArial): the words that start inside it decide.
  if (!AEditor) return false;
  const QString text = AEditor->line(line - 1);
  const qsizetype from = column - 1, to = from + qMax<qsizetype>(1, word.size());
  for (const TMTextWord& w : MTextWords(text)) {
    if (w.start >= to) break;
    if (w.start >= from && IsMisspelledWord(AEditor, text, w)) {
      if (AStart) *AStart = int(w.start);
      return true;
    }
  }
  return false;
}

bool TSynEditSpellCheck::WordAtColumn(const QString& ALine, int column, TMTextWord& AWord) {
  const qsizetype at = column - 1;
  for (const TMTextWord& w : MTextWords(ALine)) {
    if (w.start > at) break;
    if (at <= w.start + w.length) {
      AWord = w;
      return true;
    }
  }
  return false;
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
    int start = 0;
    if (!TrimWord(word).isEmpty() && IsMisspelledAt(AEditor, caret.y(), caret.x(), word, &start)) {
      AEditor->setCaretXY(QPoint(start + 1, caret.y()));
      break;
    }
    const QPoint next = step(caret);
    if (next == caret) break;
    AEditor->setCaretXY(next);
  }
  if (hide) AEditor->endUpdate();
  AEditor->setCaretXY(AEditor->caretXY());
  finish();
  return true;
}
