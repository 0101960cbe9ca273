// The playfield on the drawing surface: frame walls, the brick wall, the player slots'
// saved walls and the play area. The wall of the turn in play exists only as pixels.
#pragma once

#include <cstdint>

#include "engine/engine.h"
#include "engine/geometry.h"

namespace krelmo::engine {

// The target or source that stands for all four slots (SaveWall), or for the wall on the
// surface itself (RedrawWall).
constexpr std::uint32_t kAllSlots = 4;

void DrawFrameWalls(Engine& engine);
void DrawFullWall(Engine& engine);
void SaveWall(Engine& engine, std::uint32_t target);
void RedrawWall(Engine& engine, std::uint32_t source);
void ClearPlayArea(Engine& engine);

}  // namespace krelmo::engine
