// The game's place in the user's session: where its registry file lives, and the polite
// requests to end it (SIGTERM, SIGINT, SIGHUP, the desktop logging out).
#pragma once

#include <QObject>
#include <string>

#include "platform/message_queue.h"

class QSocketNotifier;

namespace krelmo::qt {

// $KRELMO_REGISTRY, else "krelmo99/krelmo99.reg" in the user's configuration folder.
std::string RegistryPath();
// "krelmo99/replays" in the user's data folder ($XDG_DATA_HOME, else ~/.local/share).
std::string ReplaysFolder();

// While it lives, each polite request to end posts the close message, so that the game ends
// as File > Exit ends it: settings saved, exit code 0. The signal handler only writes a byte
// to a pipe; the rest happens on the UI thread when the pipe is read.
class QuitRequests final : public QObject {
  Q_OBJECT

 public:
  explicit QuitRequests(platform::MessageQueue& queue);
  ~QuitRequests() override;
  QuitRequests(const QuitRequests&) = delete;
  QuitRequests& operator=(const QuitRequests&) = delete;

 private:
  void TakeSignals();

  platform::MessageQueue& queue_;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace krelmo::qt
