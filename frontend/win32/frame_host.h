// Keeping the window alive while the game runs a frame of busy-waited ball steps, and waiting
// for events while it idles.
#pragma once

#include <cstdint>
#include <string>

#include "frontend/win32/game_window.h"
#include "platform/clock.h"
#include "platform/frame_host.h"
#include "platform/present_cadence.h"

namespace krelmo::win32 {

// Its time comes from the clock under the emulated timer; the window's present cadence says
// when a present is due, inside frames and between them alike.
class FrameHost final : public platform::FrameHost {
 public:
  FrameHost(GameWindow& window, const platform::Clock& clock, platform::PresentCadence& cadence)
      : window_(window), clock_(clock), cadence_(cadence) {}

  // Dispatches the window's messages about every millisecond, all but its timers (so no frame
  // and no poll starts inside a frame), and presents a changed surface at once when the
  // cadence says a present is due within this wait.
  void WhileWaiting(std::uint32_t ticksLeft) override;
  // Presents what was drawn, when due, and sleeps until the next message (or the next
  // present), then dispatches every message that came.
  void WaitForEvents() override;

  // Inside a step's wait: the front end's own timers then hold back anything that would run
  // game code (a modal box's loop may run within a wait, as the system's menu and move loops
  // do).
  bool InWait() const { return inWait_; }

  // "krelmo99: ..." figures for the player's console when asked for.
  std::string StatsLine() const { return runs_.StatsLine(window_.PresentCount()); }

 private:
  void PresentNow();

  GameWindow& window_;
  const platform::Clock& clock_;
  platform::PresentCadence& cadence_;
  bool inWait_ = false;
  platform::FrameRuns runs_;
};

// Dispatches every message waiting for the thread's windows, or all but the timers'.
void DispatchWindowMessages(bool withTimers);

}  // namespace krelmo::win32
