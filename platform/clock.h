// The time source under the emulated interval timer: a count of 1,193,182 Hz ticks.
#pragma once

#include <cstdint>

namespace krelmo::platform {

constexpr std::uint64_t kPitTicksPerSecond = 1'193'182;
constexpr std::uint64_t kPitTicksPerMs = kPitTicksPerSecond / 1000;

// A count of a clock running at `perSecond`, in interval-timer ticks, without overflow for
// any count a machine's uptime reaches.
constexpr std::uint64_t PitTicksOf(std::uint64_t count, std::uint64_t perSecond) {
  return count / perSecond * kPitTicksPerSecond +
         count % perSecond * kPitTicksPerSecond / perSecond;
}

// Read on the UI thread; must never run backwards.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::uint64_t Ticks() const = 0;
};

// The machine's monotonic clock, scaled to interval-timer ticks.
class SteadyClock final : public Clock {
 public:
  std::uint64_t Ticks() const override;
};

// A clock that moves only when told to: tests and the simulator drive it.
class ManualClock final : public Clock {
 public:
  std::uint64_t Ticks() const override { return ticks_; }
  void Set(std::uint64_t ticks) { ticks_ = ticks; }
  void Advance(std::uint64_t ticks) { ticks_ += ticks; }

 private:
  std::uint64_t ticks_ = 0;
};

}  // namespace krelmo::platform
