#pragma once
// Lets one test executable hold several QTest classes: each file registers its
// class with KORVEX_TEST and the shared main runs them all.
//
// A test never waits for a user.  Two watchdogs keep a forgotten dialog or a
// test that does not return from hanging the suite:
// - a modal window open for more than KORVEX_MODAL_TIMEOUT_MS (10 s) fails the
//   running test, naming the window, and is closed so the suite goes on;
// - a test function running longer than QTEST_FUNCTION_TIMEOUT (120 s unless
//   given: far above the modal limit, so that a forgotten dialog is named and
//   closed first, and above what the large-document tests take under the
//   sanitizers on a busy machine) is ended by Qt Test with "Test function timed out" and the
//   function's name.  Qt's stack dump runs gdb, which can hang where attaching
//   is not allowed: it is off unless QTEST_DISABLE_STACK_DUMP is given.
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QTest>
#include <QTimer>
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

// Whole-file helpers: a failed write is false, an unreadable file is empty.
inline bool writeFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
inline QByteArray readFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

constexpr int kModalLimitMs = 10000;
constexpr int kFunctionLimitMs = 120000;

inline int modalLimitMs() {
  bool ok = false;
  const int ms = qEnvironmentVariableIntValue("KORVEX_MODAL_TIMEOUT_MS", &ok);
  return ok && ms > 0 ? ms : kModalLimitMs;
}

// Runs in the main thread: a modal loop still serves its timers, so it sees the
// window that nobody answers.
class ModalWatchdog : public QObject {
 public:
  ModalWatchdog() : FLimitMs(modalLimitMs()) {
    FTimer.setInterval(qBound(10, FLimitMs / 10, 200));
    QObject::connect(&FTimer, &QTimer::timeout, this, [this] { check(); });
    FTimer.start();
  }

 private:
  void check() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != FModal.data()) {
      FModal = modal;
      FOpenFor.start();
      return;
    }
    if (!modal || FOpenFor.elapsed() < FLimitMs) return;
    const QByteArray message =
        QStringLiteral("modal window %1 \"%2\" waited %3 ms for a user: open it through platform::execDialog "
                       "with a script (platform::ScopedDialogScript)")
            .arg(QLatin1String(modal->metaObject()->className()), modal->windowTitle())
            .arg(FOpenFor.elapsed())
            .toUtf8();
    QTest::qFail(message.constData(), __FILE__, __LINE__);
    FModal = nullptr;
    if (auto* dialog = qobject_cast<QDialog*>(modal))
      dialog->reject();
    else
      modal->close();
  }

  const int FLimitMs;
  QTimer FTimer;
  QPointer<QWidget> FModal;
  QElapsedTimer FOpenFor;
};

inline int runAll(int argc, char** argv, const std::vector<Factory>& factories = registry()) {
  if (qEnvironmentVariableIsEmpty("QTEST_FUNCTION_TIMEOUT"))
    qputenv("QTEST_FUNCTION_TIMEOUT", QByteArray::number(kFunctionLimitMs));
  if (!qEnvironmentVariableIsSet("QTEST_DISABLE_STACK_DUMP")) qputenv("QTEST_DISABLE_STACK_DUMP", "1");
  ModalWatchdog watchdog;
  int failed = 0;
  for (auto& f : factories) {
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
