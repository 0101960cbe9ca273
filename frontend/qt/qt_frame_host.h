// Keeping the window alive while the game runs a frame of busy-waited ball steps, and
// waiting for events while it idles.
#pragma once

#include <cstdint>
#include <string>

#include "frontend/qt/surface_view.h"
#include "platform/clock.h"
#include "platform/frame_host.h"

namespace krelmo::qt {

// Its time comes from the clock under the emulated timer, so a test can drive it by hand.
class QtFrameHost final : public platform::FrameHost {
 public:
  QtFrameHost(SurfaceView& view, const platform::Clock& clock) : view_(view), clock_(clock) {}

  // Takes new window-system events into the queue about every millisecond (timers stay
  // out, so no frame can start inside a frame) and presents the surface when a display
  // refresh is due and enough of the wait is left that presenting cannot lengthen it.
  void WhileWaiting(std::uint32_t ticksLeft) override;
  // Sleeps in the event loop until something happens; window timers fire here.
  void WaitForEvents() override;

  // Presents made inside step waits, and the time spent in runs of step waits.
  std::uint64_t FramePresents() const { return framePresents_; }
  double FrameSeconds() const {
    return static_cast<double>(frameTicks_) / static_cast<double>(platform::kPitTicksPerSecond);
  }
  // "krelmo99: ..." figures for the player's console when asked for.
  std::string StatsLine() const;

  static constexpr std::uint64_t kEventIntervalTicks = platform::kPitTicksPerSecond / 1000;
  // One present per refresh of a 60 Hz display at most.
  static constexpr std::uint64_t kPresentIntervalTicks = platform::kPitTicksPerSecond * 16 / 1000;
  // A synchronous present costs about 0.9 ms; it is only made with more than this left.
  static constexpr std::uint32_t kPresentBudgetTicks = platform::kPitTicksPerSecond * 12 / 10000;
  // Waits closer together than this belong to one run of frames.
  static constexpr std::uint64_t kFrameGapTicks = platform::kPitTicksPerSecond * 50 / 1000;

 private:
  SurfaceView& view_;
  const platform::Clock& clock_;
  bool inWait_ = false;
  bool waited_ = false;
  std::uint64_t lastEvents_ = 0;
  std::uint64_t lastWait_ = 0;
  std::uint64_t lastPresent_ = 0;
  std::uint64_t frameTicks_ = 0;
  std::uint64_t framePresents_ = 0;
};

}  // namespace krelmo::qt
