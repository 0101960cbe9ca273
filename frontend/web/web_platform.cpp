// Building the page's services in the order they depend on one another.
#include "frontend/web/web_platform.h"

#include <emscripten/eventloop.h>

#include <cstdio>

#include "resources/fonts/game_font.h"
#include "resources/menu.h"
#include "resources/waves.h"

namespace krelmo::web {

namespace {
platform::MenuModel& LoadedMenu(platform::MenuModel& menu) {
  for (const auto& item : resources::kMainMenu) {
    if (item.id != 0) menu.AddItem(item.id, item.initialState);
  }
  return menu;
}
}  // namespace

WebPlatform::WebPlatform(std::string registryPath)
    : sound(resources::WaveResource, clock),
      registry(std::move(registryPath)),
      platform_{surface,          queue, pc,       frameHost, windowSystem, dialogs,
                LoadedMenu(menu), audio, joystick, registry} {
  // The same glyphs as every front end: text is drawn pixel for pixel alike.
  surface.SetFont(&resources::kGameFont);
  if (!audio.Start(audioError)) return;
  pc.SetSpeakerSink(&audio);
  audio.onReopenFailed = [](const std::string& error) {
    std::fprintf(stderr,
                 "krelmo99: the audio output did not open again (%s); playing on silently\n",
                 error.c_str());
  };
  audioCheck_ =
      emscripten_set_interval(&WebPlatform::CheckAudio, platform::AudioPower::kCheckPeriodMs, this);
}

WebPlatform::~WebPlatform() {
  if (audioCheck_) emscripten_clear_interval(audioCheck_);
}

void WebPlatform::CheckAudio(void* self) {
  auto& host = *static_cast<WebPlatform*>(self);
  host.audio.Check(host.matchRunning && host.matchRunning());
}

}  // namespace krelmo::web
