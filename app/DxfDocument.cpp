#include "app/DxfDocument.h"

#include <QDir>
#include <QFileInfo>

#include "app/General.h"
#include "app/UfrmDxfChooser.h"
#include "dxf/DxfDrawing.h"
#include "platform/Platform.h"

QString TDxfDocument::caption() const {
  return QStringLiteral("%1, текст %2")
      .arg(QFileInfo(path).fileName(), handle.isEmpty() ? QStringLiteral("№%1").arg(index + 1) : handle);
}

bool IsDxfPath(const QString& path) { return path.endsWith(QLatin1String(".dxf"), Qt::CaseInsensitive); }

bool OpenDxfText(QWidget* parent, const QString& path, const QString& handle, const TRenderProps& render,
                 TDxfDocument& doc, QStringList& lines, QString& error) {
  error.clear();
  TDxfDrawing drawing;
  if (!drawing.load(path, error)) return false;
  const TDxfMText* m = nullptr;
  if (!handle.isEmpty()) {
    m = drawing.find(handle);
    if (!m) {
      error = QStringLiteral("В чертеже %1 нет многострочного текста с меткой %2")
                  .arg(QDir::toNativeSeparators(path), handle);
      return false;
    }
  } else {
    TfrmDxfChooser chooser(path, drawing, render, parent);
    if (platform::execDialog(&chooser) != QDialog::Accepted || chooser.chosen() < 0) return false;
    m = &drawing.mtexts()[chooser.chosen()];
  }
  doc.path = QFileInfo(path).absoluteFilePath();
  doc.handle = m->handle;
  doc.index = m->index;
  doc.stored = m->text;
  lines = MTextToLines(m->text);
  return true;
}

bool SaveDxfText(QWidget* parent, TDxfDocument& doc, const QStringList& lines, QString& error) {
  error.clear();
  const QString text = LinesToMText(lines);
  bool conflict = false;
  if (WriteDxfText(doc.path, doc.handle, doc.index, doc.stored, text, false, conflict, error)) {
    doc.stored = text;
    return true;
  }
  if (!conflict) return false;
  // Overwriting loses the other program's text: only an explicit Yes does it.
  const QString question =
      QStringLiteral("Текст %1 изменен другой программой после того, как был открыт.\n\n"
                     "Записать текст из редактора поверх этих изменений? Изменения, сделанные другой "
                     "программой, будут потеряны.")
          .arg(doc.caption());
  if (!platform::askYesNo(parent, question, QMessageBox::No)) {
    error.clear();
    return false;
  }
  if (!WriteDxfText(doc.path, doc.handle, doc.index, doc.stored, text, true, conflict, error)) return false;
  doc.stored = text;
  return true;
}
