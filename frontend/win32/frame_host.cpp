// The frame host: messages and presents inside the step waits, the idle wait outside them.
#include "frontend/win32/frame_host.h"

#include <cstdio>

namespace krelmo::win32 {

void DispatchWindowMessages(bool withTimers) {
  MSG message;
  const auto take = [&message, withTimers] {
    if (withTimers) return ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE;
    return ::PeekMessageW(&message, nullptr, 0, WM_TIMER - 1, PM_REMOVE) ||
           ::PeekMessageW(&message, nullptr, WM_TIMER + 1, 0xFFFFFFFF, PM_REMOVE);
  };
  while (take()) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

void FrameHost::PresentNow() {
  cadence_.Presented();
  window_.Present();
}

void FrameHost::WhileWaiting(std::uint32_t ticksLeft) {
  if (inWait_) return;  // a message handled here can never start a wait, but stay safe
  inWait_ = true;
  const std::uint64_t now = clock_.Ticks();
  if (waited_ && now - lastWait_ < kFrameGapTicks) frameTicks_ += now - lastWait_;
  waited_ = true;
  lastWait_ = now;
  if (now - lastEvents_ >= kEventIntervalTicks) {
    lastEvents_ = now;
    DispatchWindowMessages(false);
  }
  if (cadence_.DueInWait(ticksLeft) && window_.SurfaceChanged()) {
    PresentNow();
    ++framePresents_;
  }
  inWait_ = false;
}

void FrameHost::WaitForEvents() {
  DWORD timeoutMs = INFINITE;
  if (window_.SurfaceChanged()) {
    const std::uint64_t ticks = cadence_.TicksUntilDue();
    if (ticks == 0) {
      PresentNow();
    } else {
      // Whole milliseconds, rounded up: never before the refresh is due.
      constexpr std::uint64_t kTicksPerMs = platform::kPitTicksPerSecond / 1000;
      timeoutMs = static_cast<DWORD>((ticks + kTicksPerMs - 1) / kTicksPerMs);
    }
  }
  ::MsgWaitForMultipleObjectsEx(0, nullptr, timeoutMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  DispatchWindowMessages(true);
}

std::string FrameHost::StatsLine() const {
  const double seconds =
      static_cast<double>(frameTicks_) / static_cast<double>(platform::kPitTicksPerSecond);
  char line[160];
  std::snprintf(line, sizeof line,
                "krelmo99: %llu presents in %.1f s of frames (%.1f presents/s), %llu in all",
                static_cast<unsigned long long>(framePresents_), seconds,
                seconds > 0 ? static_cast<double>(framePresents_) / seconds : 0.0,
                static_cast<unsigned long long>(window_.PresentCount()));
  return line;
}

}  // namespace krelmo::win32
