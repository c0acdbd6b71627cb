// The settings file: defaults, every key's round trip, value forms and failures.
#include <QFile>
#include <QGuiApplication>
#include <QLocale>
#include <QRegularExpression>
#include <QScreen>
#include <QWidget>
#include <QTemporaryDir>
#include <QTest>

#include "TestMain.h"
#include "app/General.h"
#include "app/IniFile.h"
#include "core/Numbers.h"

namespace {
using korvextest::readFile;
using korvextest::writeFile;
}  // namespace

class TestGeneral : public QObject {
  Q_OBJECT
  QTemporaryDir FDir;
  TOptions Options;  // the record loaded and saved

 private slots:
  // Every key of the table reads as its default from a missing file; the
  // values themselves are pinned by the file in writesTheFilesItAlwaysWrote.
  void missingFileGivesDefaults() {
    Options = TOptions();
    TWindowPlacement p = LoadSettingsFile(FDir.filePath("none.ini"), Options);
    const QSize screen = QGuiApplication::primaryScreen()->size();
    QCOMPARE(p.Left, (screen.width() - 608) / 2);
    QCOMPARE(p.Top, (screen.height() - 384) / 2);
    for (const TSettingKey& k : SettingsTable())
      if (k.Default.isValid())
        QVERIFY2(SettingValue(k, Options, p) == k.Default, qPrintable(k.Section + QLatin1Char('/') + k.Key));
    QCOMPARE(Options.SpellLanguage, 0);  // an older file has no such key: no spelling, as before
    QVERIFY(Options.HighlightProps.hpEnable);
  }

  void everyKeyRoundTripsInTableOrder() {
    TOptions o;
    o.SwitchToRus = false;
    o.EscForExit = false;
    o.ItemDivider = QStringLiteral(" a\"b ");
    o.CommaAsSep = true;
    o.TolHeight = 0.75;
    o.SpellLanguage = 1049;
    o.EditorProps = {false, false, 222};
    o.EditorFont = {QStringLiteral("DejaVu Sans Mono"), 13, RGBColor(1, 2, 3), fsBold | fsStrikeOut};
    o.EditorColors = {RGBColor(4, 5, 6), RGBColor(7, 8, 9)};
    o.RenderProps = {{QStringLiteral("Liberation Serif"), 17, clHighlight, fsItalic}, RGBColor(10, 11, 12)};
    o.RenderMenuProps = {{QStringLiteral("Шрифт меню"), 9, RGBColor(13, 14, 15), fsUnderline}, false};
    o.HighlightProps = {RGBColor(16, 17, 18), RGBColor(19, 20, 21), clMenu, fsBold, true};
    Options = o;
    const QString path = FDir.filePath("full.ini");
    QVERIFY(SaveSettingsFile(path, Options, {2, -5, 7, 800, 600}));
    Options = TOptions();
    const TWindowPlacement p = LoadSettingsFile(path, Options);
    QCOMPARE(p.State, 2);
    QCOMPARE(p.Left, -5);
    QCOMPARE(p.Top, 7);
    QCOMPARE(p.Width, 800);
    QCOMPARE(p.Height, 600);
    QCOMPARE(Options.SwitchToRus, false);
    QCOMPARE(Options.EscForExit, false);
    QCOMPARE(Options.ItemDivider, o.ItemDivider);
    QCOMPARE(Options.CommaAsSep, true);
    QCOMPARE(Options.TolHeight, 0.75);
    QCOMPARE(Options.SpellLanguage, 1049);
    QCOMPARE(Options.EditorProps.epWordWrap, false);
    QCOMPARE(Options.EditorProps.epAutoIndent, false);
    QCOMPARE(Options.EditorProps.epHeight, 222);
    auto sameFont = [](const TFontProps& a, const TFontProps& b) {
      return a.fpName == b.fpName && a.fpSize == b.fpSize && a.fpColor == b.fpColor && a.fpStyle == b.fpStyle;
    };
    QVERIFY(sameFont(Options.EditorFont, o.EditorFont));
    QVERIFY(sameFont(Options.RenderProps.rpFont, o.RenderProps.rpFont));
    QVERIFY(sameFont(Options.RenderMenuProps.rmFont, o.RenderMenuProps.rmFont));
    QCOMPARE(Options.EditorColors.ecBackground, o.EditorColors.ecBackground);
    QCOMPARE(Options.EditorColors.ecActiveLine, o.EditorColors.ecActiveLine);
    QCOMPARE(Options.RenderProps.rpBackColor, o.RenderProps.rpBackColor);
    QCOMPARE(Options.RenderMenuProps.rmUseSysFont, false);
    QCOMPARE(Options.HighlightProps.hpColor, o.HighlightProps.hpColor);
    QCOMPARE(Options.HighlightProps.hpNumColor, o.HighlightProps.hpNumColor);
    QCOMPARE(Options.HighlightProps.hpSymColor, clMenu);
    QCOMPARE(Options.HighlightProps.hpStyle, TFontStyles(fsBold));
    QCOMPARE(Options.HighlightProps.hpEnable, true);

    const QString text = QString::fromUtf8(readFile(path));
    QVERIFY(text.contains(QStringLiteral("ItemDivider=\" a\"\"b \"\r\n")));
    QVERIFY(text.contains(QStringLiteral("SymColor=-16777212\r\n")));
    QVERIFY(text.contains(QStringLiteral("FontColor=-16777203\r\n")));
    TIniFile ini(path);
    QStringList written, table;
    for (const QString& section : ini.sections())
      for (const QString& key : ini.keys(section)) written << section + QLatin1Char('/') + key;
    for (const TSettingKey& k : SettingsTable()) table << k.Section + QLatin1Char('/') + k.Key;
    QCOMPARE(written, table);
    QCOMPARE(ini.readString("Main", "TolHeight", QString()), QLocale::system().toString(0.75));
  }

  // Files written before the settings became one table, for the defaults and
  // for values with system colours, quotes, commas and Cyrillic: the same
  // settings still give the same bytes (the decimal follows the locale).
  void writesTheFilesItAlwaysWrote() {
    auto fixture = [](const char* name) {
      return readFile(QStringLiteral(KORVEX_SOURCE_DIR "/tests/data/") + QLatin1String(name))
          .replace("TolHeight=0.", QByteArray("TolHeight=0") + QString(SystemDecimalSeparator()).toUtf8());
    };
    const QString path = FDir.filePath("same.ini");
    LoadSettingsFile(FDir.filePath("absent.ini"), Options);
    QVERIFY(SaveSettingsFile(path, Options, {0, 10, 20, 608, 384}));
    QCOMPARE(readFile(path), fixture("settings-defaults.ini"));

    TOptions o;
    o.SwitchToRus = false;
    o.EscForExit = true;
    o.ItemDivider = QStringLiteral(" \"№\", ");
    o.CommaAsSep = true;
    o.TolHeight = 0.75;
    o.SpellLanguage = 1049;
    o.EditorProps = {false, true, 237};
    o.EditorFont = {QStringLiteral("DejaVu Sans Mono"), 13, clHighlightText, TFontStyles(fsItalic | fsUnderline)};
    o.EditorColors = {clWindow, RGBColor(1, 2, 3)};
    o.RenderProps = {{QStringLiteral("Шрифт, с запятой"), 17, RGBColor(10, 20, 30), TFontStyles(fsBold | fsStrikeOut)},
                     clBtnFace};
    o.RenderMenuProps = {{QStringLiteral("Tahoma Ж"), 9, clWindowText, TFontStyles(fsBold)}, false};
    o.HighlightProps = {clHighlight, RGBColor(4, 5, 6), RGBColor(7, 8, 9), fsBold, false};
    Options = o;
    QFile::remove(path);
    QVERIFY(SaveSettingsFile(path, Options, {2, -1921, -3, 1000, 700}));
    QCOMPARE(readFile(path), fixture("settings-custom.ini"));
    // Read back and written again: nothing moves.
    Options = TOptions();
    QVERIFY(SaveSettingsFile(path, Options, LoadSettingsFile(path, Options)));
    QCOMPARE(readFile(path), fixture("settings-custom.ini"));
  }

  void valueFormsOnRead() {
    const QString path = FDir.filePath("forms.ini");
    QVERIFY(writeFile(path,
              "\xEF\xBB\xBF; comment\r\n[main]\r\nitemdivider=- \r\nTolHeight=0,8\r\nSwitchToRus=7\r\n"
              "junk line\r\n[Editor]\r\nFontStyle=5\r\nFontColor=-16777208\r\nBackColor=4278190093\r\n"
              "[Highlight]\r\nFontStyle=5\r\n[Unknown]\r\nKeep=me\r\n"));
    LoadSettingsFile(path, Options);
    QCOMPARE(Options.ItemDivider, QStringLiteral("- "));
    QCOMPARE(Options.TolHeight, 0.8);
    QVERIFY(Options.SwitchToRus);
    QCOMPARE(Options.EditorFont.fpStyle, TFontStyles(fsBold | fsUnderline));
    QCOMPARE(Options.HighlightProps.hpStyle, TFontStyles(fsBold | fsUnderline));
    QCOMPARE(Options.EditorFont.fpColor, clWindowText);
    QCOMPARE(Options.EditorColors.ecBackground, clHighlight);
    QVERIFY(SaveSettingsFile(path, Options, {}));
    const QString text = QString::fromUtf8(readFile(path));
    QVERIFY(text.contains(QStringLiteral("ItemDivider=\"- \"\r\n")));
    QVERIFY(text.contains(QStringLiteral("[Unknown]\r\nKeep=me\r\n")));
    QVERIFY(writeFile(path, "[Main]\nTolHeight=0.9\n"));
    LoadSettingsFile(path, Options);
    QCOMPARE(Options.TolHeight, 0.9);
  }

  void unreadableValuesGiveDefaults() {
    const QString path = FDir.filePath("broken.ini");
    QVERIFY(writeFile(path,
              "[Window]\r\nWidth=wide\r\nState=\r\n[Main]\r\nEscForExit=yes\r\nTolHeight=0.6.1\r\n"
              "[Editor]\r\nHeight=12px\r\nBackColor=#FFFFFF\r\nFontSize=1e3\r\n"
              "[Render]\r\nFontColor=red\r\n[Highlight]\r\nNumColor=99999999999\r\nEnable=x\r\n"));
    TWindowPlacement p = LoadSettingsFile(path, Options);
    for (const char* key : {"Window/Width", "Window/State", "Main/EscForExit", "Main/TolHeight", "Editor/Height",
                            "Editor/BackColor", "Editor/FontSize", "Render/FontColor", "Highlight/NumColor",
                            "Highlight/Enable"}) {
      const QStringList name = QString::fromLatin1(key).split(QLatin1Char('/'));
      const TSettingKey& k = SettingKey(name[0], name[1]);
      QVERIFY2(SettingValue(k, Options, p) == k.Default, key);
    }
    QVERIFY(Options.HighlightProps.hpEnable);
    QVERIFY(writeFile(path, "[Main]\r\nTolHeight=nan\r\n"));
    LoadSettingsFile(path, Options);
    QCOMPARE(Options.TolHeight, SettingKey("Main", "TolHeight").Default.toDouble());
    // Highlighting is on unless the file says otherwise; a stored "off" stays off.
    QVERIFY(writeFile(path, "[Highlight]\r\nEnable=0\r\n"));
    LoadSettingsFile(path, Options);
    QVERIFY(!Options.HighlightProps.hpEnable);
  }

  void cp1251FileReads() {
    const QString path = FDir.filePath("ansi.ini");
    QVERIFY(writeFile(path, "[Editor]\r\nFontName=\xCA\xF3\xF0\xFC\xE5\xF0\r\n"));
    LoadSettingsFile(path, Options);
    QCOMPARE(Options.EditorFont.fpName, QStringLiteral("Курьер"));
  }

  void failedSaveKeepsOldFile() {
    const QString blocker = FDir.filePath("plain");
    QVERIFY(writeFile(blocker, "old"));
    QVERIFY(!SaveSettingsFile(blocker + "/korvex.ini", Options, {}));
    QCOMPARE(readFile(blocker), QByteArray("old"));
    QVERIFY(!SaveSettingsFile(FDir.path(), Options, {}));  // a folder cannot be replaced
    QVERIFY(QFileInfo(FDir.path()).isDir());
  }

  // Saving used to open a nameless file first, which Qt reports on every save.
  void savingPrintsNoWarning() {
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
    QVERIFY(SaveSettingsFile(FDir.filePath("quiet.ini"), Options, {}));
    QVERIFY(SaveSettingsFile(FDir.filePath("quiet.ini"), Options, {}));
  }

  void frameOnScreens_data() {
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QRect>("expected");
    // Two monitors side by side; the right one was 1920 wide and is gone.
    QTest::newRow("on the first") << QRect(100, 50, 608, 384) << QRect(100, 50, 608, 384);
    QTest::newRow("across both") << QRect(1200, 50, 608, 384) << QRect(1200, 50, 608, 384);
    QTest::newRow("mostly off the left edge") << QRect(-540, 50, 608, 384) << QRect(-540, 50, 608, 384);
    QTest::newRow("far left") << QRect(-99999, 50, 608, 384) << QRect(0, 50, 608, 384);
    QTest::newRow("removed monitor") << QRect(3000, 200, 608, 384) << QRect(2312, 200, 608, 384);
    QTest::newRow("below the second") << QRect(1500, 5000, 608, 384) << QRect(1500, 640, 608, 384);
    QTest::newRow("title bar above the top") << QRect(100, -200, 608, 384) << QRect(100, 0, 608, 384);
    QTest::newRow("larger than the screen") << QRect(-99999, -99999, 4000, 3000) << QRect(0, 0, 1280, 1024);
  }
  void frameOnScreens() {
    QFETCH(QRect, frame);
    QFETCH(QRect, expected);
    const QList<QRect> areas{QRect(0, 0, 1280, 1024), QRect(1280, 0, 1640, 1024)};
    QCOMPARE(FitFrameOnScreens(frame, areas), expected);
    QCOMPARE(FitFrameOnScreens(frame, {}), frame);
  }

  void offScreenWindowComesBack() {
    const QString path = FDir.filePath("offscreen.ini");
    QVERIFY(writeFile(path, "[Window]\r\nLeft=-99999\r\nTop=2147483647\r\nWidth=2147483647\r\nHeight=300\r\n"));
    QWidget w;
    LoadSettings(&w, path, Options);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(!area.isEmpty());
    QVERIFY2(area.contains(QRect(w.pos(), w.size())), qPrintable(QStringLiteral("%1,%2 %3x%4").arg(
        w.x()).arg(w.y()).arg(w.width()).arg(w.height())));
  }

  // app_ru runs this suite under ru_RU.UTF-8; without the locale installed it
  // would quietly be a second run under the C locale.
  void systemSeparatorAsExpected() {
    const QByteArray expected = qgetenv("KORVEX_EXPECT_DECIMAL");
    if (expected.isEmpty()) QSKIP("not a locale run");
    QCOMPARE(SystemDecimalSeparator(), QLatin1Char(expected.at(0)));
  }

  void styleBits() {
    QCOMPARE(IntToFontStyles(5), TFontStyles(fsBold | fsUnderline));
    QCOMPARE(FontStylesToInt(fsItalic | fsStrikeOut), 10);
  }
};

KORVEX_TEST(TestGeneral)
#include "test_general.moc"
