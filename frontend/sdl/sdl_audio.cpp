// SDL2's audio subsystem and one callback device, initialised on their own (no video), with
// SDL's signal handlers left out so that Ctrl+C and SIGTERM still reach the game.
#include "frontend/sdl/sdl_audio.h"

#include <SDL.h>

#include <span>

namespace krelmo::sdl {

namespace {

class SdlAudioDevice final : public AudioDevice {
 public:
  explicit SdlAudioDevice(SDL_AudioDeviceID id) : id_(id) {}
  ~SdlAudioDevice() override {
    SDL_CloseAudioDevice(id_);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
  SdlAudioDevice(const SdlAudioDevice&) = delete;
  SdlAudioDevice& operator=(const SdlAudioDevice&) = delete;

  // SDL's audio thread.
  static void Callback(void* mixer, Uint8* stream, int bytes) {
    const std::span<std::int16_t> out(reinterpret_cast<std::int16_t*>(stream),
                                      static_cast<std::size_t>(bytes) / sizeof(std::int16_t));
    static_cast<platform::AudioMixer*>(mixer)->Pull(out);
  }

 private:
  SDL_AudioDeviceID id_;
};

}  // namespace

std::unique_ptr<AudioDevice> OpenAudioDevice(platform::AudioMixer& mixer, std::string* error) {
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    if (error) *error = SDL_GetError();
    return nullptr;
  }
  SDL_AudioSpec want{};
  want.freq = platform::AudioMixer::kSampleRate;
  want.format = AUDIO_S16SYS;
  want.channels = 1;
  want.samples = platform::AudioMixer::kBufferSamples;
  want.callback = &SdlAudioDevice::Callback;
  want.userdata = &mixer;
  // SDL converts to whatever the hardware wants; the mixer always sees this format.
  const SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
  if (id == 0) {
    if (error) *error = SDL_GetError();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return nullptr;
  }
  mixer.SetOutputOpen(true);
  SDL_PauseAudioDevice(id, 0);
  return std::make_unique<SdlAudioDevice>(id);
}

}  // namespace krelmo::sdl
