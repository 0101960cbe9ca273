// Text rasterisation for the drawing surface. The surface asks a FontRenderer for an
// ink mask and paints it itself, so text colours read back exactly like everything else.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace krelmo::platform {

struct TextMask {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> ink;  // width * height, row-major, 1 = ink
  bool At(int x, int y) const { return ink[static_cast<std::size_t>(y * width + x)] != 0; }
};

// Called on the UI thread only. Implementations must be deterministic: the same text
// always gives the same mask.
class FontRenderer {
 public:
  virtual ~FontRenderer() = default;
  virtual TextMask Render(std::string_view text) const = 0;
};

// A fixed-pitch stand-in font of 8 x 16 cells: every printable non-space character is a
// solid block inside its cell. Used where no real font is wanted (tests, the simulator).
class BlockFont final : public FontRenderer {
 public:
  static constexpr int kCellWidth = 8;
  static constexpr int kCellHeight = 16;
  TextMask Render(std::string_view text) const override;
};

}  // namespace krelmo::platform
