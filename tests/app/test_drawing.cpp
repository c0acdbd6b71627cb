// A text of a DXF drawing as the document: chosen by its picture, edited,
// written back into that entity only.
#include <QTableView>
#include <QTest>

#include "MainWindowTestBed.h"
#include "TestMain.h"
#include "app/UfrmDxfChooser.h"
#include "dxf/DxfDrawing.h"

namespace {

// CR LF and unpadded codes, as some programs write them; a model-space text
// and one in a block.
QByteArray drawing(const QByteArray& modelText) {
  return "0\r\nSECTION\r\n2\r\nHEADER\r\n9\r\n$ACADVER\r\n1\r\nAC1032\r\n0\r\nENDSEC\r\n"
         "0\r\nSECTION\r\n2\r\nBLOCKS\r\n0\r\nBLOCK\r\n2\r\nРАМКА\r\n0\r\nMTEXT\r\n5\r\n2B\r\n8\r\nРамка\r\n"
         "100\r\nAcDbMText\r\n1\r\n{\\C1;Штамп}\r\n0\r\nENDBLK\r\n0\r\nENDSEC\r\n"
         "0\r\nSECTION\r\n2\r\nENTITIES\r\n0\r\nMTEXT\r\n5\r\n2A\r\n8\r\nТекст\r\n100\r\nAcDbMText\r\n1\r\n" +
         modelText + "\r\n7\r\nStandard\r\n0\r\nENDSEC\r\n0\r\nEOF\r\n";
}

}  // namespace

class TestDrawing : public QObject {
  Q_OBJECT
  TMainWindowTestBed FBed;

  QString write(const QByteArray& bytes) {
    const QString path = FBed.FDir.filePath(QStringLiteral("drawing%1.dxf").arg(++FBed.FCount));
    korvextest::writeFile(path, bytes);
    return path;
  }

 private slots:
  void initTestCase() { FBed.start(); }
  void cleanupTestCase() { FBed.stop(); }
  void init() { FBed.FMessages.clear(); }

  void chosenTextIsEditedAndWrittenBack() {
    const QString path = write(drawing("Первый абзац\\PВторой, x^ 2"));
    int rows = 0;
    int ink0 = 0, ink1 = 0;
    platform::DialogSeam seam;
    seam.dialog = [&](QDialog* dlg) {
      auto* chooser = qobject_cast<TfrmDxfChooser*>(dlg);
      if (!chooser) return int(QDialog::Rejected);
      auto* model = static_cast<TDxfTextModel*>(chooser->tvTexts->model());
      rows = model->rowCount();
      // The picture of the two paragraphs shows both: more rows hold ink
      // than in the picture of the one-line text in the block.
      const auto inkRows = [&](int row) {
        const QImage pic = model->picture(row).toImage();
        int rowsWithInk = 0;
        for (int y = 0; y < pic.height(); ++y)
          for (int x = 0; x < pic.width(); ++x)
            if (pic.pixel(x, y) != pic.pixel(0, 0)) {
              ++rowsWithInk;
              break;
            }
        return rowsWithInk;
      };
      ink0 = inkRows(0);
      ink1 = inkRows(1);
      chooser->choose(0);
      return int(QDialog::Accepted);
    };
    platform::ScopedDialogScript script(seam);
    TSession session;
    TfrmMain w(session, {QStringLiteral("korvex"), path});
    w.show();
    QApplication::processEvents();
    QCOMPARE(rows, 2);
    QVERIFY2(ink1 > 0 && ink0 > ink1 * 3 / 2, qPrintable(QStringLiteral("rows with ink: %1, %2").arg(ink0).arg(ink1)));
    QCOMPARE(w.editor().lines(), QStringList({"Первый абзац", "Второй, x^2"}));
    QVERIFY2(w.windowTitle().startsWith(QFileInfo(path).fileName() + QStringLiteral(", текст 2A")),
             qPrintable(w.windowTitle()));

    w.editor().setLines({QStringLiteral("Новый"), QStringLiteral("текст\t^")});
    w.ApplyAndClose();
    QCOMPARE(korvextest::readFile(path), drawing("Новый\\Pтекст^I^ "));
    QVERIFY(FBed.FMessages.isEmpty());
  }

  // --handle opens the text without the chooser; a text another program
  // changed meanwhile is not overwritten without a Yes.
  void handleAndChangeUnderYou() {
    const QString path = write(drawing("старый"));
    platform::DialogSeam seam;
    seam.dialog = [](QDialog*) {
      QTest::qFail("no chooser with --handle", __FILE__, __LINE__);
      return int(QDialog::Rejected);
    };
    platform::ScopedDialogScript script(seam);
    TSession session;
    TfrmMain w(session, {QStringLiteral("korvex"), path});
    w.setStartHandle(QStringLiteral("2a"));
    w.show();
    QApplication::processEvents();
    QCOMPARE(w.editor().lines(), QStringList({"старый"}));

    bool conflict = false;
    QString error;
    QVERIFY(WriteDxfText(path, QStringLiteral("2A"), -1, QStringLiteral("старый"), QStringLiteral("чужой"), false,
                         conflict, error));
    w.editor().setLines({QStringLiteral("мой")});
    QVERIFY(!w.SaveTextChecked());  // the question is answered No
    QCOMPARE(korvextest::readFile(path), drawing("чужой"));
    w.editor().setModified(false);
  }

  void refusedDrawingLeavesNoDocument() {
    const QString path = write(QByteArray("AC1032\0\0\0\0", 10));
    TSession session;
    TfrmMain w(session, {QStringLiteral("korvex"), path});
    w.show();
    QApplication::processEvents();
    QCOMPARE(FBed.FMessages, QStringList({"Формат DWG не поддерживается; сохраните чертеж как DXF"}));
    QCOMPARE(w.fileName(), QString());
    QVERIFY(!w.drawing());
  }
};

KORVEX_TEST(TestDrawing)
#include "test_drawing.moc"
