// find-recordings: reads the raw 16-bit mono output the game's mixer gave SDL's disk driver
// and prints "ID at SAMPLE" for every start of one of the game's recordings found in it.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/audio_mixer.h"
#include "resources/waves.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: find-recordings RAW-FILE\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
  std::vector<std::int16_t> heard(bytes.size() / 2);
  std::copy_n(bytes.data(), heard.size() * 2, reinterpret_cast<char*>(heard.data()));

  // A recording's first 64 samples, as the mixer renders them with the speaker silent.
  constexpr std::size_t kOpening = 64;
  for (int id = 123; id <= 135; ++id) {
    const auto samples = krelmo::platform::WaveSamples(krelmo::resources::WaveResource(id));
    if (samples.size() < kOpening) continue;
    std::vector<std::int16_t> opening;
    for (std::size_t i = 0; i < kOpening; ++i) {
      opening.push_back(
          static_cast<std::int16_t>((samples[i] - 128) * krelmo::platform::AudioMixer::kWaveGain));
    }
    for (auto at = heard.begin();
         (at = std::search(at, heard.end(), opening.begin(), opening.end())) != heard.end();
         at += kOpening) {
      std::printf("%d at %td\n", id, at - heard.begin());
    }
  }
  return 0;
}
