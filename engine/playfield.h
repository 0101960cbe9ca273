// The playfield on the drawing surface: frame walls, the brick wall, the player slots'
// saved walls and the play area. The wall of the turn in play exists only as pixels.
#pragma once

#include <cstdint>

#include "engine/engine.h"

namespace krelmo::engine {

// Cell (row, column) of the brick grid.
constexpr int CellLeft(int column) {
  return 21 + 30 * column;
}
constexpr int CellTop(int row) {
  return 60 + 12 * row;
}
// Sample points, 6 pixels below a cell's top: the save point at cell left + 4, the repaint
// point at cell left + 14.
constexpr int SavePointX(int column) {
  return CellLeft(column) + 4;
}
constexpr int RepaintPointX(int column) {
  return CellLeft(column) + 14;
}
constexpr int SamplePointY(int row) {
  return CellTop(row) + 6;
}

// The target or source that stands for all four slots (SaveWall), or for the wall on the
// surface itself (RedrawWall).
constexpr std::uint32_t kAllSlots = 4;

void DrawFrameWalls(Engine& engine);
void DrawFullWall(Engine& engine);
void SaveWall(Engine& engine, std::uint32_t target);
void RedrawWall(Engine& engine, std::uint32_t source);
void ClearPlayArea(Engine& engine);

}  // namespace krelmo::engine
