// krelmo-glyphs: writes the game's glyph table, as Qt draws the embedded font, as C++ data.
// Run it again only when the font or its size changes:
//   QT_QPA_PLATFORM=offscreen build/default/tools/krelmo-glyphs resources/fonts/game_font.cpp
#include <QGuiApplication>
#include <cstdio>

#include "frontend/qt/qt_font_renderer.h"
#include "platform/cp1252.h"

int main(int argc, char** argv) {
  QGuiApplication application(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: krelmo-glyphs OUTPUT.cpp\n");
    return 2;
  }
  const krelmo::qt::QtFontRenderer font;
  if (!font.UsesEmbeddedFont()) return 1;
  const krelmo::platform::GlyphTable table = font.MakeGlyphTable();

  std::FILE* out = std::fopen(argv[1], "w");
  if (!out) {
    std::perror(argv[1]);
    return 1;
  }
  std::fprintf(out,
               "// The game's text font as one-bit glyphs: DejaVu Sans Bold at %d pixels, drawn by "
               "Qt\n// without antialiasing. Made by krelmo-glyphs (tools/glyphs): make it again, "
               "do not edit.\n",
               font.Font().pixelSize());
  std::fprintf(out,
               "#include \"resources/fonts/game_font.h\"\n\nnamespace krelmo::resources {\n\n");
  std::fprintf(out,
               "// Each glyph: left, advance, then its rows from the top, bit i for column "
               "left + i.\n// clang-format off\n");
  std::fprintf(out, "const platform::GlyphTable kGameFont = {%d, %d, {{\n", table.height,
               table.maxLeftOverhang);
  for (int code = 0; code < 256; ++code) {
    const auto& g = table.glyphs[static_cast<std::size_t>(code)];
    if (!krelmo::platform::IsCp1252Printable(static_cast<std::uint8_t>(code))) {
      std::fprintf(out, "  {},  // 0x%02X\n", code);
      continue;
    }
    std::fprintf(out, "  {%d, %d, {", g.left, g.advance);
    for (int y = 0; y < table.height; ++y) {
      std::fprintf(out, "%s0x%X", y ? ", " : "",
                   static_cast<unsigned>(g.rows[static_cast<std::size_t>(y)]));
    }
    std::fprintf(out, "}},  // 0x%02X\n", code);
  }
  std::fprintf(out, "}}};\n// clang-format on\n\n}  // namespace krelmo::resources\n");
  return std::fclose(out) == 0 ? 0 : 1;
}
