// Number writing and reading, and the bitmap growth rule.
#include <QLocale>
#include <QTest>
#include <cmath>
#include <limits>

#include "TestMain.h"
#include "core/Bitmap.h"
#include "core/Numbers.h"

class TestNumbers : public QObject {
  Q_OBJECT
 private slots:
  void shortestFormReadsBack() {
    const double values[] = {0.1, 25.4, -0.6126, 1e-300, 123456789.125, 0.0, 1.0 / 3.0,
                             std::numeric_limits<double>::max(), std::numeric_limits<double>::denorm_min()};
    for (double v : values) {
      const QString s = FloatToStrShortest(v);
      double back = -1;
      QVERIFY2(ReadFloat(s, back), qPrintable(s));
      QCOMPARE(back, v);
      QVERIFY2(!s.contains(QLatin1Char(',')), qPrintable(s));
    }
    QCOMPARE(FloatToStrShortest(25.4), QStringLiteral("25.4"));
    QCOMPARE(FloatToStrShortest(0.1), QStringLiteral("0.1"));
    QCOMPARE(FloatToStrShortest(2), QStringLiteral("2"));
    QCOMPARE(FloatToStrShortest(std::nan("")), QStringLiteral("0"));
  }

  void readingTakesEitherSeparator() {
    double v = 0;
    QVERIFY(ReadFloat(QStringLiteral(" 25,5 "), v));
    QCOMPARE(v, 25.5);
    QVERIFY(ReadFloat(QStringLiteral("-0.75"), v));
    QCOMPARE(v, -0.75);
    v = 7;
    for (const char* bad : {"", "  ", "abc", "1.2.3", "1e999", "1 000", "25.4 mm", "nan", "inf"}) {
      QVERIFY2(!ReadFloat(QString::fromLatin1(bad), v), bad);
      QCOMPARE(v, 7.0);  // left alone
    }
    // Fixed forms longer than any buffer on the stack: a huge deviation
    // written out in full, a long pasted fraction.
    QVERIFY(ReadFloat(QStringLiteral("-2") + QString(82, QLatin1Char('0')), v));
    QCOMPARE(v, -2e82);
    QVERIFY(ReadFloat(QStringLiteral("0,") + QString(150, QLatin1Char('0')) + QStringLiteral("5"), v));
    QCOMPARE(v, 5e-151);
  }

  // The in-place reading agrees with the C locale's on every short string of
  // the characters a number is made of, signs, exponents and under- and
  // overflow included.
  void readingAgreesWithCLocale() {
    static const char alphabet[] = "0123456789.,+-eE";
    quint32 state = 7;
    auto next = [&state](quint32 n) {
      state = state * 1103515245u + 12345u;
      return (state >> 8) % n;
    };
    const QLocale c = QLocale::c();
    for (int k = 0; k < 200000; ++k) {
      QString s;
      // Every other string mostly digits: long plain numbers are read the quick way.
      const quint32 kinds = k % 2 ? 16 : 12;
      for (int j = 0, n = 1 + int(next(k % 2 ? 9 : 18)); j < n; ++j) s += QLatin1Char(alphabet[next(kinds)]);
      if (k == 0) s = QStringLiteral("1e-400");
      bool expectOk = false;
      const double expected = c.toDouble(QString(s).replace(QLatin1Char(','), QLatin1Char('.')), &expectOk);
      expectOk = expectOk && std::isfinite(expected);
      double v = -1;
      QCOMPARE(ReadDecimal(s, v), expectOk);
      // Exactly: the quick reading of plain numbers must round as the library does.
      if (expectOk) QVERIFY2(v == expected && std::signbit(v) == std::signbit(expected), qPrintable(s));
    }
  }

  // Shared by the preview, the menu items and dialog previews.
  void growthRule() {
    QSize s(16, 16);
    QVERIFY(GrowBitmapSize(s, 40, rtWidth));
    QCOMPARE(s.width(), 16 + 40 + 1);
    QVERIFY(!GrowBitmapSize(s, 56, rtWidth));
    QVERIFY(GrowBitmapSize(s, 57, rtWidth));  // a line at the edge covers column 57 itself
    QCOMPARE(s.width(), 57 + 57 + 1);
    QVERIFY(!GrowBitmapSize(s, 16, rtHeight));  // the bottom row is never drawn on
    QVERIFY(GrowBitmapSize(s, 17, rtHeight));
    QCOMPARE(s.height(), 16 + 17 + 1);
    QSize big(std::numeric_limits<int>::max() - 5, 1);
    QVERIFY(GrowBitmapSize(big, std::numeric_limits<int>::max(), rtWidth));
    QCOMPARE(big.width(), std::numeric_limits<int>::max());  // saturates
  }
};
KORVEX_TEST(TestNumbers)
#include "test_numbers.moc"
