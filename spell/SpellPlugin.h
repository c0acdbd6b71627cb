#pragma once
// The underlining plug-in: after every paint of its editor it draws a wavy
// line under each misspelled word on screen, in the component's underline
// colour and style.
#include <QPointer>

#include "editor/Editor.h"
#include "spell/SynEditSpell.h"

class TDrawAutoSpellCheckPlugin : public TEditorPlugin {
 public:
  // Registers itself with the editor; the component is not owned.
  TDrawAutoSpellCheckPlugin(TEditor* AOwner, TSynEditSpellCheck* ASynEditSpellCheck);

  void afterPaint(QPainter& canvas, const QRect& clip, int firstLine, int lastLine) override;

  // The vertical offset of pixel column k of an underline (k counted from the
  // word's left edge); -1 is drawn in the background colour.
  static int UnderlineOffset(TUnderlineStyle style, int k);

 private:
  QPointer<TEditor> FEditor;
  QPointer<TSynEditSpellCheck> FSynEditSpellCheck;
};
