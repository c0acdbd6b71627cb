// The tolerance table on any bytes: read as the dialog reads it on show, every
// cell of the first rows split, converted and built into a fragment with its
// preview, as selecting it would.  The parser runs on every input; the dialog
// (grid and previews: some forty times the parser's cost) on one input in 128,
// chosen by the input's hash so that a saved input takes the same path again.
#include <QHash>
#include <QStringList>

#include "core/Numbers.h"
#include "core/TextCodec.h"
#include "fuzz/FuzzCommon.h"
#include "platform/Platform.h"
#include "tools/UfrmTolTable.h"

namespace {
TfrmTolTable* dialog = nullptr;
// A table of one cell, shown after each input: the table an input loaded is
// freed within that input (memory an input leaves behind makes libFuzzer scan
// the whole heap for leaks), and every input meets the dialog alike.
QString restingTable;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::startApplication();
  // Conversion errors are expected; they must not open message boxes.
  platform::MessageSeam quiet;
  quiet.error = [](const QString&) {};
  quiet.message = [](const QString&) {};
  platform::setMessageSeam(quiet);
  dialog = new TfrmTolTable(0.6, false);
  dialog->Prepare(QStringLiteral("25"));
  static const char resting[] = "\tH7\r\n";
  restingTable = fuzz::writeScratch(reinterpret_cast<const uint8_t*>(resting), sizeof resting - 1, "resting.tol");
  dialog->FormShow(restingTable);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The parser alone: every line is one row, and its fields give the line back.
  TTextFormat format;
  const QStringList lines = DecodeTextLines(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), format);
  try {
    const TTolTable table = ParseTolTable(lines);
    fuzz::check(table.ColCount >= 1 && table.Cells.size() == lines.size());
    for (int r = 0; r < lines.size(); ++r) {
      QStringList fields = table.Cells.at(r);
      for (QString& f : fields) {
        const int cr = f.indexOf(QLatin1Char('\r'));
        fuzz::check(f.indexOf(QLatin1Char('\r'), cr + 1) < 0 || cr < 0);
        if (cr >= 0) f[cr] = QLatin1Char('/');
      }
      fuzz::check(fields.join(QLatin1Char('\t')) == lines.at(r));
    }
    // A row found for a size must hold it; never a row outside the table.
    for (const double size : {0.0, 3.0, 3.0001, 25.0, 500.0, 500.0001}) {
      const int r = TolRowForSize(table.Cells, size);
      fuzz::check(r >= -1 && r < table.Cells.size());
    }
    // A deviation that does not read throws; the throw is taken once per
    // input (under the sanitizers one costs more than the rest of a cell).
    // One cell in 8 of the first rows and columns, on diagonals the input's
    // hash places: the cells' conversions are most of an input's time.
    bool throwSeen = false;
    const size_t stripe = qHashBits(data, size, 1) % 8;
    for (int r = 0; r < qMin<int>(table.Cells.size(), 16); ++r) {
      const QStringList& row = table.Cells.at(r);
      for (int c = 1; c < qMin<int>(row.size(), 16); ++c) {
        if (size_t(r + c) % 8 != stripe) continue;
        const TTolParts parts = SplitTolCell(row.at(c));
        bool readable = true;
        for (const QString& p : {parts.upper, parts.lower}) {
          double v = 0;
          if (!ReadFloat(p, v)) {
            readable = readable && p.isEmpty();
            if (throwSeen) continue;
            throwSeen = true;
            try {
              DeviationText(p, false);
              fuzz::check(false);
            } catch (const ETolTableError&) {
            }
            continue;
          }
          const QString d = DeviationText(p, false);
          // Written without exponent, and read back as a number.
          fuzz::check(!d.contains(QLatin1Char('e')) && ReadFloat(d, v));
        }
        // Parts that read give limits without a throw.
        double hi = 0, lo = 0;
        if (readable) TolLimits(row.at(c), 25, hi, lo);
      }
    }
  } catch (const ETolTableError&) {
    fuzz::check(lines.isEmpty());
  }

  // The dialog's own path: load from a file, select cells in every form.
  if (qHashBits(data, size) % 128 != 0) return 0;
  const QString path = fuzz::writeScratch(data, size, "table.tol");
  bool loaded = true;
  try {
    dialog->FormShow(path);
  } catch (const ETolTableError&) {
    loaded = false;
  }
  if (loaded)
    for (int r = 1; r < qMin(dialog->RowCount(), 6); ++r)
      for (int c = 1; c < qMin(dialog->ColCount(), 6); ++c) {
        dialog->setView(TView((r + c) % 3));
        dialog->TableGridSelectCell(c, r);
      }
  dialog->setView(TView(0));
  dialog->FormShow(restingTable);
  // The events the dialog queued are delivered within the input: memory an
  // input leaves behind makes libFuzzer scan the whole heap for leaks.
  QCoreApplication::sendPostedEvents();
  return 0;
}
