// The game's icon as pixels, drawn alike for every front end and installer: a small wall of
// bricks with the ball and the paddle below it, in the game's own palette.
#pragma once

#include <vector>

#include "platform/colour.h"

namespace krelmo::resources {

// The picture at `size` pixels square (a multiple of 16), row by row from the top, each
// pixel a colour as the game keeps one (0x00BBGGRR).
std::vector<Colour> GameIconPixels(int size);

}  // namespace krelmo::resources
