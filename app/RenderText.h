#pragma once
// Turning the editor text into one MText string and drawing it into the
// preview canvas; shared by the main window and the headless --render mode.
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

class QTextDocument;
class TMTextLayout;

#include "app/General.h"
#include "mtext/zorAcCanvas.h"

// Every line followed by CR LF (the file's own lineBreak is not used: each
// editor line is a paragraph), trailing blanks and control characters
// removed, then CR LF appended and every CR LF turned into \P.
QString EditorTextToMText(const QStringList& lines, const QString& lineBreak);
// The same from the editor's document, into out (its memory is kept, so a
// re-render does not allocate the text again).
void EditorTextToMText(const QTextDocument& document, QString& out);

// Prepares the canvas (16 x 16, render font and colours, filled, pen at 0,0),
// renders mtext and trims the canvas to the drawn size + 1.  Returns the
// drawn size as the renderer reports it.
QPoint RenderPreview(TCanvas& canvas, const QString& mtext, const TRenderProps& props);
// The same, keeping only the pixels inside band (TCanvas::setWindow): the
// whole text is scanned and measured, only the band is drawn.  With a layout
// kept from the previous render, only what changed is measured again.
QPoint RenderPreviewBand(TCanvas& canvas, const QString& mtext, const TRenderProps& props, const QRect& band,
                         TMTextLayout* layout = nullptr);
