// The Qt front end in one piece: the surface, the queue, the emulated PC, the window and
// every service the game's logic reaches, built together and handed over as a Platform.
#pragma once

#include <memory>
#include <string>

#include "frontend/qt/game_window.h"
#include "frontend/qt/qt_dialogs.h"
#include "frontend/qt/qt_frame_host.h"
#include "frontend/qt/qt_joystick.h"
#include "frontend/qt/qt_window_system.h"
#include "frontend/sdl/sdl_audio.h"
#include "platform/audio_mixer.h"
#include "platform/platform.h"

namespace krelmo::qt {

// Built after the application object, on the UI thread. The main menu starts in the states
// of the game's menu table. The registry is kept in the file at `registryPath`, or in memory
// when it is empty (the GUI tests).
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
  QtFrameHost frameHost{window.View(), clock};
  QtDialogs dialogs{window, queue};
  // The wave and speaker voices; without an audio device every recording fails to play and
  // the speaker is not connected.
  platform::AudioMixer sound;
  QtJoystick joystick;
  platform::Registry registry;
  // Why no audio device opened (empty when one did).
  std::string audioError;

 private:
  platform::Platform platform_;
  // Last, so that it closes (and its callback stops) before the mixer goes.
  std::unique_ptr<sdl::AudioDevice> audio_;
};

}  // namespace krelmo::qt
