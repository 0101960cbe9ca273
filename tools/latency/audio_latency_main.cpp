// krelmo-audio-latency: how long a sound cue takes from the game's call to its first sample
// leaving the mixer for the audio device, for a recording and for a speaker click. Uses the
// device SDL_AUDIODRIVER names (dummy when unset) and prints percentiles over many cues.
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "frontend/sdl/sdl_audio.h"
#include "platform/audio_mixer.h"
#include "platform/sound.h"
#include "resources/waves.h"

namespace {

double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[static_cast<std::size_t>(p * static_cast<double>(values.size() - 1))];
}

double TicksToMs(std::uint64_t ticks) {
  return static_cast<double>(ticks) * 1000.0 / krelmo::platform::kPitTicksPerSecond;
}

// Waits until `read` gives a value other than `before`; that value, or `before` after 1 s.
template <typename Read>
std::uint64_t Changed(Read read, std::uint64_t before) {
  for (int i = 0; i < 10'000; ++i) {
    const std::uint64_t now = read();
    if (now != before) return now;
    std::this_thread::sleep_for(std::chrono::microseconds(100));
  }
  return before;
}

void Print(const char* what, const std::vector<double>& ms) {
  std::printf("%-32s p50 %5.2f ms  p99 %5.2f ms  max %5.2f ms  (%zu cues)\n", what,
              Percentile(ms, 0.5), Percentile(ms, 0.99), Percentile(ms, 1.0), ms.size());
}

}  // namespace

int main() {
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  krelmo::platform::SteadyClock clock;
  krelmo::platform::AudioMixer mixer(krelmo::resources::WaveResource, clock);
  std::string error;
  const auto device = krelmo::sdl::OpenAudioDevice(mixer, &error);
  if (!device) {
    std::fprintf(stderr, "krelmo-audio-latency: no audio device: %s\n", error.c_str());
    return 1;
  }
  std::printf("audio driver %s, %d samples a buffer (%.1f ms)\n", SDL_GetCurrentAudioDriver(),
              krelmo::platform::AudioMixer::kBufferSamples,
              1000.0 * krelmo::platform::AudioMixer::kBufferSamples /
                  krelmo::platform::AudioMixer::kSampleRate);

  std::vector<double> wave, tone;
  std::uint32_t seed = 12'345;
  for (int i = 0; i < 300; ++i) {
    // Cues fall anywhere in the device's cycle.
    seed = seed * 1'103'515'245u + 12'345u;
    std::this_thread::sleep_for(std::chrono::microseconds(5'000 + (seed >> 8) % 20'000));
    const std::uint64_t waveBefore = mixer.LastWaveStartTicks();
    const std::uint64_t cue = clock.Ticks();
    mixer.PlaySound(130, krelmo::platform::SND_RESOURCE | krelmo::platform::SND_ASYNC);
    const std::uint64_t heard = Changed([&] { return mixer.LastWaveStartTicks(); }, waveBefore);
    wave.push_back(TicksToMs(heard > cue ? heard - cue : 0));

    // A 3 ms click at 1,100 Hz, as a ball step makes it.
    const std::uint64_t toneBefore = mixer.LastToneStartTicks();
    const std::uint64_t on = clock.Ticks();
    mixer.SpeakerChanged(on, 1084, true);
    std::this_thread::sleep_for(std::chrono::milliseconds(3));
    mixer.SpeakerChanged(clock.Ticks(), 1084, false);
    const std::uint64_t sounded = Changed([&] { return mixer.LastToneStartTicks(); }, toneBefore);
    tone.push_back(TicksToMs(sounded > on ? sounded - on : 0));
  }
  Print("recording cue to first sample", wave);
  Print("speaker click to first sample", tone);
  return 0;
}
