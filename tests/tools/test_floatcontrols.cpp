#include <QKeyEvent>
#include <QLocale>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include "TestMain.h"
#include "tools/FloatControls.h"

// The field as a user meets it where the decimal separator is a comma.
class TestFloatControls : public QObject {
  Q_OBJECT
  QLocale FSaved;

  // Types one character the way the keyboard would.
  static void type(TCustomFloatEdit& e, QChar ch) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
    QCoreApplication::sendEvent(&e, &press);
  }
  static void typeText(TCustomFloatEdit& e, const QString& s) {
    for (QChar ch : s) type(e, ch);
  }
  static void setTyped(TCustomFloatEdit& e, const QString& text) {
    e.setText(text);
    e.setCursorPosition(text.size());
  }

 private slots:
  void initTestCase() {
    FSaved = QLocale();
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
  }
  void cleanupTestCase() { QLocale::setDefault(FSaved); }

  void defaults() {
    TFloatEdit e;
    QCOMPARE(e.separator(), QChar(','));
    QCOMPARE(e.text(), QStringLiteral("0,00"));
    QCOMPARE(e.decimals(), 2);
    QCOMPARE(e.maxValue(), 100.0);
    QCOMPARE(e.textAlignment(), taLeftJustify);
    e.setTextAlignment(taRightJustify);
    QVERIFY(e.alignment() & Qt::AlignRight);
  }

  void formatFloatRoundsTheDecimalForm() {
    QCOMPARE(FormatFloat(0.125, 0, 2, ','), QStringLiteral("0,13"));
    QCOMPARE(FormatFloat(0.6126, 1, 3, '.'), QStringLiteral("0.613"));
    QCOMPARE(FormatFloat(1, 1, 3, '.'), QStringLiteral("1.0"));
    QCOMPARE(FormatFloat(0.75, 1, 3, '.'), QStringLiteral("0.75"));
    QCOMPARE(FormatFloat(99.9996, 0, 3, '.'), QStringLiteral("100"));
    QCOMPARE(FormatFloat(-0.0001, 1, 1, '.'), QStringLiteral("0.0"));
    QCOMPARE(FormatFloat(-25.5, 0, 1, '.'), QStringLiteral("-25.5"));
    QCOMPARE(FormatFloat(1e-7, 2, 2, '.'), QStringLiteral("0.00"));
    QCOMPARE(FormatFloat(100000, 12, 12, ','), QStringLiteral("100000,000000000000"));
  }

  void readingTakesOnlyTheGivenSeparator() {
    double v = -1;
    QVERIFY(ReadFloatSep(QStringLiteral(" 1,5 "), ',', v));
    QCOMPARE(v, 1.5);
    QVERIFY(ReadFloatSep(QStringLiteral("1E5"), ',', v));
    QCOMPARE(v, 100000.0);
    v = -1;
    for (const char* bad : {"1.5", "", "-", "1,2,3", "E5", "1e", "inf", "nan", "1e999", "0x10"})
      QVERIFY2(!ReadFloatSep(QString::fromLatin1(bad), ',', v), bad);
    QCOMPARE(v, -1.0);
    QVERIFY(!ReadFloatSep(QStringLiteral("1,5"), '.', v));
  }

  void minusOnlyWithNegativeMinimum() {
    TFloatEdit e;
    e.clear();
    type(e, '-');
    QCOMPARE(e.text(), QString());
    e.setMinValue(-10);
    type(e, '-');
    QCOMPARE(e.text(), QStringLiteral("-0"));
    QCOMPARE(e.selectedText(), QStringLiteral("0"));
    type(e, '5');
    QCOMPARE(e.text(), QStringLiteral("-5"));
    type(e, '-');  // a second minus
    QCOMPARE(e.text(), QStringLiteral("-5"));
    setTyped(e, QStringLiteral("5"));
    e.setCursorPosition(1);
    type(e, '-');  // only in front
    QCOMPARE(e.text(), QStringLiteral("5"));
  }

  void separatorIntoEmptyField() {
    TFloatEdit e;
    e.clear();
    type(e, ',');
    QCOMPARE(e.text(), QStringLiteral("0,0"));
    QCOMPARE(e.selectionStart(), 2);
    QCOMPARE(e.selectedText(), QStringLiteral("0"));
    type(e, '7');
    QCOMPARE(e.text(), QStringLiteral("0,7"));
  }

  void decimalsLimitTyping() {
    TFloatEdit e;
    e.setDecimals(3);
    setTyped(e, QStringLiteral("1,234"));
    type(e, '5');
    QCOMPARE(e.text(), QStringLiteral("1,234"));
    e.setSelection(4, 1);
    type(e, '5');
    QCOMPARE(e.text(), QStringLiteral("1,235"));
    e.setDecimals(0);
    setTyped(e, QStringLiteral("12"));
    type(e, ',');
    QCOMPARE(e.text(), QStringLiteral("12"));
  }

  void secondSeparatorMinusExponentRefused() {
    TFloatEdit e;
    e.setMinValue(-100);
    e.setDecimals(5);
    setTyped(e, QStringLiteral("-1,5E3"));
    typeText(e, QStringLiteral(",-E"));
    QCOMPARE(e.text(), QStringLiteral("-1,5E3"));
    type(e, 'e');  // the other case may occur once
    QCOMPARE(e.text(), QStringLiteral("-1,5E3e"));
    setTyped(e, QStringLiteral("1,5"));
    e.setSelection(1, 1);
    type(e, ',');  // a selected separator can be replaced
    QCOMPARE(e.text(), QStringLiteral("1,5"));
    setTyped(e, QStringLiteral("1"));
    typeText(e, QStringLiteral(".a+ "));
    type(e, QChar(0x0451));  // above U+00FF
    QCOMPARE(e.text(), QStringLiteral("1"));
  }

  void setValueClampsAndFormats() {
    TFloatEdit e;
    e.setMinValue(10);
    e.setMaxValue(20);
    e.setValue(5);
    QCOMPARE(e.text(), QStringLiteral("10,0"));
    e.setValue(12.345);
    QCOMPARE(e.text(), QStringLiteral("12,35"));
    e.setMaxValue(0);  // moves the minimum down with it
    e.setMinValue(0);
    QCOMPARE(e.minValue(), 0.0);
    e.setValue(-7);
    QCOMPARE(e.text(), QStringLiteral("-7,0"));
    e.setDecimals(30);
    QCOMPARE(e.decimals(), 18);
    e.setText(QStringLiteral("abc"));
    QCOMPARE(e.value(), e.minValue());
    e.setMinValue(50);  // past the maximum: both move
    QCOMPARE(e.maxValue(), 50.0);
  }

  void escapeRestoresValueOfEntry() {
    QWidget w;
    auto* e = new TFloatEdit(&w);
    auto* other = new QLineEdit(&w);
    e->setValue(42);
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QVERIFY(e->hasFocus());  // entered when the window came up
    setTyped(*e, QStringLiteral("7"));
    QTest::keyClick(e, Qt::Key_Escape);
    QCOMPARE(e->text(), QStringLiteral("42,0"));
    QCOMPARE(e->selectedText(), e->text());
    Q_UNUSED(other);
  }

  void leavingChecksTheLimits() {
    QWidget w;
    auto* lay = new QVBoxLayout(&w);
    auto* e = new TFloatEdit(&w);
    auto* other = new QLineEdit(&w);
    lay->addWidget(e);
    lay->addWidget(other);
    int errors = 0;
    e->setOnError([&](QObject* sender) {
      QCOMPARE(sender, static_cast<QObject*>(e));
      ++errors;
    });
    e->setMaxValue(1000000000);
    e->setDecimals(12);
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));

    e->setFocus(Qt::TabFocusReason);
    QCOMPARE(e->selectedText(), e->text());  // entry selects all
    setTyped(*e, QStringLiteral("1E5"));
    other->setFocus(Qt::TabFocusReason);
    QCOMPARE(e->text(), QStringLiteral("100000,0"));

    e->setFocus(Qt::TabFocusReason);
    e->clear();
    other->setFocus(Qt::TabFocusReason);
    QCOMPARE(e->text(), QStringLiteral("0,0"));
    QCOMPARE(errors, 0);

    e->setValue(25);
    e->setFocus(Qt::TabFocusReason);
    setTyped(*e, QStringLiteral("2000000000"));
    other->setFocus(Qt::TabFocusReason);
    QCOMPARE(errors, 1);
    QCOMPARE(e->text(), QStringLiteral("25,0"));
    QCOMPARE(e->selectedText(), e->text());
    QVERIFY(e->hasFocus());

    setTyped(*e, QStringLiteral("-"));  // pasted rubbish is refused the same way
    other->setFocus(Qt::MouseFocusReason);
    QCOMPARE(errors, 2);
    QCOMPARE(e->text(), QStringLiteral("25,0"));
  }
};

KORVEX_TEST(TestFloatControls)
#include "test_floatcontrols.moc"
