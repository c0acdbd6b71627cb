#include "tools/Conversion.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QSaveFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <cmath>

#include "core/FileErrors.h"
#include "platform/Messages.h"
#include "platform/Paths.h"
#include "platform/Platform.h"
#include "tools/FloatControls.h"


// ---------------------------------------------------------------------------
// Messages

QString NoUnitSelectedMessage() {
  return QStringLiteral("Не выбран пересчет: список единиц пуст. Добавьте пересчет кнопкой «Редактировать».");
}
QString ZeroFactorMessage(const QString& caption) {
  return QStringLiteral("У пересчета «%1» коэффициент равен нулю: обратный пересчет невозможен. "
                        "Исправьте коэффициент кнопкой «Редактировать».")
      .arg(caption);
}

QString ResultOutOfRangeMessage(double result, double minValue, double maxValue) {
  const QChar sep = DialogDecimalSeparator();
  return QStringLiteral("Результат пересчета %1 не помещается в поле (от %2 до %3): он не показан и не вставлен.")
      .arg(std::isfinite(result) ? FactorToStr(result, sep) : QStringLiteral("бесконечность"),
           FactorToStr(minValue, sep), FactorToStr(maxValue, sep));
}

// ---------------------------------------------------------------------------
// Numbers

double CleanStrToFloat(const QString& Text, double Default) {
  QString kept;
  for (const QChar c : Text) {
    if (c == QLatin1Char('.') || c == QLatin1Char(',')) {
      kept += QLatin1Char('.');
    } else if (c == QLatin1Char('+') || c == QLatin1Char('-') || c == QLatin1Char('E') || c == QLatin1Char('e') ||
               (c >= QLatin1Char('0') && c <= QLatin1Char('9'))) {
      kept += c;
    }
  }
  if (kept.isEmpty()) return Default;
  bool ok = false;
  const double value = QLocale::c().toDouble(kept, &ok);
  return ok && std::isfinite(value) ? value : Default;
}

QString FactorToStr(double value, QChar sep) {
  if (!std::isfinite(value) || value == 0) return QStringLiteral("0");
  // d.dddddddddddddde±x: fifteen significant digits, then drop trailing zeros.
  const QString sci = QString::number(std::fabs(value), 'e', 14);
  const int ePos = sci.indexOf(QLatin1Char('e'));
  QString digits = sci.left(ePos).remove(QLatin1Char('.'));
  const int exponent = sci.mid(ePos + 1).toInt();
  while (digits.size() > 1 && digits.endsWith(QLatin1Char('0'))) digits.chop(1);

  QString result = value < 0 ? QStringLiteral("-") : QString();
  if (exponent >= 15 || exponent <= -5) {
    result += digits.left(1);
    if (digits.size() > 1) result += sep + digits.mid(1);
    result += QStringLiteral("E") + QString::number(exponent);
  } else if (exponent < 0) {
    result += QStringLiteral("0") + sep + QString(-exponent - 1, QLatin1Char('0')) + digits;
  } else if (digits.size() <= exponent + 1) {
    result += digits + QString(exponent + 1 - digits.size(), QLatin1Char('0'));
  } else {
    result += digits.left(exponent + 1) + sep + digits.mid(exponent + 1);
  }
  return result;
}

// ---------------------------------------------------------------------------
// TUnit

TUnit::TUnit(TUnitConvertor* AOwner, const QString& ACaption, double AForward, const QString& AHint,
             double AOffset)
    : FOwner(AOwner), FCaption(ACaption), FForward(AForward), FHint(AHint), FOffset(AOffset) {}

void TUnit::changed() {
  if (FOwner) FOwner->Notify();
}

void TUnit::setCaption(const QString& value) {
  FCaption = value;
  changed();
}

void TUnit::setForward(double value) {
  FForward = value;
  changed();
}

void TUnit::setHint(const QString& value) {
  FHint = value;
  changed();
}

void TUnit::setOffset(double value) {
  FOffset = value;
  changed();
}

double TUnit::Convert(double X, bool FwdDir) const {
  // Factor and offset are kept to 15 digits, so 32 °F less the offset leaves
  // a trace of 1E-14 where the answer is 0: a difference that small is none.
  auto sum = [](double a, double b) {
    const double s = a + b;
    return std::fabs(s) <= qMax(std::fabs(a), std::fabs(b)) * 1e-12 ? 0.0 : s;
  };
  return FwdDir ? sum(X * FForward, FOffset) : sum(X, -FOffset) / FForward;
}

// ---------------------------------------------------------------------------
// TUnitConvertor

TUnitConvertor::~TUnitConvertor() { WriteBack(); }

void TUnitConvertor::adopt(TUnit* AUnit) {
  AUnit->FOwner = this;
  Notify();
}

int TUnitConvertor::Add(TUnit* AUnit) {
  FItems.emplace_back(AUnit);
  adopt(AUnit);
  return Count() - 1;
}

void TUnitConvertor::Insert(int Index, TUnit* AUnit) {
  Index = qBound(0, Index, Count());
  FItems.emplace(FItems.begin() + Index, AUnit);
  adopt(AUnit);
}

void TUnitConvertor::Delete(int Index) {
  if (Index < 0 || Index >= Count()) return;
  FItems.erase(FItems.begin() + Index);
  Notify();
}

void TUnitConvertor::Exchange(int Index1, int Index2) {
  if (Index1 < 0 || Index1 >= Count() || Index2 < 0 || Index2 >= Count()) return;
  std::swap(FItems[size_t(Index1)], FItems[size_t(Index2)]);
  Notify();
}

void TUnitConvertor::Clear() {
  if (FItems.empty()) return;
  FItems.clear();
  Notify();
}

TUnit* TUnitConvertor::GetUnit(int Index) const {
  return Index >= 0 && Index < Count() ? FItems[size_t(Index)].get() : nullptr;
}

void TUnitConvertor::SetUnit(int Index, TUnit* AUnit) {
  if (Index < 0 || Index >= Count()) {
    delete AUnit;
    return;
  }
  if (FItems[size_t(Index)].get() != AUnit) FItems[size_t(Index)].reset(AUnit);
  adopt(AUnit);
}

namespace unitconv {

// What an XML file can hold: a text read through an odd declared encoding may
// carry lone surrogates or control characters, which the writer refuses, and
// then the whole list could not be saved.  They are dropped when read and
// before writing.
QString xmlText(const QString& s) {
  QString out;
  out.reserve(s.size());
  for (qsizetype i = 0; i < s.size(); ++i) {
    const QChar c = s.at(i);
    if (c.isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate()) {
      out += c;
      out += s.at(++i);
      continue;
    }
    const char16_t u = c.unicode();
    if (c.isSurrogate() || u == 0xFFFE || u == 0xFFFF || (u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r'))
      continue;
    out += c;
  }
  return out;
}

// Fills the list from the reader's start-of-element events: an ITEM with
// exactly the three attributes CAP, FWD and HINT becomes an entry.  The menu
// definition loader has its own handler of the same name.
class TSaxHandler {
 public:
  explicit TSaxHandler(TUnitConvertor* list) : FUnitConvertor(list) {}

  void startElement(QStringView localName, const QXmlStreamAttributes& atts) {
    if (localName != QLatin1String("ITEM") || atts.size() < 3 || atts.size() > 4) return;
    const QString cap = QStringLiteral("CAP"), fwd = QStringLiteral("FWD"), hint = QStringLiteral("HINT");
    const QString ofs = QStringLiteral("OFS");
    if (!atts.hasAttribute(cap) || !atts.hasAttribute(fwd) || !atts.hasAttribute(hint)) return;
    if (atts.size() == 4 && !atts.hasAttribute(ofs)) return;
    FUnitConvertor->Add(new TUnit(FUnitConvertor, xmlText(atts.value(cap).toString()),
                                  CleanStrToFloat(atts.value(fwd).toString(), 1),
                                  xmlText(atts.value(hint).toString()),
                                  CleanStrToFloat(atts.value(ofs).toString(), 0)));
  }

 private:
  TUnitConvertor* FUnitConvertor;
};

}  // namespace unitconv

bool TUnitConvertor::LoadFromDevice(QIODevice* device, QString* error) {
  unitconv::TSaxHandler handler(this);
  QXmlStreamReader reader(device);
  while (!reader.atEnd()) {
    if (reader.readNext() == QXmlStreamReader::StartElement) handler.startElement(reader.name(), reader.attributes());
  }
  if (reader.hasError() && error) *error = platform::xmlErrorText(reader);
  return !reader.hasError();
}

bool TUnitConvertor::LoadFromFile(const QString& AFileName) {
  QFile file(AFileName);
  const QString shown = QDir::toNativeSeparators(AFileName);
  FLoadError.clear();
  FBrokenFile = false;
  QString why;
  if (!file.open(QIODevice::ReadOnly)) {
    FLoadError = QStringLiteral("Не удается открыть список единиц %1: %2").arg(shown, FileErrorText(file));
    FBrokenFile = file.exists();
  } else if (!LoadFromDevice(&file, &why)) {
    FLoadError = QStringLiteral("Ошибка в списке единиц %1: %2\nПрочитаны только пересчеты до этого места; "
                                "файл оставлен как есть.")
                     .arg(shown, why);
    FBrokenFile = true;
  }
  FFileName = AFileName;
  FModified = false;
  return FLoadError.isEmpty();
}

bool TUnitConvertor::SaveToDevice(QIODevice* device) const {
  QXmlStreamWriter writer(device);
  writer.setAutoFormatting(true);
  writer.setAutoFormattingIndent(2);
  writer.writeStartDocument();
  writer.writeStartElement(QStringLiteral("ROOT"));
  const QChar sep = DialogDecimalSeparator();
  for (const auto& unit : FItems) {
    writer.writeEmptyElement(QStringLiteral("ITEM"));
    writer.writeAttribute(QStringLiteral("CAP"), unitconv::xmlText(unit->Caption()));
    writer.writeAttribute(QStringLiteral("FWD"), FactorToStr(unit->Forward(), sep));
    writer.writeAttribute(QStringLiteral("HINT"), unitconv::xmlText(unit->Hint()));
    // Only where there is one: lists without offsets stay as they were.
    if (unit->Offset() != 0) writer.writeAttribute(QStringLiteral("OFS"), FactorToStr(unit->Offset(), sep));
  }
  writer.writeEndElement();
  writer.writeEndDocument();
  return !writer.hasError();
}

bool TUnitConvertor::SaveToFile(const QString& AFileName) {
  QSaveFile file(AFileName);
  if (!file.open(QIODevice::WriteOnly) || !SaveToDevice(&file) || !file.commit()) {
    FSaveError = FileErrorText(file);
    return false;
  }
  FSaveError.clear();
  FBrokenFile = false;
  FFileName = AFileName;
  FModified = false;
  return true;
}

bool TUnitConvertor::WriteBack() {
  // A file read only in part is not replaced by that part unless the user said so.
  if (!FModified || FFileName.isEmpty() || FBrokenFile) return true;
  // The shipped list of an installed program is never written: the first
  // write makes the user's copy, which FileName names from then on.
  const QString target = platform::writablePath(FFileName);
  if (SaveToFile(target)) return true;
  platform::showError(nullptr, QStringLiteral("Ошибка при сохранении ") + QDir::toNativeSeparators(target) +
                                   (FSaveError.isEmpty() ? QString() : QStringLiteral(": ") + FSaveError));
  return false;
}
