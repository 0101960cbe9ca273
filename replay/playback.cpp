// A playback's start, its run on either pace, and its end.
#include "replay/playback.h"

namespace krelmo::replay {

Playback::Playback(platform::Platform& platform, Replay replay, Pace pace)
    : platform_(platform), player_(platform, std::move(replay)), game_(player_.Wrapped()) {
  player_.SetPaced(pace == Pace::kAsRecorded);
}

Playback::~Playback() {
  if (started_) game_.ShutdownApplication();
}

void Playback::Start() {
  started_ = true;
  game_.InitApplication();
  player_.Begin(game_);
}

Playback::Outcome Playback::Run() {
  return player_.Run();
}

bool Playback::Turn() {
  Message message;
  bool stop = false;
  while (platform_.queue.PeekQueued(message, 0, 0, true)) {
    if (message.message == WM_TIMER) player_.AllowTick();
    stop |= message.message == WM_CLOSE ||
            (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE);
  }
  if (stop) return false;
  player_.Run();
  return true;
}

}  // namespace krelmo::replay
