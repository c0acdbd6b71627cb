#pragma once
// What the benchmarks of the main window share: a scratch folder for their
// files, and a main() that sets the program up as the user has it (menus and
// dictionaries from the copy of Support/ the test suites keep in
// build/tests), with questions answered No and settings and recovery copies
// kept in the scratch folder.
#include <QApplication>
#include <QTemporaryDir>
#include <cstdio>

#include "BenchMain.h"
#include "app/General.h"
#include "app/Session.h"
#include "platform/Paths.h"
#include "platform/Platform.h"

inline QTemporaryDir& scratch() {
  static QTemporaryDir dir;
  return dir;
}

// The run the benchmarked windows share, as in the program.
inline TSession& benchSession() {
  static TSession session;
  return session;
}

inline int runWindowBenchmarks(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchSession().SettingsFile = scratch().filePath(QStringLiteral("korvex.ini"));
  platform::ProgramPaths paths =
      platform::ResolveProgramPaths(QCoreApplication::applicationDirPath() + QStringLiteral("/../tests/korvex"));
  platform::MessageSeam seam;
  seam.ask = [](const QString&) { return QMessageBox::No; };
  seam.error = [](const QString& t) { std::fprintf(stderr, "%s\n", qPrintable(t)); };
  seam.message = seam.error;
  platform::setMessageSeam(seam);
  paths.RecoveryFolder = scratch().filePath(QStringLiteral("recovery/"));
  platform::setProgramPaths(paths);
  return runBenchmarks(argc, argv);
}
