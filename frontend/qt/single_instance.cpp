// The single-instance lock and the hand-over socket.
#include "frontend/qt/single_instance.h"

#include <unistd.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <memory>

namespace krelmo::qt {

namespace {
constexpr qsizetype kHandOverLength = sizeof(SingleInstance::kHandOverMessage) - 1;
constexpr qsizetype kAnswerLength = sizeof(SingleInstance::kHandOverAnswer) - 1;
constexpr int kRetryMs = 50;
}  // namespace

SingleInstance::SingleInstance(const QString& lockPath, const QString& serverName)
    : lock_(lockPath), serverName_(serverName) {
  // The running game holds its lock for as long as it runs: only a lock whose process is
  // gone counts as stale, never an old one.
  lock_.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

namespace {
// The user's private runtime folder; empty when there is none to use.
QString RuntimeFolder() {
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  return !folder.isEmpty() && QDir().mkpath(folder) ? folder : QString();
}
}  // namespace

QString SingleInstance::DefaultLockPath() {
  const QString folder = RuntimeFolder();
  // In the shared temporary folder the user id keeps each user's lock apart.
  return folder.isEmpty() ? QDir::tempPath() + QStringLiteral("/Krelmo-%1.lock").arg(::getuid())
                          : folder + QStringLiteral("/Krelmo");
}

QString SingleInstance::DefaultServerName() {
  // Beside the lock in the private folder; else a name of the user's own.
  const QString folder = RuntimeFolder();
  return folder.isEmpty() ? QStringLiteral("Krelmo-%1").arg(::getuid())
                          : folder + QStringLiteral("/Krelmo.socket");
}

bool SingleInstance::Claim() {
  // tryLock() takes over a lock whose process is gone (a crashed run): only a lock held by
  // a live game fails with LockFailedError.
  if (!lock_.tryLock(0)) {
    if (lock_.error() == QLockFile::LockFailedError) return false;
    // The folder cannot hold a lock: run alone rather than not at all.
    qWarning("krelmo99: cannot take the single-instance lock %s", qPrintable(lock_.fileName()));
    return true;
  }
  // Holding the lock, any socket of the same name is a leftover of a crashed run.
  QLocalServer::removeServer(serverName_);
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_.listen(serverName_)) {
    qWarning("krelmo99: a second start cannot reach this game: %s",
             qPrintable(server_.errorString()));
    return true;
  }
  connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::Accept);
  return true;
}

void SingleInstance::Accept() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    auto received = std::make_shared<QByteArray>();
    connect(socket, &QLocalSocket::readyRead, this, [this, socket, received] {
      received->append(socket->readAll());
      const QByteArray expected(kHandOverMessage, kHandOverLength);
      if (!expected.startsWith(*received)) {
        socket->abort();  // not ours: ignored
        return;
      }
      if (*received == expected) {
        received->clear();
        if (onHandOver) onHandOver();
        // The answer goes out before the socket closes.
        socket->write(kHandOverAnswer, kAnswerLength);
        socket->disconnectFromServer();
      }
    });
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
  }
}

bool SingleInstance::HandOver(int timeoutMs) {
  const QDeadlineTimer deadline(timeoutMs);
  const auto left = [&deadline] { return static_cast<int>(deadline.remainingTime()); };
  QLocalSocket socket;
  socket.connectToServer(serverName_);
  if (!socket.waitForConnected(left())) return false;
  socket.write(kHandOverMessage, kHandOverLength);
  if (socket.bytesToWrite() > 0 && !socket.waitForBytesWritten(left())) return false;
  // The running game answers once it has taken the hand-over, which keeps the hand-over
  // synchronous. A game whose loop has ended never does: it hangs up as it lets go.
  QByteArray answer;
  while (answer.size() < kAnswerLength && socket.state() == QLocalSocket::ConnectedState &&
         !deadline.hasExpired()) {
    socket.waitForReadyRead(left());
    answer += socket.readAll();
  }
  answer += socket.readAll();
  return answer == QByteArray(kHandOverAnswer, kAnswerLength);
}

SingleInstance::Start SingleInstance::ClaimOrHandOver(int timeoutMs) {
  const QDeadlineTimer deadline(timeoutMs);
  for (;;) {
    if (Claim()) return Start::kClaimed;
    if (HandOver(static_cast<int>(deadline.remainingTime()))) return Start::kHandedOver;
    if (deadline.hasExpired()) return Start::kNoAnswer;
    // The game holding the lock is starting (not listening yet) or ending (letting go).
    QThread::msleep(kRetryMs);
  }
}

void SingleInstance::Release() {
  server_.close();
  for (QLocalSocket* socket : server_.findChildren<QLocalSocket*>()) socket->abort();
  if (lock_.isLocked()) lock_.unlock();
}

}  // namespace krelmo::qt
