// The page's input for the game: keys, the pointer over the canvas and the menu's commands
// go to the platform shown in the canvas, the game's or a playback's.
#pragma once

#include "frontend/web/web_platform.h"

namespace krelmo::web {

// Registers the page's keyboard and pointer listeners once; they post into the queue of the
// platform shown (none: they post nothing) and wake the page's loop.
void ListenToThePage();
void ShowInCanvas(WebPlatform* platform);
WebPlatform* ShownInCanvas();

}  // namespace krelmo::web
