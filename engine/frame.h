// A frame of ball steps, the busy wait that paces each step, and the paddle.
#pragma once

#include <cstdint>

#include "engine/engine.h"

namespace krelmo::engine {

constexpr int kStepsPerFrame = 119;

void WaitTicks(Engine& engine, std::uint32_t ticks);
void RunFrame(Engine& engine);
// One ball step of a frame (step counts from 1): wait, speaker off, input, erase, move, and
// then the lost ball, or the collisions and the ball drawn anew. False when the frame ends
// here: a right click waits (joystick mode) or the ball was lost.
bool BallStep(Engine& engine, int step);
void MovePaddle(Engine& engine, std::int32_t x);

// Moves the paddle to the pointer's client x (the low 16 bits of a mouse message, unsigned),
// no further right than kPaddleRightmostByMouse.
void MovePaddleToPointer(Engine& engine, std::uint16_t pointerX);

}  // namespace krelmo::engine
