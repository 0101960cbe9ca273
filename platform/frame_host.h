// What the front end does for the game while it runs a frame of ball steps and while it
// idles between messages.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/clock.h"

namespace krelmo::platform {

// Called on the UI thread.
class FrameHost {
 public:
  virtual ~FrameHost() = default;
  // Called over and over inside each step's busy wait, with the ticks still to wait. The
  // front end takes new OS events into the game's queue (without dispatching them) and
  // presents the surface when a display refresh is due; it must return quickly.
  virtual void WhileWaiting(std::uint32_t ticksLeft) = 0;
  // The game's loop found its queue empty: wait for the next event, or return at once.
  virtual void WaitForEvents() = 0;
};

// What every front end's frame host keeps of the step waits: the time spent in runs of them
// (waits closer together than kFrameGapTicks belong to one run of frames), the presents made
// inside them, and when the window's events are next taken inside a frame (about every
// millisecond).
class FrameRuns {
 public:
  static constexpr std::uint64_t kEventIntervalTicks = kPitTicksPerMs;
  static constexpr std::uint64_t kFrameGapTicks = kPitTicksPerSecond * 50 / 1000;

  // Counts a step's wait that starts at `now`; answers whether it goes on a run of frames.
  bool Waited(std::uint64_t now) {
    const bool inRun = waited_ && now - lastWait_ < kFrameGapTicks;
    if (inRun) ticks_ += now - lastWait_;
    waited_ = true;
    lastWait_ = now;
    return inRun;
  }
  // Whether the window's events are due at `now`; if they are, they count as taken.
  bool EventsDue(std::uint64_t now) {
    if (now - lastEvents_ < kEventIntervalTicks) return false;
    lastEvents_ = now;
    return true;
  }
  void Presented() { ++presents_; }

  std::uint64_t Presents() const { return presents_; }
  std::uint64_t Ticks() const { return ticks_; }
  double Seconds() const {
    return static_cast<double>(ticks_) / static_cast<double>(kPitTicksPerSecond);
  }
  // "krelmo99: ..." figures for the player's console when asked for; `presentsInAll` counts
  // the presents outside frames too.
  std::string StatsLine(std::uint64_t presentsInAll) const {
    const double seconds = Seconds();
    char line[160];
    std::snprintf(line, sizeof line,
                  "krelmo99: %llu presents in %.1f s of frames (%.1f presents/s), %llu in all",
                  static_cast<unsigned long long>(presents_), seconds,
                  seconds > 0 ? static_cast<double>(presents_) / seconds : 0.0,
                  static_cast<unsigned long long>(presentsInAll));
    return line;
  }

 private:
  bool waited_ = false;
  std::uint64_t lastWait_ = 0;
  std::uint64_t lastEvents_ = 0;
  std::uint64_t ticks_ = 0;
  std::uint64_t presents_ = 0;
};

}  // namespace krelmo::platform
