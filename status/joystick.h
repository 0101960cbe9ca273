// The joystick poll: the stick's X axis drives the paddle and its two buttons act as the
// mouse buttons, posted to the window as clicks. The poll runs on the UI thread only (the
// front end's periodic poll from a timer of the UI thread, and RunFrame between its ball
// steps), so it never overlaps the game's drawing, nor another poll.
#pragma once

#include <cstdint>

#include "engine/engine.h"

namespace krelmo::status {

constexpr std::uint32_t kJoystickPollPeriodMs = 100;
// The stick must move by more than this many units of its 0 to 65,535 range before the
// paddle follows, so that a resting stick's jitter does not redraw the paddle.
constexpr std::uint32_t kJoystickDeadBand = 111;
constexpr std::uint32_t kJoystickUnitsPerPixel = 110;
// The paddle's left edge never passes 560, so its 60-pixel body stays off the right wall.
constexpr std::int32_t kJoystickPaddleRightmost = 560;

// Reads joystick 1 in joystick mode: posts a left click for each new press of button 1 and
// a right click for button 2, and moves the paddle when the stick left the dead band.
// Does nothing while the mouse is the controller.
void PollJoystick(engine::Engine& engine);

}  // namespace krelmo::status
