// Joystick 1 on Windows: the first XInput game controller's left stick and its A and B
// buttons, or else joystick 1 of the system's joystick service (joyGetPosEx), its X axis and
// first two buttons; the stick's X scaled to 0 to 65,535.
#pragma once

#include <cstdint>
#include <functional>

#include "frontend/win32/game_window.h"
#include "frontend/win32/win32.h"
#include "platform/joystick.h"

namespace krelmo::win32 {

// Used on the UI thread only. A controller pulled out reads as a centred stick with no
// buttons, and the first one plugged in (again) is read from then on.
class Joystick final : public platform::JoystickDevice {
 public:
  // The periodic poll runs on a timer of `window` whenever `mayPoll` allows it: never inside
  // a frame, whose own polls keep the paddle following the stick.
  Joystick(GameWindow& window, std::function<bool()> mayPoll);
  ~Joystick() override;
  Joystick(const Joystick&) = delete;
  Joystick& operator=(const Joystick&) = delete;

  bool GetDevCaps() override;
  bool GetPos(platform::JoystickReading& reading) override;
  // Only one poll runs at a time; its id is the window timer's.
  std::uint32_t StartPoll(std::uint32_t periodMs, void (*poll)(void*), void* context) override;
  void StopPoll(std::uint32_t id) override;

 private:
  using XInputGetStateFunction = DWORD(WINAPI*)(DWORD, XINPUT_STATE*);

  // Finds a device to read: an XInput controller first. False when there is none.
  bool Find();
  bool ReadController(platform::JoystickReading& reading);
  bool ReadJoystick(platform::JoystickReading& reading);

  GameWindow& window_;
  std::function<bool()> mayPoll_;
  HMODULE xinput_ = nullptr;
  XInputGetStateFunction getState_ = nullptr;
  int controller_ = -1;    // the XInput controller read, or -1
  bool joystick_ = false;  // joystick 1 of the joystick service is read
  JOYCAPSW caps_{};
  bool polling_ = false;
};

}  // namespace krelmo::win32
