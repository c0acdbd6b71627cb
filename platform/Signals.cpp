#include "platform/Signals.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

int gPipe[2] = {-1, -1};
std::function<void(int)> gHandler;
// Owned by the application object, so it goes before the event dispatcher.
QPointer<QSocketNotifier> gNotifier;

extern "C" void onSignal(int signal) {
  const int saved = errno;
  const unsigned char byte = static_cast<unsigned char>(signal);
  // A full pipe drops the byte: the signals already waiting end the program anyway.
  [[maybe_unused]] const ssize_t n = ::write(gPipe[1], &byte, 1);
  errno = saved;
}

void restoreDefaults() {
  for (int s : kSignals) std::signal(s, SIG_DFL);
}

void deliver() {
  unsigned char byte = 0;
  if (::read(gPipe[0], &byte, 1) != 1) return;
  // Copied: the handler may replace itself.
  const auto handler = gHandler;
  if (handler) handler(byte);
}

}  // namespace

void setTerminationHandler(std::function<void(int)> handler) {
  gHandler = std::move(handler);
  if (!gHandler) {
    restoreDefaults();
    return;
  }
  if (gPipe[0] < 0) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gPipe) != 0) return;
    ::fcntl(gPipe[1], F_SETFL, O_NONBLOCK);
  }
  if (!gNotifier) {
    gNotifier = new QSocketNotifier(gPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(gNotifier, &QSocketNotifier::activated, [] { deliver(); });
  }
  struct sigaction action = {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART | SA_RESETHAND;
  for (int s : kSignals) ::sigaction(s, &action, nullptr);
}

}  // namespace platform
