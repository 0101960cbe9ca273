// A frame of ball steps, the busy wait that paces each step, and the paddle.
#pragma once

#include <cstdint>

#include "engine/engine.h"

namespace krelmo::engine {

constexpr int kStepsPerFrame = 119;

void WaitTicks(Engine& engine, std::uint32_t ticks);
void RunFrame(Engine& engine);
void MovePaddle(Engine& engine, std::int32_t x);

}  // namespace krelmo::engine
