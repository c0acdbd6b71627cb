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

namespace {

// Plain numbers ("2.5", "-0,7", "120") are nearly all a text holds.  Up to 15
// digits the digits are exact in a double, and so is a power of ten up to
// 1e22: one division, rounded correctly, gives what from_chars gives.
bool readPlainDecimal(QStringView text, double& value) {
  static constexpr double kPow10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                      1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  const qsizetype n = text.size();
  qsizetype i = 0;
  const bool negative = n > 0 && text[0] == u'-';
  if (n > 0 && (text[0] == u'-' || text[0] == u'+')) i = 1;
  quint64 m = 0;
  int digits = 0, fraction = 0;
  bool separator = false;
  for (; i < n; ++i) {
    const char16_t c = text[i].unicode();
    if (c >= u'0' && c <= u'9') {
      if (++digits > 15) return false;
      m = m * 10 + (c - u'0');
      fraction += separator;
    } else if ((c == u'.' || c == u',') && !separator) {
      separator = true;
    } else {
      return false;
    }
  }
  if (digits == 0) return false;
  const double v = double(m) / kPow10[fraction];
  value = negative ? -v : v;
  return true;
}

}  // namespace

bool ReadDecimal(QStringView text, double& value) {
  if (readPlainDecimal(text, value)) return true;
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
