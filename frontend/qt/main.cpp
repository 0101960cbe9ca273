// krelmo99: the game on Qt. Checks that a window can open, keeps to one running game per
// user, builds the front end and the game, and runs it.
#include <unistd.h>

#include <QApplication>
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
  QApplication::setApplicationName(QStringLiteral("krelmo99"));
  // The installed launcher, which desktops match the window to (its icon, its name).
  QGuiApplication::setDesktopFileName(QStringLiteral("com.tenvarre.krelmo99"));

  krelmo::qt::SingleInstance instance(krelmo::qt::SingleInstance::DefaultLockPath(),
                                      krelmo::qt::SingleInstance::DefaultServerName());
  if (!instance.Claim()) {
    // Another game runs: it comes to the front, and this start ends quietly.
    instance.HandOver(3000);
    return 0;
  }

  krelmo::qt::QtPlatform host(krelmo::qt::RegistryPath());
  krelmo::app::Game game(host.Get());
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

  if (StatsWanted()) {
    std::fprintf(stderr, "%s\n", host.frameHost.StatsLine().c_str());
  }
  return exitCode;
}
