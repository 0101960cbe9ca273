// The joystick poll: button edges become clicks, the stick's X becomes the paddle's place.
#include "status/joystick.h"

#include <algorithm>
#include <cstdlib>

#include "engine/frame.h"

namespace krelmo::status {

namespace {

// A button posts its click when it goes down; holding it posts nothing more, and letting
// it go posts nothing at all.
void PostPress(engine::Engine& engine, bool down, bool& wasDown, MessageId click) {
  if (!down) {
    wasDown = false;
    return;
  }
  if (wasDown) return;
  engine.platform.queue.PostMessage(click, 0, 0);
  wasDown = true;
}

// The paddle's left edge for a stick reading (MovePaddle then raises it to at least 20).
std::int32_t JoystickPaddleX(std::uint32_t x) {
  return static_cast<std::int32_t>(
      std::min<std::uint32_t>(x / kJoystickUnitsPerPixel, kJoystickPaddleRightmost));
}

}  // namespace

void PollJoystick(engine::Engine& engine) {
  if (engine.settings.useMouse) return;
  auto& s = engine.state;
  // A failed read leaves the last reading in place; the device reads a controller that
  // was pulled out as centred with no buttons.
  engine.platform.joystick.GetPos(s.joyInfo);

  PostPress(engine, (s.joyInfo.buttons & 1) != 0, s.joyButton1Down, WM_LBUTTONDOWN);
  PostPress(engine, (s.joyInfo.buttons & 2) != 0, s.joyButton2Down, WM_RBUTTONDOWN);

  const std::uint32_t x = s.joyInfo.x;
  if (s.lastJoyX != engine::kNoJoystickMoveYet &&
      std::llabs(static_cast<long long>(x) - s.lastJoyX) <= kJoystickDeadBand) {
    return;
  }
  engine::MovePaddle(engine, JoystickPaddleX(x));
  s.lastJoyX = x;
}

}  // namespace krelmo::status
