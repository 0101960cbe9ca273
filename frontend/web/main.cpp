// The game as a web page: one copy a browser, its settings and tables in the browser's
// storage, every match recorded and offered for download, replays opened from the page.
#include <emscripten/emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "app/game.h"
#include "frontend/web/page_input.h"
#include "frontend/web/replay_viewer.h"
#include "frontend/web/web_menu_bar.h"
#include "frontend/web/web_page.h"
#include "frontend/web/web_platform.h"
#include "platform/cp1252.h"
#include "replay/recorder.h"

namespace {

// The settings file in the page's file system, kept in the browser's storage.
constexpr const char* kSettingsFolder = "/krelmo99";
constexpr const char* kSettingsFile = "/krelmo99/krelmo99.reg";

krelmo::web::WebPlatform* gameHost = nullptr;
krelmo::app::Game* theGame = nullptr;

struct PendingReplay {
  std::string name;
  krelmo::replay::Replay journal;
};
std::optional<PendingReplay> pendingReplay;

// Copies the settings folder to the browser's storage; false, with the reason, when it could not.
bool KeepSettings(std::string& error) {
  char* why = krelmo_settings_keep(kSettingsFolder);
  if (!why) return true;
  error = std::string(kSettingsFile) + ": " + why;
  std::free(why);
  return false;
}

void Wake(krelmo::MessageId message, krelmo::WPARAM wParam = 0) {
  gameHost->queue.PostMessage(message, wParam);
  krelmo_wake();
}

// A replay waits until the game's loop has nothing to do; then it plays over the game.
void ShowPendingReplay() {
  if (!pendingReplay) return;
  PendingReplay replay = std::move(*pendingReplay);
  pendingReplay.reset();
  if (theGame->engine.match.gameActive) {
    krelmo_notice("A replay can be watched once the match has ended and no dialog is open.");
    return;
  }
  krelmo::web::ShowReplay(replay.name, std::move(replay.journal), *gameHost);
}

}  // namespace

int main() {
  krelmo_page_start(krelmo::platform::kClientWidth, krelmo::platform::kClientHeight);
  krelmo_claim_instance();

  krelmo_settings_load(kSettingsFolder);
  krelmo::web::WebPlatform host(kSettingsFile);
  host.registry.onWritten = KeepSettings;
  // Reading it may have moved a damaged file aside: the browser keeps that as it stands now.
  std::string error;
  if (!KeepSettings(error)) std::fprintf(stderr, "krelmo99: %s\n", error.c_str());

  // Every match is recorded and offered for download as it ends.
  krelmo::replay::Recorder recorder(host.Get(), [](std::string journal) {
    krelmo_offer_replay(journal.data(), static_cast<int>(journal.size()));
  });
  krelmo::app::Game game(recorder.Wrapped());
  recorder.Attach(game);
  host.matchRunning = [&game] { return game.engine.match.gameActive; };
  host.dialogs.SetNestedDispatch([&game] { return game.DispatchPending(); });
  host.frameHost.onIdle = ShowPendingReplay;
  krelmo::web::WebMenuBar menuBar(host.menu);
  gameHost = &host;
  theGame = &game;

  krelmo::web::ListenToThePage();
  krelmo::web::ShowInCanvas(&host);
  krelmo_watch_activation();
  const int exitCode = krelmo::app::RunGame(game);

  // The settings are saved: another tab may take the game over.
  krelmo::web::ShowInCanvas(nullptr);
  theGame = nullptr;
  gameHost = nullptr;
  krelmo_release_instance();
  krelmo_game_ended();
  return exitCode;
}

// The page's calls into the game.

// Another tab was opened on the game: this one is the game, and comes back into view.
extern "C" EMSCRIPTEN_KEEPALIVE void krelmo_hand_over() {
  if (theGame) Wake(theGame->app.activateMessage);
}

// The page became the active program or stopped being it.
extern "C" EMSCRIPTEN_KEEPALIVE void krelmo_activation(int active) {
  if (!theGame) return;
  Wake(krelmo::WM_ACTIVATEAPP, active ? 1 : 0);
  // Coming back, the window has the keyboard again.
  if (active) Wake(krelmo::WM_SETFOCUS);
}

// The page is being left (closed, reloaded or hidden): the settings are kept now, as the
// game's end keeps them, since the page may never run again.
extern "C" EMSCRIPTEN_KEEPALIVE void krelmo_page_hiding() {
  if (theGame && !theGame->app.quitting) krelmo::records::SaveSettings(theGame->engine);
}

// Whether the high-score dialog's name box may hold this text: characters of the game's code
// page only, none of them a control.
extern "C" EMSCRIPTEN_KEEPALIVE int krelmo_name_accepts(const char* utf8) {
  std::u32string text;
  if (!krelmo::platform::DecodeUtf8(utf8, text)) return 0;
  for (const char32_t c : text) {
    const auto byte = krelmo::platform::UnicodeToCp1252(c);
    if (!byte || !krelmo::platform::IsCp1252Printable(*byte)) return 0;
  }
  return 1;
}

// A replay file opened from the page (unpacked already): checked at once, and played when the
// game is on its title screen with nothing open. False when it was refused, the page saying why.
extern "C" EMSCRIPTEN_KEEPALIVE int krelmo_open_replay(const char* name, const char* bytes,
                                                       int length) {
  if (!theGame || krelmo::web::ShownInCanvas() != gameHost || pendingReplay) {
    krelmo_notice("A replay is playing already.");
    return 0;
  }
  if (theGame->engine.match.gameActive || theGame->app.dialogOpen || theGame->app.messageBoxOpen) {
    krelmo_notice("A replay can be watched once the match has ended and no dialog is open.");
    return 0;
  }
  krelmo::replay::ParseError parseError;
  auto journal = krelmo::replay::ParseReplay(
      std::string_view(bytes, static_cast<std::size_t>(length)), parseError);
  if (!journal) {
    const std::string why =
        std::string(name) + ":" + std::to_string(parseError.line) + ": " + parseError.message;
    std::fprintf(stderr, "krelmo99: %s\n", why.c_str());
    krelmo_notice(why.c_str());
    return 0;
  }
  pendingReplay = PendingReplay{name, std::move(*journal)};
  krelmo_wake();
  return 1;
}

// The page's "?stats": the canvas's presents and the steps' pacing, on the console.
extern "C" EMSCRIPTEN_KEEPALIVE void krelmo_print_stats() {
  if (gameHost) std::printf("%s\n", gameHost->frameHost.StatsLine().c_str());
}
