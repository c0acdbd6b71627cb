// DXF drawings made by ezdxf (Debian's python3-ezdxf) are read, edited and
// read back by ezdxf again: its auditor, its idea of the text, and the bytes
// outside the edited text groups.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "TestMain.h"
#include "dxf/DxfDrawing.h"

namespace {

const QString kPeer = QStringLiteral(KORVEX_SOURCE_DIR "/tests/dxf/ezdxf_peer.py");

QJsonObject runPeer(const QStringList& args) {
  QProcess p;
  p.start(QStringLiteral("/usr/bin/python3"), QStringList{kPeer} + args);
  if (!p.waitForFinished(60000) || p.exitCode() != 0) {
    qWarning("%s", p.readAllStandardError().constData());
    return QJsonObject();
  }
  return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

// Over 250 characters with Cyrillic, characters outside Windows-1251 (one
// beyond the BMP), a stack with a caret, a tab and a caret at every place
// where a chunk could end.
QString longText() {
  QString s;
  for (int i = 0; s.size() < 700; ++i)
    s += QStringLiteral("Шаг %1: α≤β 😀 \\S1^2; ^\t").arg(i) + QString(i % 7, QChar(0x0436));
  return s;
}

}  // namespace

class TestDxf : public QObject {
  Q_OBJECT
  QTemporaryDir FDir;
  QJsonObject FHandles;

  QString copyOf(const QString& name, const QString& as) {
    const QString path = FDir.filePath(as);
    QFile::remove(path);
    QFile::copy(FDir.filePath(name), path);
    return path;
  }

 private slots:
  void initTestCase() {
    QVERIFY(FDir.isValid());
    FHandles = runPeer({QStringLiteral("make"), FDir.path()});
    QVERIFY2(!FHandles.isEmpty(), "ezdxf could not make the drawings");
  }

  void readsEveryMText_data() {
    QTest::addColumn<QString>("file");
    QTest::newRow("R2000 ANSI_1251") << QStringLiteral("r2000_1251.dxf");
    QTest::newRow("R2018 UTF-8") << QStringLiteral("r2018_utf8.dxf");
  }
  void readsEveryMText() {
    QFETCH(QString, file);
    const QJsonObject h = FHandles.value(file).toObject();
    const QJsonObject peer = runPeer({QStringLiteral("read"), FDir.filePath(file)}).value("mtext").toObject();
    TDxfDrawing d;
    QString error;
    QVERIFY2(d.load(FDir.filePath(file), error), qPrintable(error));
    QCOMPARE(d.mtexts().size(), 5);
    for (const TDxfMText& m : d.mtexts()) QCOMPARE(CaretEncode(m.text), peer.value(m.handle).toString());

    const auto place = [&](const char* label) {
      const TDxfMText* m = d.find(h.value(QLatin1String(label)).toString());
      return m ? m->layer + QLatin1Char('|') + m->placeName() : QString();
    };
    QCOMPARE(place("model"), QStringLiteral("Текст|Модель"));
    QCOMPARE(place("paper"), QStringLiteral("0|Лист Layout1"));
    QCOMPARE(place("paper2"), QStringLiteral("0|Лист Лист2"));
    QCOMPARE(place("block"), QStringLiteral("Рамка|Блок ШТАМП"));
    QCOMPARE(d.find(h.value("block").toString())->text, QStringLiteral("{\\C1;Штамп} \tтаб"));
    QVERIFY(d.find(h.value("long").toString())->text.contains(QStringLiteral("\\S1^2;")));
  }

  // ezdxf writes LF; AutoCAD writes CR LF.  Both keep every byte outside the
  // edited groups, and the new groups follow the file's own breaks.
  void editRoundTrip_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("crlf");
    QTest::addColumn<QString>("label");
    QTest::newRow("R2000 long") << QStringLiteral("r2000_1251.dxf") << false << QStringLiteral("long");
    QTest::newRow("R2000 block, CR LF") << QStringLiteral("r2000_1251.dxf") << true << QStringLiteral("block");
    QTest::newRow("R2018 paper") << QStringLiteral("r2018_utf8.dxf") << false << QStringLiteral("paper2");
    QTest::newRow("R2018 long, CR LF") << QStringLiteral("r2018_utf8.dxf") << true << QStringLiteral("long");
  }
  void editRoundTrip() {
    QFETCH(QString, file);
    QFETCH(bool, crlf);
    QFETCH(QString, label);
    const QString path = copyOf(file, QStringLiteral("edit.dxf"));
    if (crlf) {
      QByteArray b = korvextest::readFile(path);
      QVERIFY(korvextest::writeFile(path, b.replace("\n", "\r\n")));
    }
    const QString handle = FHandles.value(file).toObject().value(label).toString();
    TDxfDrawing before;
    QString error;
    QVERIFY2(before.load(path, error), qPrintable(error));
    const TDxfMText* m = before.find(handle);
    QVERIFY(m);

    const QString text = longText();
    bool conflict = false;
    QVERIFY2(WriteDxfText(path, handle, -1, m->text, text, false, conflict, error), qPrintable(error));

    // What an old drawing cannot hold in its code page comes back as codes.
    QString stored = text;
    if (file.startsWith(QLatin1String("r2000")))
      stored.replace(QStringLiteral("α"), QLatin1String("\\U+03B1"))
          .replace(QStringLiteral("β"), QLatin1String("\\U+03B2"))
          .replace(QStringLiteral("≤"), QLatin1String("\\U+2264"))
          .replace(QStringLiteral("😀"), QLatin1String("\\U+D83D\\U+DE00"));
    TDxfDrawing after;
    QVERIFY2(after.load(path, error), qPrintable(error));
    const TDxfMText* n = after.find(handle);
    QCOMPARE(n->text, stored);
    QCOMPARE(n->outsideText(after.bytes()), m->outsideText(before.bytes()));
    if (crlf) QCOMPARE(after.bytes().count("\n"), after.bytes().count("\r\n"));
    // Chunks of at most 250 characters, never cut inside a code, an escape or a pair.
    QVERIFY(n->textTags.size() >= 3);
    for (const auto& t : n->textTags) {
      const QByteArray tag = after.bytes().mid(t.first, t.second - t.first);
      const QString value = after.codec().decode(tag.mid(tag.indexOf('\n') + 1).trimmed());
      QVERIFY2(value.size() <= 250, qPrintable(value));
      QVERIFY(!value.endsWith(QLatin1Char('^')) && !value.back().isHighSurrogate());
      QVERIFY(!value.right(6).contains(QLatin1String("\\U+")));
    }

    // The peer agrees: no audit error, and the text as written in the file.
    const QJsonObject peer = runPeer({QStringLiteral("read"), path});
    QCOMPARE(peer.value("errors").toArray().size(), 0);
    QString expected = stored;
    expected.replace(QLatin1String("^"), QLatin1String("^ ")).replace(QLatin1String("\t"), QLatin1String("^I"));
    QCOMPARE(peer.value("mtext").toObject().value(handle).toString(), expected);
  }

  // The file is read again on writing: a change another program made to
  // another entity stays; a change to this entity is a conflict.
  void writeKeepsOtherChanges() {
    const QString path = copyOf(QStringLiteral("r2018_utf8.dxf"), QStringLiteral("conflict.dxf"));
    const QJsonObject h = FHandles.value("r2018_utf8.dxf").toObject();
    TDxfDrawing opened;
    QString error;
    QVERIFY(opened.load(path, error));
    const QString model = h.value("model").toString(), block = h.value("block").toString();
    bool conflict = false;
    QVERIFY(WriteDxfText(path, block, -1, opened.find(block)->text, QStringLiteral("чужое"), false, conflict, error));
    QVERIFY(WriteDxfText(path, model, -1, opened.find(model)->text, QStringLiteral("моё"), false, conflict, error));
    TDxfDrawing now;
    QVERIFY(now.load(path, error));
    QCOMPARE(now.find(block)->text, QStringLiteral("чужое"));
    QCOMPARE(now.find(model)->text, QStringLiteral("моё"));

    const QByteArray bytes = now.bytes();
    QVERIFY(!WriteDxfText(path, block, -1, opened.find(block)->text, QStringLiteral("x"), false, conflict, error));
    QVERIFY(conflict);
    QCOMPARE(korvextest::readFile(path), bytes);
    QVERIFY(WriteDxfText(path, block, -1, opened.find(block)->text, QStringLiteral("x"), true, conflict, error));
  }

  void refusals_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    const QByteArray good = korvextest::readFile(FDir.filePath("r2018_utf8.dxf"));
    QTest::newRow("binary") << QByteArray("AutoCAD Binary DXF\r\n\x1a\0", 22) + good << QStringLiteral("Двоичный формат DXF");
    QTest::newRow("DWG") << QByteArray("AC1032\0\0\0\0\0\0", 12)
                         << QStringLiteral("Формат DWG не поддерживается; сохраните чертеж как DXF");
    QTest::newRow("no MTEXT") << QByteArray("  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n  8\n0\n  0\nENDSEC\n  0\nEOF\n")
                              << QStringLiteral("нет многострочного текста");
    QTest::newRow("truncated") << good.left(good.size() / 2) << QStringLiteral("Файл DXF обрезан");
    QTest::newRow("bad code") << QByteArray("  0\nSECTION\n  2\nENTITIES\n  0\nMTEXT\nxx\n1\n")
                              << QStringLiteral("в строке 7 ожидался код группы");
    QTest::newRow("no value") << QByteArray("  0\nSECTION\n  2\nENTITIES\n  0\nMTEXT\n  1")
                              << QStringLiteral("у группы в строке 7 нет значения");
    QTest::newRow("unclosed section") << QByteArray("  0\nSECTION\n  2\nHEADER\n  0\nSECTION\n")
                                      << QStringLiteral("в строке 5 начинается раздел");
    QTest::newRow("unknown code page")
        << QByteArray("  0\nSECTION\n  2\nHEADER\n  9\n$DWGCODEPAGE\n  3\nKLINGON\n  0\nENDSEC\n  0\nEOF\n")
        << QStringLiteral("Кодовая страница чертежа KLINGON не поддерживается");
  }
  void refusals() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    const QString path = FDir.filePath(QStringLiteral("bad.dxf"));
    QVERIFY(korvextest::writeFile(path, bytes));
    TDxfDrawing d;
    QString error;
    QVERIFY(!d.load(path, error));
    QVERIFY2(error.contains(message), qPrintable(error));
    QCOMPARE(korvextest::readFile(path), bytes);
  }

  // Windows-1252 (the default page) cannot hold Cyrillic: \U+ codes, which
  // the code page then decodes back unchanged; an entity without text groups
  // gets them after its subclass marker.
  void codePagesAndMissingGroups() {
    const QByteArray bytes(
        "0\r\nSECTION\r\n2\r\nENTITIES\r\n0\r\nMTEXT\r\n5\r\n2A\r\n100\r\nAcDbMText\r\n10\r\n0.0\r\n"
        "0\r\nENDSEC\r\n0\r\nEOF\r\n");
    TDxfDrawing d;
    QString error;
    QVERIFY2(d.parse(bytes, error), qPrintable(error));
    QCOMPARE(d.mtexts().size(), 1);
    const QByteArray written = d.withText(d.mtexts()[0], QStringLiteral("Ab ж é"));
    QCOMPARE(written, QByteArray("0\r\nSECTION\r\n2\r\nENTITIES\r\n0\r\nMTEXT\r\n5\r\n2A\r\n100\r\nAcDbMText\r\n"
                                 "1\r\nAb \\U+0436 \xE9\r\n10\r\n0.0\r\n0\r\nENDSEC\r\n0\r\nEOF\r\n"));
    QVERIFY(d.parse(written, error));
    QCOMPARE(d.mtexts()[0].text, QStringLiteral("Ab \\U+0436 é"));
  }

  void stringsAndChunks() {
    // Carets: decoded and written back the same way; a caret before anything
    // else stays as it is.
    QCOMPARE(CaretDecode(QStringLiteral("a^Jb^Ic^Md^ e^x^")), QStringLiteral("a\nb\tc\rd^e^x^"));
    QCOMPARE(CaretEncode(QStringLiteral("a\nb\tc\rd^e")), QStringLiteral("a^Jb^Ic^Md^ e"));

    // A code, a caret escape or a pair that would cross the 250th unit moves
    // whole into the next chunk.
    const QString pad(248, QLatin1Char('x'));
    const QString pad249(249, QLatin1Char('x'));
    QCOMPARE(SplitMTextChunks(pad + QLatin1String("\\U+0416z")),
             QStringList({pad, QStringLiteral("\\U+0416z")}));
    QCOMPARE(SplitMTextChunks(pad249 + QStringLiteral("😀")), QStringList({pad249, QStringLiteral("😀")}));
    QCOMPARE(SplitMTextChunks(pad249 + QLatin1String("^Jz")), QStringList({pad249, QStringLiteral("^Jz")}));
    QCOMPARE(SplitMTextChunks(pad + QLatin1String("ab")), QStringList({pad + QLatin1String("ab")}));
    QCOMPARE(SplitMTextChunks(QString()), QStringList({QString()}));

    // Plain text as AutoCAD shows it.
    QCOMPARE(DxfPlainText(QStringLiteral("{\\C1;\\fArial|b1;Штамп}\\P%%c20\\U+0416 \\S+0.1^-0.2;\\~\\\\%%176")),
             QStringLiteral("Штамп\nØ20Ж +0.1/-0.2 \\°"));

    // Paragraphs: an escaped backslash before P is not a paragraph break.
    const QString t = QStringLiteral("a\\Pb\\\\Pc\\P");
    QCOMPARE(MTextToLines(t), QStringList({"a", "b\\\\Pc", ""}));
    QCOMPARE(LinesToMText(MTextToLines(t)), t);
  }
};

KORVEX_TEST(TestDxf)
#include "test_dxf.moc"
