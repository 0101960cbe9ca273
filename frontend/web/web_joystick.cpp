// The gamepad through Emscripten's Gamepad API calls, and its poll.
#include "frontend/web/web_joystick.h"

#include <emscripten/eventloop.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cmath>

#include "frontend/web/web_page.h"

namespace krelmo::web {

namespace {

constexpr std::uint32_t kPollId = 1;

// The first connected gamepad, freshly sampled; false when there is none.
bool FirstGamepad(EmscriptenGamepadEvent& state) {
  if (emscripten_sample_gamepad_data() != EMSCRIPTEN_RESULT_SUCCESS) return false;
  const int count = emscripten_get_num_gamepads();
  for (int i = 0; i < count; ++i) {
    if (emscripten_get_gamepad_status(i, &state) == EMSCRIPTEN_RESULT_SUCCESS && state.connected) {
      return true;
    }
  }
  return false;
}

// The API's axes run from -1 to 1; the game's from 0 to 65,535.
std::uint32_t FromAxis(double value) {
  return static_cast<std::uint32_t>(std::lround((std::clamp(value, -1.0, 1.0) + 1.0) * 32767.5));
}

}  // namespace

WebJoystick::~WebJoystick() {
  if (interval_) emscripten_clear_interval(interval_);
}

bool WebJoystick::GetDevCaps() {
  EmscriptenGamepadEvent state;
  return FirstGamepad(state);
}

bool WebJoystick::GetPos(platform::JoystickReading& reading) {
  EmscriptenGamepadEvent state;
  const bool firstRead = !read_;
  read_ = true;
  if (!FirstGamepad(state)) {
    // Gone: a centred stick with no buttons, as a joystick pulled out reads.
    if (!firstRead) reading = platform::kJoystickAtRest;
    return false;
  }
  reading.x = state.numAxes > 0 ? FromAxis(state.axis[0]) : platform::kJoystickCentre;
  reading.y = platform::kJoystickCentre;  // the game reads X only
  reading.z = platform::kJoystickCentre;
  reading.buttons = (state.numButtons > 0 && state.digitalButton[0] ? 1u : 0u) |
                    (state.numButtons > 1 && state.digitalButton[1] ? 2u : 0u);
  return true;
}

std::uint32_t WebJoystick::StartPoll(std::uint32_t periodMs, void (*poll)(void*), void* context) {
  if (interval_) return 0;
  poll_ = poll;
  context_ = context;
  interval_ = emscripten_set_interval(&WebJoystick::Tick, periodMs, this);
  return kPollId;
}

void WebJoystick::StopPoll(std::uint32_t id) {
  if (id != kPollId || !interval_) return;
  emscripten_clear_interval(interval_);
  interval_ = 0;
  poll_ = nullptr;
  context_ = nullptr;
}

void WebJoystick::Tick(void* self) {
  auto& joystick = *static_cast<WebJoystick*>(self);
  if (joystick.frameHost_.Idle()) {
    joystick.RunPoll();
    krelmo_wake();  // what the poll posted, and the paddle it drew
    return;
  }
  if (joystick.pollDue_) return;
  joystick.pollDue_ = true;
  joystick.frameHost_.RunWhenIdle([&joystick] { joystick.RunPoll(); });
}

void WebJoystick::RunPoll() {
  pollDue_ = false;
  if (poll_) poll_(context_);
}

}  // namespace krelmo::web
