// When a front end shows the drawing surface: at most once a display refresh, and inside a
// step's busy wait only with more of the wait left than a present costs.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/clock.h"

namespace krelmo::platform {

// One for the window, asked by every path that presents (inside a step's wait, and when the
// front end has nothing else to do), so that between them presents keep to the display's
// pace. Read and told on the UI thread.
class PresentCadence {
 public:
  explicit PresentCadence(const Clock& clock) : clock_(clock) {}

  // Inside a step's busy wait with `ticksLeft` still to wait: whether to present now. A
  // present that ran past the wait would lengthen the step and slow the ball.
  bool DueInWait(std::uint32_t ticksLeft) const {
    return ticksLeft > kPresentCostTicks && TicksUntilDue() == 0;
  }
  // With nothing else to do: the ticks until a present may be made, 0 when it may be now.
  std::uint64_t TicksUntilDue() const {
    if (!lastPresent_) return 0;
    const std::uint64_t since = clock_.Ticks() - *lastPresent_;
    return since >= kIntervalTicks ? 0 : kIntervalTicks - since;
  }
  // The same in whole milliseconds, rounded up (never before the refresh is due), for a wait
  // that takes milliseconds.
  std::uint64_t MsUntilDue() const {
    return (TicksUntilDue() + kPitTicksPerMs - 1) / kPitTicksPerMs;
  }
  // A present begins now.
  void Presented() { lastPresent_ = clock_.Ticks(); }

  // One present per refresh of a 60 Hz display at most.
  static constexpr std::uint64_t kIntervalTicks = kPitTicksPerSecond * 16 / 1000;
  // A synchronous present costs about 0.9 ms; inside a wait it is only made with more left.
  static constexpr std::uint32_t kPresentCostTicks = kPitTicksPerSecond * 12 / 10000;

 private:
  const Clock& clock_;
  std::optional<std::uint64_t> lastPresent_;
};

}  // namespace krelmo::platform
