// Playback of the game's embedded wave recordings, with the one-voice rules of the
// platform's sound call.
#pragma once

#include <cstdint>

namespace krelmo::platform {

constexpr std::uint32_t SND_ASYNC = 0x0001;
constexpr std::uint32_t SND_NOSTOP = 0x0010;
constexpr std::uint32_t SND_RESOURCE = 0x40004;

// Called on the UI thread. Playback itself runs in the background.
class SoundOutput {
 public:
  virtual ~SoundOutput() = default;
  // Starts recording `waveId`. Without SND_NOSTOP it cuts off what is playing; with it,
  // the call is dropped while another recording plays. True when playback started.
  virtual bool PlaySound(int waveId, std::uint32_t flags) = 0;
};

}  // namespace krelmo::platform
