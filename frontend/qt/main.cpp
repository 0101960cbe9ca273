// krelmo99: the game on Qt. Checks that a window can open, keeps to one running game per
// user, builds the front end and the game, and runs it.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "app/game.h"
#include "frontend/qt/qt_platform.h"
#include "frontend/qt/session.h"
#include "frontend/qt/single_instance.h"
#include "frontend/qt/startup_checks.h"

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

  host.window.show();
  host.window.activateWindow();
  const int exitCode = krelmo::app::RunGame(game);

  const char* stats = std::getenv("KRELMO_STATS");
  if (stats && std::string_view(stats) == "1") {
    std::fprintf(stderr, "%s\n", host.frameHost.StatsLine().c_str());
  }
  return exitCode;
}
