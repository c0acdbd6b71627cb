// The preview pane of a text far taller than one image: it is as large as
// the whole picture, and what it shows anywhere is what the renderer draws.
#include <QScrollBar>
#include <QtTest>

#include "MainWindowTestBed.h"
#include "TestMain.h"
#include "app/RenderText.h"

class TestPreview : public QObject {
  Q_OBJECT
  TMainWindowTestBed FBed;

  // The pane's pixels at the current scroll position against a band render.
  static void compareShown(TfrmMain& w) {
    QWidget* pane = w.previewPane()->viewport();
    const QImage shown = pane->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect visible(w.previewPane()->horizontalScrollBar()->value(), w.previewPane()->verticalScrollBar()->value(),
                        pane->width(), pane->height());
    TCanvas c;
    RenderPreviewBand(c, w.lastRenderedMText(), w.session().Options.RenderProps, visible);
    const QImage& expected = c.image();
    const QRect picture = QRect(QPoint(0, 0), w.previewImage()->size()) & visible;
    QVERIFY(!picture.isEmpty());
    int ink = 0;
    const QRgb back = ColorToQColor(w.session().Options.RenderProps.rpBackColor).rgb() | 0xFF000000u;
    for (int y = picture.top(); y <= picture.bottom(); ++y)
      for (int x = picture.left(); x <= picture.right(); ++x) {
        const QRgb p = shown.pixel(x - visible.x(), y - visible.y());
        QCOMPARE(p, expected.pixel(x - visible.x(), y - visible.y()));
        ink += p != back ? 1 : 0;
      }
    QVERIFY(ink > 50);
  }

 private slots:
  void initTestCase() { FBed.start(); }
  void cleanupTestCase() { FBed.stop(); }

  void megabyteTextPreviewsToItsEnd() {
    QByteArray doc;
    for (int n = 1; doc.size() < (1 << 20); ++n)
      doc += QStringLiteral("%1. строка {\\C1;текста} \\S1/2; и {\\H2x;крупно}\r\n").arg(n).toUtf8();
    auto w = FBed.openWith(doc);
    w->resize(608, 384);
    QApplication::processEvents();
    w->RenderText();  // a long text is not rendered at load
    TCanvas probe;
    const QPoint size = RenderPreviewBand(probe, w->lastRenderedMText(), w->session().Options.RenderProps, QRect());
    QVERIFY(size.y() > 32767);
    QCOMPARE(w->previewImage()->size(), QSize(size.x() + 1, size.y() + 1));

    compareShown(*w);
    QScrollBar* v = w->previewPane()->verticalScrollBar();
    v->setValue(v->maximum() / 2);
    compareShown(*w);
    v->setValue(v->maximum());
    compareShown(*w);

    // A render of the same pane size draws into the same memory.
    const uchar* bits = w->previewCanvas().image().constBits();
    w->RenderText();
    QCOMPARE(w->previewCanvas().image().constBits(), bits);
  }
};

KORVEX_TEST(TestPreview)
#include "test_preview.moc"
