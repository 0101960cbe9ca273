// krelmo99: the game on Qt. Checks that a window can open, then either shows a replay or
// keeps to one running game per user, builds the front end and the game, and runs it.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "app/game.h"
#include "frontend/qt/process_start.h"
#include "frontend/qt/qt_platform.h"
#include "frontend/qt/replay_viewer.h"
#include "frontend/qt/session.h"
#include "frontend/qt/single_instance.h"
#include "frontend/qt/startup_checks.h"
#include "replay/command_line.h"
#include "replay/recorder.h"
#include "replay/store.h"

namespace {

// How long a second start waits for the running game to take its hand-over, or for an
// ending game to let the lock go.
constexpr int kHandOverTimeoutMs = 3000;

// The command line after the toolkit took its own options, in the game's own form.
bool ParseArguments(const QStringList& arguments, std::string& replayPath) {
  std::vector<std::string> rest;
  for (qsizetype i = 1; i < arguments.size(); ++i) rest.push_back(arguments[i].toStdString());
  krelmo::replay::CommandLine line;
  std::string error;
  if (!krelmo::replay::ParseCommandLine(rest, line, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return false;
  }
  replayPath = line.replayPath;
  return true;
}

bool StatsWanted() {
  const char* stats = std::getenv("KRELMO_STATS");
  return stats && std::string_view(stats) == "1";
}

}  // namespace

int main(int argc, char** argv) {
  krelmo::qt::InstallFatalErrorHandler();
  if (const auto reason = krelmo::qt::MissingDisplayReason()) {
    krelmo::qt::ExitWithWindowError(*reason);
  }
  // Whole-number scale factors keep every surface pixel a crisp square.
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);
  QApplication application(argc, argv);
  krelmo::qt::StartupFinished();
  std::string replayPath;
  if (!ParseArguments(QCoreApplication::arguments(), replayPath)) return krelmo::replay::kExitUsage;
  QApplication::setApplicationName(QStringLiteral("krelmo99"));
  // The installed launcher, which desktops match the window to (its icon, its name).
  QGuiApplication::setDesktopFileName(QStringLiteral("com.tenvarre.krelmo99"));

  if (!replayPath.empty()) return krelmo::qt::ShowReplay(replayPath);

  using Start = krelmo::qt::SingleInstance::Start;
  krelmo::qt::SingleInstance instance(krelmo::qt::SingleInstance::DefaultLockPath(),
                                      krelmo::qt::SingleInstance::DefaultServerName());
  switch (instance.ClaimOrHandOver(kHandOverTimeoutMs)) {
    case Start::kClaimed:
      break;
    case Start::kHandedOver:
      return 0;  // another game runs: it comes to the front, and this start ends quietly
    case Start::kNoAnswer:
      std::fprintf(stderr, "krelmo99: another game holds the lock but does not answer\n");
      return 0;
  }
  krelmo::qt::QtPlatform host(krelmo::qt::RegistryPath());

  // Every match is recorded; a replay that cannot be written never stops the game.
  krelmo::replay::ReplayStore replays(krelmo::qt::ReplaysFolder());
  krelmo::replay::Recorder recorder(host.Get(), [&replays](std::string journal) {
    std::string error;
    if (replays.Save(journal, std::time(nullptr), error).empty()) {
      std::fprintf(stderr, "krelmo99: the match's replay could not be saved: %s\n", error.c_str());
    }
  });
  krelmo::app::Game game(recorder.Wrapped());
  recorder.Attach(game);
  // The audio device stays open through a match (the front end's business, not the game's).
  host.matchRunning = [&game] { return game.engine.match.gameActive; };
  instance.onHandOver = [&] { host.queue.PostMessage(game.app.activateMessage); };
  host.dialogs.SetNestedDispatch([&] { return game.DispatchPending(); });

  // After the devices are up, so that no library's own handlers replace these.
  krelmo::qt::QuitRequests quitRequests(host.queue);

  if (StatsWanted()) {
    host.window.View().onFirstPresent = [] {
      std::fprintf(stderr, "krelmo99: first frame presented %.0f ms after start\n",
                   krelmo::qt::MsSinceProcessStart());
    };
  }
  host.window.show();
  host.window.activateWindow();
  const int exitCode = krelmo::app::RunGame(game);
  // The settings are saved: a start from now on is a game of its own, which reads them as
  // this one left them, while the devices, the window and the toolkit go here.
  instance.Release();

  if (StatsWanted()) {
    std::fprintf(stderr, "%s\n", host.frameHost.StatsLine().c_str());
  }
  return exitCode;
}
