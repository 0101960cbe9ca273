// The game's eleven wave recordings, synthesised from scratch: short blips for the brick rows,
// a knock for walls and paddle, a falling tone for a miss, fanfares, and the start-up chime.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace krelmo::wavegen {

constexpr int kSampleRate = 22'050;

struct RecordingInfo {
  int waveId;
  std::size_t samples;    // 8-bit mono samples in the "data" chunk
  std::size_t fileBytes;  // the whole file
  const char* title;      // its INAM text
};

// Every recording the game carries, by resource id.
const std::array<RecordingInfo, 11>& Recordings();

// The recording's samples (unsigned 8-bit, 128 is silence). Empty for an unknown id.
std::vector<std::uint8_t> Synthesise(int waveId);

// The complete RIFF WAVE file: "fmt ", "data" and a LIST/INFO chunk. Empty for an unknown id.
// The same id always gives the same bytes, on any machine: the synthesis uses no library maths.
std::vector<std::uint8_t> WaveFile(int waveId);

}  // namespace krelmo::wavegen
