// XInput, loaded where the system has it, and the joystick service.
#include "frontend/win32/joystick.h"

#include <algorithm>

namespace krelmo::win32 {

namespace {

constexpr UINT_PTR kPollTimer = 2;
constexpr DWORD kControllers = 4;
constexpr DWORD kConnected = 0;  // the system's ERROR_SUCCESS

std::uint32_t Scaled(DWORD value, UINT low, UINT high) {
  if (high <= low) return platform::kJoystickCentre;
  const DWORD clamped = std::clamp<DWORD>(value, low, high);
  return static_cast<std::uint32_t>(std::uint64_t{clamped - low} * 65535 / (high - low));
}

}  // namespace

Joystick::Joystick(GameWindow& window, std::function<bool()> mayPoll)
    : window_(window), mayPoll_(std::move(mayPoll)) {
  // Windows 8 and later carry xinput1_4; earlier ones the redistributable's xinput1_3, and
  // every one since Vista the reduced xinput9_1_0.
  for (const wchar_t* name : {L"xinput1_4.dll", L"xinput1_3.dll", L"xinput9_1_0.dll"}) {
    xinput_ = ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!xinput_) continue;
    getState_ = reinterpret_cast<XInputGetStateFunction>(
        reinterpret_cast<void*>(::GetProcAddress(xinput_, "XInputGetState")));
    if (getState_) break;
    ::FreeLibrary(xinput_);
    xinput_ = nullptr;
  }
}

Joystick::~Joystick() {
  if (polling_) window_.StopTimer(kPollTimer);
  // XInput stays loaded until the process ends: once asked, it keeps a thread of its own
  // running in its code, and unloading it under that thread crashes the game as it exits.
}

bool Joystick::Find() {
  controller_ = -1;
  joystick_ = false;
  XINPUT_STATE state{};
  for (DWORD index = 0; getState_ && index < kControllers; ++index) {
    if (getState_(index, &state) == kConnected) {
      controller_ = static_cast<int>(index);
      return true;
    }
  }
  JOYINFOEX info{};
  info.dwSize = sizeof info;
  info.dwFlags = JOY_RETURNX | JOY_RETURNBUTTONS;
  joystick_ = ::joyGetDevCapsW(JOYSTICKID1, &caps_, sizeof caps_) == JOYERR_NOERROR &&
              ::joyGetPosEx(JOYSTICKID1, &info) == JOYERR_NOERROR;
  return joystick_;
}

bool Joystick::GetDevCaps() {
  return Find();
}

bool Joystick::ReadController(platform::JoystickReading& reading) {
  XINPUT_STATE state{};
  if (getState_(static_cast<DWORD>(controller_), &state) != kConnected) return false;
  reading.x = static_cast<std::uint32_t>(state.Gamepad.sThumbLX + 32768);
  reading.buttons = ((state.Gamepad.wButtons & XINPUT_GAMEPAD_A) ? 1u : 0u) |
                    ((state.Gamepad.wButtons & XINPUT_GAMEPAD_B) ? 2u : 0u);
  return true;
}

bool Joystick::ReadJoystick(platform::JoystickReading& reading) {
  JOYINFOEX info{};
  info.dwSize = sizeof info;
  info.dwFlags = JOY_RETURNX | JOY_RETURNBUTTONS;
  if (::joyGetPosEx(JOYSTICKID1, &info) != JOYERR_NOERROR) return false;
  reading.x = Scaled(info.dwXpos, caps_.wXmin, caps_.wXmax);
  reading.buttons = info.dwButtons & (JOY_BUTTON1 | JOY_BUTTON2);
  return true;
}

bool Joystick::GetPos(platform::JoystickReading& reading) {
  reading = {};
  const bool read =
      (controller_ >= 0 && ReadController(reading)) || (joystick_ && ReadJoystick(reading)) ||
      (Find() && (controller_ >= 0 ? ReadController(reading) : ReadJoystick(reading)));
  if (!read) reading = platform::kJoystickAtRest;
  return read;
}

std::uint32_t Joystick::StartPoll(std::uint32_t periodMs, void (*poll)(void*), void* context) {
  if (polling_) return 0;
  polling_ = true;
  window_.StartTimer(kPollTimer, periodMs, [this, poll, context] {
    if (!mayPoll_ || mayPoll_()) poll(context);
  });
  return static_cast<std::uint32_t>(kPollTimer);
}

void Joystick::StopPoll(std::uint32_t id) {
  if (id != kPollTimer || !polling_) return;
  window_.StopTimer(kPollTimer);
  polling_ = false;
}

}  // namespace krelmo::win32
