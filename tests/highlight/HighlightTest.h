#pragma once
// The shared test main needs QtWidgets, which this suite does not link (the
// highlighter is QtGui only).  With widgets at hand the shared header is used
// as it is; without, the same registry runs under a QGuiApplication.
#if __has_include(<QApplication>)
#include "TestMain.h"
#else
#include <QGuiApplication>
#include <QTest>
#include <functional>
#include <memory>
#include <vector>

namespace korvextest {
using Factory = std::function<std::unique_ptr<QObject>()>;
inline std::vector<Factory>& registry() {
  static std::vector<Factory> r;
  return r;
}
struct Registrar {
  explicit Registrar(Factory f) { registry().push_back(std::move(f)); }
};
inline int runAll(int argc, char** argv) {
  int failed = 0;
  for (auto& f : registry()) {
    auto obj = f();
    failed += QTest::qExec(obj.get(), argc, argv);
  }
  return failed == 0 ? 0 : 1;
}
}  // namespace korvextest

#define KORVEX_TEST(Class) \
  static korvextest::Registrar korvex_registrar_##Class([] { return std::unique_ptr<QObject>(new Class); });

#define KORVEX_TEST_MAIN                         \
  int main(int argc, char** argv) {              \
    QGuiApplication app(argc, argv);             \
    app.setApplicationName("Korvex");            \
    return korvextest::runAll(argc, argv);       \
  }
#endif
