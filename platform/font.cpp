// The stand-in block font, and text set from a glyph table as a mask.
#include "platform/font.h"

namespace krelmo::platform {

const GlyphTable& BlockFont() {
  static const GlyphTable table = [] {
    GlyphTable t;
    t.height = 16;
    for (int c = 0; c < 256; ++c) {
      Glyph& g = t.glyphs[static_cast<std::size_t>(c)];
      g.advance = 8;
      if (c <= ' ' || c > '~') continue;
      for (int y = 3; y <= 12; ++y) g.rows[static_cast<std::size_t>(y)] = 0x7Eu;
    }
    return t;
  }();
  return table;
}

int TextWidth(const GlyphTable& font, std::string_view text) {
  int width = 0;
  for (const char c : text) width += font.glyphs[static_cast<unsigned char>(c)].advance;
  return width;
}

TextMask RenderText(const GlyphTable& font, std::string_view text) {
  TextMask mask;
  mask.width = TextWidth(font, text);
  mask.height = font.height;
  mask.ink.assign(static_cast<std::size_t>(mask.width * mask.height), 0);
  int pen = 0;
  for (const char c : text) {
    const Glyph& g = font.glyphs[static_cast<unsigned char>(c)];
    for (int y = 0; y < mask.height; ++y) {
      for (int i = 0; i < 32; ++i) {
        const int x = pen + g.left + i;
        if ((g.rows[static_cast<std::size_t>(y)] >> i & 1u) && x >= 0 && x < mask.width) {
          mask.ink[static_cast<std::size_t>(y * mask.width + x)] = 1;
        }
      }
    }
    pen += g.advance;
  }
  return mask;
}

}  // namespace krelmo::platform
