#include "tools/UfrmTolTable.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QButtonGroup>
#include <QDir>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLinearGradient>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QStatusBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/Colors.h"
#include "core/Numbers.h"
#include "core/TextCodec.h"
#include "mtext/zorAcCanvas.h"
#include "platform/Platform.h"
#include "tools/FloatControls.h"

namespace {

constexpr int HelpContext = 270;
constexpr int PreviewWidth = 128;
constexpr int PreviewHeight = 57;
constexpr int ColWidth = 48;
constexpr int FixedColWidth = 64;
const QChar EnDash(0x2013);

QString firstCrToSlash(QString s) {
  const int i = s.indexOf(QLatin1Char('\r'));
  if (i >= 0) s[i] = QLatin1Char('/');
  return s;
}

QString invalidFloat(const QString& s) { return QStringLiteral("«%1» не является числом").arg(s); }

double readDeviation(const QString& p) {
  double v = 0;
  if (!ReadFloat(p, v)) throw ETolTableError(invalidFloat(p));
  return v;
}

// Up to 15 significant digits, then the shortest fixed form (no exponent).
QString shortest(double x, QChar sep) {
  const double rounded = QLocale::c().toString(x, 'g', 15).toDouble();
  return FormatFloat(rounded, 0, 18, sep);
}

QString forDisplay(QString s) { return s.replace(QLatin1Char('-'), EnDash); }

}  // namespace

ETolTableError::ETolTableError(const QString& message) : std::runtime_error(message.toStdString()) {}

TTolParts SplitTolCell(const QString& cell) {
  TTolParts parts;
  const QString c = firstCrToSlash(cell);
  const int slash = c.indexOf(QLatin1Char('/'));
  if (slash >= 0) {
    parts.pair = true;
    parts.upper = c.left(slash).trimmed();
    parts.lower = c.mid(slash + 1).trimmed();
  } else if (c.trimmed().startsWith(QLatin1Char('+'))) {
    parts.upper = c.trimmed();
  } else {
    parts.lower = c.trimmed();
  }
  return parts;
}

QString DeviationText(const QString& p, bool commaAsSep) {
  return ApplyDecimalSeparator(shortest(readDeviation(p) / 1000.0, QLatin1Char('.')), commaAsSep);
}

TTolTable ParseTolTable(const QStringList& lines) {
  if (lines.isEmpty()) throw ETolTableError(QStringLiteral("Таблица допусков пуста."));
  TTolTable table;
  // A TAB that ends the heading line does not open a column.
  const QString& head = lines.first();
  table.ColCount = 1 + QStringView(head).left(qMax(0, head.size() - 1)).count(QLatin1Char('\t'));
  table.Cells.reserve(lines.size());
  for (const QString& line : lines) {
    QStringList fields = line.split(QLatin1Char('\t'));
    for (QString& f : fields) {
      const int slash = f.indexOf(QLatin1Char('/'));
      if (slash >= 0) f[slash] = QLatin1Char('\r');
    }
    table.Cells.append(fields);
  }
  return table;
}

namespace {
// A size range "from-to" as two numbers.
bool readRange(const QString& range, double& from, double& to) {
  const int hyphen = range.indexOf(QLatin1Char('-'), 1);
  return hyphen > 0 && ReadFloat(range.left(hyphen), from) && ReadFloat(range.mid(hyphen + 1), to);
}
}  // namespace

int TolRowForSize(const QVector<QStringList>& cells, double size) {
  bool anyRange = false;
  for (int r = 1; r < cells.size(); ++r) {
    double from = 0, to = 0;
    if (!readRange(cells.at(r).value(0), from, to)) continue;
    anyRange = true;
    if (size > from && size <= to) return r;
  }
  return anyRange ? 0 : -1;
}

bool SizeInText(const QString& text, double& size) {
  static const QRegularExpression number(QStringLiteral("\\d+(?:[.,]\\d+)?"));
  const QRegularExpressionMatch m = number.match(text);
  return m.hasMatch() && ReadFloat(m.captured(), size);
}

bool TolLimits(const QString& cell, double value, double& maxLimit, double& minLimit) {
  if (firstCrToSlash(cell).trimmed().isEmpty()) return false;
  const TTolParts parts = SplitTolCell(cell);
  const double up = parts.upper.isEmpty() ? 0 : readDeviation(parts.upper);
  const double lo = parts.lower.isEmpty() ? 0 : readDeviation(parts.lower);
  maxLimit = value + up / 1000.0;
  minLimit = value + lo / 1000.0;
  return true;
}

// --- the grid ------------------------------------------------------------

// Row 0 and column 0 of the table are the grid's fixed row and column: the
// view's headers, so they stay in place while the cells scroll.
class TTolGridModel : public QAbstractTableModel {
 public:
  explicit TTolGridModel(TfrmTolTable* form) : QAbstractTableModel(form), FForm(form) {}
  int rowCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : qMax(0, FForm->RowCount() - 1);
  }
  int columnCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : qMax(0, FForm->ColCount() - 1);
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole || !index.isValid()) return QVariant();
    return FForm->Cells(index.column() + 1, index.row() + 1);
  }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (role != Qt::DisplayRole) return QVariant();
    return orientation == Qt::Horizontal ? FForm->Cells(section + 1, 0) : FForm->Cells(0, section + 1);
  }
  Qt::ItemFlags flags(const QModelIndex& index) const override {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
  }
  void reload() {
    beginResetModel();
    endResetModel();
  }

 private:
  TfrmTolTable* FForm;
};

namespace {

class TTolCellDelegate : public QStyledItemDelegate {
 public:
  explicit TTolCellDelegate(TfrmTolTable* form) : QStyledItemDelegate(form), FForm(form) {}
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    TGridDrawState state = 0;
    if (option.state & QStyle::State_Selected) state |= gdSelected;
    if (option.state & QStyle::State_HasFocus) state |= gdFocused;
    painter->save();
    FForm->TableGridDrawCell(*painter, index.column() + 1, index.row() + 1, option.rect, state);
    painter->restore();
  }

 private:
  TfrmTolTable* FForm;
};

class TTolHeader : public QHeaderView {
 public:
  TTolHeader(Qt::Orientation orientation, TfrmTolTable* form) : QHeaderView(orientation), FForm(form) {}
  QSize sizeHint() const override {
    QSize s = QHeaderView::sizeHint();
    if (orientation() == Qt::Vertical) s.setWidth(FixedColWidth);
    else s.setHeight(defaultSectionSize());
    return s;
  }

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
    painter->save();
    if (orientation() == Qt::Horizontal)
      FForm->TableGridDrawCell(*painter, logicalIndex + 1, 0, rect, gdFixed);
    else
      FForm->TableGridDrawCell(*painter, 0, logicalIndex + 1, rect, gdFixed);
    painter->restore();
  }

 private:
  TfrmTolTable* FForm;
};

// Paints cell (0, 0) on the view's corner.
class TCornerPainter : public QObject {
 public:
  TCornerPainter(TfrmTolTable* form, QWidget* corner) : QObject(corner), FForm(form), FCorner(corner) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == FCorner && event->type() == QEvent::Paint) {
      QPainter p(FCorner);
      FForm->TableGridDrawCell(p, 0, 0, FCorner->rect(), gdFixed);
      return true;
    }
    return false;
  }

 private:
  TfrmTolTable* FForm;
  QWidget* FCorner;
};

}  // namespace

// --- the dialog ------------------------------------------------------------

TfrmTolTable::TfrmTolTable(double tolHeight, bool commaAsSep, QWidget* parent)
    : QDialog(parent), FCommaAsSep(commaAsSep), FCanvas(std::make_unique<TCanvas>()) {
  setWindowTitle(QStringLiteral("Таблица допусков"));
  setSizeGripEnabled(false);
  FHStr = QStringLiteral("\\H") + FormatFloat(tolHeight, 1, 3, QLatin1Char('.')) + QStringLiteral("x;");

  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(0, 0, 0, 0);
  root->setSpacing(0);

  root->addWidget(buildGrid(), 1);
  auto* panel = new QWidget(this);
  panel->setFixedHeight(88);
  auto* row = new QHBoxLayout(panel);
  row->setContentsMargins(4, 2, 4, 2);
  row->setSpacing(6);
  row->addWidget(buildPreview(panel));
  row->addWidget(buildViewButtons(panel));
  row->addWidget(buildCalculation(panel), 1);
  row->addLayout(buildButtons(panel));
  root->addWidget(panel);
  root->addWidget(buildStatusBar());
  connectHandlers();

  setTabOrder(NumEdit, TableGrid);
  setTabOrder(TableGrid, SymbPlusMinusTol);
  setTabOrder(SymbPlusMinusTol, PlusMinusTol);
  setTabOrder(PlusMinusTol, SymbTol);
  setTabOrder(SymbTol, RefreshButton);
  setTabOrder(RefreshButton, btnOK);
  setTabOrder(btnOK, btnClose);
  setTabOrder(btnClose, btnHelp);

  FormCreate();
  // Never smaller than the controls need: fonts here may be wider than the
  // ones the size was planned for.
  const QSize size = QSize(522, 355).expandedTo(minimumSizeHint());
  setMinimumSize(size);
  resize(size);
}

QTableView* TfrmTolTable::buildGrid() {
  TableGrid = new QTableView(this);
  FModel = new TTolGridModel(this);
  TableGrid->setHorizontalHeader(new TTolHeader(Qt::Horizontal, this));
  TableGrid->setVerticalHeader(new TTolHeader(Qt::Vertical, this));
  TableGrid->setModel(FModel);
  TableGrid->setItemDelegate(new TTolCellDelegate(this));
  TableGrid->setSelectionMode(QAbstractItemView::SingleSelection);
  TableGrid->setSelectionBehavior(QAbstractItemView::SelectItems);
  TableGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  TableGrid->setShowGrid(true);
  TableGrid->setWordWrap(true);
  TableGrid->setCornerButtonEnabled(false);
  // Tab leaves the grid; the arrows move inside it.
  TableGrid->setTabKeyNavigation(false);
  TableGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  TableGrid->horizontalHeader()->setHighlightSections(false);
  TableGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  TableGrid->verticalHeader()->setHighlightSections(false);
  if (auto* corner = TableGrid->findChild<QAbstractButton*>())
    corner->installEventFilter(new TCornerPainter(this, corner));
  return TableGrid;
}

QGroupBox* TfrmTolTable::buildPreview(QWidget* panel) {
  gbPreview = new QGroupBox(QStringLiteral(" Просмотр "), panel);
  auto* pl = new QVBoxLayout(gbPreview);
  pl->setContentsMargins(4, 2, 4, 4);
  PreviewImage = new QLabel(gbPreview);
  PreviewImage->setFixedSize(PreviewWidth, PreviewHeight);
  PreviewImage->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  pl->addWidget(PreviewImage);
  return gbPreview;
}

QGroupBox* TfrmTolTable::buildViewButtons(QWidget* panel) {
  gbView = new QGroupBox(QStringLiteral(" Вид "), panel);
  auto* vl = new QVBoxLayout(gbView);
  vl->setContentsMargins(4, 2, 4, 4);
  vl->setSpacing(1);
  ViewGroup = new QButtonGroup(this);
  ViewGroup->setExclusive(true);
  auto makeView = [&](const QString& caption, int view) {
    auto* b = new QToolButton(gbView);
    b->setText(caption);
    b->setCheckable(true);
    b->setAutoRaise(false);
    b->setToolTip(QStringLiteral("Выбор вида записи допуска"));
    b->setStatusTip(b->toolTip());
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    ViewGroup->addButton(b, view);
    vl->addWidget(b);
    return b;
  };
  SymbPlusMinusTol = makeView(QStringLiteral("H7(±)"), 1);
  PlusMinusTol = makeView(QStringLiteral("±"), 0);
  SymbTol = makeView(QStringLiteral("H7"), 2);
  PlusMinusTol->setChecked(true);
  return gbView;
}

QGroupBox* TfrmTolTable::buildCalculation(QWidget* panel) {
  gbCalc = new QGroupBox(QStringLiteral(" Расчет "), panel);
  auto* cl = new QGridLayout(gbCalc);
  cl->setContentsMargins(4, 0, 4, 2);
  cl->setHorizontalSpacing(4);
  cl->setVerticalSpacing(0);
  cl->addWidget(new QLabel(QStringLiteral("Значение размера:"), gbCalc), 0, 0);
  NumEdit = new TFloatEdit(gbCalc);
  NumEdit->setDecimals(3);
  NumEdit->setMinValue(0);
  NumEdit->setMaxValue(100000);
  NumEdit->setTextAlignment(taRightJustify);
  NumEdit->setValue(0);
  // Wide enough for the largest value with all its decimals.
  NumEdit->setFixedWidth(NumEdit->fontMetrics().horizontalAdvance(QStringLiteral("100000,000")) + 16);
  cl->addWidget(NumEdit, 0, 1);
  RefreshButton = new QToolButton(gbCalc);
  RefreshButton->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
  RefreshButton->setToolTip(QStringLiteral("Обновить расчет"));
  RefreshButton->setStatusTip(RefreshButton->toolTip());
  cl->addWidget(RefreshButton, 0, 2);
  cl->addWidget(new QLabel(QStringLiteral("Макс. предел:"), gbCalc), 1, 0);
  MaxValue = new QLabel(QStringLiteral("0"), gbCalc);
  MaxValue->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  MaxValue->setTextInteractionFlags(Qt::TextSelectableByMouse);
  cl->addWidget(MaxValue, 1, 1);
  cl->addWidget(new QLabel(QStringLiteral("Мин. предел:"), gbCalc), 2, 0);
  MinValue = new QLabel(QStringLiteral("0"), gbCalc);
  MinValue->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  MinValue->setTextInteractionFlags(Qt::TextSelectableByMouse);
  cl->addWidget(MinValue, 2, 1);
  return gbCalc;
}

QLayout* TfrmTolTable::buildButtons(QWidget* panel) {
  auto* bl = new QVBoxLayout();
  bl->setSpacing(2);
  btnOK = new QPushButton(QStringLiteral("ОК"), panel);
  btnOK->setDefault(true);
  btnClose = new QPushButton(QStringLiteral("Закрыть"), panel);
  btnHelp = new QPushButton(QStringLiteral("Справка"), panel);
  bl->addWidget(btnOK);
  bl->addWidget(btnClose);
  bl->addWidget(btnHelp);
  return bl;
}

QStatusBar* TfrmTolTable::buildStatusBar() {
  sBar = new QStatusBar(this);
  FStatusLabel = new QLabel(sBar);
  FStatusLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
  sBar->addWidget(FStatusLabel, 1);
  return sBar;
}

void TfrmTolTable::connectHandlers() {
  connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
  connect(btnHelp, &QPushButton::clicked, this, [this] { btnHelpClick(); });
  connect(ViewGroup, &QButtonGroup::buttonClicked, this, [this](QAbstractButton* b) { ChangeTolClick(b); });
  connect(RefreshButton, &QToolButton::clicked, this, [this] { RefreshButtonClick(); });
  connect(TableGrid, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
    if (index.isValid()) TableGridDblClick();
  });
  connect(TableGrid->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) {
            if (FSyncingGrid || !current.isValid()) return;
            TableGridSelectCell(current.column() + 1, current.row() + 1);
            // The row belongs to the size: put the cursor back once the click is done.
            if (FRow != current.row() + 1) QTimer::singleShot(0, this, [this] { syncGrid(); });
          });
  connect(NumEdit, &QLineEdit::textChanged, this, [this] { SizeEdited(); });
}

TfrmTolTable::~TfrmTolTable() = default;

void TfrmTolTable::FormCreate() {
  const int rowHeight = 2 * QFontMetrics(TableGrid->font()).height() + 4;
  TableGrid->verticalHeader()->setMinimumSectionSize(1);
  TableGrid->verticalHeader()->setDefaultSectionSize(rowHeight);
  TableGrid->horizontalHeader()->setMinimumSectionSize(8);
  TableGrid->horizontalHeader()->setDefaultSectionSize(ColWidth);
  TableGrid->horizontalHeader()->setFixedHeight(rowHeight);
  TableGrid->verticalHeader()->setFixedWidth(FixedColWidth);
  FCanvas->setSize(PreviewWidth, PreviewHeight);
  FCanvas->setBrushColor(QColorToColor(TableGrid->palette().color(QPalette::Base)));
  FFontName = TableGrid->font().family();
}

void TfrmTolTable::Prepare(const QString& text) {
  FStr = ApplyDecimalSeparator(text, FCommaAsSep);
  FCallerStr = FStr;
  FCallerSize = 0;
  FCallerSizeGiven = SizeInText(text, FCallerSize);
  FSizeGiven = FCallerSizeGiven;
  FSizeReadable = true;
  FSize = FCallerSize;
  FPreparing = true;
  NumEdit->setValue(FCallerSizeGiven ? FCallerSize : 0);
  FPreparing = false;
}

QString TfrmTolTable::LastDesignation = QStringLiteral("H7");

void TfrmTolTable::FormShow(const QString& tableFile) {
  LoadTable(tableFile);
  FCanvas->setSize(PreviewWidth, PreviewHeight);
  FPreviewWidth = PreviewWidth;
  FCanvas->fill();
  showPreview();
  FView = quint8(qMax(0, ViewGroup->checkedId()));
  int col = FCells.first().indexOf(LastDesignation);
  if (col < 1 || col >= FColCount) col = 1;
  computeSizeRow();
  // A first cell that is not a number is reported; the other cells stay usable.
  TableGridSelectCell(col, 1);
  syncGrid();
  TableGrid->setFocus();
}

void TfrmTolTable::computeSizeRow() {
  if (!FSizeGiven)
    FSizeRow = -1;
  else if (!FSizeReadable)
    FSizeRow = 0;
  else
    FSizeRow = TolRowForSize(FCells, FSize);
}

void TfrmTolTable::SizeEdited() {
  if (FPreparing) return;
  const QString t = NumEdit->text().trimmed();
  double v = 0;
  FSizeGiven = true;
  FSizeReadable = true;
  if (t.isEmpty()) {
    // Cleared: back to what the caller gave.
    FStr = FCallerStr;
    FSizeGiven = FCallerSizeGiven;
    FSize = FCallerSize;
  } else if (!ReadFloatSep(t, NumEdit->separator(), v)) {
    FSizeReadable = false;
  } else if (FCallerSizeGiven && v == FCallerSize) {
    // The same size, perhaps reformatted: keep the caller's writing of it ("%%c40").
    FStr = FCallerStr;
    FSize = v;
  } else {
    FStr = ApplyDecimalSeparator(FormatFloat(v, 0, 3, QLatin1Char('.')), FCommaAsSep);
    FSize = v;
  }
  if (FCells.isEmpty()) return;
  computeSizeRow();
  TableGridSelectCell(FCol, FRow);
  syncGrid();
}

void TfrmTolTable::syncGrid() {
  FSyncingGrid = true;
  if (FRow >= 1 && FCol >= 1 && FRow - 1 < FModel->rowCount() && FCol - 1 < FModel->columnCount()) {
    const QModelIndex index = FModel->index(FRow - 1, FCol - 1);
    TableGrid->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    TableGrid->scrollTo(index);
  } else {
    TableGrid->selectionModel()->clear();
  }
  FSyncingGrid = false;
}

void TfrmTolTable::accept() {
  if (Tol.isEmpty()) {
    // Nothing built (a size outside the table, an empty cell): the status bar says why.
    QApplication::beep();
    return;
  }
  QDialog::accept();
}

void TfrmTolTable::LoadTable(const QString& FileName) {
  QStringList lines;
  TTextFormat format;
  QString error;
  if (!ReadTextFile(FileName, lines, format, error)) throw ETolTableError(error);
  if (lines.isEmpty())
    throw ETolTableError(QStringLiteral("Таблица допусков %1 пуста.").arg(QDir::toNativeSeparators(FileName)));
  FTableFile = FileName;
  TTolTable table = ParseTolTable(lines);
  FColCount = table.ColCount;
  FCells = std::move(table.Cells);
  FModel->reload();
}

QString TfrmTolTable::Cells(int ACol, int ARow) const {
  if (ARow < 0 || ARow >= FCells.size() || ACol < 0) return QString();
  return FCells.at(ARow).value(ACol);
}

void TfrmTolTable::selectNone() {
  Tol.clear();
  FRow = 0;
  MaxValue->clear();
  MinValue->clear();
  FCanvas->setSize(PreviewWidth, PreviewHeight);
  FPreviewWidth = PreviewWidth;
  FCanvas->fill();
  showPreview();
  if (!FSizeReadable) {
    FStatusLabel->setText(QStringLiteral("Значение размера «%1» не является числом: допуск не выбран.")
                              .arg(NumEdit->text()));
    return;
  }
  double lo = 0, hi = 0, from = 0, to = 0;
  bool first = true;
  for (int r = 1; r < FCells.size(); ++r)
    if (readRange(Cells(0, r), from, to)) {
      lo = first ? from : qMin(lo, from);
      hi = first ? to : qMax(hi, to);
      first = false;
    }
  const QChar sep = NumEdit->separator();
  FStatusLabel->setText(QStringLiteral("Размер %1 мм вне таблицы допусков (свыше %2 до %3 мм): допуск не выбран.")
                            .arg(FormatFloat(FSize, 0, 3, sep), FormatFloat(lo, 0, 3, sep), FormatFloat(hi, 0, 3, sep)));
}

void TfrmTolTable::selectCell(int ACol, int ARow) {
  FCol = ACol;
  if (FSizeRow == 0) {
    selectNone();
    return;
  }
  // A size in the table decides the row; only the column is the user's.
  if (FSizeRow > 0) ARow = FSizeRow;
  FRow = ARow;
  const QString cell = firstCrToSlash(Cells(ACol, ARow));
  const QString nominal = PreviewNominal();
  if (cell.trimmed().isEmpty()) {
    // No tolerance for this size: nothing to insert, and nothing to report.
    Tol.clear();
    FStatusLabel->clear();
    MaxValue->clear();
    MinValue->clear();
    drawPreview(nominal, QString(), nullptr);
    return;
  }
  Tol = BuildTolerance(cell, nominal, Cells(ACol, 0));
  FStatusLabel->setText(Tol);
  refreshLimits();
}

// Where in the file a cell is: its line and its field, both from 1.
QString TfrmTolTable::cellError(int ACol, int ARow, const ETolTableError& e) const {
  return QStringLiteral("Ошибка в таблице допусков %1, строка %2, столбец %3: %4.")
      .arg(QDir::toNativeSeparators(FTableFile))
      .arg(ARow + 1)
      .arg(ACol + 1)
      .arg(e.message());
}

void TfrmTolTable::TableGridSelectCell(int ACol, int ARow) {
  try {
    selectCell(ACol, ARow);
  } catch (const ETolTableError& e) {
    platform::showError(this, cellError(FCol, FRow, e));
  }
}

void TfrmTolTable::TableGridDblClick() { btnOK->click(); }

void TfrmTolTable::ChangeTolClick(QAbstractButton* button) {
  FView = quint8(qBound(0, ViewGroup->id(button), 2));
  TableGridSelectCell(FCol, FRow);
}

void TfrmTolTable::refreshLimits() {
  double maxLimit = 0, minLimit = 0;
  if (FRow < 1 || !TolLimits(Cells(FCol, FRow), NumEdit->value(), maxLimit, minLimit)) return;
  MaxValue->setText(shortest(maxLimit, NumEdit->separator()));
  MinValue->setText(shortest(minLimit, NumEdit->separator()));
}

void TfrmTolTable::RefreshButtonClick() {
  try {
    refreshLimits();
  } catch (const ETolTableError& e) {
    platform::showError(this, cellError(FCol, FRow, e));
  }
}

void TfrmTolTable::btnHelpClick() { platform::showHelp(this, HelpContext); }

QString TfrmTolTable::BuildTolerance(const QString& Cell, const QString& Nominal, const QString& Designation) {
  const TTolParts parts = SplitTolCell(Cell);
  auto written = [this](const QString& p) {
    if (p.isEmpty()) return QString();
    return (p.startsWith(QLatin1Char('+')) ? QStringLiteral("+") : QString()) + DeviationText(p, FCommaAsSep);
  };
  const QString up = written(parts.upper);
  const QString lo = written(parts.lower);
  auto stack = [&](const QString& prefix) {
    return prefix + QLatin1Char('{') + FHStr + QStringLiteral("\\S") + up + QLatin1Char('^') + lo + QStringLiteral(";}");
  };
  QString result;
  switch (FView) {
    case 1:
      result = QStringLiteral("\\A1;~") + FStr + stack(Designation + QLatin1Char('(')) + QLatin1Char(')');
      break;
    case 2:
      result = QLatin1Char('~') + FStr + Designation;
      break;
    default:
      result = QStringLiteral("\\A1;~") + FStr + stack(QString());
      break;
  }
  drawPreview(Nominal, Designation, &parts);
  return result;
}

void TfrmTolTable::drawPreview(const QString& nominal, const QString& designation, const TTolParts* parts) {
  struct Piece {
    int x, y, points;
    QString text;
  };
  QVector<Piece> pieces;
  TCanvas& c = *FCanvas;
  const TColor color = clWindowText;
  const int h = PreviewHeight;
  c.setFont(FFontName, 12, 0, color);
  const int y0 = h / 2 - c.textHeight(nominal) / 2;
  pieces.append({4, y0, 12, nominal});
  int x = 4 + c.textWidth(nominal) + 4;
  if (parts) {
    c.setFont(FFontName, 8, 0, color);
    const int yUp = h / 2 - c.textHeight(nominal);
    const int yLo = h / 2;
    if (FView == 1) {
      c.setFont(FFontName, 12, 0, color);
      pieces.append({x, y0, 12, designation + QLatin1Char('(')});
      x += c.textWidth(designation + QLatin1Char('('));
      c.setFont(FFontName, 8, 0, color);
    }
    int wd = 0;
    if (FView == 0 || FView == 1) {
      const QString plus = QStringLiteral("+");
      auto d = [this](const QString& p) { return p.isEmpty() ? QString() : DeviationText(p, FCommaAsSep); };
      auto w = [&](const QString& p) { return (p.startsWith(QLatin1Char('+')) ? plus : QString()) + d(p); };
      if (parts->pair) {
        pieces.append({x, yUp, 8, forDisplay(w(parts->upper))});
        pieces.append({x, yLo, 8, forDisplay(w(parts->lower))});
        wd = qMax(c.textWidth(plus + d(parts->upper)), c.textWidth(plus + d(parts->lower)));
      } else if (!parts->upper.isEmpty()) {
        const QString t = forDisplay(plus + d(parts->upper));
        pieces.append({x, yUp, 8, t});
        wd = c.textWidth(t);
      } else {
        const QString t = forDisplay(d(parts->lower));
        pieces.append({x, yLo, 8, t});
        wd = c.textWidth(t);
      }
    }
    if (FView == 1) pieces.append({x + wd, y0, 12, QStringLiteral(")")});
    if (FView == 2) pieces.append({x, y0, 12, designation});
  }

  // The box is small; a long nominal or class makes the surface grow rather than be cut.
  c.setSize(PreviewWidth, PreviewHeight);
  int right = 0;
  for (const Piece& p : pieces) {
    c.setFont(FFontName, p.points, 0, color);
    right = qMax(right, p.x + c.textWidth(p.text) + 4);
  }
  if (right > c.width()) GrowCanvas(c, right, rtWidth);
  FPreviewWidth = qMax(PreviewWidth, qMin(right, c.width()));
  c.fill();
  c.setTransparentBackground();
  for (const Piece& p : pieces) {
    if (p.text.isEmpty()) continue;
    c.setFont(FFontName, p.points, 0, color);
    c.drawText(QRect(p.x, p.y, c.textWidth(p.text), c.textHeight(p.text)), p.text, Qt::AlignLeft | Qt::AlignTop);
  }
  showPreview();
}

void TfrmTolTable::showPreview() {
  // The surface grows by more than asked; only the drawn part is shown.
  QPixmap pm = QPixmap::fromImage(PreviewPicture());
  if (pm.width() > PreviewWidth)
    pm = pm.scaled(PreviewWidth, PreviewHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  PreviewImage->setPixmap(pm);
}

QImage TfrmTolTable::PreviewPicture() const {
  return FCanvas->image().copy(0, 0, qMin(FPreviewWidth, FCanvas->width()), FCanvas->height());
}

QString TfrmTolTable::StatusText() const { return FStatusLabel->text(); }

void TfrmTolTable::TableGridDrawCell(QPainter& painter, int ACol, int ARow, const QRect& ARect,
                                     TGridDrawState AState) {
  QString text = Cells(ACol, ARow);
  const bool fixed = AState & gdFixed;
  int flags = 0;
  if (fixed) {
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    flags = Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine;
  } else if (text.contains(QLatin1Char('\r'))) {
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
  } else if (text.startsWith(QLatin1Char('-'))) {
    flags = Qt::AlignLeft | Qt::AlignBottom | Qt::TextSingleLine;
  } else {
    flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
  }
  if (!fixed && !text.isEmpty()) {
    text.replace(QLatin1Char('-'), QString(EnDash) + QLatin1Char(' '));
    text.replace(QLatin1Char('+'), QStringLiteral("+ "));
  }
  QFont font = TableGrid->font();
  font.setBold(false);
  QColor textColor = ColorToQColor(clWindowText);
  painter.fillRect(ARect, Qt::white);
  if (fixed) {
    QLinearGradient g(ARect.topLeft(), ARect.bottomLeft());
    g.setColorAt(0, Qt::white);
    g.setColorAt(1, QColor(220, 217, 200));
    painter.fillRect(ARect, g);
    font.setBold(true);
    // The headers have no grid of their own.
    painter.setPen(TableGrid->palette().color(QPalette::Mid));
    painter.drawLine(ARect.topRight(), ARect.bottomRight());
    painter.drawLine(ARect.bottomLeft(), ARect.bottomRight());
  } else if (AState & gdSelected) {
    painter.fillRect(ARect, QColor(214, 231, 255));
    textColor = Qt::black;
    font.setBold(true);
    painter.setPen(QColor(0, 0, 128));
    painter.drawRect(ARect.adjusted(0, 0, -1, -1));
  }
  painter.setFont(font);
  painter.setPen(textColor);
  painter.setBackgroundMode(Qt::TransparentMode);
  painter.drawText(ARect.adjusted(2, 2, -2, -2), flags, text);
}

bool ExecuteTolTable(QString& text, const QString& tableFile, double tolHeight, bool commaAsSep, QWidget* parent) {
  TfrmTolTable dialog(tolHeight, commaAsSep, parent);
  dialog.Prepare(text);
  try {
    dialog.FormShow(tableFile);
  } catch (const ETolTableError& e) {
    platform::showError(parent, e.message());
    return false;
  }
  const bool ok = platform::execDialog(&dialog) == QDialog::Accepted;
  text = dialog.Tolerance();
  if (ok && !dialog.Tolerance().isEmpty()) TfrmTolTable::LastDesignation = dialog.Cells(dialog.CurrentCol(), 0);
  // OK with nothing built must not replace the selection by an empty text.
  return ok && !dialog.Tolerance().isEmpty();
}
