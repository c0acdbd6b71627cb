#pragma once
// One MTEXT of a drawing opened as the document: the editor shows its text
// one paragraph per line, and saving writes that entity's text back into the
// drawing, nothing else.
#include <QString>
#include <QStringList>

class QWidget;
struct TRenderProps;

struct TDxfDocument {
  QString path;    // the drawing
  QString handle;  // empty in a drawing without handles: then index tells the entity
  int index = -1;
  QString stored;  // the entity's text as last read or written, to see another program's change
  // "drawing.dxf, текст 2F": the window title's document part.
  QString caption() const;
};

bool IsDxfPath(const QString& path);

// Reads the drawing and, unless handle names a text, lets the user choose one
// in the chooser (its previews drawn with render).  False with error set when
// the drawing cannot be used; false with an empty error when the user cancelled.
bool OpenDxfText(QWidget* parent, const QString& path, const QString& handle, const TRenderProps& render,
                 TDxfDocument& doc, QStringList& lines, QString& error);
// Writes the lines (joined with \P) into the entity.  When another program
// changed this text since it was read, the user is asked first; false with
// an empty error when the user kept the other program's text.
bool SaveDxfText(QWidget* parent, TDxfDocument& doc, const QStringList& lines, QString& error);
