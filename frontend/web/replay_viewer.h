// A replay opened in the page: played in the canvas over the game, at the match's pace, with
// its sound, until Esc or the playback bar's Close ends it.
#pragma once

#include <string>

#include "frontend/web/web_platform.h"
#include "replay/journal.h"

namespace krelmo::web {

// Runs the playback on a platform of its own (its store in memory: the game's settings and
// tables stay untouched), shown in the canvas in place of `game`'s, which is shown again when
// it ends. The game's own loop is idle meanwhile. The page tells the player how it ended.
void ShowReplay(const std::string& name, replay::Replay journal, WebPlatform& game);

}  // namespace krelmo::web
