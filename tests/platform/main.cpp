#include "TestMain.h"
#include "platform/Platform.h"

// Runs the watchdog probes (test_dialogseam.cpp) in place of the suite.
int runWatchdogProbe(int argc, char** argv);

// This suite runs under the program's own application class, so that the
// error boundary in notify() is the real one.
int main(int argc, char** argv) {
  platform::Application app(argc, argv);
  app.setApplicationName("Korvex");
  if (!qEnvironmentVariableIsEmpty("KORVEX_WATCHDOG_PROBE")) return runWatchdogProbe(argc, argv);
  return korvextest::runAll(argc, argv);
}
