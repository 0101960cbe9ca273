// The Qt front end in one piece: the surface, the queue, the emulated PC, the window and
// every service the game's logic reaches, built together and handed over as a Platform.
#pragma once

#include <QTimer>
#include <functional>
#include <string>

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
class QtPlatform {
 public:
  explicit QtPlatform(std::string registryPath = {});
  ~QtPlatform();
  QtPlatform(const QtPlatform&) = delete;
  QtPlatform& operator=(const QtPlatform&) = delete;

  platform::Platform& Get() { return platform_; }

  platform::SteadyClock clock;
  platform::Surface surface;
  platform::MessageQueue queue;
  platform::PcHardware pc{clock};
  platform::MenuModel menu;
  GameWindow window;
  QtWindowSystem windowSystem{window, queue};
  // Presents at most once a display refresh, inside frames and between them alike.
  platform::PresentCadence presentCadence{clock};
  IdlePresenter idlePresenter{window.View(), presentCadence};
  QtFrameHost frameHost{window.View(), clock, presentCadence};
  QtDialogs dialogs{window, queue};
  // The wave and speaker voices; without an audio device at start-up every recording fails
  // to play and the speaker is not connected.
  platform::AudioMixer sound;
  QtJoystick joystick;
  platform::Registry registry;
  // Why no audio device opened at start-up (empty when one did).
  std::string audioError;
  // Whether a match runs, for the audio device's policy: set by whoever builds the game.
  // Unset, no match runs.
  std::function<bool()> matchRunning;
  // After the mixer, so that it closes (and its callback stops) before the mixer goes.
  sdl::AudioDevice audioDevice{sound};
  // The game's sound service and the speaker's sink, in front of the mixer.
  platform::AudioPower audio{sound, audioDevice, clock};

 private:
  platform::Platform platform_;
  QTimer audioCheck_;
};

}  // namespace krelmo::qt
