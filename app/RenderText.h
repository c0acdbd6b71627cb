#pragma once
// Turning the editor text into one MText string and drawing it into the
// preview canvas; shared by the main window and the headless --render mode.
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

class QTextDocument;
class TMTextLayout;

#include <QMetaObject>

#include "app/General.h"
#include "mtext/MTextLayout.h"
#include "mtext/zorAcCanvas.h"

// Every line followed by CR LF (the file's own lineBreak is not used: each
// editor line is a paragraph), trailing blanks and control characters
// removed, then CR LF appended and every CR LF turned into \P.
QString EditorTextToMText(const QStringList& lines, const QString& lineBreak);
// The same from the editor's document, into out (its memory is kept, so a
// re-render does not allocate the text again).
void EditorTextToMText(const QTextDocument& document, QString& out);
// The same from a decoded file's text, its breaks (CR LF, CR, LF, U+2028)
// left in, without splitting it into lines first.
QString EditorTextToMText(QStringView text);
// The same, taking the text over: it becomes its MText in place, without a
// second copy of a large text.
QString EditorTextToMText(QString&& text);

// The MText of a document, brought up to date at each update from the
// paragraphs the edits since the previous one touched: on a large text,
// building the whole MText again would cost more than measuring the change.
// Between updates text() stays what the last update made of the document.
class TMTextMirror {
 public:
  explicit TMTextMirror(const QTextDocument& document);
  ~TMTextMirror();
  TMTextMirror(const TMTextMirror&) = delete;
  TMTextMirror& operator=(const TMTextMirror&) = delete;

  // EditorTextToMText of the document as of the last update.
  const QString& text() const { return FText; }
  // Brings text() up to date and tells what changed since the last update.
  TTextChange update();

 private:
  void changed(int position, int removed, int added);
  TTextChange rebuildMiddle(int last);
  qsizetype rebuildEnd();

  const QTextDocument& FDocument;
  QMetaObject::Connection FWatch;
  QString FText;
  bool FBuilt = false;
  // The document when text() was made: its blocks and characters, and the
  // last block holding a printable character (-1: none).
  int FBlocks = 0, FChars = 0, FTail = -1;
  // Since then: the number of blocks now, and how many blocks at the start
  // (FFirst) and at the end (FKept) are still as they were.
  int FNowBlocks = 0;
  bool FDirty = false;
  int FFirst = 0, FKept = 0;
};

// Prepares the canvas (16 x 16, render font and colours, filled, pen at 0,0),
// renders mtext and trims the canvas to the drawn size + 1.  Returns the
// drawn size as the renderer reports it.
QPoint RenderPreview(TCanvas& canvas, const QString& mtext, const TRenderProps& props);
// The same, keeping only the pixels inside band (TCanvas::setWindow): the
// whole text is scanned and measured, only the band is drawn.
// With a layout kept from the previous render, only what changed (found by
// comparison, or given) is measured again.
QPoint RenderPreviewBand(TCanvas& canvas, const QString& mtext, const TRenderProps& props, const QRect& band,
                         TMTextLayout* layout = nullptr, const TTextChange* change = nullptr);
