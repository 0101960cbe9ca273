// The game's wave recordings, embedded in the program from resources/sounds/NNN.wav (made by
// tools/wavegen), looked up by resource id as the sound service asks for them.
#pragma once

#include <cstdint>
#include <span>

namespace krelmo::resources {

// The whole RIFF file of recording `waveId`; empty when the program carries no such recording.
// Any thread may call it: the bytes are constant.
std::span<const std::uint8_t> WaveResource(int waveId);

}  // namespace krelmo::resources
