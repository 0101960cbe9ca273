// The audio device: SDL2 opened for audio only, its callback pulling finished samples from
// the game's mixer. Nothing else of the sound lives here.
#pragma once

#include <memory>
#include <string>

#include "platform/audio_mixer.h"

namespace krelmo::sdl {

// Open while it lives; closing it (UI thread) stops the callback before it returns.
class AudioDevice {
 public:
  virtual ~AudioDevice() = default;
};

// UI thread. Starts SDL's audio subsystem and a device of 22,050 mono 16-bit samples in
// buffers of AudioMixer::kBufferSamples, whose callback (on SDL's audio thread) calls only
// mixer.Pull. `mixer` must outlive the device. Null when no device opens; `error` then says
// why, for the caller to show or keep as it likes.
std::unique_ptr<AudioDevice> OpenAudioDevice(platform::AudioMixer& mixer, std::string* error);

}  // namespace krelmo::sdl
