// Text for the drawing surface, rasterised by Qt without antialiasing in the font that
// travels inside the program, so the game's text never depends on the machine's fonts.
#pragma once

#include <QFont>

#include "platform/font.h"

namespace krelmo::qt {

class QtFontRenderer final : public platform::FontRenderer {
 public:
  // Needs the application object. Falls back to the default font, with a warning, when the
  // embedded one cannot be loaded.
  QtFontRenderer();
  platform::TextMask Render(std::string_view text) const override;

  bool UsesEmbeddedFont() const { return embedded_; }
  const QFont& Font() const { return font_; }

  // A line of text must sit inside the 20-pixel scoreboard bar.
  static constexpr int kMaxLineHeight = 16;

 private:
  QFont font_;
  bool embedded_ = false;
};

}  // namespace krelmo::qt
