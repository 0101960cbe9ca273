// Colours as the game stores and compares them: 0x00BBGGRR, red in the low byte.
// The palette's values are part of the game's logic, since bricks are found by colour.
#pragma once

#include <cstdint>

namespace krelmo {

using Colour = std::uint32_t;

constexpr Colour RGB(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return Colour{red} | (Colour{green} << 8) | (Colour{blue} << 16);
}

// A brush fills the inside of a rectangle, a pen draws its one-pixel ring.
struct Brush {
  Colour colour;
};
struct Pen {
  Colour colour;
};

}  // namespace krelmo
