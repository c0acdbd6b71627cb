#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "TestMain.h"
#include "platform/Platform.h"
#include "tools/Ufrm3Stage.h"

class Test3Stage : public QObject {
  Q_OBJECT

  static void fill(Tfrm3Stage& dlg, const QString& center, const QString& up, const QString& down) {
    dlg.EditCenter->setEditText(center);
    dlg.EditUp->setText(up);
    dlg.EditDown->setText(down);
  }
  static QAction* preset(QMenu* menu, const char* name) { return menu->findChild<QAction*>(QLatin1String(name)); }

 private slots:
  void cleanup() { QLocale::setDefault(QLocale::c()); }

  // As a user: "Круг" selected, both values from the preset menus, OK.
  void executeHandsBackTheFragment() {
    platform::DialogSeam seam;
    seam.dialog = [](QDialog* d) {
      auto* dlg = qobject_cast<Tfrm3Stage*>(d);
      if (!dlg || dlg->EditCenter->currentText() != QStringLiteral("Круг")) return int(QDialog::Rejected);
      preset(dlg->UpPopupMenu, "N011")->trigger();
      preset(dlg->DownPopupMenu, "N022")->trigger();
      dlg->OKButton->click();
      return dlg->result();
    };
    platform::ScopedDialogScript script(seam);
    QString s = QStringLiteral("Круг");
    QVERIFY(Execute3Stage(s, false));
    QCOMPARE(s, QStringLiteral("\\A1;Круг{\\H0.6x;\\S+0.1^-0.2;}"));
  }

  void cancelReturnsFalse() {
    platform::DialogSeam seam;
    seam.dialog = [](QDialog* d) {
      auto* dlg = qobject_cast<Tfrm3Stage*>(d);
      dlg->EditUp->setText(QStringLiteral("+1"));
      dlg->CancelButton->click();
      return dlg->result();
    };
    platform::ScopedDialogScript script(seam);
    QString s = QStringLiteral("Лист");
    QVERIFY(!Execute3Stage(s, true));
  }

  void startingStateAndLists() {
    Tfrm3Stage dlg(false);
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Трехэтажный текст"));
    QCOMPARE(dlg.EditCenter->count(), 8);
    QCOMPARE(dlg.EditCenter->itemText(7), QStringLiteral("Рельс тавровый"));
    QCOMPARE(dlg.UpPopupMenu->actions().size(), 10);
    QVERIFY(preset(dlg.UpPopupMenu, "N081"));
    QVERIFY(!preset(dlg.UpPopupMenu, "N071"));
    QCOMPARE(preset(dlg.DownPopupMenu, "N152")->text(), QStringLiteral("-1.5"));
    QCOMPARE(dlg.HMiddleEdit->text(), QStringLiteral("1"));
    QCOMPARE(dlg.HoEdit->text(), QStringLiteral("0.6"));
    QVERIFY(dlg.HoEdit->isReadOnly());
    QVERIFY(dlg.OKButton->isDefault());
  }

  void fragments_data() {
    QTest::addColumn<QString>("center");
    QTest::addColumn<QString>("up");
    QTest::addColumn<QString>("down");
    QTest::addColumn<int>("middle");
    QTest::addColumn<int>("stack");
    QTest::addColumn<bool>("bar");
    QTest::addColumn<QString>("fragment");
    QTest::newRow("example") << "Круг" << "+0.1" << "-0.2" << 10 << 6 << false
                             << "\\A1;Круг{\\H0.6x;\\S+0.1^-0.2;}";
    QTest::newRow("fraction bar") << "Круг" << "+0.1" << "-0.2" << 10 << 6 << true
                                  << "\\A1;Круг{\\H0.6x;\\S+0.1/-0.2;}";
    QTest::newRow("all empty") << "" << "" << "" << 10 << 6 << false << "\\A1;";
    QTest::newRow("middle only") << "Лист" << "" << "" << 10 << 6 << false << "\\A1;Лист";
    QTest::newRow("middle only, scaled") << "Лист" << "" << "" << 15 << 6 << false << "\\A1;{\\H1.5x;Лист}";
    QTest::newRow("upper only") << "" << "+0.1" << "" << 10 << 6 << false << "\\A1;{\\H0.6x;\\S+0.1^;}";
    QTest::newRow("lower only") << "" << "" << "-1" << 10 << 6 << false << "\\A1;{\\H0.6x;\\S^-1;}";
    QTest::newRow("both at 1.0") << "Круг" << "+0.1" << "-0.2" << 10 << 10 << false << "\\A1;Круг\\S+0.1^-0.2;";
    QTest::newRow("texts as typed") << " a\\P{" << " " << "" << 1 << 1 << false
                                    << "\\A1;{\\H0.1x; a\\P{}{\\H0.1x;\\S ^;}";
  }
  void fragments() {
    QFETCH(QString, center);
    QFETCH(QString, up);
    QFETCH(QString, down);
    QFETCH(int, middle);
    QFETCH(int, stack);
    QFETCH(bool, bar);
    QFETCH(QString, fragment);
    Tfrm3Stage dlg(false);
    fill(dlg, center, up, down);
    dlg.HMiddleUpDown->setValue(middle);
    dlg.HoUpDown->setValue(stack);
    dlg.SepCheckBox->setChecked(bar);
    QCOMPARE(dlg.Build3StageMText(), fragment);
  }

  void arrowsStayWithinOneTenthToOneAndAHalf() {
    Tfrm3Stage dlg(false);
    dlg.HoUpDown->setValue(1);
    dlg.HoUpDown->stepDown();
    QCOMPARE(dlg.HoEdit->text(), QStringLiteral("0.1"));
    dlg.HMiddleUpDown->setValue(15);
    dlg.HMiddleUpDown->stepUp();
    QCOMPARE(dlg.HMiddleEdit->text(), QStringLiteral("1.5"));
  }

  void commaLocaleShowsCommaButWritesFullStop() {
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    Tfrm3Stage dlg(true);
    QCOMPARE(dlg.HoEdit->text(), QStringLiteral("0,6"));
    dlg.HMiddleUpDown->setValue(12);
    QCOMPARE(dlg.HMiddleEdit->text(), QStringLiteral("1,2"));
    fill(dlg, "Круг", "+1", "");
    QCOMPARE(dlg.Build3StageMText(), QStringLiteral("\\A1;{\\H1.2x;Круг}{\\H0.6x;\\S+1^;}"));
  }

  void presetsFollowTheSeparatorSetting() {
    Tfrm3Stage comma(true);
    comma.EditUp->setText(QStringLiteral("old"));
    preset(comma.UpPopupMenu, "N051")->trigger();
    QCOMPARE(comma.EditUp->text(), QStringLiteral("+0,5"));
    preset(comma.DownPopupMenu, "N22")->trigger();
    QCOMPARE(comma.EditDown->text(), QStringLiteral("-2"));

    Tfrm3Stage point(false);
    point.ChoosePreset(point.EditDown, QStringLiteral("-1,5"));
    QCOMPARE(point.EditDown->text(), QStringLiteral("-1.5"));
  }

  void activationResetsSettingsButKeepsTexts() {
    Tfrm3Stage dlg(false);
    fill(dlg, "Круг", "+0.1", "-0.2");
    dlg.HMiddleUpDown->setValue(3);
    dlg.HoUpDown->setValue(14);
    dlg.SepCheckBox->setChecked(true);
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&dlg, &activate);
    QCOMPARE(dlg.HMiddleUpDown->value(), 10);
    QCOMPARE(dlg.HoUpDown->value(), 6);
    QVERIFY(!dlg.SepCheckBox->isChecked());
    QCOMPARE(dlg.EditUp->text(), QStringLiteral("+0.1"));
  }

  void keyboardReturnAcceptsEscapeCancels() {
    for (const bool center : {true, false}) {
      Tfrm3Stage dlg(false);
      dlg.show();
      QVERIFY(QTest::qWaitForWindowActive(&dlg));
      QCOMPARE(QApplication::focusWidget(), dlg.EditCenter);
      QWidget* field = center ? static_cast<QWidget*>(dlg.EditCenter) : dlg.EditDown;
      field->setFocus();
      QTest::keyClick(field, Qt::Key_Return);
      QVERIFY(!dlg.isVisible());
      QCOMPARE(dlg.result(), int(QDialog::Accepted));
    }
    Tfrm3Stage dlg(false);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    QTest::keyClick(dlg.EditUp, Qt::Key_Escape);
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), int(QDialog::Rejected));
  }

  void fractionBarSitsBetweenTheValues() {
    Tfrm3Stage dlg(false);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    const QLine line = dlg.SeparatorLine();
    const QRect up = dlg.EditUp->geometry();
    const QRect down = dlg.EditDown->geometry();
    QCOMPARE(line.y1(), down.top() - 4);
    QVERIFY(line.y1() > up.bottom());
    QCOMPARE(line.x1(), down.left());
    QCOMPARE(line.x2(), down.right());

    const QPoint mid((line.x1() + line.x2()) / 2, line.y1());
    dlg.SepCheckBox->setChecked(true);
    QCOMPARE(dlg.grab().toImage().pixelColor(mid * dlg.devicePixelRatio()), QColor(0, 0, 255));
    dlg.SepCheckBox->setChecked(false);
    QVERIFY(dlg.grab().toImage().pixelColor(mid * dlg.devicePixelRatio()) != QColor(0, 0, 255));
  }
};

KORVEX_TEST(Test3Stage)
#include "test_3stage.moc"
