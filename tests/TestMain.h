#pragma once
// Lets one test executable hold several QTest classes: each file registers its
// class with KORVEX_TEST and the shared main runs them all.
#include <QApplication>
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

// Put once in each suite (in main.cpp of the folder).
#define KORVEX_TEST_MAIN                         \
  int main(int argc, char** argv) {              \
    QApplication app(argc, argv);                \
    app.setApplicationName("Korvex");            \
    return korvextest::runAll(argc, argv);       \
  }
