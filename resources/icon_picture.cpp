// The icon laid out on a 16-unit grid and scaled, so every size shows the same picture.
#include "resources/icon_picture.h"

#include <algorithm>
#include <array>

namespace krelmo::resources {

namespace {

void Fill(std::vector<Colour>& pixels, int size, int left, int top, int width, int height,
          Colour colour) {
  const int right = std::min(left + width, size), bottom = std::min(top + height, size);
  for (int y = std::max(top, 0); y < bottom; ++y) {
    for (int x = std::max(left, 0); x < right; ++x) {
      pixels[static_cast<std::size_t>(y * size + x)] = colour;
    }
  }
}

}  // namespace

std::vector<Colour> GameIconPixels(int size) {
  const int u = size / 16;
  std::vector<Colour> pixels(static_cast<std::size_t>(size) * static_cast<std::size_t>(size),
                             RGB(0, 0, 0));
  // The frame walls: silver along the top and both sides.
  const Colour silver = RGB(192, 192, 192);
  Fill(pixels, size, 0, 0, size, u, silver);
  Fill(pixels, size, 0, 0, u, size, silver);
  Fill(pixels, size, size - u, 0, u, size, silver);
  // Three rows of bricks in the wall's top colours, with a gap knocked out.
  const std::array<Colour, 3> rows{RGB(255, 0, 255), RGB(0, 0, 255), RGB(0, 255, 0)};
  const int gap = u > 1 ? 1 : 0;
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      if (row == 2 && column == 1) continue;
      const int left = u + column * 14 * u / 3;
      Fill(pixels, size, left + gap, (2 + row * 2) * u, 14 * u / 3 - (u > 1 ? 2 : 1), u * 2 - gap,
           rows[row]);
    }
  }
  // The ball on its way up through the gap, and the paddle.
  const Colour white = RGB(255, 255, 255);
  Fill(pixels, size, 8 * u, 10 * u, 2 * u, 2 * u, white);
  Fill(pixels, size, 5 * u, 14 * u, 6 * u, u, white);
  return pixels;
}

}  // namespace krelmo::resources
