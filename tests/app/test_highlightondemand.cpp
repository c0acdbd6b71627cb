// A large document opened with highlighting on: the main window colours the
// lines it shows, the first screen and, after Ctrl+End, the last one, while
// the lines in between wait until they are shown.
#include <QFile>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include "MainWindowTestBed.h"
#include "TestMain.h"
#include "app/UfrmMain.h"
#include "editor/Editor.h"
#include "highlight/SynHighlighterMText.h"

class TestHighlightOnDemand : public QObject {
  Q_OBJECT
  TMainWindowTestBed FBed;

  static QColor foregroundAt(const QTextBlock& block, int pos) {
    for (const QTextLayout::FormatRange& r : block.layout()->formats())
      if (pos >= r.start && pos < r.start + r.length) return r.format.foreground().color();
    return QColor();
  }

 private slots:
  void initTestCase() {
    FBed.start();
    QFile ini(FBed.FDir.filePath(QStringLiteral("korvex.ini")));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[Highlight]\r\nEnable=1\r\n");
  }
  void cleanupTestCase() { FBed.stop(); }

  void largeDocumentColouredWhereShown() {
    QByteArray content;
    for (int i = 0; i < 10000; ++i) content += QStringLiteral("\\W0.8;строка %1\r\n").arg(i).toUtf8();
    auto w = FBed.openWith(content);
    QVERIFY(w);
    TEditor* e = &w->editor();
    const QColor key = w->tokenizer()->keyAttri()->foreground();
    QVERIFY(key.isValid());
    e->viewport()->grab();
    QCOMPARE(foregroundAt(e->document()->firstBlock(), 0), key);
    QVERIFY(e->document()->findBlockByNumber(5000).layout()->formats().isEmpty());

    QTest::keyClick(e, Qt::Key_End, Qt::ControlModifier);
    e->viewport()->grab();
    QCOMPARE(e->lastVisibleLine(), 10000);
    QCOMPARE(foregroundAt(e->document()->lastBlock(), 0), key);
    QVERIFY(e->document()->findBlockByNumber(5000).layout()->formats().isEmpty());
  }
};

KORVEX_TEST(TestHighlightOnDemand)
#include "test_highlightondemand.moc"
