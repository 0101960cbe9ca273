// The audio device of a page: a Web Audio output whose callback pulls finished samples from
// the game's mixer. When to open and close it is platform::AudioPower's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/audio_mixer.h"
#include "platform/audio_power.h"

namespace krelmo::web {

// Browsers start sound only after the player's first click or key on the page: until then an
// open output takes the mixer's samples at their pace and lets them go, so the start-up chime
// passes unheard rather than sounding late, and afterwards it plays them. Its callback runs
// on the page's one thread, whenever the game's stack has given the browser its turn.
class WebAudioOutput final : public platform::AudioOutput {
 public:
  explicit WebAudioOutput(platform::AudioMixer& mixer);
  ~WebAudioOutput() override;
  WebAudioOutput(const WebAudioOutput&) = delete;
  WebAudioOutput& operator=(const WebAudioOutput&) = delete;

  bool Open(std::string& error) override;
  void Close() override;

  // The page's callback: `count` samples of 22,050 a second, mono, 16 bits.
  const std::int16_t* Render(int count);

 private:
  platform::AudioMixer& mixer_;
  int id_;
  bool open_ = false;
  std::vector<std::int16_t> buffer_;
};

}  // namespace krelmo::web
