// Joystick 1 on SDL: opening the first device, as a game controller where SDL knows it as
// one, opening one again when a device is plugged in, and reading its stick and two buttons.
#include "frontend/sdl/sdl_joystick.h"

#include <SDL.h>

namespace krelmo::sdl {

namespace {

constexpr Uint32 kSubsystems = SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER;

// SDL's axes run from -32,768 to 32,767; the game's from 0 to 65,535.
std::uint32_t FromAxis(Sint16 value) {
  return static_cast<std::uint32_t>(value + 32768);
}

}  // namespace

SdlJoystick::SdlJoystick() {
  // SIGINT and SIGTERM are the game's to handle, not SDL's.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  initialised_ = SDL_InitSubSystem(kSubsystems) == 0;
  if (!initialised_) return;
  // Nobody takes events from SDL's queue: the state is read directly, so SDL need not
  // queue an event for every movement of the stick.
  SDL_JoystickEventState(SDL_IGNORE);
  SDL_GameControllerEventState(SDL_IGNORE);
  // Only a device's coming and going is queued, a few events at most, for the reads to take.
  // (Those of devices present at start were dropped with the rest just now.)
  SDL_EventState(SDL_JOYDEVICEADDED, SDL_ENABLE);
  SDL_EventState(SDL_JOYDEVICEREMOVED, SDL_ENABLE);
  SDL_FlushEvents(SDL_JOYDEVICEADDED, SDL_JOYDEVICEREMOVED);
}

SdlJoystick::~SdlJoystick() {
  Close();
  if (initialised_) SDL_QuitSubSystem(kSubsystems);
}

bool SdlJoystick::GetDevCaps() {
  return initialised_ && SDL_NumJoysticks() > 0;
}

bool SdlJoystick::Open() {
  if (joystick_) return true;
  if (!initialised_ || SDL_NumJoysticks() < 1) return false;
  if (SDL_IsGameController(0)) {
    controller_ = SDL_GameControllerOpen(0);
    if (controller_) joystick_ = SDL_GameControllerGetJoystick(controller_);
  }
  if (!joystick_) joystick_ = SDL_JoystickOpen(0);
  opened_ |= joystick_ != nullptr;
  return joystick_ != nullptr;
}

void SdlJoystick::Close() {
  if (controller_) {
    SDL_GameControllerClose(controller_);  // closes its joystick as well
  } else if (joystick_) {
    SDL_JoystickClose(joystick_);
  }
  controller_ = nullptr;
  joystick_ = nullptr;
}

void SdlJoystick::TakeDeviceEvents() {
  SDL_Event events[8];
  int count = 0;
  while ((count = SDL_PeepEvents(events, 8, SDL_GETEVENT, SDL_JOYDEVICEADDED,
                                 SDL_JOYDEVICEREMOVED)) > 0) {
    for (int i = 0; i < count; ++i) {
      const SDL_JoyDeviceEvent& device = events[i].jdevice;
      if (device.type == SDL_JOYDEVICEREMOVED) {
        // Ours, pulled out: let go of it, and take another device still plugged in, if any.
        if (joystick_ && device.which == SDL_JoystickInstanceID(joystick_)) {
          Close();
          Open();
        }
      } else if (!joystick_ || !SDL_JoystickGetAttached(joystick_)) {
        // Plugged in (again) with none open: the first device is joystick 1.
        Close();
        Open();
      }
    }
  }
}

bool SdlJoystick::GetPos(platform::JoystickReading& reading) {
  if (!initialised_) return false;
  if (!opened_) Open();  // the first read
  // Brings the devices' state up to date (the controller's too) and notices devices added
  // and removed, queuing their events; with no SDL video, pumping SDL's events would do no
  // more than this.
  SDL_JoystickUpdate();
  TakeDeviceEvents();
  if (!joystick_ || !SDL_JoystickGetAttached(joystick_)) {
    if (opened_) reading = platform::kJoystickAtRest;
    return false;
  }
  bool button1 = false;
  bool button2 = false;
  if (controller_) {
    reading.x = FromAxis(SDL_GameControllerGetAxis(controller_, SDL_CONTROLLER_AXIS_LEFTX));
    button1 = SDL_GameControllerGetButton(controller_, SDL_CONTROLLER_BUTTON_A);
    button2 = SDL_GameControllerGetButton(controller_, SDL_CONTROLLER_BUTTON_B);
  } else {
    reading.x = FromAxis(SDL_JoystickGetAxis(joystick_, 0));
    button1 = SDL_JoystickGetButton(joystick_, 0);
    button2 = SDL_JoystickGetButton(joystick_, 1);
  }
  reading.y = platform::kJoystickCentre;  // the game reads X only
  reading.z = platform::kJoystickCentre;
  reading.buttons = (button1 ? 1u : 0u) | (button2 ? 2u : 0u);
  return true;
}

}  // namespace krelmo::sdl
