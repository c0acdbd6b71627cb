#pragma once
// The user's list of unit conversions, kept in Support/unit_conv.xml:
//   <?xml version="1.0" encoding="UTF-8"?>
//   <ROOT>
//     <ITEM CAP="дюймы - миллиметры" FWD="25.4" HINT="1 дюйм = 25,4 мм"/>
//   </ROOT>
// Each ITEM with exactly the attributes CAP, FWD and HINT is one conversion;
// a conversion with an offset (temperatures) carries OFS as a fourth, which a
// reader that knows only the three skips whole rather than convert wrongly.
// Every other element is ignored, at any depth.
#include <QString>
#include <memory>
#include <vector>

class QIODevice;
class TUnitConvertor;

// One conversion: value in the right-hand unit = value in the left-hand unit
// times Forward, plus Offset.  Every write marks the owning list modified.
class TUnit {
 public:
  TUnit(TUnitConvertor* AOwner, const QString& ACaption, double AForward, const QString& AHint,
        double AOffset = 0);

  TUnitConvertor* Owner() const { return FOwner; }
  QString Caption() const { return FCaption; }
  void setCaption(const QString& value);
  double Forward() const { return FForward; }
  void setForward(double value);
  QString Hint() const { return FHint; }
  void setHint(const QString& value);
  double Offset() const { return FOffset; }
  void setOffset(double value);

  // X times Forward plus Offset when FwdDir, else X less Offset divided by Forward.
  double Convert(double X, bool FwdDir) const;

 private:
  friend class TUnitConvertor;
  void changed();

  TUnitConvertor* FOwner;
  QString FCaption;
  double FForward;
  QString FHint;
  double FOffset = 0;
};

// The list of conversions in display order.  It owns its entries; every
// change sets Modified, loading and saving clear it.
class TUnitConvertor {
 public:
  TUnitConvertor() = default;
  // Writes the list back to FileName when it was modified (see WriteBack).
  ~TUnitConvertor();
  TUnitConvertor(const TUnitConvertor&) = delete;
  TUnitConvertor& operator=(const TUnitConvertor&) = delete;

  int Count() const { return int(FItems.size()); }
  // Appends AUnit (taking it over) and returns its index.
  int Add(TUnit* AUnit);
  // Puts AUnit before position Index (Count appends).
  void Insert(int Index, TUnit* AUnit);
  // Deletes and frees the entry.
  void Delete(int Index);
  void Exchange(int Index1, int Index2);
  // Frees every entry.
  void Clear();
  // nullptr outside 0..Count-1.
  TUnit* GetUnit(int Index) const;
  // Replaces (and frees) the entry at Index.
  void SetUnit(int Index, TUnit* AUnit);

  QString FileName() const { return FFileName; }
  bool Modified() const { return FModified; }
  void setModified(bool value) { FModified = value; }

  // Appends the entries of the file (the list is not cleared first).  On a
  // missing or malformed file the entries read before the fault stay, the
  // result is false and LoadError says why in Russian (file, line, column).
  // FileName becomes AFileName and Modified is cleared in every case.
  bool LoadFromFile(const QString& AFileName);
  // The same from an open device (FileName is left alone); error gets the
  // line, column and reason of a fault.
  bool LoadFromDevice(QIODevice* device, QString* error = nullptr);
  QString LoadError() const { return FLoadError; }
  // The file exists but was not read whole: WriteBack leaves it alone until
  // the user allows writing over it (setBrokenFile(false)) or it is saved.
  bool BrokenFile() const { return FBrokenFile; }
  void setBrokenFile(bool value) { FBrokenFile = value; }
  // Writes the list to a temporary file beside AFileName and renames it over
  // the old one, so a failed write leaves the old file whole.  On success
  // FileName becomes AFileName and Modified is cleared; on failure both stay.
  bool SaveToFile(const QString& AFileName);
  // Writes the document to an open device (FileName and Modified stay).
  bool SaveToDevice(QIODevice* device) const;
  // Saves to FileName when Modified, FileName is not empty and the file is
  // not one read only in part (BrokenFile; a shipped
  // file of an installed program: to the user's copy, platform::writablePath);
  // a failed write is reported with "Ошибка при сохранении " and the path.
  // True unless a write failed.
  bool WriteBack();

 private:
  friend class TUnit;
  void Notify() { FModified = true; }
  void adopt(TUnit* AUnit);

  std::vector<std::unique_ptr<TUnit>> FItems;
  QString FFileName;
  bool FModified = false;
  bool FBrokenFile = false;
  QString FLoadError;
  QString FSaveError;
};

// Reads a factor leniently: "." and "," both count as the decimal separator,
// characters other than signs, digits and "E"/"e" are dropped ("25.4 мм" is
// 25.4); Default when what is left is not a finite number.
double CleanStrToFloat(const QString& Text, double Default);

// The factor as the list file and the list editor show it: the shortest form
// of up to 15 significant digits, "E" exponent for very small or large values,
// with the decimal separator sep ("25,4", "1E-6").
QString FactorToStr(double value, QChar sep);

// The error texts of the conversion: no entry to convert with, and "<" with
// a factor of 0.
QString NoUnitSelectedMessage();
QString ZeroFactorMessage(const QString& caption);
// A result the value fields cannot hold (beyond their limits, or not finite).
QString ResultOutOfRangeMessage(double result, double minValue, double maxValue);
