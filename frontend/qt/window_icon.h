// The window's icons, drawn for the game when it starts: a small wall of bricks with the
// ball and the paddle below it.
#pragma once

#include <QIcon>

namespace krelmo::qt {

// Holds a 32 x 32 (large) and a 16 x 16 (small) image.
QIcon GameIcon();

}  // namespace krelmo::qt
