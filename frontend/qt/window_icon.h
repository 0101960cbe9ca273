// The window's icons, drawn for the game when it starts: a small wall of bricks with the
// ball and the paddle below it.
#pragma once

#include <QIcon>
#include <QImage>

namespace krelmo::qt {

// Holds a 32 x 32 (large) and a 16 x 16 (small) image.
QIcon GameIcon();

// The same picture at `size` pixels square, a multiple of 16 (the installed theme icons).
QImage GameIconImage(int size);

}  // namespace krelmo::qt
