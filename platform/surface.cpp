// The drawing surface's primitives. Clipping is done once per call, so no primitive can
// write outside the buffer whatever coordinates it is given.
#include "platform/surface.h"

#include <algorithm>
#include <utility>

namespace krelmo::platform {

namespace {
const BlockFont kBlockFont;
}

Surface::Surface() : pixels_(static_cast<std::size_t>(kWidth * kHeight), 0), font_(&kBlockFont) {}

void Surface::Rectangle(int left, int top, int right, int bottom) {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  if (left == right || top == bottom) return;
  const int x0 = std::max(left, 0);
  const int y0 = std::max(top, 0);
  const int x1 = std::min(right, kWidth);
  const int y1 = std::min(bottom, kHeight);
  if (x0 >= x1 || y0 >= y1) return;
  for (int y = y0; y < y1; ++y) {
    std::uint32_t* row = &pixels_[static_cast<std::size_t>(y * kWidth)];
    if (y == top || y == bottom - 1) {
      std::fill(row + x0, row + x1, pen_);
      continue;
    }
    std::fill(row + x0, row + x1, brush_);
    if (left >= 0) row[left] = pen_;
    if (right - 1 < kWidth) row[right - 1] = pen_;
  }
  ++generation_;
}

Colour Surface::SetTextColor(Colour colour) {
  return std::exchange(textColour_, colour);
}
Colour Surface::SetBkColor(Colour colour) {
  return std::exchange(bkColour_, colour);
}

void Surface::SetFontRenderer(const FontRenderer* renderer) {
  font_ = renderer ? renderer : &kBlockFont;
}

void Surface::PaintMask(int x, int y, const TextMask& mask, int clipLeft, int clipTop,
                        int clipRight, int clipBottom) {
  clipLeft = std::max(clipLeft, 0);
  clipTop = std::max(clipTop, 0);
  clipRight = std::min(clipRight, kWidth);
  clipBottom = std::min(clipBottom, kHeight);
  const int x0 = std::max(x, clipLeft);
  const int y0 = std::max(y, clipTop);
  const int x1 = std::min(x + mask.width, clipRight);
  const int y1 = std::min(y + mask.height, clipBottom);
  if (x0 >= x1 || y0 >= y1) return;
  const Colour ink = textColour_;
  const Colour paper = bkColour_;
  const int n = x1 - x0;
  for (int py = y0; py < y1; ++py) {
    const std::uint8_t* from = &mask.ink[static_cast<std::size_t>((py - y) * mask.width + x0 - x)];
    std::uint32_t* to = &pixels_[static_cast<std::size_t>(py * kWidth + x0)];
    // A branch-free select over whole rows: the scoreboard is redrawn on every brick hit.
    for (int i = 0; i < n; ++i) to[i] = from[i] ? ink : paper;
  }
  ++generation_;
}

void Surface::TextOutA(int x, int y, std::string_view text) {
  if (text.empty()) return;
  PaintMask(x, y, font_->Render(text), 0, 0, kWidth, kHeight);
}

void Surface::DrawTextA(std::string_view text, int left, int top, int right, int bottom,
                        Align align) {
  int y = top;
  while (y < bottom) {
    const auto end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    const TextMask mask = font_->Render(line.empty() ? std::string_view(" ") : line);
    if (!line.empty()) {
      const int x = align == Align::kLeft ? left : right - mask.width;
      PaintMask(x, y, mask, left, top, right, bottom);
    }
    y += mask.height;
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
}

TextMask BlockFont::Render(std::string_view text) const {
  TextMask mask;
  mask.width = static_cast<int>(text.size()) * kCellWidth;
  mask.height = kCellHeight;
  mask.ink.assign(static_cast<std::size_t>(mask.width * mask.height), 0);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c <= ' ' || c > '~') continue;
    // Ink in columns 1..6 and rows 3..12 of the cell: a gap on every side keeps
    // neighbouring characters apart and the background visible.
    for (int y = 3; y <= 12; ++y) {
      for (int x = 1; x <= 6; ++x) {
        mask.ink[static_cast<std::size_t>(y * mask.width + static_cast<int>(i) * kCellWidth + x)] =
            1;
      }
    }
  }
  return mask;
}

}  // namespace krelmo::platform
