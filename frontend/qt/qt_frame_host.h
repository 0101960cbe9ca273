// Keeping the window alive while the game runs a frame of busy-waited ball steps, and
// waiting for events while it idles.
#pragma once

#include <cstdint>
#include <string>

#include "frontend/qt/surface_view.h"
#include "platform/clock.h"
#include "platform/frame_host.h"
#include "platform/present_cadence.h"

namespace krelmo::qt {

// Its time comes from the clock under the emulated timer, so a test can drive it by hand;
// the window's present cadence says when a present is due.
class QtFrameHost final : public platform::FrameHost {
 public:
  QtFrameHost(SurfaceView& view, const platform::Clock& clock, platform::PresentCadence& cadence)
      : view_(view), clock_(clock), cadence_(cadence) {}

  // Takes new window-system events into the queue about every millisecond (timers stay
  // out, so no frame can start inside a frame) and presents a changed surface, at once,
  // when the cadence says a present is due within this wait.
  void WhileWaiting(std::uint32_t ticksLeft) override;
  // Sleeps in the event loop until something happens; window timers fire here.
  void WaitForEvents() override;

  // Presents made inside step waits, and the time spent in runs of step waits.
  std::uint64_t FramePresents() const { return runs_.Presents(); }
  double FrameSeconds() const { return runs_.Seconds(); }
  // "krelmo99: ..." figures for the player's console when asked for.
  std::string StatsLine() const { return runs_.StatsLine(view_.PresentCount()); }

 private:
  SurfaceView& view_;
  const platform::Clock& clock_;
  platform::PresentCadence& cadence_;
  bool inWait_ = false;
  platform::FrameRuns runs_;
};

}  // namespace krelmo::qt
