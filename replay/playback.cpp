// A playback's start, its run on either pace, and its end.
#include "replay/playback.h"

#include <cstdio>

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

int Playback::Show(const std::function<void()>& ended, const std::function<void()>& waitForEvents) {
  Start();
  bool told = false;
  while (Turn()) {
    if (Result() != Outcome::kWaiting && !told) {
      told = true;
      ended();
    }
    waitForEvents();
  }
  return Differs() ? kExitReplayDiffers : 0;
}

void Playback::TellOnConsole() const {
  if (Differs()) {
    std::fprintf(stderr, "krelmo99: the replay differs from its recording: %s\n", Why().c_str());
  } else {
    std::fprintf(stderr, "krelmo99: the replay ended as recorded\n");
  }
  std::fflush(stderr);
}

}  // namespace krelmo::replay
