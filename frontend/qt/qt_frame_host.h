// Keeping the window alive while the game runs a frame of busy-waited ball steps, and
// waiting for events while it idles.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "frontend/qt/surface_view.h"
#include "platform/clock.h"
#include "platform/frame_host.h"

namespace krelmo::qt {

class QtFrameHost final : public platform::FrameHost {
 public:
  using SteadyTime = std::chrono::steady_clock::time_point;

  explicit QtFrameHost(SurfaceView& view) : view_(view) {}

  // Takes new window-system events into the queue about every millisecond (timers stay
  // out, so no frame can start inside a frame) and presents the surface when a display
  // refresh is due and enough of the wait is left that presenting cannot lengthen it.
  void WhileWaiting(std::uint32_t ticksLeft) override;
  // Sleeps in the event loop until something happens; window timers fire here.
  void WaitForEvents() override;

  // Presents made inside step waits, and the time spent in runs of step waits.
  std::uint64_t FramePresents() const { return framePresents_; }
  double FrameSeconds() const { return std::chrono::duration<double>(frameTime_).count(); }
  // "krelmo99: ..." figures for the player's console when asked for.
  std::string StatsLine() const;

  static constexpr std::chrono::microseconds kEventInterval{1000};
  static constexpr qint64 kPresentIntervalUs = 16'000;
  // A synchronous present costs about 0.9 ms; it is only made with more than this left.
  static constexpr std::uint32_t kPresentBudgetTicks = platform::kPitTicksPerSecond * 12 / 10000;
  // Waits closer together than this belong to one run of frames.
  static constexpr std::chrono::milliseconds kFrameGap{50};

 private:
  SurfaceView& view_;
  bool inWait_ = false;
  SteadyTime lastEvents_{};
  SteadyTime lastWait_{};
  std::chrono::steady_clock::duration frameTime_{};
  std::uint64_t framePresents_ = 0;
};

}  // namespace krelmo::qt
