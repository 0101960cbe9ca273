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
  runs_.Waited(now);
  if (runs_.EventsDue(now)) {
    DispatchWindowMessages(false);
  }
  if (cadence_.DueInWait(ticksLeft) && window_.SurfaceChanged()) {
    PresentNow();
    runs_.Presented();
  }
  inWait_ = false;
}

void FrameHost::WaitForEvents() {
  DWORD timeoutMs = INFINITE;
  if (window_.SurfaceChanged()) {
    if (cadence_.TicksUntilDue() == 0) {
      PresentNow();
    } else {
      timeoutMs = static_cast<DWORD>(cadence_.MsUntilDue());
    }
  }
  ::MsgWaitForMultipleObjectsEx(0, nullptr, timeoutMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  DispatchWindowMessages(true);
}

}  // namespace krelmo::win32
