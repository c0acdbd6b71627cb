// The fault suite, and the writer it starts and kills (KORVEX_FAULT_WRITER).
#include <unistd.h>

#include "SaveTargets.h"
#include "TestMain.h"

namespace {

// Writes the two contents in turn until killed, saying "b" before and "e"
// after each write, so the parent knows whether its kill landed inside one.
int runWriter(const QString& target, const QString& path) {
  const faults::TSaveTarget* t = faults::findTarget(target);
  if (!t) return 2;
  (void)!::write(STDOUT_FILENO, "r", 1);
  for (int i = 0;; ++i) {
    (void)!::write(STDOUT_FILENO, "b", 1);
    if (!t->write(path, i % 2)) return 3;
    (void)!::write(STDOUT_FILENO, "e", 1);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsSet("KORVEX_FAULT_WRITER")) {
    const QString target = qEnvironmentVariable("KORVEX_FAULT_WRITER");
    // The recovery copy is taken from an editor, a widget.
    if (target == QLatin1String("recovery copy")) {
      QApplication app(argc, argv);
      return runWriter(target, qEnvironmentVariable("KORVEX_FAULT_FILE"));
    }
    QCoreApplication app(argc, argv);
    return runWriter(target, qEnvironmentVariable("KORVEX_FAULT_FILE"));
  }
  QApplication app(argc, argv);
  app.setApplicationName("Korvex");
  return korvextest::runAll(argc, argv);
}
