// One running game per user: a lock file says who runs, and a private local socket carries
// a second start's hand-over to the running game, which then comes to the front.
#pragma once

#include <QByteArray>
#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <functional>

namespace krelmo::qt {

class SingleInstance final : public QObject {
  Q_OBJECT

 public:
  // The whole of what a second start sends.
  static constexpr char kHandOverMessage[] = "Krelmo\n";

  SingleInstance(const QString& lockPath, const QString& serverName);
  ~SingleInstance() override;

  // The lock in the user's runtime folder and the server name private to the user.
  static QString DefaultLockPath();
  static QString DefaultServerName();

  // Takes the lock (a stale one left by a crashed run is taken over) and starts listening
  // for hand-overs. False when another live instance holds it.
  bool Claim();
  // A second start: sends the hand-over message to the running instance. True when it was
  // delivered within the time allowed.
  bool HandOver(int timeoutMs);

  // Runs on the UI thread when a hand-over arrives.
  std::function<void()> onHandOver;

 private:
  void Accept();

  QLockFile lock_;
  QString serverName_;
  QLocalServer server_;
};

}  // namespace krelmo::qt
