// The preview pane of a text far taller than one image: it is as large as
// the whole picture, and what it shows anywhere is what the renderer draws.
#include <QPlainTextDocumentLayout>
#include <QScrollBar>
#include <QSyntaxHighlighter>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

#include <random>

#include "MainWindowTestBed.h"
#include "TestMain.h"
#include "app/RenderText.h"

// Colours every other character, in a new colour at each rehighlight: the
// new colouring is reported as a change.
class TStripes : public QSyntaxHighlighter {
 public:
  using QSyntaxHighlighter::QSyntaxHighlighter;
  int FShade = 0;
  void highlightBlock(const QString& text) override {
    QTextCharFormat f;
    f.setForeground(QColor(FShade % 256, 0, 0));
    for (int i = 0; i < text.size(); i += 2) setFormat(i, 1, f);
  }
};

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

  // After renders that draw only what an edit changed, the screen shows what
  // a fresh render draws: the window's pixels, not a repaint of the pane.
  void editedPreviewOnScreen() {
    QByteArray doc;
    for (int n = 1; n <= 60; ++n)
      doc += QStringLiteral("%1 {\\H%2x;строка} \\S1/2; \\H1.1x;шаг\r\n").arg(n).arg(1 + n % 3).toUtf8();
    auto w = FBed.openWith(doc);
    w->resize(700, 500);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    w->RenderText();
    for (const QPoint at : {QPoint(1, 1), QPoint(3, 2), QPoint(1, 5)}) {
      w->editor().setCaretXY(at);
      QTest::keyClicks(&w->editor(), QStringLiteral("WWW"));
      QTest::keyClick(&w->editor(), Qt::Key_Space);  // renders
      QApplication::processEvents();
      QWidget* pane = w->previewPane()->viewport();
      const QImage shown = pane->screen()
                               ->grabWindow(w->winId(), pane->mapTo(w.get(), QPoint(0, 0)).x(),
                                            pane->mapTo(w.get(), QPoint(0, 0)).y(), pane->width(), pane->height())
                               .toImage()
                               .convertToFormat(QImage::Format_RGB32);
      QCOMPARE(shown.size(), pane->size());
      QCOMPARE(shown, pane->grab().toImage().convertToFormat(QImage::Format_RGB32));
    }
    w->ExitWithoutSaving();
  }

  // The MText kept up to date edit by edit equals the one built from
  // scratch, and what it says changed covers every changed character: edits
  // in the middle and at the cut end, blank lines, literal \P, undo, colouring.
  void mirrorFollowsEveryEdit() {
    static const char* const pieces[] = {"a", " ", "\n", "\\P", "{\\H2x;b}", "  \n\n", "\t", "xy\nz", ""};
    for (unsigned seed = 1; seed <= 60; ++seed) {
      std::mt19937 rnd(seed);
      QTextDocument doc;
      // As in the editor: without a layout the document reports no change.
      doc.setDocumentLayout(new QPlainTextDocumentLayout(&doc));
      doc.setPlainText(QStringLiteral("one\ntwo  \n\nthree\n \n"));
      TStripes stripes(&doc);
      TMTextMirror mirror(doc);
      QString before = mirror.text();
      mirror.update();
      for (int step = 0; step < 40; ++step) {
        before = mirror.text();
        for (int k = int(rnd() % 3); k >= 0; --k) {
          QTextCursor c(&doc);
          const int size = doc.characterCount() - 1;
          c.setPosition(int(rnd() % unsigned(size + 1)));
          switch (rnd() % 6) {
            case 0:
              c.setPosition(qMin(size, c.position() + int(rnd() % 8)), QTextCursor::KeepAnchor);
              c.removeSelectedText();
              break;
            case 1:
              doc.undo();
              break;
            case 2:
              ++stripes.FShade;
              stripes.rehighlight();
              break;
            default:
              c.insertText(QString::fromUtf8(pieces[rnd() % std::size(pieces)]));
          }
        }
        const TTextChange change = mirror.update();
        const QString& now = mirror.text();
        QString built;
        EditorTextToMText(doc, built);
        QCOMPARE(now, built);
        QVERIFY(change.prefix <= qMin(now.size(), before.size()));
        QCOMPARE(now.left(change.prefix), before.left(change.prefix));
        QCOMPARE(now.right(qMin(change.suffix, now.size() - change.prefix)),
                 before.right(qMin(change.suffix, now.size() - change.prefix)));
      }
    }
  }
};

KORVEX_TEST(TestPreview)
#include "test_preview.moc"
