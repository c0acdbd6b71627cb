#include "TestMain.h"
#include "platform/Platform.h"

// This suite runs under the program's own application class, so that the
// error boundary in notify() is the real one.
int main(int argc, char** argv) {
  platform::Application app(argc, argv);
  app.setApplicationName("Korvex");
  return korvextest::runAll(argc, argv);
}
