// The browser front end in one piece: the surface, the queue, the emulated PC, the canvas's
// window and every service the game's logic reaches, built together and handed over as a
// Platform. The page holds one for the game and, while a replay plays, one for the playback.
#pragma once

#include <functional>
#include <string>

#include "frontend/front_end_services.h"
#include "frontend/web/web_audio.h"
#include "frontend/web/web_dialogs.h"
#include "frontend/web/web_frame_host.h"
#include "frontend/web/web_joystick.h"
#include "frontend/web/web_window_system.h"
#include "platform/audio_mixer.h"
#include "platform/audio_power.h"
#include "platform/platform.h"
#include "platform/present_cadence.h"

namespace krelmo::web {

// The registry is kept in the file at `registryPath` of the page's file system (which the
// page fills from the browser's storage and copies back after each save), or in memory when
// it is empty (a playback). The main menu starts in the states of the game's menu table. The
// audio output opens here; a timer of the page then closes it after some idle seconds outside
// a match and opens it again when needed (platform::AudioPower).
class WebPlatform : public frontend::FrontEndServices {
 public:
  explicit WebPlatform(std::string registryPath = {});
  ~WebPlatform();
  WebPlatform(const WebPlatform&) = delete;
  WebPlatform& operator=(const WebPlatform&) = delete;

  platform::Platform& Get() { return platform_; }

  WebFrameHost frameHost{surface, clock, presentCadence};
  WebWindowSystem windowSystem{queue};
  WebDialogs dialogs{queue, frameHost};
  WebJoystick joystick{frameHost};
  platform::Registry registry;
  // After the mixer, so that it closes before the mixer goes.
  WebAudioOutput audioOutput{sound};
  platform::AudioPower audio{sound, audioOutput, clock};

 private:
  static void OnAudioTimer(void* self);

  platform::Platform platform_;
  long audioCheck_ = 0;
};

}  // namespace krelmo::web
