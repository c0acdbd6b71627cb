#include "core/Numbers.h"

#include <QLocale>
#include <charconv>
#include <string>
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

bool ReadDecimal(QStringView text, double& value) {
  // from_chars takes no leading "+" and no ",": both go while copying the
  // characters.  Numbers fit the buffer on the stack; a longer one (a
  // deviation written in fixed form, a pasted value) takes one on the heap.
  const qsizetype n = text.size();
  if (n == 0) return false;
  char small[80];
  std::string large;
  char* buf = small;
  if (n > qsizetype(sizeof small)) {
    large.resize(size_t(n));
    buf = large.data();
  }
  qsizetype i = 0, o = 0;
  if (text[0] == u'+') {
    if (n == 1 || text[1] == u'+' || text[1] == u'-') return false;
    i = 1;
  }
  for (; i < n; ++i) {
    const char16_t c = text[i].unicode();
    if (c > 127) return false;
    buf[o++] = c == u',' ? '.' : char(c);
  }
  double d = 0;
  const auto r = std::from_chars(buf, buf + o, d, std::chars_format::general);
  if (r.ec != std::errc() || r.ptr != buf + o || !std::isfinite(d)) return false;
  value = d;
  return true;
}

bool ReadFloat(const QString& text, double& value) { return ReadDecimal(QStringView(text).trimmed(), value); }

QChar SystemDecimalSeparator() {
  const QString p = QLocale::system().decimalPoint();
  return p.isEmpty() ? QLatin1Char('.') : p.at(0);
}
