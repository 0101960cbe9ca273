// The title and high-score screen shown between matches.
#pragma once

#include "engine/engine.h"

namespace krelmo::records {

void DrawTitleScreen(engine::Engine& engine);

}  // namespace krelmo::records
