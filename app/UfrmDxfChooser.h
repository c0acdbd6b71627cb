#pragma once
// The list of a drawing's MTEXT entities, one row each: a picture drawn by
// our renderer, the handle, the layer, where the text is (model space, a
// layout, a block) and its first words.  The user picks the text to edit.
#include <QAbstractTableModel>
#include <QDialog>
#include <QHash>
#include <QPixmap>

#include "app/General.h"
#include "dxf/DxfDrawing.h"

class QTableView;

class TDxfTextModel : public QAbstractTableModel {
 public:
  enum { colPicture, colHandle, colLayer, colPlace, colText, colCount };
  TDxfTextModel(const TDxfDrawing& drawing, const TRenderProps& props, QObject* parent = nullptr);
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  // Drawn when its row is first shown: a drawing may hold thousands of texts.
  QPixmap picture(int row) const;
  static constexpr QSize PictureSize{200, 60};

 private:
  const TDxfDrawing& FDrawing;
  TRenderProps FProps;
  mutable QHash<int, QPixmap> FPictures;
};

class TfrmDxfChooser : public QDialog {
  Q_OBJECT
 public:
  TfrmDxfChooser(const QString& path, const TDxfDrawing& drawing, const TRenderProps& props,
                 QWidget* parent = nullptr);
  QTableView* tvTexts = nullptr;
  // The chosen row (an index into drawing.mtexts()), -1 when none.
  int chosen() const;
  void choose(int row);

 private:
  TDxfTextModel FModel;
};

// The first words of a text as the list shows them: plain text on one line.
QString DxfTextStart(const QString& mtext, int length = 60);
