// krelmo-wavegen: writes the game's eleven recordings as NNN.wav into a folder; run on the
// source tree's resources/sounds, from where they are committed and embedded.
#include <cstdio>
#include <fstream>
#include <string>

#include "tools/wavegen/wave_synth.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: krelmo-wavegen FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  for (const auto& recording : krelmo::wavegen::Recordings()) {
    const std::string path = folder + "/" + std::to_string(recording.waveId) + ".wav";
    const auto bytes = krelmo::wavegen::WaveFile(recording.waveId);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
      std::fprintf(stderr, "krelmo-wavegen: cannot write %s\n", path.c_str());
      return 1;
    }
    std::printf("%s: %zu samples, %zu bytes\n", path.c_str(), recording.samples, bytes.size());
  }
  return 0;
}
