// Keeping the page alive while the game runs a frame of busy-waited ball steps, showing the
// surface in the canvas, and sleeping while the game idles: the game's stack is unwound
// (Asyncify) and given back when the browser has had its turn or an event has come.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/frame_host.h"
#include "platform/present_cadence.h"
#include "platform/surface.h"

namespace krelmo::web {

// Called on the page's one thread. Its time comes from the clock under the emulated timer.
class WebFrameHost final : public platform::FrameHost {
 public:
  WebFrameHost(const platform::Surface& surface, const platform::Clock& clock,
               platform::PresentCadence& cadence)
      : surface_(surface), clock_(clock), cadence_(cadence) {}

  // Inside a step's wait: presents when the cadence says so, then gives the browser its turn
  // once a wait, at its start, when more than kYieldRoomTicks are left: what the browser
  // does meanwhile (input, sound, a display refresh) comes out of the wait rather than after
  // it, and the rest of the wait is spun to its end.
  void WhileWaiting(std::uint32_t ticksLeft) override;
  // The top loop found nothing to do: runs `onIdle` (the page's own business between
  // messages), then Wait().
  void WaitForEvents() override;
  // Presents what is due and sleeps until an event wakes the page, or until the next present
  // is due. The dialogs' loops wait here too.
  void Wait();

  // Only one host shows in the canvas at a time: the game, or a playback over it.
  void SetShown(bool shown);
  // Run between messages, never inside a frame: the joystick's poll, which draws.
  void RunWhenIdle(std::function<void()> work);
  // True while the page's one stack sleeps in this host's Wait().
  bool Idle() const { return idle_; }
  std::function<void()> onIdle;

  // Presents made inside step waits, the time spent in runs of step waits, and how the steps
  // kept to their waits: the ticks they asked for, and how many ran over by more than 1 ms.
  std::uint64_t FramePresents() const { return runs_.Presents(); }
  std::uint64_t Presents() const { return presents_; }
  double FrameSeconds() const { return runs_.Seconds(); }
  // "krelmo99: ..." figures for the console when asked for (the page's "?stats").
  std::string StatsLine() const;

  static constexpr std::uint32_t kYieldRoomTicks = platform::kPitTicksPerMs;

 private:
  bool Changed() const { return surface_.Generation() != presentedGeneration_; }
  void Present();
  void RunIdleWork();

  const platform::Surface& surface_;
  const platform::Clock& clock_;
  platform::PresentCadence& cadence_;
  std::vector<std::uint8_t> rgba_;
  std::uint64_t presentedGeneration_ = ~std::uint64_t{0};
  bool shown_ = false;
  bool idle_ = false;
  bool inWait_ = false;
  bool yieldedThisWait_ = false;
  std::uint32_t lastTicksLeft_ = 0;
  platform::FrameRuns runs_;
  // The steps of runs of frames: each wait's start, the ticks it asked for, their sum.
  std::uint64_t waitStart_ = 0;
  std::uint32_t waitAsked_ = 0;
  std::uint64_t steps_ = 0;
  std::uint64_t askedTicks_ = 0;
  std::uint64_t lateSteps_ = 0;
  std::uint64_t presents_ = 0;
  std::vector<std::function<void()>> idleWork_;
};

}  // namespace krelmo::web
