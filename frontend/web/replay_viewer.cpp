// The page's replay viewer: the playback's loop over the front end's pace, as the window's.
#include "frontend/web/replay_viewer.h"

#include <emscripten/emscripten.h>

#include "frontend/web/page_input.h"
#include "frontend/web/web_page.h"
#include "replay/playback.h"

namespace krelmo::web {

namespace {
WebPlatform* viewer = nullptr;
}  // namespace

void ShowReplay(const std::string& name, replay::Replay journal, WebPlatform& game) {
  WebPlatform host;
  replay::Playback playback(host.Get(), std::move(journal), replay::Pace::kAsRecorded);
  app::Game& replayed = playback.Game();
  host.matchRunning = [&replayed] { return replayed.engine.match.gameActive; };
  viewer = &host;
  ShowInCanvas(&host);
  krelmo_playback_shown(name.c_str());
  playback.Show(
      [&playback] {
        const std::string outcome = playback.Differs()
                                        ? "The replay differs from its recording: " + playback.Why()
                                        : std::string("The replay ended as recorded.");
        krelmo_playback_outcome(outcome.c_str());
      },
      [&host] { host.frameHost.WaitForEvents(); });
  viewer = nullptr;
  krelmo_playback_shown(nullptr);
  ShowInCanvas(&game);
  // The game's window has the keyboard again, and is drawn again.
  game.queue.PostMessage(WM_SETFOCUS);
}

}  // namespace krelmo::web

// The playback bar's Close: as closing the viewer's window.
extern "C" EMSCRIPTEN_KEEPALIVE void krelmo_end_playback() {
  if (!krelmo::web::viewer) return;
  krelmo::web::viewer->queue.PostMessage(krelmo::WM_CLOSE);
  krelmo_wake();
}
