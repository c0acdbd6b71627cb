#include "app/UfrmDxfChooser.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QPainter>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "app/RenderText.h"

QString DxfTextStart(const QString& mtext, int length) {
  QString s = DxfPlainText(mtext).simplified();
  if (s.size() > length) s = s.left(length - 1) + QChar(0x2026);
  return s;
}

TDxfTextModel::TDxfTextModel(const TDxfDrawing& drawing, const TRenderProps& props, QObject* parent)
    : QAbstractTableModel(parent), FDrawing(drawing), FProps(props) {}

int TDxfTextModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(FDrawing.mtexts().size());
}

int TDxfTextModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : colCount; }

QVariant TDxfTextModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QVariant();
  static const char* const titles[colCount] = {"Рисунок", "Метка", "Слой", "Где", "Начало текста"};
  return QString::fromUtf8(titles[section]);
}

QVariant TDxfTextModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return QVariant();
  const TDxfMText& m = FDrawing.mtexts()[index.row()];
  if (role == Qt::DecorationRole && index.column() == colPicture) return picture(index.row());
  if (role == Qt::ToolTipRole && index.column() == colText) return DxfPlainText(m.text);
  if (role != Qt::DisplayRole) return QVariant();
  switch (index.column()) {
    case colHandle: return m.handle.isEmpty() ? QString::number(m.index + 1) : m.handle;
    case colLayer: return m.layer;
    case colPlace: return m.placeName();
    case colText: return DxfTextStart(m.text);
    default: return QVariant();
  }
}

QPixmap TDxfTextModel::picture(int row) const {
  auto it = FPictures.constFind(row);
  if (it != FPictures.constEnd()) return *it;
  // The top left of the text as the preview draws it (paragraphs joined the
  // preview's way, so the last one ends too), shrunk to fit.
  const QRect band(0, 0, PictureSize.width() * 3, PictureSize.height() * 3);
  TCanvas canvas;
  const QString mtext = EditorTextToMText(MTextToLines(FDrawing.mtexts()[row].text), QStringLiteral("\r\n"));
  const QPoint drawn = RenderPreviewBand(canvas, mtext, FProps, band);
  const QRect used = band & QRect(0, 0, qMax(1, drawn.x() + 1), qMax(1, drawn.y() + 1));
  const QImage shot = canvas.image().copy(used);
  QPixmap pm(PictureSize);
  pm.fill(ColorToQColor(FProps.rpBackColor));
  QPainter p(&pm);
  const QImage fitted = shot.width() > PictureSize.width() || shot.height() > PictureSize.height()
                            ? shot.scaled(PictureSize, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                            : shot;
  p.drawImage(0, (PictureSize.height() - fitted.height()) / 2, fitted);
  p.end();
  FPictures.insert(row, pm);
  return pm;
}

TfrmDxfChooser::TfrmDxfChooser(const QString& path, const TDxfDrawing& drawing, const TRenderProps& props,
                               QWidget* parent)
    : QDialog(parent), FModel(drawing, props) {
  setWindowTitle(QStringLiteral("Тексты чертежа %1").arg(QFileInfo(path).fileName()));
  tvTexts = new QTableView(this);
  tvTexts->setModel(&FModel);
  tvTexts->setSelectionBehavior(QAbstractItemView::SelectRows);
  tvTexts->setSelectionMode(QAbstractItemView::SingleSelection);
  tvTexts->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tvTexts->setIconSize(TDxfTextModel::PictureSize);
  tvTexts->verticalHeader()->hide();
  tvTexts->verticalHeader()->setDefaultSectionSize(TDxfTextModel::PictureSize.height() + 6);
  tvTexts->horizontalHeader()->setSectionResizeMode(TDxfTextModel::colPicture, QHeaderView::Fixed);
  tvTexts->setColumnWidth(TDxfTextModel::colPicture, TDxfTextModel::PictureSize.width() + 10);
  tvTexts->horizontalHeader()->setStretchLastSection(true);
  for (int c = TDxfTextModel::colHandle; c < TDxfTextModel::colText; ++c) tvTexts->resizeColumnToContents(c);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Открыть"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(tvTexts, &QTableView::doubleClicked, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tvTexts);
  layout->addWidget(buttons);
  resize(860, 520);
  choose(0);
}

int TfrmDxfChooser::chosen() const {
  const QModelIndexList rows = tvTexts->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

void TfrmDxfChooser::choose(int row) {
  tvTexts->selectRow(row);
  tvTexts->scrollTo(FModel.index(row, 0));
}
