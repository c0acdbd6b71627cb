// The settings file codec on any bytes: everything read survives writing the
// file and reading it again, and number reading never fails loudly.
#include <QStringList>

#include "app/IniFile.h"
#include "fuzz/FuzzCommon.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::startApplication();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const TIniFile ini(fuzz::writeScratch(data, size, "korvex.ini"));
  for (const QString& section : ini.sections())
    for (const QString& key : ini.keys(section)) {
      FUZZ_CHECK(ini.hasKey(section, key));
      const int n = ini.readInteger(section, key, 7);
      FUZZ_CHECK(ini.readBool(section, key, false) == (n != 0) || n == 7);
    }

  const QByteArray written = ini.toText().toUtf8();
  const TIniFile again(fuzz::writeScratch(reinterpret_cast<const uint8_t*>(written.constData()),
                                          size_t(written.size()), "again.ini"));
  FUZZ_CHECK(again.sections() == ini.sections());
  for (const QString& section : ini.sections()) {
    FUZZ_CHECK(again.keys(section) == ini.keys(section));
    for (const QString& key : ini.keys(section))
      FUZZ_CHECK(again.readString(section, key, QString()) == ini.readString(section, key, QString()));
  }
  FUZZ_CHECK(again.toText() == ini.toText());
  return 0;
}
