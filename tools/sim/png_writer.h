// A small PNG writer for the simulator's screenshots of the drawing surface.
#pragma once

#include <cstdint>
#include <string>

namespace krelmo::sim {

// Writes the top-left width x height pixels of a buffer of 0x00BBGGRR words, `stride` words
// a row, as an 8-bit RGB PNG. False when the file cannot be written.
bool WritePng(const std::string& path, const std::uint32_t* pixels, int stride, int width,
              int height);

}  // namespace krelmo::sim
