// Win32-like queue ordering: posted messages, then the quit message, then timer ticks.
#include "platform/message_queue.h"

#include <algorithm>

namespace krelmo::platform {

namespace {
bool InRange(MessageId id, MessageId min, MessageId max) {
  if (min == 0 && max == 0) return true;
  return id >= min && id <= max;
}
}  // namespace

void MessageQueue::PostMessage(MessageId message, WPARAM wParam, LPARAM lParam) {
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

bool MessageQueue::PeekMessage(Message& out, MessageId filterMin, MessageId filterMax,
                               bool remove) {
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
