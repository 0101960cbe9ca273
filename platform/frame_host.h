// What the front end does for the game while it runs a frame of ball steps and while it
// idles between messages.
#pragma once

#include <cstdint>

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

}  // namespace krelmo::platform
