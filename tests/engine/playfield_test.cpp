// The playfield: a full wall, saving a player's wall into a slot, and clearing the play area.
#include "engine/playfield.h"

#include <gtest/gtest.h>

#include "engine/palette.h"
#include "tests/support/test_game.h"

namespace krelmo::engine {
namespace {

constexpr Colour kRowColours[kBrickRows] = {kMagenta, kBlue, kGreen, kYellow, kOrange, kRed};

class PlayfieldTest : public ::testing::Test {
 protected:
  void Blacken(int left, int top, int right, int bottom) {
    dc.SelectObject(blackBrush);
    dc.SelectObject(blackPen);
    dc.Rectangle(left, top, right, bottom);
  }

  testing::TestGame t;
  Engine& engine = t.engine;
  platform::Surface& dc = t.dc;
};

TEST_F(PlayfieldTest, AFullWallFillsEveryCellInItsRowColourEndingAtColumn619) {
  DrawFullWall(engine);
  for (int row = 0; row < kBrickRows; ++row) {
    const int top = CellTop(row);
    for (int column = 0; column < kBrickColumns; ++column) {
      const int left = CellLeft(column);
      for (const auto& [x, y] : {std::pair{left, top}, {left + 14, top + 11}, {left + 28, top}}) {
        EXPECT_EQ(dc.GetPixel(x, y), kRowColours[row]) << "row " << row << " at " << x;
      }
    }
    EXPECT_EQ(dc.GetPixel(620, top + 6), 0u) << "the band stops a pixel short of the edge";
    EXPECT_EQ(dc.GetPixel(20, top + 6), 0u);
  }
  EXPECT_EQ(dc.GetPixel(100, 59), 0u);
  EXPECT_EQ(dc.GetPixel(100, 132), 0u);
  EXPECT_EQ(dc.SelectedPen(), kBlack) << "the black pen is in force afterwards";
}

TEST_F(PlayfieldTest, SavingReadsEachBricksSavePointIntoOneSlotOrAll) {
  DrawFullWall(engine);
  Blacken(CellLeft(7), CellTop(2), CellLeft(7) + 30, CellTop(2) + 12);
  Blacken(SavePointX(3), SamplePointY(1), SavePointX(3) + 1, SamplePointY(1) + 1);
  SaveWall(engine, 2);
  const auto& slots = engine.state.savedWall;
  EXPECT_EQ(slots[2][2 * kBrickColumns + 7], 0u);
  EXPECT_EQ(slots[2][1 * kBrickColumns + 3], 0u) << "only the save point is read";
  EXPECT_EQ(slots[2][0], kMagenta);
  EXPECT_EQ(slots[2][5 * kBrickColumns + 19], kRed);
  for (const int other : {0, 1, 3}) {
    for (const Colour c : slots[other]) EXPECT_EQ(c, 0u) << "slot " << other;
  }
  SaveWall(engine, kAllSlots);
  for (int slot = 0; slot < kPlayerSlots; ++slot) EXPECT_EQ(slots[slot], slots[2]);
}

TEST_F(PlayfieldTest, ClearingThePlayAreaLeavesTheWallsAndThePaddleRow) {
  dc.SelectObject(whiteBrush);
  dc.Rectangle(0, 0, 640, 480);
  ClearPlayArea(engine);
  EXPECT_EQ(dc.GetPixel(22, 133), 0u);
  EXPECT_EQ(dc.GetPixel(618, 408), 0u);
  EXPECT_EQ(dc.GetPixel(21, 133), kWhite);
  EXPECT_EQ(dc.GetPixel(619, 408), kWhite);
  EXPECT_EQ(dc.GetPixel(300, 409), kWhite) << "the paddle row is outside the play area";
}

}  // namespace
}  // namespace krelmo::engine
