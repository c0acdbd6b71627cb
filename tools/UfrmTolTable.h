#pragma once
// The tolerance dialog: a table of limit deviations (rows: ranges of nominal
// sizes, columns: tolerance classes, cells: upper/lower deviation in
// micrometres) from which the user picks a cell and a form of writing; the
// result is the nominal followed by an MText tolerance stack, the class, or
// both.  The table comes from a TAB-separated text file read on every show.
#include <QDialog>
#include <QString>
#include <QStringList>
#include <QVector>
#include <memory>
#include <stdexcept>

class QAbstractButton;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QLayout;
class QPainter;
class QPushButton;
class QStatusBar;
class QTableView;
class QToolButton;
class TCanvas;
class TFloatEdit;
class TTolGridModel;

// A table that cannot be read, or a cell that is not a number.
class ETolTableError : public std::runtime_error {
 public:
  explicit ETolTableError(const QString& message);
  QString message() const { return QString::fromStdString(what()); }
};

// The form of writing: 0 nominal and deviation stack, 1 nominal, class and
// stack in parentheses, 2 nominal and class.
using TView = quint8;

// How a grid cell is to be drawn.
enum TGridDrawStateFlag : quint8 { gdSelected = 1, gdFocused = 2, gdFixed = 4 };
using TGridDrawState = quint8;

// The upper and lower part of a cell: "a/b" gives both, a single value goes
// up when it starts with "+" and down otherwise.
struct TTolParts {
  QString upper;
  QString lower;
  bool pair = false;  // written as upper/lower
};
// The first "/" or, as the grid holds it, the first CR splits the cell.
TTolParts SplitTolCell(const QString& cell);

// A table as read: the column count comes from line 1 (a TAB ending it opens
// no column); every line is one row of fields, with its first "/" held as a
// line break.  Rows may hold more fields than the grid shows.
struct TTolTable {
  int ColCount = 0;
  QVector<QStringList> Cells;
};
// Throws ETolTableError "Таблица допусков пуста." for no lines.
TTolTable ParseTolTable(const QStringList& lines);

// The row whose size range "from-to" holds size (over from, up to and
// including to, as the ranges of the standard read); 0 when no range holds
// it, -1 when no row of the table has a range that reads as numbers.
int TolRowForSize(const QVector<QStringList>& cells, double size);

// The first number in a selected text ("25", "%%c40", "M10x1"), either
// separator; false when the text holds no digit.
bool SizeInText(const QString& text, double& size);

// The upper and lower limits of a size value with a cell's deviations; false
// for an empty cell, ETolTableError for a part that is not a number.
bool TolLimits(const QString& cell, double value, double& maxLimit, double& minLimit);

// Deviation text: p micrometres as millimetres in the shortest form (up to 15
// significant digits, no exponent, never a plus sign), with the decimal
// separator of the setting.  p reads with either separator; throws
// ETolTableError "«p» не является числом" otherwise.
QString DeviationText(const QString& p, bool commaAsSep);

class TfrmTolTable : public QDialog {
  Q_OBJECT
 public:
  // tolHeight: height factor of the deviation stack; commaAsSep: the decimal
  // separator setting for numbers written into the text.
  TfrmTolTable(double tolHeight, bool commaAsSep, QWidget* parent = nullptr);
  ~TfrmTolTable() override;

  // Takes the caller's text: the nominal of the fragment and of NumEdit.
  void Prepare(const QString& text);

  // Handlers, public so that tests drive them as the user would.
  // Loads the table and selects cell (1, 1); throws ETolTableError when the
  // table cannot be read or is empty.  A first cell that is not a number is
  // reported as any other selected cell is.
  void FormShow(const QString& tableFile);
  // Reads the table into the grid; throws ETolTableError.
  void LoadTable(const QString& FileName);
  // Builds Tol for a cell; a cell that is not a number is reported through
  // the error display and changes nothing.
  void TableGridSelectCell(int ACol, int ARow);
  void TableGridDblClick();
  void ChangeTolClick(QAbstractButton* button);
  void RefreshButtonClick();
  void TableGridDrawCell(QPainter& painter, int ACol, int ARow, const QRect& ARect, TGridDrawState AState);
  void btnHelpClick();
  // The fragment for a cell (the first "/" or CR between the parts); draws the
  // preview.  Throws ETolTableError when a part is not a number.
  QString BuildTolerance(const QString& Cell, const QString& Nominal, const QString& Designation);

  // The grid as loaded: ColCount columns (from line 1), one row per line.
  int ColCount() const { return FColCount; }
  int RowCount() const { return FCells.size(); }
  // The text of a cell as the grid holds it (first "/" shown as a line break);
  // empty outside the table.
  QString Cells(int ACol, int ARow) const;
  int CurrentCol() const { return FCol; }
  int CurrentRow() const { return FRow; }
  // The preview as drawn: 128 px wide, or as wide as a longer text needs
  // (shown scaled down into the box then).
  QImage PreviewPicture() const;
  QString StatusText() const;
  // The nominal the preview shows: the one the fragment gets.
  QString PreviewNominal() const { return FStr; }
  // NumEdit's text changed: the size typed becomes the nominal, and the row
  // follows it.
  void SizeEdited();
  // The row the size selects: as TolRowForSize, -1 also with no size given.
  int SizeRow() const { return FSizeRow; }
  // OK with nothing built keeps the dialog open.
  void accept() override;

  // The column used last in this run, by its designation ("H7" at first).
  static QString LastDesignation;

  // The fragment built for the selected cell.
  QString Tolerance() const { return Tol; }
  // The height code the deviation stack starts with ("\H0.6x;").
  QString HeightCode() const { return FHStr; }
  // The form of writing the next fragment gets.
  TView View() const { return FView; }
  void setView(TView view) { FView = view; }

  // The controls tests drive as the user would.
  QTableView* TableGrid = nullptr;
  QLabel* PreviewImage = nullptr;
  QToolButton* SymbPlusMinusTol = nullptr;
  QToolButton* PlusMinusTol = nullptr;
  QToolButton* SymbTol = nullptr;
  TFloatEdit* NumEdit = nullptr;
  QToolButton* RefreshButton = nullptr;
  QLabel* MaxValue = nullptr;
  QLabel* MinValue = nullptr;
  QPushButton* btnOK = nullptr;
  QPushButton* btnHelp = nullptr;
  QStatusBar* sBar = nullptr;

 private:
  friend class TTolGridModel;
  // The steps of building the window.
  QTableView* buildGrid();
  QGroupBox* buildPreview(QWidget* panel);
  QGroupBox* buildViewButtons(QWidget* panel);
  QGroupBox* buildCalculation(QWidget* panel);
  QLayout* buildButtons(QWidget* panel);
  QStatusBar* buildStatusBar();
  void connectHandlers();

  QString FStr;
  QString FHStr;
  TView FView = 0;
  QString Tol;
  QGroupBox* gbPreview = nullptr;
  QGroupBox* gbView = nullptr;
  QButtonGroup* ViewGroup = nullptr;
  QGroupBox* gbCalc = nullptr;
  QPushButton* btnClose = nullptr;
  void FormCreate();
  // The selection handler proper; throws ETolTableError.
  void selectCell(int ACol, int ARow);
  // The message for a cell that is not a number: file, line, column, value.
  QString cellError(int ACol, int ARow, const ETolTableError& e) const;
  void refreshLimits();
  // parts null: only the nominal (an empty cell).
  void drawPreview(const QString& nominal, const QString& designation, const TTolParts* parts);
  void showPreview();
  void computeSizeRow();
  // Nothing selectable for the size: says why, clears what was built.
  void selectNone();
  // Puts the grid's cursor where the dialog's current cell is.
  void syncGrid();

  bool FCommaAsSep = false;
  QString FTableFile;
  int FColCount = 0;
  QVector<QStringList> FCells;
  int FCol = 1;
  int FRow = 1;
  TTolGridModel* FModel = nullptr;
  std::unique_ptr<TCanvas> FCanvas;
  QLabel* FStatusLabel = nullptr;
  QString FFontName;
  int FPreviewWidth = 0;
  bool FSyncingGrid = false;
  // The caller's text and the size it holds; the size the dialog works with.
  QString FCallerStr;
  bool FCallerSizeGiven = false;
  double FCallerSize = 0;
  bool FSizeGiven = false;
  bool FSizeReadable = true;
  double FSize = 0;
  int FSizeRow = -1;
  bool FPreparing = false;
};

// Opens the dialog on the table file with text as the nominal.  The text
// becomes the built fragment (also when cancelled).  True only when the user
// confirmed with a tolerance built; a table that cannot be read is reported
// and gives false.
bool ExecuteTolTable(QString& text, const QString& tableFile, double tolHeight, bool commaAsSep,
                     QWidget* parent = nullptr);
