// The status line across the top wall: the current player's score and balls, and the
// other players' scores.
#pragma once

#include "engine/engine.h"

namespace krelmo::status {

void DrawScoreboard(engine::Engine& engine);

}  // namespace krelmo::status
