// The replay viewer's window and loop over the playback: the front end's timer paces it, the
// front end waits for events between turns.
#include "frontend/qt/replay_viewer.h"

#include <QFileInfo>
#include <cstdio>

#include "frontend/qt/qt_platform.h"
#include "frontend/qt/session.h"
#include "replay/playback.h"
#include "replay/store.h"

namespace krelmo::qt {

namespace {

int PlayBack(QtPlatform& host, replay::Replay journal) {
  replay::Playback playback(host.Get(), std::move(journal), replay::Pace::kAsRecorded);
  app::Game& game = playback.Game();
  host.matchRunning = [&game] { return game.engine.match.gameActive; };
  host.window.show();
  host.window.activateWindow();
  return playback.Show([&playback] { playback.TellOnConsole(); },
                       [&host] { host.frameHost.WaitForEvents(); });
}

}  // namespace

int ShowReplay(const std::string& path) {
  // A playback never touches the settings: it plays in a window of its own, named by its
  // file, beside a running game, and takes neither the game's lock nor its hand-over. A file
  // it cannot play is refused whatever runs.
  std::string why;
  auto journal = replay::ReadReplay(path, why);
  if (!journal) {
    std::fprintf(stderr, "krelmo99: %s\n", why.c_str());
    return replay::kExitReplayUnreadable;
  }
  QtPlatform host;  // its store in memory: settings and tables stay untouched
  host.window.setWindowTitle(QStringLiteral("Krelmo '99 - ") +
                             QFileInfo(QString::fromStdString(path)).fileName());
  QuitRequests quitRequests(host.queue);
  return PlayBack(host, std::move(*journal));
}

}  // namespace krelmo::qt
