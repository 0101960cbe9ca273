// Stand-ins for the devices the Qt front end does not drive yet: no audio output, no
// joystick.
#pragma once

#include <cstdint>

#include "platform/joystick.h"
#include "platform/sound.h"

namespace krelmo::qt {

// Nothing can be played: the game carries on silently and greys "Digital Audio".
class SilentSound final : public platform::SoundOutput {
 public:
  bool PlaySound(int, std::uint32_t) override { return false; }
};

// No joystick is attached: the game forces the mouse and greys "Joystick".
class NoJoystick final : public platform::JoystickDevice {
 public:
  bool GetDevCaps() override { return false; }
  bool GetPos(platform::JoystickReading&) override { return false; }
  std::uint32_t StartPoll(std::uint32_t, void (*)(void*), void*) override { return 0; }
  void StopPoll(std::uint32_t) override {}
};

}  // namespace krelmo::qt
