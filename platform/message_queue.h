// The game's message queue. The front end posts into it; the game's loop, its frames and
// its modal dialogs take from it. Timer ticks and mouse moves are coalesced, as the
// platform's are.
#pragma once

#include <deque>
#include <optional>

#include "platform/messages.h"

namespace krelmo::platform {

class MessageQueue;

// Stands between the game and its queue while a match is recorded or played back: every
// message the game takes, or looks at, passes it. A recording asks the queue and notes the
// answer; a playback answers from its journal and leaves the queue alone.
class MessageSeam {
 public:
  virtual ~MessageSeam() = default;
  virtual bool Peek(MessageQueue& queue, Message& out, MessageId filterMin, MessageId filterMax,
                    bool remove) = 0;
};

// Used on the UI thread only: every producer (input, timers, the hand-over, the joystick
// poll) runs there.
class MessageQueue {
 public:
  // A mouse move posted while the last queued input message (key or mouse) is a mouse move
  // replaces that message's position and button flags: moves never pass a click or a key,
  // and whoever takes the move gets the newest position.
  void PostMessage(MessageId message, WPARAM wParam = 0, LPARAM lParam = 0);
  // Marks a tick of a window timer due. At most one tick of a timer is ever pending; the
  // ones that fall while it waits are dropped.
  void PostTimer(WPARAM timerId);
  // The quit message comes after every message posted before it.
  void PostQuitMessage(int exitCode);

  // The next message whose id lies in [filterMin, filterMax] (both 0: any). Posted
  // messages come first in order, then the quit message, then due timer ticks.
  // With a seam set, the seam answers.
  bool PeekMessage(Message& out, MessageId filterMin, MessageId filterMax, bool remove) {
    return seam_ ? seam_->Peek(*this, out, filterMin, filterMax, remove)
                 : PeekQueued(out, filterMin, filterMax, remove);
  }
  // The queue's own answer, whatever seam is set.
  bool PeekQueued(Message& out, MessageId filterMin, MessageId filterMax, bool remove);
  void SetSeam(MessageSeam* seam) { seam_ = seam; }

  bool Empty() const { return posted_.empty() && !quitPending_ && timers_.empty(); }
  std::size_t Size() const { return posted_.size() + (quitPending_ ? 1 : 0) + timers_.size(); }

 private:
  std::deque<Message> posted_;
  std::deque<WPARAM> timers_;
  MessageSeam* seam_ = nullptr;
  bool quitPending_ = false;
  int exitCode_ = 0;
};

}  // namespace krelmo::platform
