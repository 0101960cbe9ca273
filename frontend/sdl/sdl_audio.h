// The audio device: SDL2 opened for audio only, its callback pulling finished samples from
// the game's mixer. Nothing else of the sound lives here: when to open and close is
// platform::AudioPower's.
#pragma once

#include <SDL_audio.h>

#include <memory>
#include <string>

#include "platform/audio_mixer.h"
#include "platform/audio_power.h"

namespace krelmo::sdl {

// UI thread. A device of 22,050 mono 16-bit samples in buffers of AudioMixer::kBufferSamples,
// whose callback (on SDL's audio thread) calls only mixer.Pull; it may be opened and closed
// any number of times. SDL's audio subsystem starts at the first Open and stops when this
// goes. `mixer` must outlive it.
class AudioDevice final : public platform::AudioOutput {
 public:
  explicit AudioDevice(platform::AudioMixer& mixer) : mixer_(mixer) {}
  ~AudioDevice() override;
  AudioDevice(const AudioDevice&) = delete;
  AudioDevice& operator=(const AudioDevice&) = delete;

  bool Open(std::string& error) override;
  // Returns once the callback has stopped.
  void Close() override;
  bool IsOpen() const { return id_ != 0; }

 private:
  platform::AudioMixer& mixer_;
  bool subsystem_ = false;
  SDL_AudioDeviceID id_ = 0;
};

// Opens a device at once and gives the mixer its output (for a tool that keeps it open);
// null when none opens, `error` then saying why.
std::unique_ptr<AudioDevice> OpenAudioDevice(platform::AudioMixer& mixer, std::string* error);

}  // namespace krelmo::sdl
