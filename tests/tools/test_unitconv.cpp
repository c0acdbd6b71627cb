#include <QComboBox>
#include <QDir>
#include <QMessageBox>
#include <QLineEdit>
#include <QListView>
#include <QLocale>
#include <QPushButton>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "TestMain.h"
#include "platform/Platform.h"
#include "tools/Conversion.h"
#include "tools/FloatControls.h"
#include "tools/UfrmUnitConv.h"
#include "tools/UfrmUnitsConvertEdit.h"

// The conversion dialog and the list editor where the decimal separator is a comma.
class TestUnitConv : public QObject {
  Q_OBJECT

  QStringList FErrors;

  static void fillList(TUnitConvertor& list, int count) {
    for (int i = 1; i <= count; ++i)
      list.Add(new TUnit(&list, QStringLiteral("u%1").arg(i), i * 1.5, QStringLiteral("h%1").arg(i)));
    list.setModified(false);
  }
  static QStringList captions(const TUnitConvertor& list) {
    QStringList result;
    for (int i = 0; i < list.Count(); ++i) result << list.GetUnit(i)->Caption();
    return result;
  }

 private slots:
  void initTestCase() { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }
  void cleanupTestCase() { QLocale::setDefault(QLocale::c()); }
  void init() {
    FErrors.clear();
    platform::MessageSeam seam;
    seam.error = [this](const QString& text) { FErrors << text; };
    seam.message = seam.error;
    platform::setMessageSeam(seam);
  }
  void cleanup() { platform::setMessageSeam({}); }

  void startingState() {
    TUnitConvertor list;
    list.Add(new TUnit(&list, "дюймы - миллиметры", 25.4, "1 дюйм = 25,4 мм"));
    list.Add(new TUnit(&list, "футы - метры", 0.3048, "1 фут"));
    list.setModified(false);
    TfrmUnitConv dlg(list);
    QCOMPARE(dlg.cbUnits->toolTip(), QStringLiteral("Выбор пересчитываемых величин"));
    dlg.FillUnits();
    QCOMPARE(dlg.cbUnits->count(), 2);
    QCOMPARE(dlg.cbUnits->currentIndex(), 0);
    QCOMPARE(dlg.cbUnits->toolTip(), QStringLiteral("1 дюйм = 25,4 мм"));
    QCOMPARE(dlg.neLeft->text(), QStringLiteral("1,0"));
    QCOMPARE(dlg.neRight->decimals(), 12);
    QCOMPARE(dlg.neRight->maxValue(), 1000000000.0);
    QVERIFY(dlg.btnLRDirect->isChecked());
    QVERIFY(dlg.btnConvertAndInsert->isDefault());
    QCOMPARE(dlg.btnUnitsConvertEdit->height(), dlg.cbUnits->sizeHint().height() + 2);

    TUnitConvertor empty;
    TfrmUnitConv none(empty);
    none.FillUnits();
    QCOMPARE(none.cbUnits->toolTip(), QString());
  }

  void bothDirections() {
    TUnitConvertor list;
    list.Add(new TUnit(&list, "дюймы - миллиметры", 25.4, ""));
    TfrmUnitConv dlg(list);
    dlg.FillUnits();
    dlg.neLeft->setText("2");
    QVERIFY(dlg.Convert());
    QCOMPARE(dlg.neRight->text(), QStringLiteral("50,8"));
    QCOMPARE(dlg.FRes, QStringLiteral("50.8"));

    dlg.btnRLDirect->click();
    QVERIFY(!dlg.btnLRDirect->isChecked());
    dlg.neLeft->setText("7");
    dlg.neRight->setText("50,8");
    QVERIFY(dlg.Convert());
    QCOMPARE(dlg.neLeft->text(), QStringLiteral("2,0"));
    QCOMPARE(dlg.FRes, QStringLiteral("2.0"));

  }

  // psi -> kPa of 1e9 is past the field: refused, never capped; a result too
  // small for twelve decimals shows in exponent form.  What is inserted takes
  // the separator of the setting (a point here), whatever the field shows.
  void resultsAreNeverCapped() {
    TUnitConvertor list;
    list.Add(new TUnit(&list, "psi - кПа", 6.89475729316836, ""));
    list.Add(new TUnit(&list, "x", 1e-15, ""));
    TfrmUnitConv dlg(list);
    dlg.FillUnits();
    dlg.neLeft->setText("1000000000");
    dlg.neRight->setText("1,0");
    dlg.FRes = QStringLiteral("old");
    dlg.ConvertAndInsert();
    QCOMPARE(FErrors.size(), 1);
    QVERIFY2(FErrors.first().contains(QStringLiteral("6894757293,16836 не помещается в поле")),
             qPrintable(FErrors.first()));
    QCOMPARE(dlg.neRight->text(), QStringLiteral("1,0"));
    QCOMPARE(dlg.FRes, QStringLiteral("old"));
    QCOMPARE(dlg.result(), int(QDialog::Rejected));

    dlg.cbUnits->setCurrentIndex(1);
    dlg.neLeft->setText("1,5");
    QVERIFY(dlg.Convert());
    QCOMPARE(dlg.FRes, QStringLiteral("1.5E-15"));
    // Leaving the field keeps every digit too.
    dlg.neRight->setValue(dlg.neRight->value());
    QCOMPARE(dlg.neRight->text(), QStringLiteral("1,5E-15"));
    dlg.neLeft->setText("0,123456789012345");
    QVERIFY(dlg.Convert());
    QCOMPARE(dlg.neLeft->text(), QStringLiteral("0,123456789012"));  // ten digits and more: fixed
  }

  // The shipped temperatures, both ways, below zero too.
  void offsetConversionsBothWays() {
    TUnitConvertor list;
    QVERIFY(list.LoadFromFile(QStringLiteral(KORVEX_SOURCE_DIR "/Support/unit_conv.xml")));
    TfrmUnitConv dlg(list);
    dlg.FillUnits();
    auto convert = [&](const QString& caption, const char* value, bool forward) {
      dlg.cbUnits->setCurrentIndex(dlg.cbUnits->findText(caption));
      (forward ? dlg.btnLRDirect : dlg.btnRLDirect)->click();
      (forward ? dlg.neLeft : dlg.neRight)->setText(QString::fromLatin1(value));
      return dlg.Convert() ? dlg.FRes : FErrors.join(QLatin1Char('|'));
    };
    const QString cf = QStringLiteral("°C - °F"), fc = QStringLiteral("°F - °C");
    const QString ck = QStringLiteral("°C - K"), kc = QStringLiteral("K - °C");
    QCOMPARE(convert(cf, "100", true), QStringLiteral("212.0"));
    QCOMPARE(convert(cf, "-40", true), QStringLiteral("-40.0"));
    QCOMPARE(convert(cf, "212", false), QStringLiteral("100.0"));
    QCOMPARE(convert(fc, "32", true), QStringLiteral("0.0"));
    QCOMPARE(convert(fc, "212", true), QStringLiteral("100.0"));
    QCOMPARE(convert(fc, "-40", false), QStringLiteral("-40.0"));
    QCOMPARE(convert(ck, "-273,15", true), QStringLiteral("0.0"));
    QCOMPARE(convert(ck, "300", false), QStringLiteral("26.85"));
    QCOMPARE(convert(kc, "0", true), QStringLiteral("-273.15"));
    QCOMPARE(convert(kc, "20", false), QStringLiteral("293.15"));
    QVERIFY(FErrors.isEmpty());
  }

  // The hint follows the entry: the chosen one, and each entry of the open list.
  void hintOfEachEntry() {
    TUnitConvertor list;
    fillList(list, 3);
    TfrmUnitConv dlg(list);
    dlg.FillUnits();
    QCOMPARE(dlg.cbUnits->itemData(2, Qt::ToolTipRole).toString(), QStringLiteral("h3"));
    dlg.cbUnits->setCurrentIndex(1);
    QCOMPARE(dlg.cbUnits->toolTip(), QStringLiteral("h2"));
  }

  void errorsLeaveTheFieldsAlone() {
    TUnitConvertor empty;
    TfrmUnitConv none(empty);
    none.FillUnits();
    none.neLeft->setText("3");
    none.ConvertAndInsert();
    QCOMPARE(FErrors, QStringList{NoUnitSelectedMessage()});
    QCOMPARE(none.neRight->text(), QStringLiteral("1,0"));
    QCOMPARE(none.result(), int(QDialog::Rejected));

    TUnitConvertor zero;
    zero.Add(new TUnit(&zero, "zero", 0, ""));
    TfrmUnitConv dlg(zero);
    dlg.FillUnits();
    dlg.btnRLDirect->click();
    dlg.neLeft->setText("3");
    dlg.neRight->setText("5");
    FErrors.clear();
    QVERIFY(!dlg.Convert());
    dlg.neRight->setText("0");
    QVERIFY(!dlg.Convert());
    QCOMPARE(FErrors, (QStringList{ZeroFactorMessage("zero"), ZeroFactorMessage("zero")}));
    QVERIFY(FErrors.first().contains("коэффициент равен нулю"));
    QCOMPARE(dlg.neLeft->text(), QStringLiteral("3"));
    dlg.btnLRDirect->click();
    QVERIFY(dlg.Convert());  // forward with 0 is an ordinary product
    QCOMPARE(dlg.FRes, QStringLiteral("0.0"));
  }

  void returnInTheLeftValueConvertsAndCloses() {
    TUnitConvertor list;
    list.Add(new TUnit(&list, "дюймы - миллиметры", 25.4, ""));
    TfrmUnitConv dlg(list);
    dlg.FillUnits();
    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    QCOMPARE(QApplication::focusWidget(), dlg.neLeft);
    QTest::keyClick(dlg.neLeft, Qt::Key_2);  // the entry selected the whole "1,0"
    QTest::keyClick(dlg.neLeft, Qt::Key_Return);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(dlg.FRes, QStringLiteral("50.8"));

    TfrmUnitConv esc(list);
    esc.show();
    QVERIFY(QTest::qWaitForWindowActive(&esc));
    QTest::keyClick(esc.neLeft, Qt::Key_Escape);
    QVERIFY(!esc.isVisible());
    QCOMPARE(esc.result(), int(QDialog::Rejected));
  }

  void editorShowsAndApplies() {
    TUnitConvertor list;
    fillList(list, 3);
    TfrmUnitsConvertEdit dlg(list);
    QCOMPARE(dlg.ItemIndex(), 0);
    QCOMPARE(dlg.edCaption->text(), QStringLiteral("u1"));
    QCOMPARE(dlg.edForward->text(), QStringLiteral("1,5"));
    QCOMPARE(dlg.lbUnits->model()->rowCount(), 3);

    dlg.lbUnits->setCurrentIndex(dlg.lbUnits->model()->index(1, 0));  // a click on row 2
    QCOMPARE(dlg.edHint->text(), QStringLiteral("h2"));
    QVERIFY(!list.Modified());

    dlg.edCaption->setText("дюймы");
    dlg.edForward->setText("25.40 мм");
    dlg.btnApply->click();
    QVERIFY(list.Modified());
    QCOMPARE(list.GetUnit(1)->Forward(), 25.4);
    QCOMPARE(dlg.edForward->text(), QStringLiteral("25,4"));  // shown normalised
    QCOMPARE(dlg.lbUnits->model()->index(1, 0).data().toString(), QStringLiteral("дюймы"));

    dlg.edForward->setText("abc");
    dlg.ApplyUnit();
    QCOMPARE(list.GetUnit(1)->Forward(), 25.4);  // not a number: the factor stays

    QCOMPARE(dlg.edOffset->text(), QStringLiteral("0"));
    dlg.edOffset->setText("-17.5");
    dlg.ApplyUnit();
    QCOMPARE(list.GetUnit(1)->Offset(), -17.5);
    QCOMPARE(dlg.edOffset->text(), QStringLiteral("-17,5"));
    dlg.edOffset->clear();  // an empty field is no offset
    dlg.ApplyUnit();
    QCOMPARE(list.GetUnit(1)->Offset(), 0.0);
  }

  // A mouse click selects after it moves the current row: the fields once
  // kept the previous entry and "Применить" copied it over the clicked one.
  void clickedRowIsShownAndApplied() {
    TUnitConvertor list;
    list.Add(new TUnit(&list, "дюймы - миллиметры", 25.4, "дюйм"));
    list.Add(new TUnit(&list, "футы - метры", 0.3048, "фут"));
    list.Add(new TUnit(&list, "мили - километры", 1.609344, "миля"));
    list.setModified(false);
    TfrmUnitsConvertEdit dlg(list);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QCOMPARE(dlg.edForward->text(), QStringLiteral("25,4"));
    const auto click = [&](int row, Qt::KeyboardModifiers mods = {}) {
      QTest::mouseClick(dlg.lbUnits->viewport(), Qt::LeftButton, mods,
                        dlg.lbUnits->visualRect(dlg.lbUnits->model()->index(row, 0)).center());
    };
    click(1);
    QCOMPARE(dlg.ItemIndex(), 1);
    QCOMPARE(dlg.edCaption->text(), QStringLiteral("футы - метры"));
    QCOMPARE(dlg.edForward->text(), QStringLiteral("0,3048"));
    dlg.edHint->setText("1 фут = 0,3048 м");
    QTest::mouseClick(dlg.btnApply, Qt::LeftButton);
    QCOMPARE(captions(list), (QStringList{"дюймы - миллиметры", "футы - метры", "мили - километры"}));
    QCOMPARE(list.GetUnit(0)->Forward(), 25.4);
    QCOMPARE(list.GetUnit(1)->Forward(), 0.3048);
    QCOMPARE(list.GetUnit(1)->Hint(), QStringLiteral("1 фут = 0,3048 м"));

    QTest::keyClick(dlg.lbUnits, Qt::Key_Down);  // keys select as well
    QCOMPARE(dlg.edCaption->text(), QStringLiteral("мили - километры"));
    click(2, Qt::ControlModifier);  // the row deselected: nothing is applied
    QCOMPARE(dlg.ItemIndex(), -1);
    dlg.edCaption->setText("x");
    dlg.btnApply->click();
    QCOMPARE(captions(list), (QStringList{"дюймы - миллиметры", "футы - метры", "мили - километры"}));
    click(0);
    QCOMPARE(dlg.edCaption->text(), QStringLiteral("дюймы - миллиметры"));
  }

  void editorInsertCopiesTheFieldsBeforeTheRow() {
    TUnitConvertor list;
    fillList(list, 4);
    TfrmUnitsConvertEdit dlg(list);
    dlg.setItemIndex(2);
    dlg.ShowUnit();
    dlg.btnInsert->click();
    QCOMPARE(captions(list), (QStringList{"u1", "u2", "u3", "u3", "u4"}));
    QCOMPARE(list.GetUnit(2)->Forward(), 4.5);
    QCOMPARE(list.GetUnit(2)->Hint(), QStringLiteral("h3"));
    QCOMPARE(dlg.ItemIndex(), 2);
    QCOMPARE(dlg.lbUnits->model()->rowCount(), 5);

    TUnitConvertor empty;
    TfrmUnitsConvertEdit first(empty);
    QCOMPARE(first.ItemIndex(), -1);
    first.edCaption->setText("new");
    first.edForward->setText("x");
    first.InsertUnit();
    QCOMPARE(captions(empty), QStringList{"new"});
    QCOMPARE(empty.GetUnit(0)->Forward(), 1.0);
    QCOMPARE(first.ItemIndex(), 0);
  }

  void editorDeleteAndMoves() {
    TUnitConvertor list;
    fillList(list, 3);
    TfrmUnitsConvertEdit dlg(list);
    dlg.MoveUp();  // first row: nothing
    dlg.setItemIndex(2);
    dlg.MoveDown();  // last row: nothing
    QVERIFY(!list.Modified());
    dlg.MoveUp();
    QCOMPARE(captions(list), (QStringList{"u1", "u3", "u2"}));
    QCOMPARE(dlg.ItemIndex(), 1);
    QCOMPARE(dlg.edCaption->text(), QStringLiteral("u3"));
    dlg.MoveDown();
    QCOMPARE(captions(list), (QStringList{"u1", "u2", "u3"}));
    QCOMPARE(dlg.ItemIndex(), 2);

    dlg.btnDelete->click();  // the last row: the new last row is selected
    QCOMPARE(captions(list), (QStringList{"u1", "u2"}));
    QCOMPARE(dlg.ItemIndex(), 1);
    QCOMPARE(dlg.edCaption->text(), QStringLiteral("u2"));
    dlg.setItemIndex(0);
    dlg.DeleteUnit();
    QCOMPARE(dlg.ItemIndex(), 0);
    QCOMPARE(dlg.edCaption->text(), QStringLiteral("u2"));
    dlg.DeleteUnit();  // the only row: no selection, the fields keep their text
    QCOMPARE(list.Count(), 0);
    QCOMPARE(dlg.ItemIndex(), -1);
    QCOMPARE(dlg.edCaption->text(), QStringLiteral("u2"));
    dlg.DeleteUnit();
    dlg.MoveDown();
    QCOMPARE(list.Count(), 0);
  }

  void editorReturnAppliesEscapeCloses() {
    TUnitConvertor list;
    fillList(list, 2);
    TfrmUnitsConvertEdit dlg(list);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    QCOMPARE(QApplication::focusWidget(), dlg.lbUnits);
    dlg.edCaption->setFocus();
    dlg.edCaption->setText("typed");
    QTest::keyClick(dlg.edCaption, Qt::Key_Return);
    QVERIFY(dlg.isVisible());
    QCOMPARE(list.GetUnit(0)->Caption(), QStringLiteral("typed"));
    QTest::keyClick(dlg.edCaption, Qt::Key_Escape);
    QVERIFY(!dlg.isVisible());
  }

  // A list read only in part is written over its file only after a "Да".
  void editingABrokenListAsksBeforeWritingOverIt() {
    QTemporaryDir dir;
    const QString path = dir.filePath("unit_conv.xml");
    const QByteArray cut = "<ROOT><ITEM CAP=\"a\" FWD=\"2\" HINT=\"\"/><ITEM CAP=\"b\" FWD=\"3\" HINT=\"\"/><IT";
    QVERIFY(korvextest::writeFile(path, cut));
    QStringList questions;
    platform::MessageSeam seam;
    seam.error = [this](const QString& text) { FErrors << text; };
    QMessageBox::StandardButton answer = QMessageBox::No;
    seam.ask = [&](const QString& text) {
      questions << text;
      return answer;
    };
    platform::setMessageSeam(seam);
    platform::ScopedDialogScript script({[](QDialog* d) {
                                           if (auto* edit = qobject_cast<TfrmUnitsConvertEdit*>(d)) edit->MoveDown();
                                           return int(QDialog::Rejected);
                                         },
                                         {}});
    for (QMessageBox::StandardButton a : {QMessageBox::No, QMessageBox::Yes}) {
      answer = a;
      TUnitConvertor list;
      QVERIFY(!list.LoadFromFile(path));
      QVERIFY(ExecuteUnitsEdit(list));
      QCOMPARE(questions.size(), a == QMessageBox::No ? 1 : 2);
      QVERIFY(questions.last().contains(QDir::toNativeSeparators(path)));
    }
    TUnitConvertor written;
    QVERIFY(written.LoadFromFile(path));
    QCOMPARE(captions(written), (QStringList{"b", "a"}));
    QVERIFY(FErrors.isEmpty());
  }

  // The program-wide list: read on first use, re-read once emptied, edited
  // through "Редактировать".
  void executeOnTheProgramList() {
    QTemporaryDir dir;
    const QString path = dir.filePath("unit_conv.xml");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("<ROOT><ITEM CAP=\"дюймы - миллиметры\" FWD=\"25.4\" HINT=\"1 дюйм\"/>"
            "<ITEM CAP=\"футы - метры\" FWD=\"0.3048\" HINT=\"\"/></ROOT>");
    f.close();
    auto units = std::make_unique<TUnitConvertor>();

    int shownUnits = -1;
    platform::DialogSeam seam;
    seam.dialog = [&shownUnits](QDialog* d) {
      if (auto* edit = qobject_cast<TfrmUnitsConvertEdit*>(d)) {
        edit->setItemIndex(1);
        edit->MoveUp();
        return int(QDialog::Rejected);
      }
      auto* dlg = qobject_cast<TfrmUnitConv*>(d);
      shownUnits = dlg->cbUnits->count();
      dlg->neLeft->setText("2");
      dlg->btnConvertAndInsert->click();
      return dlg->result();
    };
    {
      platform::ScopedDialogScript script(seam);
      QString text = QStringLiteral("old");
      QVERIFY(ExecuteUnitConv(*units, path, text));
      QCOMPARE(text, QStringLiteral("50.8"));
      QCOMPARE(shownUnits, 2);
      QCOMPARE(units->FileName(), path);

      units->Delete(1);
      units->Delete(0);
      QVERIFY(units->Modified());
      QVERIFY(ExecuteUnitConv(*units, path, text));  // emptied: the file, still old, is read again
      QCOMPARE(shownUnits, 2);
      QVERIFY(!units->Modified());
    }

    // "Редактировать": a changed list refills the units, the first selected.
    {
      platform::ScopedDialogScript script(seam);
      TfrmUnitConv dlg(*units);
      dlg.FillUnits();
      dlg.cbUnits->setCurrentIndex(1);
      dlg.btnUnitsConvertEdit->click();
      QCOMPARE(dlg.cbUnits->itemText(0), QStringLiteral("футы - метры"));
      QCOMPARE(dlg.cbUnits->currentIndex(), 0);
    }
    units->setModified(false);
    units = std::make_unique<TUnitConvertor>();

    // A missing file: one message, an empty dialog, Закрыть inserts nothing.
    platform::DialogSeam closeSeam;
    closeSeam.dialog = [&shownUnits](QDialog* d) {
      shownUnits = qobject_cast<TfrmUnitConv*>(d)->cbUnits->count();
      return int(QDialog::Rejected);
    };
    platform::ScopedDialogScript script(closeSeam);
    QString text = QStringLiteral("kept");
    QVERIFY(!ExecuteUnitConv(*units, dir.filePath("missing.xml"), text));
    QCOMPARE(text, QStringLiteral("kept"));
    QCOMPARE(shownUnits, 0);
    QCOMPARE(FErrors.size(), 1);
    QVERIFY(FErrors.first().startsWith("Не удается открыть список единиц " +
                                       QDir::toNativeSeparators(dir.filePath("missing.xml"))));
  }
};

KORVEX_TEST(TestUnitConv)
#include "test_unitconv.moc"
