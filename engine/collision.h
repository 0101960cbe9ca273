// What the ball meets after each step: walls and paddle by coordinates, bricks by the colours
// of eight pixels around it; and the points, extra balls and new walls its hits earn.
#pragma once

#include <cstdint>

#include "engine/engine.h"

namespace krelmo::engine {

// The value ScoreHit takes for a cleared wall: a number no palette colour has.
constexpr std::uint32_t kWallBonus = 5000;
constexpr std::int32_t kPointsPerExtraBall = 15'000;
constexpr std::int32_t kFastestStepDelay = 2200;

// Walls, bricks, the repaint of the wall as the ball leaves it, and the paddle.
void ResolveCollisions(Engine& engine);
// While the ball's top lies in the brick band: the probes around it, all read first, then the
// bricks they found struck.
void CheckBrickContacts(Engine& engine);
// Points and cue for a struck colour (or the wall bonus), the extra-ball test, the
// scoreboard.
void ScoreHit(Engine& engine, std::uint32_t value);
// True when a and b lie in different multiples of 15,000.
bool CrossedExtraBallMark(std::int32_t a, std::int32_t b);
// With no brick left: the bonus, a full new wall and a faster ball.
void CheckWallCleared(Engine& engine);

}  // namespace krelmo::engine
