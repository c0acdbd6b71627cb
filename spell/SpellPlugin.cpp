#include "spell/SpellPlugin.h"

#include <QPainter>

TDrawAutoSpellCheckPlugin::TDrawAutoSpellCheckPlugin(TEditor* AOwner, TSynEditSpellCheck* ASynEditSpellCheck)
    : FEditor(AOwner), FSynEditSpellCheck(ASynEditSpellCheck) {
  if (AOwner) AOwner->addPlugin(this);
}

int TDrawAutoSpellCheckPlugin::UnderlineOffset(TUnderlineStyle style, int k) {
  static const int microsoftWord[4] = {0, 1, 2, 1};  // a zigzag two pixels deep
  static const int wordPerfect[4] = {2, 1, 0, -1};   // a sawtooth
  const int i = ((k % 4) + 4) % 4;
  return style == usMicrosoftWord ? microsoftWord[i] : wordPerfect[i];
}

void TDrawAutoSpellCheckPlugin::afterPaint(QPainter& canvas, const QRect& clip, int firstLine, int lastLine) {
  TSynEditSpellCheck* spell = FSynEditSpellCheck;
  TEditor* editor = FEditor;
  if (!spell || !editor || !spell->Enabled() || !spell->Options().contains(sscoAutoSpellCheck)) return;
  const int H = editor->lineHeight();
  const int gutter = editor->gutterWidth();
  const QColor underline = ColorToQColor(spell->UnderlineColor());
  const QColor background = editor->backgroundColor();
  const TUnderlineStyle style = spell->UnderlineStyle();
  for (int L = firstLine; L <= lastLine; ++L) {
    const QString text = editor->line(L - 1);
    for (const TMTextWord& w : MTextWords(text)) {
      // The last character of a line is never taken as a word start.
      if (w.start >= text.size() - 1) break;
      // Where the word is drawn is asked only for misspelled words: most
      // words are correct, and the verdict is cached.
      if (!spell->IsMisspelledWord(editor, text, w)) continue;
      const QRect r = editor->lineColumnRect(L, int(w.start) + 1, int(w.length));
      if (r.isEmpty() || !r.adjusted(0, 0, 1, 3).intersects(clip)) continue;
      const int B = r.top() + H - 3;
      for (int x = r.left(); x <= r.left() + r.width(); ++x) {
        if (x <= gutter) continue;
        const int d = UnderlineOffset(style, x - r.left());
        canvas.setPen(d < 0 ? background : underline);
        canvas.drawPoint(x, B + d);
      }
    }
  }
}
