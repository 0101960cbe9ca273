// Joystick 1 on SDL: opening the first device, as a game controller where SDL knows it as
// one, and reading its stick and two buttons.
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
}

SdlJoystick::~SdlJoystick() {
  if (controller_) {
    SDL_GameControllerClose(controller_);
  } else if (joystick_) {
    SDL_JoystickClose(joystick_);
  }
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
  return joystick_ != nullptr;
}

bool SdlJoystick::GetPos(platform::JoystickReading& reading) {
  if (!Open()) return false;
  SDL_JoystickUpdate();  // also brings the controller's state up to date
  if (!SDL_JoystickGetAttached(joystick_)) {
    reading = {kCentre, kCentre, kCentre, 0};
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
  reading.y = kCentre;  // the game reads X only
  reading.z = kCentre;
  reading.buttons = (button1 ? 1u : 0u) | (button2 ? 2u : 0u);
  return true;
}

}  // namespace krelmo::sdl
