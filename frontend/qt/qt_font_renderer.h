// The game's text as Qt rasterises it: DejaVu Sans Bold from the program's resources, one
// bit a pixel. The glyph table both front ends draw from is made from it and checked
// against it; nothing draws with it during play.
#pragma once

#include <QFont>
#include <string_view>

#include "platform/font.h"

namespace krelmo::qt {

class QtFontRenderer final {
 public:
  // Needs the application object. Falls back to the default font, with a warning, when the
  // embedded one cannot be loaded.
  QtFontRenderer();

  // A line of Windows-1252 text as Qt draws it on a box as wide as its advance.
  platform::TextMask Render(std::string_view text) const;
  // Every printable character drawn alone: its advance and its ink around the pen.
  platform::GlyphTable MakeGlyphTable() const;

  bool UsesEmbeddedFont() const { return embedded_; }
  const QFont& Font() const { return font_; }

 private:
  QFont font_;
  bool embedded_ = false;
};

}  // namespace krelmo::qt
