#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "TestMain.h"
#include "platform/Platform.h"
#include "tools/Conversion.h"

// The unit list and its file, on real files in a temporary folder.
class TestConversion : public QObject {
  Q_OBJECT

  QTemporaryDir FDir;
  QStringList FErrors;

  QString write(const QString& name, const QByteArray& content) {
    const QString path = FDir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(path));
    f.write(content);
    return path;
  }
  static QByteArray read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

 private slots:
  void init() {
    FErrors.clear();
    platform::MessageSeam seam;
    seam.error = [this](const QString& text) { FErrors << text; };
    seam.message = seam.error;
    platform::setMessageSeam(seam);
  }
  void cleanup() {
    platform::setMessageSeam({});
    QLocale::setDefault(QLocale::c());
  }

  void cleanStrToFloat() {
    QCOMPARE(CleanStrToFloat("25.4", 1), 25.4);
    QCOMPARE(CleanStrToFloat("25,4", 1), 25.4);
    QCOMPARE(CleanStrToFloat("25.4 mm", 1), 25.4);
    QCOMPARE(CleanStrToFloat(" 1 000,5 мм", 1), 1000.5);
    QCOMPARE(CleanStrToFloat("-1.5E-3", 1), -0.0015);
    QCOMPARE(CleanStrToFloat("abc", 1), 1.0);
    QCOMPARE(CleanStrToFloat("", 7), 7.0);
    QCOMPARE(CleanStrToFloat("1.2.3", 7), 7.0);
    QCOMPARE(CleanStrToFloat("1e999", 7), 7.0);
  }

  void factorText() {
    QCOMPARE(FactorToStr(25.4, ','), QStringLiteral("25,4"));
    QCOMPARE(FactorToStr(0.1 + 0.2, '.'), QStringLiteral("0.3"));
    QCOMPARE(FactorToStr(1.0 / 3, '.'), QStringLiteral("0.333333333333333"));
    QCOMPARE(FactorToStr(100, '.'), QStringLiteral("100"));
    QCOMPARE(FactorToStr(-2.5, ','), QStringLiteral("-2,5"));
    QCOMPARE(FactorToStr(0.0001, '.'), QStringLiteral("0.0001"));
    QCOMPARE(FactorToStr(0.00001, '.'), QStringLiteral("1E-5"));
    QCOMPARE(FactorToStr(1.5e20, ','), QStringLiteral("1,5E20"));
    QCOMPARE(FactorToStr(123456789012345.0, '.'), QStringLiteral("123456789012345"));
    QCOMPARE(FactorToStr(0, '.'), QStringLiteral("0"));
  }

  void everyChangeMarksTheListModified() {
    TUnitConvertor list;
    auto check = [&list](auto change) {
      list.setModified(false);
      change();
      return list.Modified();
    };
    QVERIFY(check([&] { list.Add(new TUnit(&list, "a", 1, "")); }));
    QVERIFY(check([&] { list.Insert(0, new TUnit(&list, "b", 2, "")); }));
    QVERIFY(check([&] { list.Exchange(0, 1); }));
    QVERIFY(check([&] { list.SetUnit(1, new TUnit(nullptr, "c", 3, "")); }));
    QVERIFY(check([&] { list.GetUnit(1)->setHint(list.GetUnit(1)->Hint()); }));  // unchanged value too
    QVERIFY(check([&] { list.Delete(0); }));
    QCOMPARE(list.Count(), 1);
    QCOMPARE(list.GetUnit(0)->Caption(), QStringLiteral("c"));
    QCOMPARE(list.GetUnit(0)->Owner(), &list);
    QVERIFY(!list.GetUnit(-1));
    QCOMPARE(list.GetUnit(0)->Convert(2, true), 6.0);
    QCOMPARE(list.GetUnit(0)->Convert(6, false), 2.0);
  }

  void shippedListReads() {
    TUnitConvertor list;
    QVERIFY(list.LoadFromFile(QStringLiteral(KORVEX_SOURCE_DIR "/Support/unit_conv.xml")));
    QVERIFY(list.Count() >= 12);
    QCOMPARE(list.GetUnit(0)->Forward(), 25.4);
    for (int i = 0; i < list.Count(); ++i) {
      const TUnit* unit = list.GetUnit(i);
      QVERIFY2(!unit->Caption().isEmpty() && !unit->Hint().isEmpty(), qPrintable(unit->Caption()));
      // No factor fell back to 1 (the kelvins have 1 and an offset).
      QVERIFY2(unit->Forward() != 1.0 || unit->Offset() != 0, qPrintable(unit->Caption()));
    }
  }

  void readingTakesOnlyItemsWithTheThreeAttributes() {
    const QString path = write("units.xml",
                               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                               "<LIST>\n"
                               "  <ITEM CAP=\"дюймы - мм\" FWD=\"25.4\" HINT=\"1 дюйм\"/>\n"
                               "  <ITEM CAP=\"comma\" FWD=\"25,4\" HINT=\"\"/>\n"
                               "  <GROUP><DEEP><ITEM HINT=\"h\" FWD=\"25.4 mm\" CAP=\"deep\">text</ITEM></DEEP></GROUP>\n"
                               "  <ITEM CAP=\"bad factor\" FWD=\"abc\" HINT=\"\"/>\n"
                               "  <ITEM CAP=\"four\" FWD=\"2\" HINT=\"\" EXTRA=\"x\"/>\n"
                               "  <ITEM OFS=\"-17,5\" CAP=\"offset\" FWD=\"2\" HINT=\"\"/>\n"
                               "  <ITEM CAP=\"no hint\" FWD=\"2\" NOTE=\"\"/>\n"
                               "  <ITEMS CAP=\"other name\" FWD=\"2\" HINT=\"\"/>\n"
                               "</LIST>\n");
    TUnitConvertor list;
    list.Add(new TUnit(&list, "kept", 3, ""));
    QVERIFY(list.LoadFromFile(path));
    QVERIFY(!list.Modified());
    QCOMPARE(list.FileName(), path);
    QCOMPARE(list.Count(), 6);  // appended to what the list held
    QCOMPARE(list.GetUnit(5)->Offset(), -17.5);
    QCOMPARE(list.GetUnit(5)->Convert(10, true), 2.5);
    QCOMPARE(list.GetUnit(5)->Convert(2.5, false), 10.0);
    QCOMPARE(list.GetUnit(1)->Offset(), 0.0);
    QCOMPARE(list.GetUnit(1)->Caption(), QStringLiteral("дюймы - мм"));
    QCOMPARE(list.GetUnit(1)->Hint(), QStringLiteral("1 дюйм"));
    QCOMPARE(list.GetUnit(2)->Forward(), 25.4);
    QCOMPARE(list.GetUnit(3)->Caption(), QStringLiteral("deep"));
    QCOMPARE(list.GetUnit(3)->Forward(), 25.4);
    QCOMPARE(list.GetUnit(4)->Forward(), 1.0);
  }

  void brokenOrMissingFileKeepsWhatWasRead() {
    const QString path = write("broken.xml",
                               "<ROOT><ITEM CAP=\"a\" FWD=\"2\" HINT=\"\"/><ITEM CAP=\"b\" FWD=\"3\" HINT=\"\"/><ITEM CAP=");
    const QByteArray bytes = read(path);
    {
      TUnitConvertor list;
      QVERIFY(!list.LoadFromFile(path));
      QCOMPARE(list.Count(), 2);
      QVERIFY(!list.Modified());
      QVERIFY(list.BrokenFile());
      QVERIFY2(list.LoadError().startsWith("Ошибка в списке единиц " + QDir::toNativeSeparators(path) +
                                           ": строка 1, позиция "),
               qPrintable(list.LoadError()));
      list.GetUnit(0)->setCaption("changed");
    }  // a list read in part never replaces the whole file on its own
    QCOMPARE(read(path), bytes);
    {
      TUnitConvertor list;
      list.LoadFromFile(path);
      list.GetUnit(0)->setCaption("changed");
      list.setBrokenFile(false);  // the user agreed
    }
    TUnitConvertor mended;
    QVERIFY(mended.LoadFromFile(path));
    QCOMPARE(mended.Count(), 2);
    QCOMPARE(mended.GetUnit(0)->Caption(), QStringLiteral("changed"));
    QVERIFY(FErrors.isEmpty());

    TUnitConvertor none;
    QVERIFY(!none.LoadFromFile(FDir.filePath("missing.xml")));
    QCOMPARE(none.Count(), 0);
    QCOMPARE(none.FileName(), FDir.filePath("missing.xml"));

    // No entity of the document reaches outside it.
    const QString outside = write("secret.txt", "secret");
    const QString entity = write("entity.xml",
                                 "<!DOCTYPE ROOT [<!ENTITY x SYSTEM \"" + outside.toUtf8() +
                                     "\">]><ROOT><ITEM CAP=\"&x;\" FWD=\"1\" HINT=\"\"/></ROOT>");
    TUnitConvertor ext;
    ext.LoadFromFile(entity);
    for (int i = 0; i < ext.Count(); ++i) QVERIFY(!ext.GetUnit(i)->Caption().contains("secret"));
  }

  void savingWritesDeclarationRootAndAttributeOrder() {
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    TUnitConvertor list;
    list.Add(new TUnit(&list, "дюймы - миллиметры", 25.4, "1 дюйм = 25,4 мм"));
    list.Add(new TUnit(&list, "", 1e-6, "<&\">"));
    list.Add(new TUnit(&list, "a\nb\tc\r\nd  ", 2, " "));
    list.Add(new TUnit(&list, "°F - °C", 5.0 / 9, "", -160.0 / 9));
    // What XML cannot hold (a lone surrogate, control characters) is dropped
    // instead of making the whole list unsavable.
    list.Add(new TUnit(&list, QStringLiteral("x\u0001y") + QChar(0xD800) + "z", 3, QString(QChar(0)) + "h"));
    const QString path = FDir.filePath("saved.xml");
    QVERIFY(list.SaveToFile(path));
    QVERIFY(!list.Modified());
    QCOMPARE(list.FileName(), path);

    const QString text = QString::fromUtf8(read(path));
    QVERIFY(text.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    QVERIFY(text.contains("<ROOT>"));
    QVERIFY(text.contains("<ITEM CAP=\"дюймы - миллиметры\" FWD=\"25,4\" HINT=\"1 дюйм = 25,4 мм\"/>"));
    QVERIFY(text.contains(QRegularExpression("<ITEM CAP=\"\" FWD=\"1E-6\" HINT=\"&lt;&amp;&quot;&gt;\"/>")));
    // The offset only where there is one, after the three an older reader knows.
    QVERIFY(text.contains("<ITEM CAP=\"°F - °C\" FWD=\"0,555555555555556\" HINT=\"\" OFS=\"-17,7777777777778\"/>"));
    QCOMPARE(text.count("OFS="), 1);

    QLocale::setDefault(QLocale::c());
    TUnitConvertor back;
    QVERIFY(back.LoadFromFile(path));
    QCOMPARE(back.Count(), 5);
    QCOMPARE(back.GetUnit(3)->Offset(), -17.7777777777778);
    QCOMPARE(back.GetUnit(4)->Caption(), QStringLiteral("xyz"));
    QCOMPARE(back.GetUnit(4)->Hint(), QStringLiteral("h"));
    QCOMPARE(back.GetUnit(0)->Forward(), 25.4);
    QCOMPARE(back.GetUnit(2)->Caption(), QStringLiteral("a\nb\tc\r\nd  "));  // breaks and tabs survive
    QCOMPARE(back.GetUnit(2)->Hint(), QStringLiteral(" "));
    QCOMPARE(back.GetUnit(1)->Forward(), 1e-6);
    QCOMPARE(back.GetUnit(1)->Hint(), QStringLiteral("<&\">"));
  }

  void editsWrittenAtTheEndOfTheRunOnly() {
    const QByteArray original = "<ROOT>\n<ITEM CAP=\"a\" FWD=\"2\" HINT=\"\"/>\n<ITEM CAP=\"b\" FWD=\"3\" HINT=\"\"/>\n</ROOT>";
    const QString path = write("writeback.xml", original);
    {
      TUnitConvertor list;
      list.LoadFromFile(path);
      list.GetUnit(0)->setCaption(list.GetUnit(0)->Caption());  // a write without a change counts
      list.setModified(false);
    }
    QCOMPARE(read(path), original);  // not modified: untouched, byte for byte

    auto units = std::make_unique<TUnitConvertor>();
    units->LoadFromFile(path);
    units->Exchange(0, 1);
    units->GetUnit(0)->setForward(4.5);
    QCOMPARE(read(path), original);  // nothing is written before the end
    units.reset();
    TUnitConvertor back;
    back.LoadFromFile(path);
    QCOMPARE(back.Count(), 2);
    QCOMPARE(back.GetUnit(0)->Caption(), QStringLiteral("b"));
    QCOMPARE(back.GetUnit(0)->Forward(), 4.5);
    QVERIFY(FErrors.isEmpty());
  }

  // A write that cannot be done is reported and leaves the old file whole.
  void failedWriteIsReportedNotSilent() {
    const QString blocked = FDir.filePath("no-such-folder/unit_conv.xml");
    auto* list = new TUnitConvertor;
    list->Add(new TUnit(list, "a", 2, ""));
    QVERIFY(!list->SaveToFile(blocked));
    QVERIFY(list->Modified());
    QVERIFY(list->FileName().isEmpty());
    list->LoadFromFile(blocked);  // the list now belongs to that path
    list->Add(new TUnit(list, "b", 3, ""));
    delete list;
    QCOMPARE(FErrors.size(), 1);
    QVERIFY(FErrors.first().startsWith(QStringLiteral("Ошибка при сохранении ") + QDir::toNativeSeparators(blocked)));

    // A target that cannot be replaced (a folder in the way) fails whole:
    // no temporary file is left beside it.
    QTemporaryDir dir;
    const QString folder = dir.filePath("unit_conv.xml");
    QDir().mkpath(folder);
    TUnitConvertor dirTarget;
    dirTarget.Add(new TUnit(&dirTarget, "a", 2, ""));
    QVERIFY(!dirTarget.SaveToFile(folder));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
    dirTarget.setModified(false);
  }
};

KORVEX_TEST(TestConversion)
#include "test_conversion.moc"
