// Joystick 1, as the game reads it: an X axis of 0 to 65,535 and two buttons.
#pragma once

#include <cstdint>

namespace krelmo::platform {

// The middle of an axis, where a stick at rest stands.
constexpr std::uint32_t kJoystickCentre = 32768;

struct JoystickReading {
  std::uint32_t x = 0;
  std::uint32_t y = 0;
  std::uint32_t z = 0;
  std::uint32_t buttons = 0;  // bit 0: button 1, bit 1: button 2
};

// A stick at rest with no button down: what a controller pulled out reads as.
constexpr JoystickReading kJoystickAtRest{kJoystickCentre, kJoystickCentre, kJoystickCentre, 0};

// Called on the UI thread (the front end runs the 100 ms poll there too).
class JoystickDevice {
 public:
  virtual ~JoystickDevice() = default;
  // True when a joystick is attached and answers.
  virtual bool GetDevCaps() = 0;
  virtual bool GetPos(JoystickReading& reading) = 0;
  // Starts calling `poll` every periodMs on the UI thread; returns a non-zero id, or 0.
  virtual std::uint32_t StartPoll(std::uint32_t periodMs, void (*poll)(void*), void* context) = 0;
  virtual void StopPoll(std::uint32_t id) = 0;
};

}  // namespace krelmo::platform
