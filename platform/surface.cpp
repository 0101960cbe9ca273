// The drawing surface's primitives. Clipping is done once per call, so no primitive can
// write outside the buffer whatever coordinates it is given.
#include "platform/surface.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace krelmo::platform {

Surface::Surface() : pixels_(static_cast<std::size_t>(kWidth * kHeight), 0), font_(&BlockFont()) {}

void Surface::Rectangle(int left, int top, int right, int bottom) {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  if (left == right || top == bottom) return;
  const int x0 = std::max(left, 0);
  const int y0 = std::max(top, 0);
  const int x1 = std::min(right, kWidth);
  const int y1 = std::min(bottom, kHeight);
  if (x0 >= x1 || y0 >= y1) return;
  Overwritten({x0, y0, x1, y1});
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

void Surface::SetFont(const GlyphTable* font) {
  font_ = font ? font : &BlockFont();
  rightOverhang_ = 0;
  for (const Glyph& g : font_->glyphs) {
    std::uint32_t ink = 0;
    for (const std::uint32_t row : g.rows) ink |= row;
    if (ink != 0)
      rightOverhang_ =
          std::max(rightOverhang_, g.left + static_cast<int>(std::bit_width(ink)) - g.advance);
  }
}

void Surface::ForgetTextsIn(const Box& box) {
  memoBounds_ = {};
  for (TextMemo& memo : memos_) {
    if (!memo.live) continue;
    if (memo.box.Meets(box)) {
      memo.live = false;
      continue;
    }
    if (memoBounds_.left == memoBounds_.right) {
      memoBounds_ = memo.box;
    } else {
      memoBounds_ = {std::min(memoBounds_.left, memo.box.left),
                     std::min(memoBounds_.top, memo.box.top),
                     std::max(memoBounds_.right, memo.box.right),
                     std::max(memoBounds_.bottom, memo.box.bottom)};
    }
  }
}

void Surface::PaintText(int x, int y, std::string_view text, int width, int from, const Box& clip) {
  const GlyphTable& font = *font_;
  const int x0 = std::max({x, from, clip.left, 0});
  const int x1 = std::min({x + width, clip.right, kWidth});
  const int y0 = std::max({y, clip.top, 0});
  const int y1 = std::min({y + font.height, clip.bottom, kHeight});
  if (x0 >= x1 || y0 >= y1) return;
  const int n = x1 - x0;
  const int rows = y1 - y0;
  // The box in paper, a whole run of each row; then the ink of every glyph that reaches into
  // the columns painted.
  const Colour ink = textColour_;
  std::uint32_t* const topLeft = &pixels_[static_cast<std::size_t>(y0 * kWidth + x0)];
  for (int r = 0; r < rows; ++r) std::fill_n(topLeft + r * kWidth, n, bkColour_);
  int pen = x;
  for (const char c : text) {
    const Glyph& g = font.glyphs[static_cast<unsigned char>(c)];
    const int inkLeft = pen + g.left;
    if (pen - font.maxLeftOverhang >= x1) break;
    pen += g.advance;
    if (pen + rightOverhang_ <= x0) continue;
    // Only the glyph's columns inside [x0, x1) are looked at.
    const int skip = std::max(x0 - inkLeft, 0);
    const int start = inkLeft + skip - x0;
    if (start >= n) continue;
    const std::uint32_t keep = n - start >= 32 ? ~0u : (1u << (n - start)) - 1;
    for (int r = 0; r < rows; ++r) {
      std::uint32_t* to = topLeft + r * kWidth + start;
      for (std::uint32_t bits = g.rows[static_cast<std::size_t>(y0 - y + r)] >> skip & keep;
           bits != 0; bits &= bits - 1) {
        to[std::countr_zero(bits)] = ink;
      }
    }
  }
  ++generation_;
}

void Surface::TextOutA(int x, int y, std::string_view text) {
  if (text.empty()) return;
  TextMemo* same = nullptr;
  for (TextMemo& memo : memos_) {
    if (memo.live && memo.x == x && memo.y == y) same = &memo;
  }
  std::size_t common = 0;
  const bool alike =
      same && same->font == font_ && same->ink == textColour_ && same->paper == bkColour_;
  if (alike) {
    const std::string_view drawn(same->text.data(), same->length);
    while (common < drawn.size() && common < text.size() && drawn[common] == text[common]) {
      ++common;
    }
    if (common == text.size() && common == drawn.size()) return;  // already there
  }

  const int width = TextWidth(*font_, text);
  const Box box{std::max(x, 0), std::max(y, 0), std::min(x + width, kWidth),
                std::min(y + font_->height, kHeight)};
  if (box.left >= box.right || box.top >= box.bottom) return;
  // The glyphs before the first change stand as they are, but for what the changed ones ink
  // left of their pen.
  const int from =
      alike ? x + TextWidth(*font_, text.substr(0, common)) - font_->maxLeftOverhang : x;
  if (same) same->live = false;
  Overwritten(box);
  PaintText(x, y, text, width, from, {0, 0, kWidth, kHeight});

  if (text.size() > TextMemo{}.text.size()) return;
  TextMemo* slot = same;
  for (TextMemo& memo : memos_) {
    if (!slot && !memo.live) slot = &memo;
  }
  if (!slot) {
    slot = &memos_[nextMemo_];
    nextMemo_ = (nextMemo_ + 1) % memos_.size();
  }
  *slot = {true, x, y, box, textColour_, bkColour_, font_, static_cast<std::uint8_t>(text.size()),
           {}};
  std::copy(text.begin(), text.end(), slot->text.begin());
  // The bounds may stay wider than the live memos: they only spare looking at each.
  memoBounds_ =
      memoBounds_.left == memoBounds_.right
          ? box
          : Box{std::min(memoBounds_.left, box.left), std::min(memoBounds_.top, box.top),
                std::max(memoBounds_.right, box.right), std::max(memoBounds_.bottom, box.bottom)};
}

void Surface::DrawTextA(std::string_view text, int left, int top, int right, int bottom,
                        Align align) {
  const Box clip{std::max(left, 0), std::max(top, 0), std::min(right, kWidth),
                 std::min(bottom, kHeight)};
  int y = top;
  while (y < bottom) {
    const auto end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    if (!line.empty()) {
      const int width = TextWidth(*font_, line);
      const int x = align == Align::kLeft ? left : right - width;
      const Box box{std::max(x, clip.left), std::max(y, clip.top), std::min(x + width, clip.right),
                    std::min(y + font_->height, clip.bottom)};
      if (box.left < box.right && box.top < box.bottom) {
        Overwritten(box);
        PaintText(x, y, line, width, x, clip);
      }
    }
    y += font_->height;
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
}

}  // namespace krelmo::platform
