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
//
// A crash ends the executable at once, failed, with what happened and a stack:
// - an exception escaping a test function (Qt Test records it and throws it
//   on) is caught here: its message, the test it left and the stack where it
//   was thrown are printed and the executable exits with 1;
// - an uncaught exception elsewhere, an abort or a fatal signal prints its
//   message and a stack once; the handler is reset before it runs, so the
//   signal then takes its default course and nothing can loop.  Qt Test's own
//   crash handler is off (-nocrashhandler); a handler already installed (the
//   sanitizers') is left in place.
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <cxxabi.h>
#include <cstring>
#include <exception>
#include <execinfo.h>
#include <functional>
#include <memory>
#include <signal.h>
#include <typeinfo>
#include <unistd.h>
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
// QTest::keyClicks knows only ASCII; Cyrillic is typed as key events with text.
inline void typeText(QWidget* w, const QString& text) {
  for (QChar ch : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(w, &release);
  }
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

// Where the latest exception of this thread was thrown (ThrowSite.cpp).
struct ThrowSite {
  static constexpr int kFrames = 64;
  const void* object = nullptr;
  const std::type_info* type = nullptr;
  void* frames[kFrames];
  int count = 0;
};
const ThrowSite& lastThrowSite();

// Only async-signal-safe calls from here on: these run in signal handlers.
inline void writeErr(const char* s) {
  if (s) (void)!::write(STDERR_FILENO, s, std::strlen(s));
}

inline void writeStack(void* const* frames, int count, const char* title = "Stack:\n") {
  writeErr(title);
  backtrace_symbols_fd(frames, count, STDERR_FILENO);
  writeErr("(addr2line -Cfpe <file> <+offset> gives the lines)\n");
}

inline void writeCurrentStack(const char* title = "Stack:\n") {
  void* frames[64];
  writeStack(frames, backtrace(frames, 64), title);
}

// The test class that runs now, kept where a signal handler can read it.
inline char gCurrentClass[128];

inline void writeCurrentTest() {
  if (const char* fn = QTest::currentTestFunction()) {
    writeErr(" in test ");
    writeErr(gCurrentClass);
    writeErr("::");
    writeErr(fn);
    writeErr("()");
  }
}

extern "C" inline void onFatalSignal(int sig) {
  writeErr("\nFATAL: ");
  writeErr(strsignal(sig));
  writeCurrentTest();
  writeErr("\n");
  writeCurrentStack();
  // SA_RESETHAND made the default action current: this ends the process.
  ::raise(sig);
}

inline QByteArray typeName(const std::type_info& type) {
  int status = 0;
  char* name = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
  const QByteArray result = status == 0 ? QByteArray(name) : QByteArray(type.name());
  std::free(name);
  return result;
}

[[noreturn]] inline void onTerminate() {
  writeErr("\nFATAL: std::terminate");
  writeCurrentTest();
  if (std::exception_ptr e = std::current_exception()) {
    try {
      std::rethrow_exception(e);
    } catch (const std::exception& ex) {
      writeErr(": uncaught exception ");
      writeErr(typeName(typeid(ex)).constData());
      writeErr(": ");
      writeErr(ex.what());
    } catch (...) {
      writeErr(": uncaught exception of unknown type");
    }
  }
  writeErr("\n");
  writeCurrentStack();
  ::signal(SIGABRT, SIG_DFL);
  std::abort();
}

inline void installCrashHandlers() {
  // Loads the unwinder now: the first backtrace() may allocate, which a
  // signal handler must not.
  void* warm[1];
  backtrace(warm, 1);
  static char altStack[64 * 1024];  // a stack overflow still gets its report
  stack_t ss{};
  ss.ss_sp = altStack;
  ss.ss_size = sizeof altStack;
  sigaltstack(&ss, nullptr);
  for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) {
    struct sigaction old {};
    if (sigaction(sig, nullptr, &old) == 0 && old.sa_handler != SIG_DFL) continue;
    struct sigaction sa {};
    sa.sa_handler = onFatalSignal;
    sa.sa_flags = SA_RESETHAND | SA_ONSTACK | SA_NODEFER;
    sigemptyset(&sa.sa_mask);
    sigaction(sig, &sa, nullptr);
  }
  std::set_terminate(onTerminate);
}

inline int runAll(int argc, char** argv, const std::vector<Factory>& factories = registry()) {
  if (qEnvironmentVariableIsEmpty("QTEST_FUNCTION_TIMEOUT"))
    qputenv("QTEST_FUNCTION_TIMEOUT", QByteArray::number(kFunctionLimitMs));
  if (!qEnvironmentVariableIsSet("QTEST_DISABLE_STACK_DUMP")) qputenv("QTEST_DISABLE_STACK_DUMP", "1");
  installCrashHandlers();
  std::vector<char*> args(argv, argv + argc);
  static char noCrashHandler[] = "-nocrashhandler";
  args.insert(args.begin() + (argc > 0 ? 1 : 0), noCrashHandler);
  ModalWatchdog watchdog;
  int failed = 0;
  for (auto& f : factories) {
    auto obj = f();
    const QByteArray name = obj->metaObject()->className();
    qstrncpy(gCurrentClass, name.constData(), sizeof gCurrentClass);
    try {
      failed += QTest::qExec(obj.get(), int(args.size()), args.data());
    } catch (...) {
      // Qt Test has already failed the test function; say what escaped and
      // stop, since the state the remaining tests would meet is unknown.
      const ThrowSite& site = lastThrowSite();
      QByteArray what = "exception of unknown type";
      bool ours = false;  // the recorded throw is this exception's
      try {
        throw;
      } catch (const std::exception& e) {
        what = typeName(typeid(e)) + ": " + e.what();
        ours = site.object == &e;
      } catch (...) {
        ours = site.type && *site.type == *abi::__cxa_current_exception_type();
      }
      writeErr(QByteArray("\nFATAL: exception escaped from " + name + ": " + what + "\n").constData());
      if (ours && site.count > 0)
        writeStack(site.frames, site.count, "Stack where it was thrown:\n");
      else
        writeCurrentStack("Stack where it was caught (its throw was not seen):\n");
      return 1;
    }
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
