// One running game per user: a lock file says who runs, and a private local socket carries
// a second start's hand-over to the running game, which then comes to the front and answers.
// A game gives both up as soon as its settings are saved at the end, and a start that the
// game holding the lock does not answer (it is ending) waits for the lock instead of ending.
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
  // The whole of what a second start sends, and of what the running game answers once it
  // has taken it.
  static constexpr char kHandOverMessage[] = "Krelmo\n";
  static constexpr char kHandOverAnswer[] = "Here\n";

  enum class Start {
    kClaimed,     // this start is the game
    kHandedOver,  // the running game took the hand-over
    kNoAnswer,    // the lock stayed held, and nobody answered in the time allowed
  };

  SingleInstance(const QString& lockPath, const QString& serverName);
  ~SingleInstance() override;

  // The lock in the user's runtime folder and the server name private to the user.
  static QString DefaultLockPath();
  static QString DefaultServerName();

  // Takes the lock (a stale one left by a crashed run is taken over) and starts listening
  // for hand-overs. False when another live instance holds it.
  bool Claim();
  // A second start: sends the hand-over message to the running instance. True when it was
  // answered within the time allowed; false at once when nothing listens, and as soon as
  // the game hangs up unanswered.
  bool HandOver(int timeoutMs);
  // Claims the lock, or else hands over to the game that holds it; while that game is
  // still starting, or ending (it hangs up unanswered, then lets the lock go), tries both
  // again until the time allowed is up.
  Start ClaimOrHandOver(int timeoutMs);
  // Stops taking hand-overs (those received but not yet taken are hung up) and lets the
  // lock go: a start from now on is a game of its own.
  void Release();

  // Runs on the UI thread when a hand-over arrives.
  std::function<void()> onHandOver;

 private:
  void Accept();

  QLockFile lock_;
  QString serverName_;
  QLocalServer server_;
};

}  // namespace krelmo::qt
