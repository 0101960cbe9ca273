// The Windows front end in one piece: the surface, the queue, the emulated PC, the window and
// every service the game's logic reaches, built together and handed over as a Platform.
#pragma once

#include <functional>
#include <string>

#include "frontend/front_end_services.h"
#include "frontend/win32/dialogs.h"
#include "frontend/win32/frame_host.h"
#include "frontend/win32/game_window.h"
#include "frontend/win32/joystick.h"
#include "frontend/win32/wave_output.h"
#include "platform/audio_mixer.h"
#include "platform/audio_power.h"
#include "platform/platform.h"
#include "platform/present_cadence.h"

namespace krelmo::win32 {

// Built on the UI thread. The window is made here, hidden, titled `title`; WindowError() says
// why when it could not be. The settings are kept in `registry`. The audio device opens here;
// a timer of the window then closes it after some idle seconds outside a match and opens it
// again when needed (platform::AudioPower).
class Win32Platform : public frontend::FrontEndServices {
 public:
  Win32Platform(HINSTANCE instance, platform::RegistryStore& registry, const std::wstring& title);
  ~Win32Platform();
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  platform::Platform& Get() { return platform_; }
  const std::string& WindowError() const { return windowError_; }

  GameWindow window;
  FrameHost frameHost{window, clock, presentCadence};
  Dialogs dialogs{window, queue, frameHost};
  Joystick joystick{window, [this] { return !frameHost.InWait(); }};
  platform::RegistryStore& registry;
  // After the mixer, so that it closes (and its thread stops) before the mixer goes.
  WaveOutput audioDevice{sound};
  // The game's sound service and the speaker's sink, in front of the mixer.
  platform::AudioPower audio{sound, audioDevice, clock};

 private:
  std::string windowError_;
  platform::Platform platform_;
};

}  // namespace krelmo::win32
