#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QPainter>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "TestMain.h"
#include "core/TextCodec.h"
#include "platform/Platform.h"
#include "tools/FloatControls.h"
#include "tools/UfrmTolTable.h"

namespace {

// Collects what the error display would show.
struct ErrorCatcher {
  QStringList errors;
  ErrorCatcher() {
    platform::MessageSeam seam;
    seam.error = [this](const QString& t) { errors << t; };
    platform::setMessageSeam(seam);
  }
  ~ErrorCatcher() { platform::setMessageSeam({}); }
};

// A number as dialogs show it: with the system's decimal separator.
QString sys(const char* number) {
  return QString::fromLatin1(number).replace(QLatin1Char('.'), DialogDecimalSeparator());
}

QString shippedTable() { return QStringLiteral(KORVEX_SOURCE_DIR "/Support/korvex.tol"); }

// Rows of ink (pixels darker than mid-grey) at x >= fromX.
QVector<int> inkRows(const QImage& img, int fromX) {
  QVector<int> rows;
  for (int y = 0; y < img.height(); ++y)
    for (int x = fromX; x < img.width(); ++x)
      if (qGray(img.pixel(x, y)) < 128) {
        rows << y;
        break;
      }
  return rows;
}

}  // namespace

class TestTolTable : public QObject {
  Q_OBJECT
  QTemporaryDir FDir;

  QString writeFile(const QString& name, const QByteArray& bytes) {
    const QString path = FDir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(path));
    f.write(bytes);
    return path;
  }
  QString table(const QString& text) { return writeFile(QStringLiteral("t.tol"), text.toUtf8()); }

  // A dialog on a one-row table with the selected text 25.
  static constexpr const char* Sample =
      "Размер, мм\tH7\tR7\tX\tY\tZ\tW\n18-30\t+21/0\t-20/-41\t+12\t-12\t\tabc\n";

 private slots:
  void deviationText() {
    QCOMPARE(DeviationText(QStringLiteral("+21"), false), QStringLiteral("0.021"));
    QCOMPARE(DeviationText(QStringLiteral("-13"), false), QStringLiteral("-0.013"));
    QCOMPARE(DeviationText(QStringLiteral("0"), false), QStringLiteral("0"));
    QCOMPARE(DeviationText(QStringLiteral("6,5"), false), QStringLiteral("0.0065"));
    QCOMPARE(DeviationText(QStringLiteral("-6.5"), true), QStringLiteral("-0,0065"));
    QCOMPARE(DeviationText(QStringLiteral("1650"), false), QStringLiteral("1.65"));
    QCOMPARE(DeviationText(QStringLiteral("0.01"), false), QStringLiteral("0.00001"));
    try {
      DeviationText(QStringLiteral("x1"), false);
      QFAIL("no error");
    } catch (const ETolTableError& e) {
      QCOMPARE(e.message(), QStringLiteral("«x1» не является числом"));
    }
  }

  void threeFormsFor25H7() {
    TfrmTolTable d(0.6, false);
    d.Prepare(QStringLiteral("25"));
    d.FormShow(table(QString::fromUtf8(Sample)));
    QCOMPARE(d.Tolerance(), QStringLiteral("\\A1;~25{\\H0.6x;\\S+0.021^0;}"));
    QCOMPARE(d.StatusText(), d.Tolerance());
    QVERIFY(d.PlusMinusTol->isChecked());
    d.SymbPlusMinusTol->click();
    QCOMPARE(d.Tolerance(), QStringLiteral("\\A1;~25H7({\\H0.6x;\\S+0.021^0;})"));
    d.SymbTol->click();
    QCOMPARE(d.Tolerance(), QStringLiteral("~25H7"));
    QCOMPARE(d.StatusText(), QStringLiteral("~25H7"));
    QCOMPARE(d.MaxValue->text(), sys("25.021"));
    QCOMPARE(d.MinValue->text(), sys("25"));
  }

  void stacksOfPairsAndSingleValues() {
    TfrmTolTable d(0.6, false);
    d.Prepare(QStringLiteral("25"));
    d.FormShow(table(QString::fromUtf8(Sample)));
    const int dev = 4 + 30;  // right of the nominal "25" at 12 pt
    d.TableGridSelectCell(2, 1);
    QVERIFY(d.Tolerance().endsWith(QStringLiteral("\\S-0.02^-0.041;}")));
    QCOMPARE(d.MaxValue->text(), sys("24.98"));
    QCOMPARE(d.MinValue->text(), sys("24.959"));

    d.TableGridSelectCell(3, 1);
    QVERIFY(d.Tolerance().endsWith(QStringLiteral("\\S+0.012^;}")));
    QVector<int> rows = inkRows(d.PreviewPicture(), dev);
    QVERIFY(!rows.isEmpty());
    QVERIFY(rows.last() < 57 / 2 + 1);  // upper position only
    QCOMPARE(d.MaxValue->text(), sys("25.012"));
    QCOMPARE(d.MinValue->text(), sys("25"));

    d.TableGridSelectCell(4, 1);
    QVERIFY(d.Tolerance().endsWith(QStringLiteral("\\S^-0.012;}")));
    rows = inkRows(d.PreviewPicture(), dev);
    QVERIFY(!rows.isEmpty());
    QVERIFY(rows.first() >= 57 / 2);  // lower position only
    QCOMPARE(d.MaxValue->text(), sys("25"));
    QCOMPARE(d.MinValue->text(), sys("24.988"));
  }

  void separatorSettingAndHeights() {
    TfrmTolTable d(0.6, true);
    d.Prepare(QStringLiteral("25.5"));
    d.FormShow(table(QString::fromUtf8(Sample)));
    QCOMPARE(d.Tolerance(), QStringLiteral("\\A1;~25,5{\\H0.6x;\\S+0,021^0;}"));
    QCOMPARE(d.PreviewNominal(), QStringLiteral("25,5"));

    QCOMPARE(TfrmTolTable(1, false).HeightCode(), QStringLiteral("\\H1.0x;"));
    QCOMPARE(TfrmTolTable(0.75, true).HeightCode(), QStringLiteral("\\H0.75x;"));
    QCOMPARE(TfrmTolTable(0.6126, false).HeightCode(), QStringLiteral("\\H0.613x;"));
  }

  void selectionTextReachesFragmentAndField() {
    TfrmTolTable d(0.6, false);
    d.Prepare(QStringLiteral("25,5"));
    QCOMPARE(d.PreviewNominal(), QStringLiteral("25.5"));
    QCOMPARE(d.NumEdit->value(), 25.5);
    QCOMPARE(d.NumEdit->decimals(), 3);
    QCOMPARE(d.NumEdit->textAlignment(), taRightJustify);
    d.Prepare(QStringLiteral("250000"));
    QCOMPARE(d.NumEdit->value(), 100000.0);
    d.Prepare(QStringLiteral("M25"));  // the field and the row take the number in it
    QCOMPARE(d.NumEdit->value(), 25.0);
    d.FormShow(table(QString::fromUtf8(Sample)));
    QCOMPARE(d.Tolerance(), QStringLiteral("\\A1;~M25{\\H0.6x;\\S+0.021^0;}"));
    QCOMPARE(d.PreviewNominal(), QStringLiteral("M25"));  // what the text gets

    TfrmTolTable e(0.6, false);
    e.Prepare(QString());
    e.FormShow(table(QString::fromUtf8(Sample)));
    QVERIFY(e.Tolerance().startsWith(QStringLiteral("\\A1;~{")));
  }

  void rowForSizeAtTheTableBounds() {
    QStringList lines;
    TTextFormat format;
    QString error;
    QVERIFY(ReadTextFile(shippedTable(), lines, format, error));
    const TTolTable t = ParseTolTable(lines);
    auto range = [&](double size) {
      const int r = TolRowForSize(t.Cells, size);
      return r > 0 ? t.Cells.at(r).at(0) : QString::number(r);
    };
    QCOMPARE(range(0.001), QStringLiteral("0-3"));
    QCOMPARE(range(3), QStringLiteral("0-3"));
    QCOMPARE(range(3.0001), QStringLiteral("3-6"));
    QCOMPARE(range(40), QStringLiteral("30-40"));
    QCOMPARE(range(500), QStringLiteral("450-500"));
    QCOMPARE(range(500.0001), QStringLiteral("0"));
    QCOMPARE(range(0), QStringLiteral("0"));
    QCOMPARE(range(-1), QStringLiteral("0"));
    QCOMPARE(TolRowForSize({{"D", "H7"}, {"свыше", "+1"}}, 5), -1);  // no ranges: no rule
    double v = 0;
    QVERIFY(SizeInText(QStringLiteral("%%c40,5"), v) && v == 40.5);
    QVERIFY(!SizeInText(QStringLiteral("Ø"), v));
  }

  // Select "40", type 45, Return: the cell for 45 in the column used last.
  void dialogFollowsTheSize() {
    TfrmTolTable::LastDesignation = QStringLiteral("H7");
    TfrmTolTable d(0.6, false);
    d.Prepare(QStringLiteral("%%c40"));
    d.FormShow(shippedTable());
    QCOMPARE(d.Cells(0, d.CurrentRow()), QStringLiteral("30-40"));
    QCOMPARE(d.Cells(d.CurrentCol(), 0), QStringLiteral("H7"));
    QCOMPARE(d.TableGrid->currentIndex().row() + 1, d.CurrentRow());
    QCOMPARE(d.Tolerance(), QStringLiteral("\\A1;~%%c40{\\H0.6x;\\S+0.025^0;}"));
    d.NumEdit->setText(sys("40.0"));  // the same size reformatted keeps the caller's text
    QCOMPARE(d.PreviewNominal(), QStringLiteral("%%c40"));

    d.NumEdit->setText(QStringLiteral("45"));
    QCOMPARE(d.Cells(0, d.CurrentRow()), QStringLiteral("40-50"));
    QCOMPARE(d.Tolerance(), QStringLiteral("\\A1;~45{\\H0.6x;\\S+0.025^0;}"));
    QCOMPARE(d.StatusText(), d.Tolerance());
    QCOMPARE(d.PreviewNominal(), QStringLiteral("45"));
    QCOMPARE(d.MaxValue->text(), sys("45.025"));
    // Another row picked by hand: the row stays the size's, the column moves.
    d.TableGridSelectCell(1, 1);
    QCOMPARE(d.Cells(0, d.CurrentRow()), QStringLiteral("40-50"));
    QCOMPARE(d.Tolerance(), QStringLiteral("\\A1;~45{\\H0.6x;\\S+0.016^0;}"));

    for (const char* outside : {"501", "0", "1e3"}) {
      d.NumEdit->setText(QString::fromLatin1(outside));
      QVERIFY2(d.Tolerance().isEmpty(), outside);
      QVERIFY(d.StatusText().contains(QStringLiteral("вне таблицы допусков (свыше 0 до 500 мм)")));
      QVERIFY(!d.TableGrid->currentIndex().isValid());
      QVERIFY(d.MaxValue->text().isEmpty());
      d.accept();  // OK inserts nothing and keeps the dialog
      QCOMPARE(d.result(), int(QDialog::Rejected));
    }
    d.NumEdit->setText(QStringLiteral("3"));
    QCOMPARE(d.Cells(0, d.CurrentRow()), QStringLiteral("0-3"));
    QCOMPARE(d.TableGrid->currentIndex().row(), 0);

    // The column used last opens the next dialog.
    TfrmTolTable::LastDesignation = QStringLiteral("k6");
    TfrmTolTable e(0.6, false);
    e.Prepare(QString());
    e.FormShow(shippedTable());
    QCOMPARE(e.Cells(e.CurrentCol(), 0), QStringLiteral("k6"));
    QCOMPARE(e.CurrentRow(), 1);  // no size: the first row
    TfrmTolTable::LastDesignation = QStringLiteral("H7");
  }

  void limitsFollowTheField() {
    TfrmTolTable d(0.6, false);
    d.Prepare(QString());
    d.FormShow(table(QString::fromUtf8(Sample)));
    QCOMPARE(d.MaxValue->text(), sys("0.021"));
    d.NumEdit->setValue(25);
    QCOMPARE(d.MaxValue->text(), sys("25.021"));
    QCOMPARE(d.MinValue->text(), sys("25"));
  }

  void emptyCellBuildsNothingSilently() {
    ErrorCatcher catcher;
    TfrmTolTable d(0.6, false);
    d.Prepare(QStringLiteral("25"));
    d.FormShow(table(QString::fromUtf8(Sample)));
    d.TableGridSelectCell(5, 1);
    QVERIFY(catcher.errors.isEmpty());
    QVERIFY(d.Tolerance().isEmpty());
    QVERIFY(d.StatusText().isEmpty());
    QVERIFY(d.MaxValue->text().isEmpty() && d.MinValue->text().isEmpty());

    // Cell (1, 1) empty: the dialog still opens, with nothing built.
    TfrmTolTable e(0.6, false);
    e.Prepare(QStringLiteral("25"));
    e.FormShow(table(QStringLiteral("D\tH7\tH8\n18-30\t\t+33/0\n")));
    QVERIFY(e.Tolerance().isEmpty());
    e.TableGridSelectCell(2, 1);
    QCOMPARE(e.Tolerance(), QStringLiteral("\\A1;~25{\\H0.6x;\\S+0.033^0;}"));
    QVERIFY(catcher.errors.isEmpty());
  }

  void nonNumberCellReportsAndKeepsTol() {
    ErrorCatcher catcher;
    TfrmTolTable d(0.6, false);
    d.Prepare(QStringLiteral("25"));
    d.FormShow(table(QString::fromUtf8(Sample)));
    const QString before = d.Tolerance();
    d.TableGridSelectCell(6, 1);
    const QString file = QDir::toNativeSeparators(FDir.filePath(QStringLiteral("t.tol")));
    QCOMPARE(catcher.errors, QStringList{"Ошибка в таблице допусков " + file +
                                         ", строка 2, столбец 7: «abc» не является числом."});
    QCOMPARE(d.Tolerance(), before);
    QCOMPARE(d.StatusText(), before);
    QCOMPARE(d.MaxValue->text(), sys("25.021"));

    // The first cell too: reported, and the other cells stay usable.
    TfrmTolTable e(0.6, false);
    e.FormShow(table(QStringLiteral("D\tH7\tH8\n1-2\t+1/x\t+2/0\n")));
    QCOMPARE(catcher.errors.size(), 2);
    QVERIFY(catcher.errors.at(1).contains(", строка 2, столбец 2: «x» не является числом"));
    QVERIFY(e.Tolerance().isEmpty());
    e.TableGridSelectCell(2, 1);
    QVERIFY(!e.Tolerance().isEmpty());
  }

  void unreadableTablesReportAndNeverCrash() {
    TfrmTolTable d(0.6, false);
    try {
      d.FormShow(FDir.filePath(QStringLiteral("none.tol")));
      QFAIL("no error");
    } catch (const ETolTableError& e) {
      QVERIFY2(e.message().startsWith(QStringLiteral("Не удается открыть файл")), qPrintable(e.message()));
    }
    try {
      d.FormShow(writeFile(QStringLiteral("empty.tol"), QByteArray()));
      QFAIL("no error");
    } catch (const ETolTableError& e) {
      QVERIFY(e.message().startsWith(QStringLiteral("Таблица допусков ")) && e.message().endsWith(" пуста."));
    }
    // A heading only, a heading without TAB: no cells, nothing built.
    d.FormShow(table(QStringLiteral("D\tH7\n")));
    QVERIFY(d.Tolerance().isEmpty());
    d.FormShow(table(QStringLiteral("Размер\n1-3\n")));
    QCOMPARE(d.ColCount(), 1);
    QVERIFY(d.Tolerance().isEmpty());
  }

  void tableShapes() {
    TfrmTolTable d(0.6, false);
    // A TAB ending line 1 opens no column; extra fields are held, not shown.
    d.FormShow(table(QStringLiteral("D\tH7\t\n1-3\t+10/0\t+14/0\textra\n4-6\n")));
    QCOMPARE(d.ColCount(), 2);
    QCOMPARE(d.RowCount(), 3);
    QCOMPARE(d.TableGrid->model()->columnCount(), 1);
    QCOMPARE(d.Cells(1, 1), QStringLiteral("+10\r0"));
    QCOMPARE(d.Cells(3, 1), QStringLiteral("extra"));
    QCOMPARE(d.Cells(1, 2), QString());  // fewer fields

    // CR-only line ends.
    d.FormShow(writeFile(QStringLiteral("cr.tol"), "D\tH7\r18-30\t+21/0\r"));
    QCOMPARE(d.RowCount(), 2);
    QCOMPARE(d.Cells(1, 1), QStringLiteral("+21\r0"));

    // UTF-16 with its byte-order mark.
    QByteArray utf16("\xFF\xFE", 2);
    const QString text = QStringLiteral("Размер\tH7\r\n18-30\t+21/0\r\n");
    utf16.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    d.FormShow(writeFile(QStringLiteral("u16.tol"), utf16));
    QCOMPARE(d.Cells(0, 0), QStringLiteral("Размер"));
    QCOMPARE(d.Tolerance(), QStringLiteral("\\A1;~{\\H0.6x;\\S+0.021^0;}"));

    // Lines of any length: the last of 400 columns survives.
    QString head = QStringLiteral("D"), row = QStringLiteral("1-2");
    for (int i = 1; i <= 400; ++i) {
      head += QStringLiteral("\tF%1").arg(i);
      row += QStringLiteral("\t+%1/-%1").arg(i);
    }
    d.FormShow(table(head + QLatin1Char('\n') + row + QLatin1Char('\n')));
    QCOMPARE(d.ColCount(), 401);
    QCOMPARE(d.Cells(400, 1), QStringLiteral("+400\r-400"));
    QCOMPARE(d.Cells(400, 0), QStringLiteral("F400"));
  }

  void executeReturnsTheFragmentOnlyWhenConfirmed() {
    ErrorCatcher catcher;
    const QString file = table(QStringLiteral("D\tH7\tH8\n10-18\t\t+27/0\n18-30\t+21/0\t\n"));
    int shown = 0;
    int cell = 1, reply = QDialog::Accepted;
    platform::DialogSeam seam;
    seam.dialog = [&](QDialog* dlg) {
      ++shown;
      auto* d = qobject_cast<TfrmTolTable*>(dlg);
      if (!d) return int(QDialog::Rejected);
      d->TableGridSelectCell(cell, 2);
      return reply;
    };
    platform::ScopedDialogScript script(seam);

    QString text = QStringLiteral("25");
    QVERIFY(ExecuteTolTable(text, file, 0.6, false));
    QCOMPARE(text, QStringLiteral("\\A1;~25{\\H0.6x;\\S+0.021^0;}"));

    text = QStringLiteral("25");
    reply = QDialog::Rejected;
    QVERIFY(!ExecuteTolTable(text, file, 0.6, false));
    QCOMPARE(text, QStringLiteral("\\A1;~25{\\H0.6x;\\S+0.021^0;}"));  // the caller ignores it

    // OK on an empty cell: nothing to insert, so the selection must stay.
    text = QStringLiteral("25");
    reply = QDialog::Accepted;
    cell = 2;
    QVERIFY(!ExecuteTolTable(text, file, 0.6, false));
    QVERIFY(catcher.errors.isEmpty());

    // A missing table: reported, the dialog never comes up.
    shown = 0;
    text = QStringLiteral("25");
    QVERIFY(!ExecuteTolTable(text, FDir.filePath(QStringLiteral("gone.tol")), 0.6, false));
    QCOMPARE(shown, 0);
    QCOMPARE(catcher.errors.size(), 1);
    QCOMPARE(text, QStringLiteral("25"));
  }

  void longNominalGrowsThePreview() {
    TfrmTolTable d(0.6, false);
    d.Prepare(QStringLiteral("25"));
    d.FormShow(table(QString::fromUtf8(Sample)));
    QCOMPARE(d.PreviewPicture().width(), 128);
    d.Prepare(QStringLiteral("25 (номинал длинный)"));
    d.SymbPlusMinusTol->click();
    const QImage img = d.PreviewPicture();
    QVERIFY(img.width() > 128);
    QCOMPARE(img.height(), 57);
    // The closing parenthesis is drawn, not cut: ink near the right edge.
    bool ink = false;
    for (int y = 0; y < img.height(); ++y)
      for (int x = img.width() - 20; x < img.width(); ++x) ink = ink || qGray(img.pixel(x, y)) < 128;
    QVERIFY(ink);
    QVERIFY(!d.PreviewImage->pixmap().isNull());
    QVERIFY(d.PreviewImage->pixmap().width() <= 128);
  }

  void doubleClickConfirms() {
    TfrmTolTable d(0.6, false);
    d.FormShow(table(QString::fromUtf8(Sample)));
    d.TableGridDblClick();
    QCOMPARE(d.result(), int(QDialog::Accepted));
  }

  void cellDrawing() {
    TfrmTolTable d(0.6, false);
    d.FormShow(table(QString::fromUtf8(Sample)));
    QImage img(60, 40, QImage::Format_RGB32);
    img.fill(Qt::red);
    {
      QPainter p(&img);
      d.TableGridDrawCell(p, 1, 1, QRect(0, 0, 60, 40), gdSelected | gdFocused);
    }
    QCOMPARE(QColor(img.pixel(0, 0)), QColor(0, 0, 128));    // navy frame
    QCOMPARE(QColor(img.pixel(59, 39)), QColor(0, 0, 128));
    QCOMPARE(QColor(img.pixel(58, 38)), QColor(214, 231, 255));
    {
      QPainter p(&img);
      d.TableGridDrawCell(p, 1, 0, QRect(0, 0, 60, 40), gdFixed);
    }
    auto near = [](QRgb c, int r, int g, int b) {
      return qAbs(qRed(c) - r) <= 3 && qAbs(qGreen(c) - g) <= 3 && qAbs(qBlue(c) - b) <= 3;
    };
    QVERIFY(near(img.pixel(1, 0), 255, 255, 255));  // gradient from white to the warm grey
    QVERIFY(near(img.pixel(1, 38), 220, 217, 200));
    {
      QPainter p(&img);
      d.TableGridDrawCell(p, 4, 1, QRect(0, 0, 60, 40), 0);  // "-12": drawn at the bottom
    }
    QVERIFY(inkRows(img, 0).first() > 20);
  }

  // The shipped table, spot-checked against ISO 286-2 values in every size
  // row and for every rule the generator applies.
  void shippedTableValues() {
    QStringList lines;
    TTextFormat format;
    QString error;
    QVERIFY2(ReadTextFile(shippedTable(), lines, format, error), qPrintable(error));
    const TTolTable t = ParseTolTable(lines);
    QCOMPARE(t.ColCount, 47);
    QCOMPARE(t.Cells.size(), 24);
    auto value = [&](const char* field, const char* range) {
      const int c = t.Cells.at(0).indexOf(QString::fromLatin1(field));
      int r = -1;
      for (int i = 1; i < t.Cells.size(); ++i)
        if (t.Cells.at(i).at(0) == QLatin1String(range)) r = i;
      if (c < 0 || r < 0) return QStringLiteral("missing");
      return firstCrToSlashForTest(t.Cells.at(r).value(c));
    };
    const char* const known[][3] = {
        {"H7", "0-3", "+10/0"},         {"S7", "0-3", "-14/-24"},       {"K7", "0-3", "0/-10"},
        {"M7", "0-3", "-2/-12"},        {"N7", "0-3", "-4/-14"},        {"P7", "3-6", "-8/-20"},
        {"K6", "3-6", "+2/-6"},         {"M7", "3-6", "0/-12"},         {"JS7", "6-10", "+7/-7"},
        {"h8", "6-10", "0/-22"},        {"f8", "10-18", "-16/-43"},     {"H6", "10-18", "+11/0"},
        {"H7", "18-30", "+21/0"},       {"G7", "18-30", "+28/+7"},      {"F7", "18-30", "+41/+20"},
        {"E8", "18-30", "+73/+40"},     {"D9", "18-30", "+117/+65"},    {"K7", "18-30", "+6/-15"},
        {"N7", "18-30", "-7/-28"},      {"R7", "18-30", "-20/-41"},     {"S7", "18-30", "-27/-48"},
        {"js6", "18-30", "+6.5/-6.5"},  {"k6", "18-30", "+15/+2"},      {"m6", "18-30", "+21/+8"},
        {"b11", "18-30", "-160/-290"},  {"h9", "30-40", "0/-62"},       {"c11", "30-40", "-120/-280"},
        {"c11", "40-50", "-130/-290"},  {"s6", "50-65", "+72/+53"},     {"s6", "65-80", "+78/+59"},
        {"R7", "65-80", "-32/-62"},     {"N7", "80-100", "-10/-45"},    {"F8", "80-100", "+90/+36"},
        {"R7", "100-120", "-41/-76"},   {"S7", "100-120", "-66/-101"},  {"a11", "120-140", "-460/-710"},
        {"r6", "140-160", "+90/+65"},   {"b11", "160-180", "-310/-560"}, {"f9", "180-200", "-50/-165"},
        {"s6", "200-225", "+159/+130"}, {"r6", "225-250", "+113/+84"},  {"p6", "250-280", "+88/+56"},
        {"h11", "280-315", "0/-320"},   {"h7", "315-355", "0/-57"},     {"r6", "355-400", "+150/+114"},
        {"E9", "400-450", "+290/+135"}, {"k6", "400-450", "+45/+5"},    {"a11", "450-500", "-1650/-2050"},
        {"H7", "450-500", "+63/0"},     {"JS7", "450-500", "+31/-31"},  {"g6", "0-3", "-2/-8"},
        {"e9", "3-6", "-20/-50"},       {"d11", "80-100", "-120/-340"}, {"n6", "3-6", "+16/+8"},
    };
    for (const auto& k : known)
      QVERIFY2(value(k[0], k[1]) == QLatin1String(k[2]),
               qPrintable(QStringLiteral("%1 %2: %3").arg(k[0], k[1], value(k[0], k[1]))));
    // Every cell of the shipped table builds.
    for (int r = 1; r < t.Cells.size(); ++r)
      for (int c = 1; c < t.ColCount; ++c) {
        double hi = 0, lo = 0;
        QVERIFY(TolLimits(t.Cells.at(r).at(c), 100, hi, lo));
        QVERIFY2(hi > lo, qPrintable(t.Cells.at(0).at(c) + QLatin1Char(' ') + t.Cells.at(r).at(0)));
      }
  }

  void dialogLayout() {
    TfrmTolTable d(0.6, false);
    QCOMPARE(d.windowTitle(), QStringLiteral("Таблица допусков"));
    QCOMPARE(d.PreviewImage->size(), QSize(128, 57));
    QCOMPARE(d.MaxValue->text(), sys("0"));
    QCOMPARE(d.RefreshButton->toolTip(), QStringLiteral("Обновить расчет"));
    QCOMPARE(d.PlusMinusTol->toolTip(), QStringLiteral("Выбор вида записи допуска"));
    QVERIFY(d.btnOK->isDefault());
    d.FormShow(shippedTable());
    QCOMPARE(d.TableGrid->columnWidth(0), 48);
    QCOMPARE(d.TableGrid->verticalHeader()->width(), 64);
    QCOMPARE(d.TableGrid->rowHeight(0), 2 * QFontMetrics(d.TableGrid->font()).height() + 4);
  }

 private:
  static QString firstCrToSlashForTest(QString s) {
    const int i = s.indexOf(QLatin1Char('\r'));
    if (i >= 0) s[i] = QLatin1Char('/');
    return s;
  }
};

KORVEX_TEST(TestTolTable)
#include "test_toltable.moc"
