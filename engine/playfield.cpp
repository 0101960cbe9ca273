// Drawing the playfield: frame walls, the wall of bricks, saving a player's wall from the
// surface into a slot and bringing it back.
#include "engine/playfield.h"

#include "engine/palette.h"

namespace krelmo::engine {

void DrawFrameWalls(Engine& engine) {
  auto& dc = engine.dc;
  dc.SelectObject(silverBrush);
  dc.SelectObject(silverPen);
  // The right wall runs to the edge of the client area.
  dc.Rectangle(kRightWallLeft, 0, platform::kClientWidth, platform::Surface::kHeight);
  dc.Rectangle(0, 0, kLeftWallRight, platform::Surface::kHeight);
  dc.Rectangle(0, 0, platform::Surface::kWidth, kTopWallBottom);
}

void DrawFullWall(Engine& engine) {
  auto& dc = engine.dc;
  for (int row = 0; row < kBrickRows; ++row) {
    dc.SelectObject(kRowBrushes[row]);
    dc.SelectObject(kRowPens[row]);
    // A full row ends at x 619, a pixel short of a single brick in the last column.
    dc.Rectangle(CellLeft(0), CellTop(row), CellLeft(kBrickColumns) - 1, CellTop(row + 1));
  }
  dc.SelectObject(blackPen);
}

void SaveWall(Engine& engine, std::uint32_t target) {
  SavedWall wall;
  for (int row = 0; row < kBrickRows; ++row) {
    for (int column = 0; column < kBrickColumns; ++column) {
      // No brick is white: white at a save point is the ball over a cell it has struck, and
      // kept as a brick it would stand again at the next redraw.
      const Colour seen = engine.dc.GetPixel(SavePointX(column), SamplePointY(row));
      wall[row * kBrickColumns + column] = seen == kWhite ? kBlack : seen;
    }
  }
  if (target == kAllSlots) {
    engine.state.savedWall.fill(wall);
  } else if (target < kAllSlots) {
    engine.state.savedWall[target] = wall;
  }
}

void RedrawWall(Engine& engine, std::uint32_t source) {
  auto& dc = engine.dc;
  const bool fromSlot = source < kAllSlots;
  if (source > kAllSlots) return;
  if (fromSlot) {
    dc.SelectObject(blackBrush);
    dc.SelectObject(blackPen);
    dc.Rectangle(CellLeft(0), CellTop(0), CellLeft(kBrickColumns), CellTop(kBrickRows));
  }
  for (int row = 0; row < kBrickRows; ++row) {
    dc.SelectObject(kRowBrushes[row]);
    dc.SelectObject(kRowPens[row]);
    for (int column = 0; column < kBrickColumns; ++column) {
      const bool stands = fromSlot
                              ? engine.state.savedWall[source][row * kBrickColumns + column] != 0
                              : dc.GetPixel(RepaintPointX(column), SamplePointY(row)) != 0;
      if (stands) {
        dc.Rectangle(CellLeft(column), CellTop(row), CellLeft(column + 1), CellTop(row + 1));
      }
    }
  }
  DrawFrameWalls(engine);
  ClearPlayArea(engine);
  engine.hooks->DrawScoreboard();
  dc.SelectObject(blackPen);
}

void ClearPlayArea(Engine& engine) {
  engine.dc.SelectObject(blackBrush);
  engine.dc.SelectObject(blackPen);
  engine.dc.Rectangle(22, 133, 619, 409);
}

}  // namespace krelmo::engine
