// krelmo99.exe: the game on Windows. Either shows a replay or keeps to one running game per
// session, builds the front end and the game, and runs it.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>

#include "app/game.h"
#include "frontend/win32/replay_viewer.h"
#include "frontend/win32/session.h"
#include "frontend/win32/single_instance.h"
#include "frontend/win32/system_registry.h"
#include "frontend/win32/win32.h"
#include "frontend/win32/win32_platform.h"
#include "records/records.h"
#include "replay/command_line.h"
#include "replay/recorder.h"
#include "replay/store.h"

namespace {

using namespace krelmo;

// How long a second start waits for the running game to take its hand-over, or for an
// ending game to let the mutex go.
constexpr int kHandOverTimeoutMs = 3000;

bool StatsWanted() {
  const char* stats = std::getenv("KRELMO_STATS");
  return stats && std::string_view(stats) == "1";
}

int PlayGame(HINSTANCE instance) {
  win32::SingleInstance single;
  switch (single.ClaimOrHandOver(kHandOverTimeoutMs)) {
    case win32::SingleInstance::Start::kClaimed:
      break;
    case win32::SingleInstance::Start::kHandedOver:
      return 0;  // another game runs: it comes to the front, and this start ends quietly
    case win32::SingleInstance::Start::kNoAnswer:
      std::fprintf(stderr, "krelmo99: another game holds the mutex but does not answer\n");
      return 0;
  }
  // Settings an earlier game kept for the whole machine become the user's, once.
  win32::AdoptMachineStore(HKEY_CURRENT_USER, records::kGameKey);
  win32::SystemRegistry store;
  win32::Win32Platform host(instance, store, L"Krelmo '99");
  if (!host.WindowError().empty()) {
    std::fprintf(stderr, "krelmo99: cannot open the game window: %s\n", host.WindowError().c_str());
    return 1;
  }

  // Every match is recorded; a replay that cannot be written never stops the game.
  replay::ReplayStore replays(win32::ReplaysFolder());
  replay::Recorder recorder(host.Get(), [&replays](std::string journal) {
    std::string error;
    if (replays.Save(journal, std::time(nullptr), error).empty()) {
      std::fprintf(stderr, "krelmo99: the match's replay could not be saved: %s\n", error.c_str());
    }
  });
  app::Game game(recorder.Wrapped());
  recorder.Attach(game);
  // The audio device stays open through a match (the front end's business, not the game's).
  host.matchRunning = [&game] { return game.engine.match.gameActive; };
  // Taken only while the game's loop runs: an ending game lets the next start wait for it.
  host.window.SetHandOver(single.HandOverMessage(), [&] {
    if (game.app.quitting) return false;
    host.queue.PostMessage(game.app.activateMessage);
    return true;
  });
  host.dialogs.SetNestedDispatch([&] { return game.DispatchPending(); });
  // The process ends as soon as the window has answered: the settings are saved now, as
  // File > Exit would save them.
  host.window.onEndSession = [&game] {
    if (!game.app.quitting) records::SaveSettings(game.engine);
  };

  if (StatsWanted()) {
    host.window.onFirstPresent = [] {
      std::fprintf(stderr, "krelmo99: first frame presented %.0f ms after start\n",
                   win32::MsSinceProcessStart());
    };
  }
  host.window.Show();
  const int exitCode = app::RunGame(game);
  // The settings are saved: a start from now on is a game of its own, which reads them as
  // this one left them, while the devices and the window go here.
  single.Release();

  if (StatsWanted()) std::fprintf(stderr, "%s\n", host.frameHost.StatsLine().c_str());
  return exitCode;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  win32::SpeakOnParentConsole();
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);

  replay::CommandLine line;
  std::string error;
  if (!replay::ParseCommandLine(win32::Arguments(), line, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return replay::kExitUsage;
  }
  if (!line.replayPath.empty()) return win32::ShowReplay(instance, line.replayPath);
  return PlayGame(instance);
}
