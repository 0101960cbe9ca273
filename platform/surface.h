// The drawing surface: a 640 x 480 buffer of 0x00BBGGRR pixels standing in for the
// window's device context. The game draws on it straight away and reads pixels back.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/colour.h"
#include "platform/font.h"

namespace krelmo::platform {

// Called on the UI thread only. Every write is clipped to the buffer.
class Surface {
 public:
  static constexpr int kWidth = 640;
  static constexpr int kHeight = 480;

  Surface();

  // Selection stays in force until the next selection of the same kind, as on a DC.
  void SelectObject(Brush brush) { brush_ = brush.colour; }
  void SelectObject(Pen pen) { pen_ = pen.colour; }
  Colour SelectedBrush() const { return brush_; }
  Colour SelectedPen() const { return pen_; }

  // Paints columns left..right-1 and rows top..bottom-1: the outer ring in the pen colour,
  // the rest in the brush colour. An empty rectangle paints nothing.
  void Rectangle(int left, int top, int right, int bottom);

  // The colour at (x, y); 0 (black) outside the surface.
  Colour GetPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= kWidth || y >= kHeight) return 0;
    return pixels_[static_cast<std::size_t>(y * kWidth + x)];
  }

  Colour SetTextColor(Colour colour);
  Colour SetBkColor(Colour colour);
  Colour TextColor() const { return textColour_; }
  Colour BkColor() const { return bkColour_; }

  // Draws text with its top-left corner at (x, y) on an opaque box of the background colour.
  void TextOutA(int x, int y, std::string_view text);

  enum class Align { kLeft, kRight };
  // Several lines, split at '\n', inside the rectangle; no wrapping, clipped to it.
  void DrawTextA(std::string_view text, int left, int top, int right, int bottom, Align align);

  // The table must outlive the surface; null restores the block font.
  void SetFont(const GlyphTable* font);
  const GlyphTable& Font() const { return *font_; }

  const std::uint32_t* Pixels() const { return pixels_.data(); }
  // Grows by one with every change of pixels; lets a presenter skip unchanged frames.
  std::uint64_t Generation() const { return generation_; }

 private:
  struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool Meets(const Box& o) const {
      return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
  };
  // A text still standing as drawn: the scoreboard draws the same texts at the same places
  // over and over, and only the glyphs that differ need painting again.
  struct TextMemo {
    bool live = false;
    int x = 0, y = 0;
    Box box;  // clipped to the surface
    Colour ink = 0, paper = 0;
    const GlyphTable* font = nullptr;
    std::uint8_t length = 0;
    std::array<char, 40> text{};
  };

  // Paints the columns from `from` on of a text set at (x, y), `width` wide, inside `clip`.
  void PaintText(int x, int y, std::string_view text, int width, int from, const Box& clip);
  // Forgets every text that a write to the box touches.
  void Overwritten(const Box& box) {
    if (memoBounds_.Meets(box)) ForgetTextsIn(box);
  }
  void ForgetTextsIn(const Box& box);

  std::vector<std::uint32_t> pixels_;
  Colour brush_ = 0xFFFFFF;
  Colour pen_ = 0;
  Colour textColour_ = 0;
  Colour bkColour_ = 0xFFFFFF;
  const GlyphTable* font_ = nullptr;
  int rightOverhang_ = 0;  // how far any glyph of the font inks past its advance
  std::uint64_t generation_ = 0;
  std::array<TextMemo, 6> memos_{};
  Box memoBounds_;  // around every live memo
  std::size_t nextMemo_ = 0;
};

}  // namespace krelmo::platform
