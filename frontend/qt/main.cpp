// krelmo99: the game on Qt. Checks that a window can open, keeps to one running game per
// user, builds the front end and the game, and runs it.
#include <unistd.h>

#include <QApplication>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "app/game.h"
#include "frontend/qt/qt_platform.h"
#include "frontend/qt/session.h"
#include "frontend/qt/single_instance.h"
#include "frontend/qt/startup_checks.h"
#include "replay/player.h"
#include "replay/recorder.h"
#include "replay/store.h"

namespace {

// Milliseconds since the kernel started this process (before the loader ran), or a negative
// number where that cannot be read.
double MsSinceProcessStart() {
  std::ifstream statFile("/proc/self/stat");
  std::string stat((std::istreambuf_iterator<char>(statFile)), std::istreambuf_iterator<char>());
  // The fields after the command name's closing parenthesis; the start time is the 20th.
  std::size_t at = stat.rfind(')');
  if (at == std::string::npos) return -1;
  for (int field = 0; field < 20 && at != std::string::npos; ++field) at = stat.find(' ', at + 1);
  if (at == std::string::npos) return -1;
  const double startTicks = std::strtod(stat.c_str() + at + 1, nullptr);
  timespec now{};
  if (clock_gettime(CLOCK_BOOTTIME, &now) != 0) return -1;
  const double nowMs =
      static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
  return nowMs - startTicks * 1e3 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

constexpr int kExitDiffers = 1;
constexpr int kExitUsage = 2;
// How long a second start waits for the running game to take its hand-over, or for an
// ending game to let the lock go.
constexpr int kHandOverTimeoutMs = 3000;

// The command line after the toolkit took its own options: nothing, or --replay FILE.
bool ParseArguments(const QStringList& arguments, std::string& replayPath) {
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    if (arguments[i] == QStringLiteral("--replay") && i + 1 < arguments.size()) {
      replayPath = arguments[++i].toStdString();
      continue;
    }
    std::fprintf(stderr,
                 "krelmo99: unknown argument %s\n"
                 "usage: krelmo99 [--replay FILE]   (FILE: a match recorded by the game)\n",
                 arguments[i].toLocal8Bit().constData());
    return false;
  }
  return true;
}

// The match played back in the window at its own pace, with its sound. The player's input
// is left out but for Esc and closing the window, which end the playback; the last picture
// stays until then.
int PlayBack(krelmo::qt::QtPlatform& host, krelmo::replay::Replay journal) {
  using krelmo::replay::Player;
  Player player(host.Get(), std::move(journal));
  krelmo::app::Game game(player.Wrapped());
  host.matchRunning = [&game] { return game.engine.match.gameActive != 0; };
  host.window.show();
  host.window.activateWindow();
  game.InitApplication();
  player.SetPaced(true);
  player.Begin(game);
  bool told = false;
  for (;;) {
    krelmo::Message message;
    bool stop = false;
    while (host.queue.PeekQueued(message, 0, 0, true)) {
      if (message.message == krelmo::WM_TIMER) player.AllowTick();
      stop |= message.message == krelmo::WM_CLOSE ||
              (message.message == krelmo::WM_KEYDOWN && message.wParam == krelmo::VK_ESCAPE);
    }
    if (stop) break;
    const Player::Outcome outcome = player.Run();
    if (outcome != Player::Outcome::kWaiting && !told) {
      told = true;
      if (outcome == Player::Outcome::kMatched) {
        std::fprintf(stderr, "krelmo99: the replay ended as recorded\n");
      } else {
        std::fprintf(stderr, "krelmo99: the replay differs from its recording: %s\n",
                     player.Why().c_str());
      }
    }
    host.frameHost.WaitForEvents();
  }
  game.ShutdownApplication();
  const Player::Outcome outcome = player.Result();
  return outcome == Player::Outcome::kDiffers || outcome == Player::Outcome::kParted ? kExitDiffers
                                                                                     : 0;
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
  if (!ParseArguments(QCoreApplication::arguments(), replayPath)) return kExitUsage;
  QApplication::setApplicationName(QStringLiteral("krelmo99"));
  // The installed launcher, which desktops match the window to (its icon, its name).
  QGuiApplication::setDesktopFileName(QStringLiteral("com.tenvarre.krelmo99"));

  if (!replayPath.empty()) {
    // A playback never touches the settings: it plays in a window of its own, named by its
    // file, beside a running game, and takes neither the game's lock nor its hand-over. A
    // file it cannot play is refused whatever runs.
    std::string why;
    auto journal = krelmo::replay::ReadReplay(replayPath, why);
    if (!journal) {
      std::fprintf(stderr, "krelmo99: %s\n", why.c_str());
      return kExitUsage;
    }
    krelmo::qt::QtPlatform host;  // its store in memory: settings and tables stay untouched
    host.window.setWindowTitle(QStringLiteral("Krelmo '99 - ") +
                               QFileInfo(QString::fromStdString(replayPath)).fileName());
    krelmo::qt::QuitRequests quitRequests(host.queue);
    return PlayBack(host, std::move(*journal));
  }

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
  host.matchRunning = [&game] { return game.engine.match.gameActive != 0; };
  instance.onHandOver = [&] { host.queue.PostMessage(game.app.activateMessage); };
  host.dialogs.SetNestedDispatch([&] { return game.DispatchPending(); });

  // After the devices are up, so that no library's own handlers replace these.
  krelmo::qt::QuitRequests quitRequests(host.queue);

  if (StatsWanted()) {
    host.window.View().onFirstPresent = [] {
      std::fprintf(stderr, "krelmo99: first frame presented %.0f ms after start\n",
                   MsSinceProcessStart());
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
