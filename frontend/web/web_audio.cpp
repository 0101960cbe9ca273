// The Web Audio output and the page's calls into it.
#include "frontend/web/web_audio.h"

#include <emscripten/emscripten.h>

#include <map>

#include "frontend/web/web_page.h"

namespace krelmo::web {

namespace {
// The page names each output by a number.
std::map<int, WebAudioOutput*>& Outputs() {
  static std::map<int, WebAudioOutput*> outputs;
  return outputs;
}
int nextOutput = 1;
}  // namespace

WebAudioOutput::WebAudioOutput(platform::AudioMixer& mixer) : mixer_(mixer), id_(nextOutput++) {
  Outputs()[id_] = this;
}

WebAudioOutput::~WebAudioOutput() {
  Close();
  Outputs().erase(id_);
}

bool WebAudioOutput::Open(std::string& error) {
  if (open_) return true;
  if (!krelmo_audio_open(id_)) {
    error = "this browser has no Web Audio";
    return false;
  }
  open_ = true;
  return true;
}

void WebAudioOutput::Close() {
  if (!open_) return;
  krelmo_audio_close(id_);
  open_ = false;
}

const std::int16_t* WebAudioOutput::Render(int count) {
  buffer_.resize(static_cast<std::size_t>(count));
  mixer_.Pull(buffer_);
  return buffer_.data();
}

}  // namespace krelmo::web

extern "C" EMSCRIPTEN_KEEPALIVE const std::int16_t* krelmo_audio_render(int output, int count) {
  const auto& outputs = krelmo::web::Outputs();
  const auto it = outputs.find(output);
  return it == outputs.end() || count <= 0 ? nullptr : it->second->Render(count);
}
