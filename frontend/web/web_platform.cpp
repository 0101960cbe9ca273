// Building the page's services in the order they depend on one another.
#include "frontend/web/web_platform.h"

#include <emscripten/eventloop.h>

namespace krelmo::web {

WebPlatform::WebPlatform(std::string registryPath)
    : registry(std::move(registryPath)), platform_{surface, queue, pc,    frameHost, windowSystem,
                                                   dialogs, menu,  audio, joystick,  registry} {
  if (!StartAudio(audio)) return;
  audioCheck_ = emscripten_set_interval(&WebPlatform::OnAudioTimer,
                                        platform::AudioPower::kCheckPeriodMs, this);
}

WebPlatform::~WebPlatform() {
  if (audioCheck_) emscripten_clear_interval(audioCheck_);
}

void WebPlatform::OnAudioTimer(void* self) {
  auto& host = *static_cast<WebPlatform*>(self);
  host.CheckAudio(host.audio);
}

}  // namespace krelmo::web
