#pragma once
// The files Korvex writes, each through the program's own writing code, with
// two contents (0 and 1) that differ only at their end, large enough that a
// write takes a few milliseconds: a cut-short or mixed file shows as neither.
#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <QStringList>
#include <functional>

#include "app/IniFile.h"
#include "app/Recovery.h"
#include "core/TextCodec.h"
#include "editor/Editor.h"
#include "menus/MenuModel.h"
#include "spell/UserDictionary.h"
#include "tools/Conversion.h"

namespace faults {

struct TSaveTarget {
  const char* name;
  const char* fileName;
  // Writes content 0 or 1 to path; false when the write failed.
  std::function<bool(const QString& path, int variant)> write;
};

inline TMenuTree shippedMenu() {
  static const TMenuTree tree = ReadMenuTree(QCoreApplication::applicationDirPath() + "/Support/menu.xml");
  return tree;
}

inline const QList<TSaveTarget>& saveTargets() {
  static const QList<TSaveTarget> targets = {
      {"document", "doc.txt",
       [](const QString& path, int variant) {
         QStringList lines;
         for (int i = 0; i < 5000 + variant; ++i) lines << QStringLiteral("строка %1 \\fArial;текст{\\H2x;Ø}").arg(i);
         TTextFormat format;
         format.encoding = TTextFormat::Utf8;
         QString error;
         return WriteTextFile(path, lines, format, error);
       }},
      {"recovery copy", "doc.txt-0123456789abcdef",
       [](const QString& path, int variant) {
         TEditor editor;
         QStringList lines;
         for (int i = 0; i < 5000 + variant; ++i) lines << QStringLiteral("набрано %1 {\\H2x;Ø}").arg(i);
         editor.setLines(lines);
         TTextFormat format;
         format.encoding = TTextFormat::Utf8;
         editor.setTextFormat(format);
         editor.setModified(true);
         TRecoveryCopy copy(&editor);
         copy.setCopyFile(path);
         QString error;
         return copy.writeNow(error);
       }},
      {"settings", "korvex.ini",
       [](const QString& path, int variant) {
         TIniFile ini;
         ini.setFileName(path);
         for (int i = 0; i < 1000 + variant; ++i)
           ini.writeString(QStringLiteral("Раздел%1").arg(i / 40), QStringLiteral("Key%1").arg(i), "значение");
         return ini.save();
       }},
      {"menu", "menu.xml",
       [](const QString& path, int variant) {
         TMenuTree tree;
         for (int i = 0; i < 3 + variant; ++i)
           for (const TMenuNode& n : shippedMenu()) tree.push_back(n);
         try {
           SaveMenuTree(tree, path);
           return true;
         } catch (const TMenuFileError&) {
           return false;
         }
       }},
      {"unit list", "unit_conv.xml",
       [](const QString& path, int variant) {
         TUnitConvertor units;
         for (int i = 0; i < 1200 + variant; ++i)
           units.Add(new TUnit(&units, QStringLiteral("единица %1 - другая").arg(i), 1.5 + i, QStringLiteral("подсказка")));
         return units.SaveToFile(path);
       }},
      {"word list", "words.dic",
       [](const QString& path, int variant) {
         QStringList words;
         for (int i = 0; i < 10000 + variant; ++i) words << QStringLiteral("слово%1").arg(i, 6, 10, QLatin1Char('0'));
         QString error;
         return WriteUserWordList(path, words, error);
       }},
  };
  return targets;
}

inline const TSaveTarget* findTarget(const QString& name) {
  for (const TSaveTarget& t : saveTargets())
    if (name == QLatin1String(t.name)) return &t;
  return nullptr;
}

}  // namespace faults
