// The Qt front end in one piece: the surface, the queue, the emulated PC, the window and
// every service the game's logic reaches, built together and handed over as a Platform.
#pragma once

#include "frontend/headless/headless_platform.h"
#include "frontend/qt/game_window.h"
#include "frontend/qt/qt_dialogs.h"
#include "frontend/qt/qt_frame_host.h"
#include "frontend/qt/qt_window_system.h"
#include "frontend/qt/stub_devices.h"
#include "platform/platform.h"

namespace krelmo::qt {

// Built after the application object, on the UI thread. The main menu starts in the states
// of the game's menu table.
class QtPlatform {
 public:
  QtPlatform();
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
  QtFrameHost frameHost{window.View()};
  QtDialogs dialogs{window, queue};
  SilentSound sound;
  NoJoystick joystick;
  headless::MemoryRegistry registry;  // settings last for the run only, for now

 private:
  platform::Platform platform_;
};

}  // namespace krelmo::qt
