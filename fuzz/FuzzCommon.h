#pragma once
// What every fuzz target shares: one offscreen application for the whole run
// (fonts, widgets), and a scratch file for code that reads only from paths.
#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzz {

// Made once, in LLVMFuzzerInitialize; never destroyed (the run ends with exit()).
// Qt gets an argument list of its own: libFuzzer's flags are none of its business.
inline void startApplication() {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "korvex-fuzz";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  (void)app;
}

// Writes the input to a file of its own and returns the path.
inline QString writeScratch(const uint8_t* data, size_t size, const char* fileName) {
  static QTemporaryDir dir;  // removed when the run ends normally
  const QString path = dir.filePath(QString::fromLatin1(fileName));
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      f.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
    std::abort();
  return path;
}

// A broken invariant is a finding: libFuzzer saves the input.
inline void fail(const char* what, int line) {
  std::fprintf(stderr, "fuzz check failed at line %d: %s\n", line, what);
  std::abort();
}
inline void check(bool ok) {
  if (!ok) fail("invariant", 0);
}

}  // namespace fuzz

#define FUZZ_CHECK(cond) ((cond) ? void(0) : fuzz::fail(#cond, __LINE__))
