// SDL2's audio subsystem and one callback device, initialised on their own (no video), with
// SDL's signal handlers left out so that Ctrl+C and SIGTERM still reach the game.
#include "frontend/sdl/sdl_audio.h"

#include <SDL.h>

#include <span>

namespace krelmo::sdl {

namespace {

// SDL's audio thread.
void Callback(void* mixer, Uint8* stream, int bytes) {
  const std::span<std::int16_t> out(reinterpret_cast<std::int16_t*>(stream),
                                    static_cast<std::size_t>(bytes) / sizeof(std::int16_t));
  static_cast<platform::AudioMixer*>(mixer)->Pull(out);
}

}  // namespace

AudioDevice::~AudioDevice() {
  Close();
  if (subsystem_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool AudioDevice::Open(std::string& error) {
  if (id_ != 0) return true;
  if (!subsystem_) {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
      error = SDL_GetError();
      return false;
    }
    subsystem_ = true;
  }
  SDL_AudioSpec want{};
  want.freq = platform::AudioMixer::kSampleRate;
  want.format = AUDIO_S16SYS;
  want.channels = 1;
  want.samples = platform::AudioMixer::kBufferSamples;
  want.callback = &Callback;
  want.userdata = &mixer_;
  // SDL converts to whatever the hardware wants; the mixer always sees this format.
  id_ = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
  if (id_ == 0) {
    error = SDL_GetError();
    return false;
  }
  SDL_PauseAudioDevice(id_, 0);
  return true;
}

void AudioDevice::Close() {
  if (id_ == 0) return;
  SDL_CloseAudioDevice(id_);  // waits for the audio thread to end
  id_ = 0;
}

std::unique_ptr<AudioDevice> OpenAudioDevice(platform::AudioMixer& mixer, std::string* error) {
  auto device = std::make_unique<AudioDevice>(mixer);
  std::string why;
  if (!device->Open(why)) {
    if (error) *error = why;
    return nullptr;
  }
  mixer.SetOutputOpen(true);
  return device;
}

}  // namespace krelmo::sdl
