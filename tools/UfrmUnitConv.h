#pragma once
// The conversion dialog: converts a value with a factor from the unit list
// and hands the result back for insertion.
#include <QDialog>
#include <QString>

class QButtonGroup;
class QComboBox;
class QLabel;
class QPushButton;
class QToolButton;
class TFloatEdit;
class TUnitConvertor;

class TfrmUnitConv : public QDialog {
  Q_OBJECT
 public:
  // commaAsSep: the decimal separator setting for the inserted result.
  explicit TfrmUnitConv(TUnitConvertor& units, QWidget* parent = nullptr, bool commaAsSep = false);

  QLabel* lblUnits = nullptr;
  QComboBox* cbUnits = nullptr;
  QPushButton* btnUnitsConvertEdit = nullptr;
  QLabel* lblValues = nullptr;
  TFloatEdit* neLeft = nullptr;
  QToolButton* btnLRDirect = nullptr;
  QToolButton* btnRLDirect = nullptr;
  TFloatEdit* neRight = nullptr;
  QToolButton* sbtnHelp = nullptr;
  QPushButton* btnConvert = nullptr;
  QPushButton* btnConvertAndInsert = nullptr;
  QPushButton* btnClose = nullptr;

  // The text of the last conversion's result, as its field shows it but with
  // the decimal separator of the setting.
  QString FRes;

  // Refills cbUnits from the list and selects the first entry.
  void FillUnits();
  // Converts in the chosen direction; false (fields unchanged) after an
  // error, which is shown through the message seam.
  bool Convert();
  void ConvertAndInsert();
  void EditUnits();

 private:
  TUnitConvertor& FUnits;
  QButtonGroup* FDirection = nullptr;
  bool FCommaAsSep = false;
};

// Opens the conversion dialog on the run's list, reading FileName first when
// the list is empty.  True when the user chose "Пересчитать и вставить";
// Text is then the converted value, written with the separator of commaAsSep.
bool ExecuteUnitConv(TUnitConvertor& units, const QString& FileName, QString& Text, QWidget* parent = nullptr,
                     bool commaAsSep = false);
