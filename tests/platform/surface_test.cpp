// The drawing surface: rectangles with their ring and inside, exact colour read-back,
// clipping at every edge, and text on its opaque box.
#include "platform/surface.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>

#include "engine/palette.h"
#include "resources/fonts/game_font.h"

namespace krelmo {
namespace {

using platform::Surface;

class SurfaceTest : public ::testing::Test {
 protected:
  // Counts the pixels of one colour over the whole surface.
  int CountColour(Colour colour) const {
    int n = 0;
    for (int y = 0; y < Surface::kHeight; ++y)
      for (int x = 0; x < Surface::kWidth; ++x) n += dc.GetPixel(x, y) == colour;
    return n;
  }
  Surface dc;
};

TEST_F(SurfaceTest, RectanglePaintsRingInPenAndInsideInBrushWithRightAndBottomExcluded) {
  dc.SelectObject(engine::blackPen);
  dc.SelectObject(engine::whiteBrush);
  dc.SelectObject(Pen{engine::kRed});
  dc.Rectangle(10, 10, 18, 18);
  for (int y = 8; y < 20; ++y) {
    for (int x = 8; x < 20; ++x) {
      const bool inside = x >= 10 && x <= 17 && y >= 10 && y <= 17;
      const bool ring = inside && (x == 10 || x == 17 || y == 10 || y == 17);
      const Colour expected = ring ? engine::kRed : inside ? engine::kWhite : 0;
      EXPECT_EQ(dc.GetPixel(x, y), expected) << x << "," << y;
    }
  }
}

TEST_F(SurfaceTest, EmptyThinReversedAndClippedRectangles) {
  dc.SelectObject(engine::whiteBrush);
  dc.SelectObject(Pen{engine::kRed});
  dc.Rectangle(100, 100, 100, 108);  // zero width
  dc.Rectangle(100, 100, 108, 100);  // zero height
  // Wholly outside on each side.
  for (const auto& [l, t, r, b] :
       {std::array{-100, 10, -1, 20}, {640, 10, 700, 20}, {10, -100, 20, 0}, {10, 480, 20, 600}}) {
    dc.Rectangle(l, t, r, b);
  }
  EXPECT_EQ(CountColour(0), Surface::kWidth * Surface::kHeight);
  dc.Rectangle(50, 50, 51, 60);
  EXPECT_EQ(CountColour(engine::kRed), 10) << "one pixel wide is all ring";
  EXPECT_EQ(CountColour(engine::kWhite), 0);
  dc.Rectangle(18, 18, 10, 10);
  EXPECT_EQ(dc.GetPixel(10, 10), engine::kRed);
  EXPECT_EQ(dc.GetPixel(12, 12), engine::kWhite);
  EXPECT_EQ(dc.GetPixel(18, 18), 0u);
  dc.Rectangle(636, 476, 645, 490);  // bottom-right corner: the near ring and the inside show
  EXPECT_EQ(dc.GetPixel(636, 476), engine::kRed);
  EXPECT_EQ(dc.GetPixel(639, 479), engine::kWhite);
  dc.Rectangle(-5, -5, 3, 3);  // top-left corner: the inside and the far ring
  EXPECT_EQ(dc.GetPixel(0, 0), engine::kWhite);
  EXPECT_EQ(dc.GetPixel(2, 0), engine::kRed);
  // A huge rectangle paints the whole surface inside, its ring off-screen; outside reads black.
  dc.Rectangle(-1000, -1000, 5000, 5000);
  EXPECT_EQ(CountColour(engine::kWhite), Surface::kWidth * Surface::kHeight);
  for (const auto& [x, y] : {std::pair{-1, 0}, {0, -1}, {640, 0}, {0, 480}}) {
    EXPECT_EQ(dc.GetPixel(x, y), 0u) << x << "," << y;
  }
  EXPECT_EQ(engine::kOrange, 0x000080FFu) << "red sits in the low byte";
}

TEST_F(SurfaceTest, TextStandsOnAnOpaqueBoxOfTheBackgroundColour) {
  dc.SetTextColor(engine::kRed);
  dc.SetBkColor(engine::kSilver);
  dc.TextOutA(10, 0, "B:4");
  // The block font inks columns 1-6 and rows 3-12 of each 8 x 16 cell.
  EXPECT_EQ(dc.GetPixel(12, 5), engine::kRed);
  EXPECT_EQ(dc.GetPixel(10, 0), engine::kSilver);
  EXPECT_EQ(dc.GetPixel(33, 15), engine::kSilver);
  EXPECT_EQ(dc.GetPixel(34, 5), 0u) << "the box ends with the text";
  EXPECT_EQ(dc.SetTextColor(engine::kWhite), engine::kRed) << "returns the colour replaced";
  // Clipped at the edges.
  dc.SetBkColor(engine::kBlue);
  dc.TextOutA(630, 470, "clipped text");
  dc.TextOutA(-50, -10, "clipped text");
  EXPECT_EQ(dc.GetPixel(639, 470), engine::kBlue);
  EXPECT_EQ(dc.GetPixel(639, 479), engine::kWhite) << "ink of the second character";
  EXPECT_EQ(dc.GetPixel(0, 5), engine::kBlue) << "bottom row of a character cell";
}

// A text drawn again where it stands repaints only what changed. Each row draws its first
// text, does something in between, and draws its second text: its box must hold the
// second text whole, and everything else stay as it was.
TEST(SurfaceText, RedrawingAStandingTextLeavesTheNewTextWholeAndTheRestAsItWas) {
  using Between = std::function<void(Surface&)>;
  const Between nothing = [](Surface&) {};
  struct Row {
    const char* what;
    std::string first;
    Between between;
    std::string second;
  };
  const Row rows[] = {
      {"last digits change", "Player 1) 1234", nothing, "Player 1) 1299"},
      {"a shorter text leaves the old tail", "B:10", nothing, "B:9"},
      {"a longer text", "2) 50", nothing, "2) 1050"},
      {"a glyph that inks left of its pen goes", "1j", nothing, "1a"},
      {"the same text over a rectangle", "Game Over",
       [](Surface& s) { s.Rectangle(20, 100, 40, 104); }, "Game Over"},
      {"the same text over another text", "Game Over", [](Surface& s) { s.TextOutA(25, 98, "xx"); },
       "Game Over"},
      {"the same text over a text block", "Game Over",
       [](Surface& s) { s.DrawTextA("ab\ncd", 0, 90, 40, 120, Surface::Align::kRight); },
       "Game Over"},
      {"the same text in another colour", "Game Over",
       [](Surface& s) { s.SetTextColor(engine::kBlue); }, "Game Over"},
      {"the same text in another font", "Game Over", [](Surface& s) { s.SetFont(nullptr); },
       "Game Over"},
      {"the same text, a rectangle elsewhere", "Game Over",
       [](Surface& s) { s.Rectangle(300, 300, 310, 310); }, "Game Over"},
  };
  for (const Row& row : rows) {
    Surface drawn;
    drawn.SetFont(&resources::kGameFont);
    drawn.SetTextColor(engine::kRed);
    drawn.SetBkColor(engine::kSilver);
    drawn.SelectObject(engine::whiteBrush);
    drawn.TextOutA(20, 95, row.first);
    row.between(drawn);
    const Surface before = drawn;
    drawn.TextOutA(20, 95, row.second);
    const auto mask = platform::RenderText(drawn.Font(), row.second);
    int differ = 0;
    for (int y = 85; y < 125; ++y) {
      for (int x = 0; x < 200; ++x) {
        const bool boxed = x >= 20 && x < 20 + mask.width && y >= 95 && y < 95 + mask.height;
        const Colour want = !boxed                    ? before.GetPixel(x, y)
                            : mask.At(x - 20, y - 95) ? drawn.TextColor()
                                                      : drawn.BkColor();
        differ += drawn.GetPixel(x, y) != want;
      }
    }
    EXPECT_EQ(differ, 0) << row.what;
  }
}

}  // namespace
}  // namespace krelmo
