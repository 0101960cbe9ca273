// The Qt front end in one piece: the surface, the queue, the emulated PC, the window and
// every service the game's logic reaches, built together and handed over as a Platform.
#pragma once

#include <QTimer>
#include <functional>
#include <string>

#include "frontend/front_end_services.h"
#include "frontend/qt/game_window.h"
#include "frontend/qt/idle_presenter.h"
#include "frontend/qt/qt_dialogs.h"
#include "frontend/qt/qt_frame_host.h"
#include "frontend/qt/qt_joystick.h"
#include "frontend/qt/qt_window_system.h"
#include "frontend/sdl/sdl_audio.h"
#include "platform/audio_mixer.h"
#include "platform/audio_power.h"
#include "platform/platform.h"
#include "platform/present_cadence.h"

namespace krelmo::qt {

// Built after the application object, on the UI thread. The main menu starts in the states
// of the game's menu table. The registry is kept in the file at `registryPath`, or in memory
// when it is empty (the GUI tests). The audio device opens here; a timer of the UI thread
// then closes it after some idle seconds outside a match and opens it again when needed
// (platform::AudioPower).
class QtPlatform : public frontend::FrontEndServices {
 public:
  explicit QtPlatform(std::string registryPath = {});
  ~QtPlatform();
  QtPlatform(const QtPlatform&) = delete;
  QtPlatform& operator=(const QtPlatform&) = delete;

  platform::Platform& Get() { return platform_; }

  GameWindow window;
  QtWindowSystem windowSystem{window, queue};
  IdlePresenter idlePresenter{window.View(), presentCadence};
  QtFrameHost frameHost{window.View(), clock, presentCadence};
  QtDialogs dialogs{window, queue};
  QtJoystick joystick;
  platform::Registry registry;
  // After the mixer, so that it closes (and its callback stops) before the mixer goes.
  sdl::AudioDevice audioDevice{sound};
  // The game's sound service and the speaker's sink, in front of the mixer.
  platform::AudioPower audio{sound, audioDevice, clock};

 private:
  platform::Platform platform_;
  QTimer audioCheck_;
};

}  // namespace krelmo::qt
