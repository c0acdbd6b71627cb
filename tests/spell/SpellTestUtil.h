#pragma once
// Shared by the spelling suites: the shipped dictionaries copied next to the
// test executable, and folders made of them.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringList>

#include "platform/Platform.h"
#include "TestMain.h"

namespace spelltest {

inline QString shippedDictFolder() { return QCoreApplication::applicationDirPath() + QStringLiteral("/Support/dict/"); }

// Copies NAME.aff and NAME.dic of a shipped dictionary into folder as ASNAME.*.
inline bool copyDict(const QString& name, const QString& folder, const QString& asName = QString()) {
  const QString target = asName.isEmpty() ? name : asName;
  for (const char* ext : {".aff", ".dic"}) {
    const QString to = folder + QLatin1Char('/') + target + QLatin1String(ext);
    QFile::remove(to);
    if (!QFile::copy(shippedDictFolder() + name + QLatin1String(ext), to)) return false;
  }
  return true;
}

using korvextest::readFile;
using korvextest::writeFile;

// Collects the messages the code would show.
class TMessages {
 public:
  TMessages() {
    platform::MessageSeam seam;
    seam.ask = [](const QString&) { return QMessageBox::Cancel; };
    seam.error = [this](const QString& t) { FTexts << t; };
    seam.message = [this](const QString& t) { FTexts << t; };
    seam.beep = [this] { ++FBeeps; };
    platform::setMessageSeam(seam);
  }
  ~TMessages() { platform::setMessageSeam({}); }
  TMessages(const TMessages&) = delete;
  TMessages& operator=(const TMessages&) = delete;
  QStringList FTexts;
  int FBeeps = 0;
};

}  // namespace spelltest
