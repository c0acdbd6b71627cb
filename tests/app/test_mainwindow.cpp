// The main window end to end: a document goes in, is edited, and comes back
// out byte for byte; the close question; the preview string; the layout rule.
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTest>
#include <QToolBar>

#include "app/RenderText.h"
#include "TestMain.h"
#include "app/Session.h"
#include "core/TextCodec.h"
#include "app/UfrmMain.h"
#include "platform/Platform.h"

namespace {
// Bytes of a literal, NULs included.
template <size_t N>
QByteArray bytesOf(const char (&s)[N]) {
  return QByteArray(s, qsizetype(N - 1));
}
using korvextest::readFile;
using korvextest::typeText;
bool writeAll(const QString& path, const QByteArray& data) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly)) return false;
  return f.write(data) == data.size();
}
}  // namespace

class TestMainWindow : public QObject {
  Q_OBJECT
  QTemporaryDir FDir;
  TSession FSession;
  QStringList FAsked;
  QStringList FErrors;
  QMessageBox::StandardButton FAnswer = QMessageBox::Cancel;

  std::unique_ptr<TfrmMain> openOn(const QString& path) {
    auto w = std::make_unique<TfrmMain>(FSession, QStringList{QStringLiteral("korvex"), path});
    w->show();
    QApplication::processEvents();
    return w;
  }

 private slots:
  void initTestCase() {
    QVERIFY(FDir.isValid());
    FSession.SettingsFile = FDir.filePath(QStringLiteral("korvex.ini"));
    platform::MessageSeam seam;
    seam.ask = [this](const QString& t) {
      FAsked << t;
      return FAnswer;
    };
    seam.error = [this](const QString& t) { FErrors << t; };
    seam.message = [this](const QString& t) { FErrors << t; };
    platform::setMessageSeam(seam);
  }
  void init() {
    FAsked.clear();
    FErrors.clear();
  }
  void cleanupTestCase() { platform::setMessageSeam({}); }

  // --- the MText string handed to the renderer
  void mtextString_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("lineBreak");
    QTest::addColumn<QString>("expected");
    QTest::newRow("trailing blanks and empty line")
        << QStringList{"A", "B  ", ""} << "\r\n" << "A\\PB\\P";
    QTest::newRow("empty editor") << QStringList{} << "\r\n" << "\\P";
    QTest::newRow("one empty line") << QStringList{""} << "\r\n" << "\\P";
    QTest::newRow("literal \\P stays") << QStringList{"a\\Pb", "c"} << "\r\n" << "a\\Pb\\Pc\\P";
    QTest::newRow("LF document: a paragraph per line") << QStringList{"a", "b"} << "\n" << "a\\Pb\\P";
    QTest::newRow("U+2028 document") << QStringList{"a", "b"} << QString(QChar(0x2028)) << "a\\Pb\\P";
    QTest::newRow("tabs and controls trimmed") << QStringList{"x\t \x01"} << "\r\n" << "x\\P";
    QTest::newRow("CR ending a line") << QStringList{"a\r", "b"} << "\r\n" << "a\r\\Pb\\P";
    QTest::newRow("blank lines between") << QStringList{"a", " ", "", "b", " \t", ""} << "\r\n"
                                         << "a\\P \\P\\Pb\\P";
  }
  void mtextString() {
    QFETCH(QStringList, lines);
    QFETCH(QString, lineBreak);
    QFETCH(QString, expected);
    QCOMPARE(EditorTextToMText(lines, lineBreak), expected);
    // From the document (where a CR breaks the paragraph), into a buffer
    // that held a longer text.
    if (lines.join(QString()).contains(QLatin1Char('\r'))) return;
    QTextDocument doc;
    doc.setPlainText(lines.join(QChar::ParagraphSeparator));
    QString out = QStringLiteral("old text, longer than any of the rows");
    EditorTextToMText(doc, out);
    QCOMPARE(out, expected);
  }

  void mtextFromFileBytesInOnePass() {
    // The headless render reads the file as one text; it must give the MText
    // of the editor's lines, whatever the encoding and breaks.
    const QList<QByteArray> files = {
        bytesOf(""), bytesOf("\r\n \t\r\n"), bytesOf("a\r\nb\rc\nd\r\n\r\n"), bytesOf("a\r\r\nb \x01\n"),
        bytesOf("\xEF\xBB\xBF\xEF\xBB\xBF" "x\ny"), bytesOf("\xEF\xBB\xBF" "a\xD0\n\xE2\x80\xA8"),
        bytesOf("\xD0\xBA\xE2\x80\xA8\xEF\xBB\xBF" "b\xE2\x80\xA8 "), bytesOf("\xEA\xEE\xE4\r\n\xD0\n"),
        bytesOf("\xFF\xFE" "a\x00\r\x00\x28\x20" "b\x00\n"), bytesOf("\xFE\xFF\x00" "a\x20\x28\x00\r\x00"),
        bytesOf("a\x00" "b\r\n\x00\t"), bytesOf("\xF0\x9F\x98\x80\xEF\xBF\xBE\xD0\xBA"),
        bytesOf("\xED\xA0\x80\xD0\xBA"), bytesOf("\xE0\x80\xAF\xD0\xBA"), bytesOf("\xD0\xBA\xE2\x80"),
        bytesOf("a\r\n\r\n\xD0\xBA c\r\n\r\n")};
    for (const QByteArray& bytes : files) {
      TTextFormat byLines, byText;
      const QString expected = EditorTextToMText(DecodeTextLines(bytes, byLines), QString());
      const QString text = DecodeText(bytes, byText);
      QCOMPARE(EditorTextToMText(QStringView(text)), expected);
      QCOMPARE(EditorTextToMText(QString(text)), expected);  // taken over, in place when it can be
      QCOMPARE(byText.encoding, byLines.encoding);
      QCOMPARE(byText.bom, byLines.bom);
      QCOMPARE(byText.lineBreak, byLines.lineBreak);
    }
  }

  void previewLinesHaveNoGaps() {
    // Overline and underline across many growth steps of the preview surface.
    TRenderProps props;
    props.rpFont.fpName = QStringLiteral("Liberation Sans");
    props.rpFont.fpSize = 12;
    props.rpFont.fpColor = RGBColor(255, 255, 255);
    props.rpBackColor = RGBColor(0, 0, 0);
    const QString words = QStringLiteral("надчёркнуто Width ").repeated(8);
    TCanvas c;
    const QPoint size = RenderPreview(c, QStringLiteral("\\O") + words + QStringLiteral("\\P\\L") + words + QStringLiteral("\\P"), props);
    const QImage& img = c.image();
    QCOMPARE(img.size(), QSize(size.x() + 1, size.y() + 1));
    QList<int> gapsTop, gapsBottom;
    for (int x = 1; x <= size.x(); ++x) {
      if (img.pixel(x, 0) != qRgb(255, 255, 255)) gapsTop << x;
      if (img.pixel(x, size.y() - 1) != qRgb(255, 255, 255)) gapsBottom << x;
    }
    QCOMPARE(gapsTop, QList<int>());
    QCOMPARE(gapsBottom, QList<int>());
  }

  // --- loading: caption, lines, the 512/513 rule
  void captionAndLines() {
    const QString path = FDir.filePath(QStringLiteral("doc.txt"));
    QVERIFY(writeAll(path, "first\r\nsecond\r\n"));
    auto w = openOn(path);
    QCOMPARE(w->windowTitle(), QStringLiteral("doc.txt - Korvex"));
    QCOMPARE(w->editor().lines(), (QStringList{"first", "second"}));
    QVERIFY(!w->editor().modified());
    QCOMPARE(w->lastRenderedMText(), QStringLiteral("first\\Psecond\\P"));
  }

  void missingArgumentGivesNoDocument() {
    auto w = openOn(FDir.filePath(QStringLiteral("does-not-exist.txt")));
    QCOMPARE(w->windowTitle(), QStringLiteral("Korvex"));
    QVERIFY(w->fileName().isEmpty());
    QCOMPARE(w->editor().lineCount() <= 1, true);
  }

  void renderThreshold_data() {
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("rendered");
    QTest::newRow("512") << 512 << true;
    QTest::newRow("513") << 513 << false;
  }
  void renderThreshold() {
    QFETCH(int, length);
    QFETCH(bool, rendered);
    // One line of length - 2 characters plus CR LF.
    const QString path = FDir.filePath(QStringLiteral("len%1.txt").arg(length));
    QVERIFY(writeAll(path, QByteArray(length - 2, 'x') + "\r\n"));
    auto w = openOn(path);
    QCOMPARE(w->editor().text().size(), length);
    QCOMPARE(!w->lastRenderedMText().isEmpty(), rendered);
  }

  // --- the close question
  void closeQuestion_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<bool>("saved");
    QTest::newRow("yes") << int(QMessageBox::Yes) << true << true;
    QTest::newRow("no") << int(QMessageBox::No) << true << false;
    QTest::newRow("cancel") << int(QMessageBox::Cancel) << false << false;
  }
  void closeQuestion() {
    QFETCH(int, answer);
    QFETCH(bool, closed);
    QFETCH(bool, saved);
    const QString path = FDir.filePath(QStringLiteral("close.txt"));
    QVERIFY(writeAll(path, "abc\r\n"));
    auto w = openOn(path);
    w->editor().setSelStart(3);
    w->editor().setSelLength(0);
    QTest::keyClicks(&w->editor(), QStringLiteral("d"));
    QVERIFY(w->editor().modified());
    FAnswer = QMessageBox::StandardButton(answer);
    const bool didClose = w->close();
    QCOMPARE(FAsked, QStringList{QStringLiteral("Сохранить текст ?")});
    QCOMPARE(didClose, closed);
    QCOMPARE(readFile(path), saved ? QByteArray("abcd\r\n") : QByteArray("abc\r\n"));
  }

  // Yes, then cancelling the save dialog: the text must not be thrown away.
  void cancelledSaveDialogKeepsWindowOpen() {
    auto w = openOn(QString());
    typeText(&w->editor(), QStringLiteral("важный текст"));
    platform::DialogSeam cancel;
    cancel.file = [](const platform::FileChoice&) { return QString(); };
    platform::ScopedDialogScript script(cancel);
    FAnswer = QMessageBox::Yes;
    QVERIFY(!w->close());
    QVERIFY(w->isVisible());
    w->ExitWithoutSaving();
  }

  void unmodifiedClosesWithoutQuestion() {
    const QString path = FDir.filePath(QStringLiteral("plain.txt"));
    QVERIFY(writeAll(path, "abc\r\n"));
    auto w = openOn(path);
    QVERIFY(w->close());
    QVERIFY(FAsked.isEmpty());
  }

  // A failed save must keep the window open, the text in the editor, and say why.
  void failingSaveKeepsWindowOpen() {
    const QString sub = FDir.filePath(QStringLiteral("gone"));
    QVERIFY(QDir().mkpath(sub));
    const QString path = sub + QStringLiteral("/doc.txt");
    QVERIFY(writeAll(path, "abc\r\n"));
    auto w = openOn(path);
    QTest::keyClicks(&w->editor(), QStringLiteral("X"));
    // Make the document unwritable: its folder is replaced by a file.
    QVERIFY(QDir(sub).removeRecursively());
    QVERIFY(writeAll(sub, "not a folder"));
    // The document is gone, so Save asks for a name; the one given cannot be written either.
    platform::DialogSeam chooser;
    chooser.file = [&](const platform::FileChoice& choice) { return choice.save ? path : QString(); };
    platform::ScopedDialogScript script(chooser);
    FAnswer = QMessageBox::Yes;
    QVERIFY(!w->close());
    QCOMPARE(FErrors.size(), 1);
    QVERIFY(FErrors.first().startsWith(QStringLiteral("Ошибка при сохранении ") + path));
    QVERIFY(w->editor().text().contains(QLatin1Char('X')));
    QFile::remove(sub);
    w->ExitWithoutSaving();
  }

  void applyAndCloseWritesBack() {
    const QString path = FDir.filePath(QStringLiteral("apply.txt"));
    QVERIFY(writeAll(path, "one\ntwo"));  // LF, no final break
    auto w = openOn(path);
    w->editor().setLine(0, QStringLiteral("uno"));
    w->ApplyAndClose();
    QVERIFY(!w->isVisible());
    QVERIFY(FAsked.isEmpty());
    QCOMPARE(readFile(path), QByteArray("uno\ntwo\n"));
  }

  void exitWithoutSavingDiscards() {
    const QString path = FDir.filePath(QStringLiteral("exit.txt"));
    QVERIFY(writeAll(path, "keep\r\n"));
    auto w = openOn(path);
    QTest::keyClicks(&w->editor(), QStringLiteral("zz"));
    w->ExitWithoutSaving();
    QVERIFY(!w->isVisible());
    QVERIFY(FAsked.isEmpty());
    QCOMPARE(readFile(path), QByteArray("keep\r\n"));
  }

  // The drafter's day: a Windows-1251 CR LF file, one typed character,
  // Escape, Yes: the file holds the edit, still in Windows-1251 with CR LF.
  void ansiRoundTripThroughEscape() {
    const QString path = FDir.filePath(QStringLiteral("cp1251.txt"));
    // "Диаметр %%c10" / "Угол 45%%d" in Windows-1251.
    const QByteArray original = QByteArray::fromHex("c4e8e0ece5f2f02025256331300d0ac3eee0eb203435252564") + "\r\n";
    QVERIFY(writeAll(path, original));
    auto w = openOn(path);
    QCOMPARE(w->editor().line(0), QStringLiteral("Диаметр %%c10"));
    w->editor().setCaretXY(QPoint(1, 1));
    typeText(&w->editor(), QStringLiteral("Ø"));  // not in Windows-1251
    typeText(&w->editor(), QStringLiteral("Ж"));
    FAnswer = QMessageBox::Yes;
    QTest::keyClick(&w->editor(), Qt::Key_Escape);
    QApplication::processEvents();
    QCOMPARE(FAsked, QStringList{QStringLiteral("Сохранить текст ?")});
    QVERIFY(!w->isVisible());
    const QByteArray expected = QByteArray("\\U+00D8") + QByteArray::fromHex("c6") + original;
    QCOMPARE(readFile(path), expected);
  }

  // The whole-text tools and the line mover change the text: Escape asks
  // before closing, and Ctrl+Z takes the change back, then the edit before it.
  void numberingAsksBeforeClose_data() {
    QTest::addColumn<int>("tool");
    QTest::addColumn<QStringList>("changed");
    QTest::newRow("numbering") << 0 << QStringList{"1. abc", "2. def"};
    QTest::newRow("delete first character") << 1 << QStringList{"bc", "ef"};
    QTest::newRow("insert first space") << 2 << QStringList{" abc", " def"};
    QTest::newRow("line moved down") << 3 << QStringList{"def", "abc"};
  }
  void numberingAsksBeforeClose() {
    QFETCH(int, tool);
    QFETCH(QStringList, changed);
    const QString path = FDir.filePath(QStringLiteral("tools%1.txt").arg(tool));
    QVERIFY(writeAll(path, "abc\r\ndef\r\n"));
    auto w = openOn(path);
    auto run = [&] {
      if (tool == 0) w->NumberParagraphs();
      if (tool == 1) w->DeleteFirstSymbol();
      if (tool == 2) w->InsertLeadingSpace();
      if (tool == 3) {
        w->editor().setCaretXY(QPoint(1, 1));
        w->MoveCaretLine(+1);
      }
    };
    run();
    QCOMPARE(w->editor().lines().mid(0, 2), changed);
    FAnswer = QMessageBox::Cancel;
    QTest::keyClick(&w->editor(), Qt::Key_Escape);
    QApplication::processEvents();
    QCOMPARE(FAsked, QStringList{QStringLiteral("Сохранить текст ?")});
    QVERIFY(w->isVisible());
    QTest::keyClick(&w->editor(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(w->editor().lines().mid(0, 2), (QStringList{"abc", "def"}));

    // After an edit of the user's, the tool is undone first, then the edit.
    w->editor().setCaretXY(QPoint(4, 2));
    typeText(&w->editor(), QStringLiteral("ж"));
    run();
    QTest::keyClick(&w->editor(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(w->editor().lines().mid(0, 2), (QStringList{"abc", QStringLiteral("defж")}));
    QTest::keyClick(&w->editor(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(w->editor().lines().mid(0, 2), (QStringList{"abc", "def"}));
    w->ExitWithoutSaving();
  }

  // New settings do not save the text: an edit made before them still asks.
  void optionsOkKeepsModified() {
    const QString path = FDir.filePath(QStringLiteral("options.txt"));
    QVERIFY(writeAll(path, "abc\r\n"));
    auto w = openOn(path);
    typeText(&w->editor(), QStringLiteral("ы"));
    w->ApplyEditorSettings();
    QVERIFY(w->editor().modified());
    FAnswer = QMessageBox::Cancel;
    QVERIFY(!w->close());
    QCOMPARE(FAsked, QStringList{QStringLiteral("Сохранить текст ?")});
    w->ExitWithoutSaving();
  }

  // When the room between toolbar and status bar falls below the editor's
  // height, the editor takes half of it; growing again leaves it alone.
  void resizeHalvesEditor() {
    auto w = openOn(QString());
    w->resize(600, 500);
    QApplication::processEvents();
    w->setEditorHeight(200);
    QApplication::processEvents();
    QCOMPARE(w->editorHeight(), 200);
    w->resize(600, 250);
    QApplication::processEvents();
    const int available = w->height() - w->menuBar()->height() - w->toolBar()->height() - w->statusBar()->height();
    QVERIFY(available < 200);
    QCOMPARE(w->editorHeight(), qMax(42, available / 2));
    const int halved = w->editorHeight();
    w->resize(600, 700);
    QApplication::processEvents();
    QCOMPARE(w->editorHeight(), halved);
    w->ExitWithoutSaving();
  }

  void splitterStoresHeight() {
    auto w = openOn(QString());
    w->resize(600, 500);
    QApplication::processEvents();
    w->setEditorHeight(150);
    w->SplitterMoved();
    QCOMPARE(FSession.Options.EditorProps.epHeight, 150);
    w->ExitWithoutSaving();
  }

  void statusBarFollowsCaret() {
    const QString path = FDir.filePath(QStringLiteral("caret.txt"));
    QStringList lines;
    for (int i = 0; i < 8; ++i) lines << QStringLiteral("строка номер %1 с текстом").arg(i + 1);
    QVERIFY(writeAll(path, lines.join("\r\n").toUtf8() + "\r\n"));
    auto w = openOn(path);
    w->editor().setCaretXY(QPoint(12, 7));
    QApplication::processEvents();
    QCOMPARE(w->statusPanel(0)->text(), QStringLiteral("Стр.:   7   Кол.:  12"));
    typeText(&w->editor(), QStringLiteral("ы"));
    QApplication::processEvents();
    QCOMPARE(w->statusPanel(1)->text(), QStringLiteral("Изменен"));
    w->ExitWithoutSaving();
  }

  // Space re-renders before it is typed; letters do not, Enter (a new line) does.
  void spaceAndEnterRerender() {
    const QString path = FDir.filePath(QStringLiteral("space.txt"));
    QVERIFY(writeAll(path, "ab\r\n"));
    auto w = openOn(path);
    w->editor().setCaretXY(QPoint(3, 1));
    QTest::keyClicks(&w->editor(), QStringLiteral("c"));
    QCOMPARE(w->lastRenderedMText(), QStringLiteral("ab\\P"));
    QTest::keyClick(&w->editor(), Qt::Key_Space);
    QCOMPARE(w->lastRenderedMText(), QStringLiteral("abc\\P"));
    QTest::keyClick(&w->editor(), Qt::Key_Return);
    QCOMPARE(w->lastRenderedMText(), QStringLiteral("abc\\P"));  // trailing blanks trimmed
    QTest::keyClicks(&w->editor(), QStringLiteral("d"));
    QTest::keyClick(&w->editor(), Qt::Key_Return);
    QCOMPARE(w->lastRenderedMText(), QStringLiteral("abc\\Pd\\P"));
    w->ExitWithoutSaving();
  }

  // Undo and redo, by key or command, show the text they leave.
  void undoRedoRerender() {
    const QString path = FDir.filePath(QStringLiteral("undo.txt"));
    QVERIFY(writeAll(path, "ab\r\n"));
    auto w = openOn(path);
    w->editor().setCaretXY(QPoint(3, 1));
    QTest::keyClicks(&w->editor(), QStringLiteral("cd"));
    QTest::keyClick(&w->editor(), Qt::Key_Space);
    QCOMPARE(w->lastRenderedMText(), QStringLiteral("abcd\\P"));
    QTest::keyClick(&w->editor(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(w->editor().line(0), QStringLiteral("ab"));
    QCOMPARE(w->lastRenderedMText(), QStringLiteral("ab\\P"));
    w->RunCommand(cmdEditRedo, QString());
    QCOMPARE(w->lastRenderedMText(), EditorTextToMText(w->editor().lines(), QString()));
    QVERIFY(w->lastRenderedMText().startsWith(QStringLiteral("abcd")));
    w->RunCommand(cmdEditUndo, QString());
    QCOMPARE(w->lastRenderedMText(), QStringLiteral("ab\\P"));
    w->ExitWithoutSaving();
  }
};

KORVEX_TEST(TestMainWindow)
#include "test_mainwindow.moc"
