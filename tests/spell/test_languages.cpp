// The language table, tags, dictionary file names and display names.
#include <QTest>

#include "TestMain.h"
#include "spell/SpellLanguages.h"

class TestSpellLanguages : public QObject {
  Q_OBJECT
 private slots:
  void tableKeepsItsRows() {
    QCOMPARE(LanguageTable[0].Id, std::uint16_t(0x007F));
    QCOMPARE(QLatin1String(LanguageTable[0].Tag), QLatin1String("en_ru"));
    QCOMPARE(QLatin1String(LanguageTable[78].Tag), QLatin1String("ru"));
    QCOMPARE(LanguageTable[78].Id, std::uint16_t(0x0419));
    QCOMPARE(QLatin1String(LanguageTable[109].Tag), QLatin1String("vi"));
    QCOMPARE(LanguageTable[109].Id, std::uint16_t(0x042A));
    // Repeated tags and identifiers: the first row wins.
    QCOMPARE(LangTagToId("sr"), std::uint16_t(0x041A));
    QCOMPARE(LangTagToId("es"), std::uint16_t(0x040A));
    QCOMPARE(LangTagToId("en-uk"), std::uint16_t(0x0809));
  }

  void tagToId_data() {
    QTest::addColumn<QString>("tag");
    QTest::addColumn<int>("id");
    QTest::newRow("ru_RU by its first two letters") << "ru_RU" << 0x0419;
    QTest::newRow("EN-GB, letter case ignored") << "EN-GB" << 0x0809;
    QTest::newRow("en_ZZ: the first row beginning with en") << "en_ZZ" << 0x007F;
    QTest::newRow("qq: English (US)") << "qq" << 0x0409;
    QTest::newRow("empty") << "" << 0x0409;
    QTest::newRow("pt-br holds a primary number") << "pt-br" << 0x0016;
  }
  void tagToId() {
    QFETCH(QString, tag);
    QFETCH(int, id);
    QCOMPARE(int(LangTagToId(tag)), id);
  }

  void fileNameToRow_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("tag");
    QTest::newRow("ru_RU") << "ru_RU" << "ru";
    QTest::newRow("en_US") << "en_US" << "en-us";
    QTest::newRow("en_ru: the combined dictionary") << "en_ru" << "en_ru";
    QTest::newRow("de_AT") << "de_AT" << "de-at";
    QTest::newRow("de_XX: no row is exactly de") << "de_XX" << "";
    QTest::newRow("xx_YY") << "xx_YY" << "";
    QTest::newRow("EN_GB, letter case ignored") << "EN_GB" << "en-gb";
    QTest::newRow("longer names: five characters count") << "en_US-large" << "en-us";
  }
  void fileNameToRow() {
    QFETCH(QString, name);
    QFETCH(QString, tag);
    const int row = GetLanguageIndex(name);
    QCOMPARE(row < 0 ? QString() : QString::fromLatin1(LanguageTable[row].Tag), tag);
  }

  void displayNames() {
    QCOMPARE(LangIdToName(0x0419), QStringLiteral("Русский"));
    QCOMPARE(LangIdToName(0x0409), QStringLiteral("Английский (США)"));
    QCOMPARE(LangIdToName(0x0809), QStringLiteral("Английский (Великобритания)"));
    QCOMPARE(LangIdToName(0x007F), QStringLiteral("Англо-русский (Великобритания-Россия)"));
    QCOMPARE(LangIdToName(0x0422), QStringLiteral("Украинский"));
    QCOMPARE(LangIdToName(0x0000), QStringLiteral("<?>"));
    QCOMPARE(LangIdToName(0x7777), QStringLiteral("<?>"));
    // Every row has a name of its own.
    for (const TLanguageRow& row : LanguageTable) {
      const QString name = LangIdToName(row.Id);
      QVERIFY2(!name.isEmpty() && name != QLatin1String("<?>") && name != QLatin1String(row.Tag), row.Tag);
    }
  }
};

KORVEX_TEST(TestSpellLanguages)
#include "test_languages.moc"
