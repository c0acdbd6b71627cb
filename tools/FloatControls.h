#pragma once
// A single-line field that holds one real number.  It lets through only the
// keystrokes that can form a number within its limits and its number of
// decimals, keeps the value it had when it got the focus, and on leaving puts
// that value back when the typed number is refused.  Numbers are shown and read
// with the system's decimal separator.
#include <QLineEdit>
#include <QString>
#include <functional>

class QFocusEvent;
class QInputMethodEvent;
class QKeyEvent;

enum TAlignment : quint8 { taLeftJustify, taRightJustify, taCenter };

using TNotifyEvent = std::function<void(QObject* Sender)>;

// x with at least minDecimals and at most maxDecimals decimals, rounded half
// away from zero on its shortest decimal form (so 0.125 gives 0.13), written
// with the separator sep.  "0.0##" is (1, 3), "0.#" is (0, 1).
QString FormatFloat(double x, int minDecimals, int maxDecimals, QChar sep);
// Reads a number written with the separator sep (optional sign, optional
// exponent, blanks around it).  False, and value untouched, for anything else.
bool ReadFloatSep(const QString& text, QChar sep, double& value);
// x in exponent form with up to 15 significant digits and the separator sep
// ("6,89475729316836E12", "1,5E-13").
QString ExponentText(double x, QChar sep);
// The decimal separator dialogs show: that of the default locale, which is the
// system's unless the program chose another.
QChar DialogDecimalSeparator();

class TCustomFloatEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit TCustomFloatEdit(QWidget* parent = nullptr);

  TAlignment textAlignment() const { return FAlignment; }
  void setTextAlignment(TAlignment value);
  // 0..18; larger values are capped.  Changing it reformats the text.
  int decimals() const { return FDecimals; }
  void setDecimals(int value);
  // Setting a limit past the other moves the other too; the text is not rechecked.
  double minValue() const { return FMinValue; }
  void setMinValue(double value);
  double maxValue() const { return FMaxValue; }
  void setMaxValue(double value);
  // The text read as a number; minValue() when it does not read.
  double value() const;
  // Clamped by CheckValue, shown with one to decimals() decimals.
  void setValue(double value);
  // Raised when the number typed is refused on leaving the field.
  const TNotifyEvent& onError() const { return FOnError; }
  void setOnError(TNotifyEvent handler) { FOnError = std::move(handler); }
  QString asText() const { return text(); }
  // The separator accepted from the keyboard and used for showing and reading.
  QChar separator() const { return FSeparator; }
  // A value whose fixed form with decimals() decimals would lose digits (more
  // than the tenth significant one) is shown in exponent form instead.
  bool exponentWhenNeeded() const { return FExponentWhenNeeded; }
  void setExponentWhenNeeded(bool on) { FExponentWhenNeeded = on; }
  // The text setValue writes for x (after CheckValue).
  QString valueText(double x) const;
  // Whether entering the field by keyboard or program selects its whole text.
  bool autoSelect() const { return FAutoSelect; }
  void setAutoSelect(bool on) { FAutoSelect = on; }

  // The value limited to minValue()..maxValue(); unchanged when the two are equal.
  virtual double CheckValue(double x) const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  enum class KeyVerdict { Insert, Refuse, Handled };
  KeyVerdict filterChar(QChar ch);
  QString fixedText(double x) const;

  TNotifyEvent FOnError;
  QChar FSeparator;
  double FValueBackup = 0;
  int FDecimals = 2;
  TAlignment FAlignment = taLeftJustify;
  double FMinValue = 0;
  double FMaxValue = 100;
  bool FAutoSelect = true;
  bool FExponentWhenNeeded = false;
  bool FEntered = false;
};

// The field as forms use it: its settings are also Qt properties.
class TFloatEdit : public TCustomFloatEdit {
  Q_OBJECT
  Q_PROPERTY(int Decimals READ decimals WRITE setDecimals)
  Q_PROPERTY(double MinValue READ minValue WRITE setMinValue)
  Q_PROPERTY(double MaxValue READ maxValue WRITE setMaxValue)
  Q_PROPERTY(double Value READ value WRITE setValue)
 public:
  explicit TFloatEdit(QWidget* parent = nullptr) : TCustomFloatEdit(parent) {}
};
