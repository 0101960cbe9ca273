// The surface's fonts: one-bit glyph masks and advances, by Windows-1252 code. The surface
// paints text from them itself, so text colours read back exactly like everything else.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace krelmo::platform {

// A line of text must fit the 20-pixel scoreboard bar.
constexpr int kMaxTextHeight = 16;

struct Glyph {
  std::int8_t left = 0;  // the first column of ink, counted from the pen position
  std::uint8_t advance = 0;
  // Row by row from the top of the line: bit i inks column left + i.
  std::array<std::uint32_t, kMaxTextHeight> rows{};
};

// Text is set glyph after glyph, each at the pen position the ones before it advanced to,
// on a box as wide as the advances and as tall as the line; ink outside the box is cut off.
struct GlyphTable {
  int height = 0;
  int maxLeftOverhang = 0;  // how far any glyph inks left of its pen position
  std::array<Glyph, 256> glyphs{};
};

// A fixed-pitch stand-in of 8 x 16 cells: every printable character other than the space is
// a solid block in columns 1..6 and rows 3..12 of its cell. The tests read text by it.
const GlyphTable& BlockFont();

// The width of the box a text is drawn on.
int TextWidth(const GlyphTable& font, std::string_view text);

struct TextMask {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> ink;  // width * height, row-major, 1 = ink
  bool At(int x, int y) const { return ink[static_cast<std::size_t>(y * width + x)] != 0; }
};

// The pixels a text is drawn with, as a mask: for the tools and the tests.
TextMask RenderText(const GlyphTable& font, std::string_view text);

}  // namespace krelmo::platform
