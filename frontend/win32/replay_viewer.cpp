// The replay viewer's window and loop over the playback: the window's timer paces it, the
// front end waits for events between turns.
#include "frontend/win32/replay_viewer.h"

#include <cstdio>
#include <filesystem>

#include "frontend/win32/game_text.h"
#include "frontend/win32/win32_platform.h"
#include "replay/playback.h"
#include "replay/store.h"

namespace krelmo::win32 {

int ShowReplay(HINSTANCE instance, const std::string& path) {
  // A playback never touches the settings: it plays in a window of its own, named by its
  // file, beside a running game, and takes neither the game's mutex nor its hand-over. A file
  // it cannot play is refused whatever runs.
  std::string why;
  auto journal = replay::ReadReplay(path, why);
  if (!journal) {
    std::fprintf(stderr, "krelmo99: %s\n", why.c_str());
    return replay::kExitReplayUnreadable;
  }
  platform::Registry memory;  // settings and tables stay untouched
  const std::wstring name = std::filesystem::path(FromUtf8(path)).filename().wstring();
  Win32Platform host(instance, memory, L"Krelmo '99 - " + name);
  if (!host.WindowError().empty()) {
    std::fprintf(stderr, "krelmo99: cannot open the game window: %s\n", host.WindowError().c_str());
    return 1;
  }
  replay::Playback playback(host.Get(), std::move(*journal), replay::Pace::kAsRecorded);
  app::Game& game = playback.Game();
  host.matchRunning = [&game] { return game.engine.match.gameActive; };
  host.window.Show();
  return playback.Show([&playback] { playback.TellOnConsole(); },
                       [&host] { host.frameHost.WaitForEvents(); });
}

}  // namespace krelmo::win32
