// What a replay takes of the game's state: the checks that catch a playback parting from its
// recording, the match's ending, and the start of a match, captured and put back.
#pragma once

#include <cstdint>

#include "app/game.h"
#include "replay/journal.h"

namespace krelmo::replay {

// FNV-1a over the client area's pixels, row by row.
std::uint64_t SurfaceCheck(const platform::Surface& surface);
// Eight bits of the ball's and the turn's state, written with each timer tick so that a
// playback that parts from its recording is caught within a frame.
std::uint32_t StateCheck(const engine::EngineState& state);
Ending EndingOf(const engine::EngineState& state, const platform::Surface& surface);

// What a match starts from, as StartNewGame is called: the game's state that the match
// carries over, and both high-score tables from `store`.
Header CaptureStart(const app::Game& game, platform::RegistryStore& store);
// A playback's start, in two steps. First the recorded settings and tables go into the store
// that the game is built over, where its start-up reads them; then, after the start-up, the
// rest goes onto the game (and its menu groups) just before the match starts again.
void RestoreStore(const Header& header, platform::RegistryStore& store);
void RestoreStart(const Header& header, app::Game& game);

}  // namespace krelmo::replay
