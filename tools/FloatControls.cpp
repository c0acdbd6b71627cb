#include "tools/FloatControls.h"

#include <QApplication>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QRegularExpression>
#include <cmath>

QString FormatFloat(double x, int minDecimals, int maxDecimals, QChar sep) {
  if (!std::isfinite(x)) x = 0;
  maxDecimals = qBound(0, maxDecimals, 18);
  minDecimals = qBound(0, minDecimals, maxDecimals);
  const bool negative = std::signbit(x);
  // Rounding the shortest decimal form, not the binary value, makes 0.125
  // round up as a user reading "0.125" expects.
  const QString s = QLocale::c().toString(std::fabs(x), 'f', QLocale::FloatingPointShortest);
  const int dot = s.indexOf(QLatin1Char('.'));
  QString ip = dot < 0 ? s : s.left(dot);
  QString fp = dot < 0 ? QString() : s.mid(dot + 1);
  if (fp.size() > maxDecimals) {
    const bool up = fp.at(maxDecimals) >= QLatin1Char('5');
    fp.truncate(maxDecimals);
    if (up) {
      QString digits = ip + fp;
      int i = digits.size() - 1;
      for (; i >= 0; --i) {
        if (digits.at(i) == QLatin1Char('9')) {
          digits[i] = QLatin1Char('0');
        } else {
          digits[i] = QChar(digits.at(i).unicode() + 1);
          break;
        }
      }
      if (i < 0) digits.prepend(QLatin1Char('1'));
      ip = digits.left(digits.size() - maxDecimals);
      fp = digits.right(maxDecimals);
    }
  }
  while (fp.size() > minDecimals && fp.endsWith(QLatin1Char('0'))) fp.chop(1);
  while (fp.size() < minDecimals) fp += QLatin1Char('0');
  static const QRegularExpression nonZero(QStringLiteral("[1-9]"));
  const bool zero = !ip.contains(nonZero) && !fp.contains(nonZero);
  QString result = (negative && !zero) ? QStringLiteral("-") : QString();
  result += ip;
  if (!fp.isEmpty()) result += sep + fp;
  return result;
}

bool ReadFloatSep(const QString& text, QChar sep, double& value) {
  QString s = text.trimmed();
  if (sep != QLatin1Char('.')) {
    if (s.contains(QLatin1Char('.'))) return false;
    s.replace(sep, QLatin1Char('.'));
  }
  static const QRegularExpression number(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?$"));
  if (!number.match(s).hasMatch()) return false;
  bool ok = false;
  const double d = QLocale::c().toDouble(s, &ok);
  if (!ok || !std::isfinite(d)) return false;
  value = d;
  return true;
}

QString ExponentText(double x, QChar sep) {
  if (!std::isfinite(x) || x == 0) return QStringLiteral("0");
  const QString sci = QString::number(std::fabs(x), 'e', 14);
  const int ePos = sci.indexOf(QLatin1Char('e'));
  QString digits = sci.left(ePos).remove(QLatin1Char('.'));
  while (digits.size() > 1 && digits.endsWith(QLatin1Char('0'))) digits.chop(1);
  QString result = x < 0 ? QStringLiteral("-") : QString();
  result += digits.left(1);
  if (digits.size() > 1) result += sep + digits.mid(1);
  return result + QStringLiteral("E") + QString::number(sci.mid(ePos + 1).toInt());
}

QChar DialogDecimalSeparator() {
  const QString p = QLocale().decimalPoint();
  return p.isEmpty() ? QLatin1Char('.') : p.at(0);
}

TCustomFloatEdit::TCustomFloatEdit(QWidget* parent) : QLineEdit(parent), FSeparator(DialogDecimalSeparator()) {
  setText(fixedText(FMinValue));
}

QString TCustomFloatEdit::fixedText(double x) const { return FormatFloat(x, FDecimals, FDecimals, FSeparator); }

void TCustomFloatEdit::setTextAlignment(TAlignment value) {
  FAlignment = value;
  Qt::Alignment h = Qt::AlignLeft;
  if (value == taRightJustify) h = Qt::AlignRight;
  else if (value == taCenter) h = Qt::AlignHCenter;
  setAlignment(h | Qt::AlignVCenter);
}

void TCustomFloatEdit::setDecimals(int value) {
  if (value == FDecimals) return;
  FDecimals = qBound(0, value, 18);
  setValue(this->value());
}

void TCustomFloatEdit::setMinValue(double value) {
  if (value == FMinValue) return;
  if (value > FMaxValue) FMaxValue = value;
  FMinValue = value;
}

void TCustomFloatEdit::setMaxValue(double value) {
  if (value == FMaxValue) return;
  if (value < FMinValue) FMinValue = value;
  FMaxValue = value;
}

double TCustomFloatEdit::value() const {
  double v = 0;
  return ReadFloatSep(text(), FSeparator, v) ? v : FMinValue;
}

void TCustomFloatEdit::setValue(double value) {
  const double v = CheckValue(value);
  setText(valueText(v));
}

QString TCustomFloatEdit::valueText(double x) const {
  // With no decimals allowed the separator cannot be typed, so none is shown.
  const QString fixed = FDecimals == 0 ? FormatFloat(x, 0, 0, FSeparator) : FormatFloat(x, 1, FDecimals, FSeparator);
  if (!FExponentWhenNeeded || x == 0 || !std::isfinite(x)) return fixed;
  double shown = 0;
  ReadFloatSep(fixed, FSeparator, shown);
  return std::fabs(shown - x) <= std::fabs(x) * 1e-10 ? fixed : ExponentText(x, FSeparator);
}

double TCustomFloatEdit::CheckValue(double x) const {
  if (FMinValue == FMaxValue) return x;
  if (x < FMinValue) return FMinValue;
  if (x > FMaxValue) return FMaxValue;
  return x;
}

TCustomFloatEdit::KeyVerdict TCustomFloatEdit::filterChar(QChar ch) {
  const QString t = text();
  int start = cursorPosition();
  int length = 0;
  if (hasSelectedText()) {
    start = selectionStart();
    length = selectedText().size();
  }
  const QString before = t.left(start);
  const QString after = t.mid(start + length);
  const QString rest = before + after;

  const bool digit = ch >= QLatin1Char('0') && ch <= QLatin1Char('9');
  const bool minus = ch == QLatin1Char('-');
  const bool exponent = ch == QLatin1Char('E') || ch == QLatin1Char('e');
  const bool separator = ch == FSeparator;
  if (!digit && !minus && !exponent && !separator) return KeyVerdict::Refuse;
  if ((minus || exponent || separator) && rest.contains(ch)) return KeyVerdict::Refuse;
  if (minus && FMinValue >= 0) return KeyVerdict::Refuse;
  if (separator && FDecimals == 0) return KeyVerdict::Refuse;
  const QString typed = before + ch + after;
  const int sepAt = typed.indexOf(FSeparator);
  if (sepAt >= 0 && typed.size() - sepAt - 1 > FDecimals) return KeyVerdict::Refuse;
  if (minus && !typed.startsWith(QLatin1Char('-'))) return KeyVerdict::Refuse;
  if (typed == QLatin1String("-")) {
    setText(QStringLiteral("-0"));
    setSelection(1, 1);
    return KeyVerdict::Handled;
  }
  if (typed == QString(FSeparator)) {
    setText(QStringLiteral("0") + FSeparator + QStringLiteral("0"));
    setSelection(2, 1);
    return KeyVerdict::Handled;
  }
  return KeyVerdict::Insert;
}

void TCustomFloatEdit::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    setValue(FValueBackup);
    selectAll();
    QLineEdit::keyPressEvent(event);
    return;
  }
  // Enter inserts nothing; the base lets it reach the dialog's default button.
  const QString s = event->text();
  const Qt::KeyboardModifiers shortcut = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
  if (s.size() != 1 || !s.at(0).isPrint() || (event->modifiers() & shortcut)) {
    QLineEdit::keyPressEvent(event);
    return;
  }
  if (filterChar(s.at(0)) == KeyVerdict::Insert)
    QLineEdit::keyPressEvent(event);
  else
    event->accept();
}

void TCustomFloatEdit::inputMethodEvent(QInputMethodEvent* event) {
  if (event->commitString().isEmpty() || !event->preeditString().isEmpty()) {
    QLineEdit::inputMethodEvent(event);
    return;
  }
  // Characters composed by an input method pass the same filter as typed ones.
  for (const QChar ch : event->commitString()) {
    if (ch.isPrint() && filterChar(ch) == KeyVerdict::Insert) insert(QString(ch));
  }
  event->accept();
}

void TCustomFloatEdit::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  // Coming back from another window or a menu is not entering the field anew.
  if (FEntered) return;
  FEntered = true;
  if (FAutoSelect && event->reason() != Qt::MouseFocusReason && QApplication::mouseButtons() == Qt::NoButton)
    selectAll();
  FValueBackup = value();
}

void TCustomFloatEdit::focusOutEvent(QFocusEvent* event) {
  QString t = text();
  if (t.isEmpty()) t = fixedText(FMinValue);
  QLineEdit::focusOutEvent(event);
  // Leaving for another window or a menu, or the dialog closing, is not leaving the field.
  if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason) return;
  FEntered = false;
  if (!window()->isVisible()) return;
  double v = 0;
  if (!ReadFloatSep(t, FSeparator, v) || v < FMinValue || v > FMaxValue) {
    if (FOnError) FOnError(this);
    setValue(FValueBackup);
    selectAll();
    setFocus(Qt::OtherFocusReason);
    return;
  }
  // Rounded to the decimals, unless that would lose the digits of a value
  // this field keeps in exponent form.
  setValue(v);
}
