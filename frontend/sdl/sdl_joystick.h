// Joystick 1 on SDL: a game controller's left stick and its A and B buttons, or a plain
// joystick's axis 0 and buttons 0 and 1, with the stick's X scaled to 0 to 65,535.
#pragma once

#include <SDL_gamecontroller.h>

#include <cstdint>

#include "platform/joystick.h"

namespace krelmo::sdl {

// Used on the UI thread only. There is no SDL video, so nothing pumps SDL's devices in the
// background: every read updates them first and takes SDL's events of devices added and
// removed (the only events asked of SDL). A device pulled out is let go of, and one plugged
// in (again) is opened, so the poll reads it. Controllers are recognised by SDL's built-in
// database, extended by SDL_GAMECONTROLLERCONFIG from the environment.
//
// The periodic poll is the front end's (a timer of its UI thread): StartPoll and StopPoll
// stay for it to supply.
class SdlJoystick : public platform::JoystickDevice {
 public:
  // Starts SDL's joystick and game-controller subsystems; if they cannot start, no
  // joystick answers.
  SdlJoystick();
  ~SdlJoystick() override;
  SdlJoystick(const SdlJoystick&) = delete;
  SdlJoystick& operator=(const SdlJoystick&) = delete;

  // A device is attached. Devices plugged in later count, but the game asks only at start.
  bool GetDevCaps() override;
  // Opens the first device at the first read, and the first device again when one is
  // plugged in with none open. With the device pulled out and none other open, the read
  // reports failure and a centred stick with no buttons.
  bool GetPos(platform::JoystickReading& reading) override;

  bool IsGameController() const { return controller_ != nullptr; }

 private:
  bool Open();
  void Close();
  // The events of devices added and removed since the last read.
  void TakeDeviceEvents();

  bool initialised_ = false;
  // A device was open: one missing now reads as centred.
  bool opened_ = false;
  SDL_GameController* controller_ = nullptr;
  SDL_Joystick* joystick_ = nullptr;
};

}  // namespace krelmo::sdl
