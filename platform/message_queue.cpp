// Win32-like queue ordering: posted messages, then the quit message, then timer ticks.
// Mouse moves are merged as the platform's input queue merges them.
#include "platform/message_queue.h"

#include <algorithm>

namespace krelmo::platform {

namespace {
constexpr MessageId kFirstKeyMessage = 0x0100;
constexpr MessageId kLastKeyMessage = 0x0109;
constexpr MessageId kFirstMouseMessage = 0x0200;
constexpr MessageId kLastMouseMessage = 0x020E;

bool InRange(MessageId id, MessageId min, MessageId max) {
  if (min == 0 && max == 0) return true;
  return id >= min && id <= max;
}

bool IsInput(MessageId id) {
  return (id >= kFirstKeyMessage && id <= kLastKeyMessage) ||
         (id >= kFirstMouseMessage && id <= kLastMouseMessage);
}
}  // namespace

void MessageQueue::PostMessage(MessageId message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_MOUSEMOVE) {
    // A mouse that reports a thousand times a second outruns the frame, which takes one
    // move a step: a move still waiting behind no click or key takes the new position, so
    // the paddle follows the pointer instead of its history.
    const auto lastInput = std::find_if(posted_.rbegin(), posted_.rend(),
                                        [](const Message& m) { return IsInput(m.message); });
    if (lastInput != posted_.rend() && lastInput->message == WM_MOUSEMOVE) {
      lastInput->wParam = wParam;
      lastInput->lParam = lParam;
      return;
    }
  }
  posted_.push_back({message, wParam, lParam});
}

void MessageQueue::PostTimer(WPARAM timerId) {
  if (std::find(timers_.begin(), timers_.end(), timerId) == timers_.end()) {
    timers_.push_back(timerId);
  }
}

void MessageQueue::PostQuitMessage(int exitCode) {
  quitPending_ = true;
  exitCode_ = exitCode;
}

bool MessageQueue::PeekQueued(Message& out, MessageId filterMin, MessageId filterMax, bool remove) {
  for (auto it = posted_.begin(); it != posted_.end(); ++it) {
    if (!InRange(it->message, filterMin, filterMax)) continue;
    out = *it;
    if (remove) posted_.erase(it);
    return true;
  }
  if (quitPending_ && InRange(WM_QUIT, filterMin, filterMax)) {
    out = {WM_QUIT, static_cast<WPARAM>(exitCode_), 0};
    if (remove) quitPending_ = false;
    return true;
  }
  if (!timers_.empty() && InRange(WM_TIMER, filterMin, filterMax)) {
    out = {WM_TIMER, timers_.front(), 0};
    if (remove) timers_.pop_front();
    return true;
  }
  return false;
}

}  // namespace krelmo::platform
