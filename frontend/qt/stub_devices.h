// Stand-ins for the devices the Qt front end does not drive yet: no joystick. Settings are
// kept in memory for the run (the headless front end's registry).
#pragma once

#include <cstdint>

#include "platform/joystick.h"

namespace krelmo::qt {

// No joystick is attached: the game forces the mouse and greys "Joystick".
class NoJoystick final : public platform::JoystickDevice {
 public:
  bool GetDevCaps() override { return false; }
  bool GetPos(platform::JoystickReading&) override { return false; }
  std::uint32_t StartPoll(std::uint32_t, void (*)(void*), void*) override { return 0; }
  void StopPoll(std::uint32_t) override {}
};

}  // namespace krelmo::qt
