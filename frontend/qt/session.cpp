// The registry file's place and the polite requests to end the game.
#include "frontend/qt/session.h"

#include <fcntl.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>

namespace krelmo::qt {

namespace {

constexpr std::array<int, 3> kPoliteSignals = {SIGTERM, SIGINT, SIGHUP};
int signalPipe[2] = {-1, -1};

void OnSignal(int) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
  errno = saved;
}

}  // namespace

std::string RegistryPath() {
  if (const char* path = std::getenv("KRELMO_REGISTRY"); path && *path) return path;
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  return (folder + QStringLiteral("/krelmo99/krelmo99.reg")).toStdString();
}

std::string ReplaysFolder() {
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  return (folder + QStringLiteral("/krelmo99/replays")).toStdString();
}

QuitRequests::QuitRequests(platform::MessageQueue& queue) : queue_(queue) {
  if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) == 0) {
    notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &QuitRequests::TakeSignals);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kPoliteSignals) sigaction(signal, &action, nullptr);
  }
  if (auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    connect(application, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager&) { queue_.PostMessage(WM_CLOSE); });
  }
}

QuitRequests::~QuitRequests() {
  if (!notifier_) return;
  for (const int signal : kPoliteSignals) std::signal(signal, SIG_DFL);
  delete notifier_;
  ::close(signalPipe[0]);
  ::close(signalPipe[1]);
  signalPipe[0] = signalPipe[1] = -1;
}

void QuitRequests::TakeSignals() {
  char bytes[16];
  while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
  }
  queue_.PostMessage(WM_CLOSE);
}

}  // namespace krelmo::qt
