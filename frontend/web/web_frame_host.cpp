// The frame host of the page: presents into the canvas, the browser's turns inside a frame,
// and the sleep between messages.
#include "frontend/web/web_frame_host.h"

#include <cstdio>

#include "frontend/web/web_page.h"
#include "platform/window_system.h"

namespace krelmo::web {

namespace {
constexpr int kWidth = platform::kClientWidth;
constexpr int kHeight = platform::kClientHeight;
}  // namespace

void WebFrameHost::WhileWaiting(std::uint32_t ticksLeft) {
  if (inWait_) return;  // nothing the browser does in its turn starts a wait, but stay safe
  inWait_ = true;
  const std::uint64_t now = clock_.Ticks();
  const bool inRun = runs_.Waited(now);
  // Each step's wait counts down from its own start: a larger count is the next step's.
  if (ticksLeft > lastTicksLeft_) {
    yieldedThisWait_ = false;
    if (inRun) {
      // The step before, from its wait's start to this one's: its wait and its work.
      ++steps_;
      askedTicks_ += waitAsked_;
      if (now - waitStart_ > waitAsked_ + platform::kPitTicksPerMs) ++lateSteps_;
    }
    waitStart_ = now;
    waitAsked_ = ticksLeft;
  }
  lastTicksLeft_ = ticksLeft;
  if (shown_ && cadence_.DueInWait(ticksLeft) && Changed()) {
    cadence_.Presented();
    Present();
    runs_.Presented();
  }
  if (!yieldedThisWait_ && ticksLeft > kYieldRoomTicks) {
    yieldedThisWait_ = true;
    krelmo_sleep(0);
  }
  inWait_ = false;
}

void WebFrameHost::WaitForEvents() {
  if (onIdle) onIdle();
  Wait();
}

void WebFrameHost::Wait() {
  RunIdleWork();
  double timeoutMs = -1;
  if (shown_ && Changed()) {
    if (cadence_.TicksUntilDue() == 0) {
      cadence_.Presented();
      Present();
    } else {
      timeoutMs = static_cast<double>(cadence_.MsUntilDue());
    }
  }
  idle_ = true;
  krelmo_sleep(timeoutMs);
  idle_ = false;
  RunIdleWork();
}

void WebFrameHost::SetShown(bool shown) {
  shown_ = shown;
  // Whatever the canvas shows now is another host's: the next chance presents this one's.
  presentedGeneration_ = ~std::uint64_t{0};
}

void WebFrameHost::RunWhenIdle(std::function<void()> work) {
  idleWork_.push_back(std::move(work));
}

void WebFrameHost::RunIdleWork() {
  while (!idleWork_.empty()) {
    auto work = std::move(idleWork_.front());
    idleWork_.erase(idleWork_.begin());
    work();
  }
}

void WebFrameHost::Present() {
  // The surface's 0x00BBGGRR words are the bytes R, G, B, 0: the canvas wants its alpha opaque.
  rgba_.resize(static_cast<std::size_t>(kWidth * kHeight * 4));
  const std::uint32_t* pixels = surface_.Pixels();
  std::uint32_t* out = reinterpret_cast<std::uint32_t*>(rgba_.data());
  for (int y = 0; y < kHeight; ++y) {
    const std::uint32_t* row = pixels + static_cast<std::size_t>(y) * platform::Surface::kWidth;
    for (int x = 0; x < kWidth; ++x) *out++ = row[x] | 0xFF000000u;
  }
  krelmo_present(rgba_.data(), kWidth, kHeight);
  presentedGeneration_ = surface_.Generation();
  ++presents_;
}

std::string WebFrameHost::StatsLine() const {
  // The steps' real length against what they asked for (their work is in the first, not the
  // second, and is a few microseconds).
  const double pacing =
      askedTicks_ > 0 ? 100.0 * (static_cast<double>(runs_.Ticks()) / askedTicks_ - 1.0) : 0.0;
  char steps[128];
  std::snprintf(
      steps, sizeof steps, "; %llu steps %+.2f %% over their waits, %llu late by more than 1 ms",
      static_cast<unsigned long long>(steps_), pacing, static_cast<unsigned long long>(lateSteps_));
  return runs_.StatsLine(presents_) + steps;
}

}  // namespace krelmo::web
