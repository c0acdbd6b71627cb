#include "core/Numbers.h"

#include <QLocale>
#include <cmath>

QString ApplyDecimalSeparator(const QString& S, bool commaAsSep) {
  QString result = S;
  if (commaAsSep)
    result.replace(QLatin1Char('.'), QLatin1Char(','));
  else
    result.replace(QLatin1Char(','), QLatin1Char('.'));
  return result;
}

QString ApplyDecimalSeparatorToNumbers(const QString& S, bool commaAsSep) {
  QString result = S;
  const QChar from = commaAsSep ? QLatin1Char('.') : QLatin1Char(',');
  for (qsizetype i = 1; i + 1 < result.size(); ++i)
    if (result.at(i) == from && result.at(i - 1).isDigit() && result.at(i + 1).isDigit())
      result[i] = commaAsSep ? QLatin1Char(',') : QLatin1Char('.');
  return result;
}

QString FloatToStrShortest(double v) {
  if (!std::isfinite(v)) return QStringLiteral("0");
  // QLocale::FloatingPointShortest is the shortest text that reads back exactly.
  return QLocale::c().toString(v, 'g', QLocale::FloatingPointShortest);
}

bool ReadFloat(const QString& text, double& value) {
  QString s = text.trimmed();
  if (s.isEmpty()) return false;
  s.replace(QLatin1Char(','), QLatin1Char('.'));
  bool ok = false;
  const double d = QLocale::c().toDouble(s, &ok);
  if (!ok || !std::isfinite(d)) return false;
  value = d;
  return true;
}

QChar SystemDecimalSeparator() {
  const QString p = QLocale::system().decimalPoint();
  return p.isEmpty() ? QLatin1Char('.') : p.at(0);
}
