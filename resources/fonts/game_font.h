// The game's text font as a glyph table: what both front ends draw text with.
#pragma once

#include "platform/font.h"

namespace krelmo::resources {

// Made from DejaVu Sans Bold (DejaVuSans-Bold.ttf beside it) by krelmo-glyphs.
extern const platform::GlyphTable kGameFont;

}  // namespace krelmo::resources
