// Joystick 1 for the Qt front end: the SDL device, polled by a timer of the UI thread.
#pragma once

#include <QTimer>
#include <cstdint>

#include "frontend/sdl/sdl_joystick.h"

namespace krelmo::qt {

// The periodic poll fires on the UI thread between the game's own work: frames keep
// timers out while they take window events, so a poll never runs inside a frame.
class QtJoystick final : public sdl::SdlJoystick {
 public:
  QtJoystick();
  // Only one poll runs at a time; its id is 1.
  std::uint32_t StartPoll(std::uint32_t periodMs, void (*poll)(void*), void* context) override;
  void StopPoll(std::uint32_t id) override;

 private:
  static constexpr std::uint32_t kPollId = 1;
  QTimer timer_;
  void (*poll_)(void*) = nullptr;
  void* context_ = nullptr;
};

}  // namespace krelmo::qt
