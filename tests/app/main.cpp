#include <QTemporaryDir>
#include <cstring>

#include "TestMain.h"
#include "platform/Paths.h"

// tests/app/test_recovery.cpp: a main window in a process of its own, ended by a signal.
int RecoverySignalChild(const QString& document, const QString& folder);

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  app.setApplicationName("Korvex");
  if (argc == 4 && std::strcmp(argv[1], "--recovery-child") == 0)
    return RecoverySignalChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
  // Recovery copies of the texts the tests leave modified go to a folder of
  // the run's own, not beside the suite or into the user's state folder.
  QTemporaryDir state;
  qputenv("XDG_STATE_HOME", state.path().toUtf8());
  platform::ProgramPaths paths = platform::programPaths();
  paths.RecoveryFolder = state.filePath(QStringLiteral("recovery/"));
  platform::setProgramPaths(paths);
  return korvextest::runAll(argc, argv);
}
