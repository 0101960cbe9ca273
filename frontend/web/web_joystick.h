// Joystick 1 in a page: the first gamepad the browser's Gamepad API shows, polled by a timer
// of the page that runs between the game's messages, never inside a frame.
#pragma once

#include <cstdint>

#include "frontend/web/web_frame_host.h"
#include "platform/joystick.h"

namespace krelmo::web {

// A browser shows a gamepad only once one of its buttons was pressed with the page open, so
// a gamepad must have been used before the page (re)loads for the game to find it at start.
// A game controller drives the paddle with its left stick and serves and pauses with A and
// B (the standard mapping's axis 0 and buttons 0 and 1); a plain joystick with its first axis
// and first two buttons, which are the same.
class WebJoystick final : public platform::JoystickDevice {
 public:
  explicit WebJoystick(WebFrameHost& frameHost) : frameHost_(frameHost) {}
  ~WebJoystick() override;
  WebJoystick(const WebJoystick&) = delete;
  WebJoystick& operator=(const WebJoystick&) = delete;

  bool GetDevCaps() override;
  bool GetPos(platform::JoystickReading& reading) override;
  // One poll at a time; its id is 1. Each tick runs the poll at once while the game waits
  // for events, and otherwise at its next wait.
  std::uint32_t StartPoll(std::uint32_t periodMs, void (*poll)(void*), void* context) override;
  void StopPoll(std::uint32_t id) override;

 private:
  static void Tick(void* self);
  void RunPoll();

  WebFrameHost& frameHost_;
  long interval_ = 0;
  void (*poll_)(void*) = nullptr;
  void* context_ = nullptr;
  bool pollDue_ = false;
  bool read_ = false;
};

}  // namespace krelmo::web
