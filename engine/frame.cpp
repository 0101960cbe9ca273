// The frame: up to 119 ball steps, each after a busy wait of stepDelay ticks.
#include "engine/frame.h"

#include "engine/palette.h"

namespace krelmo::engine {

void WaitTicks(Engine& engine, std::uint32_t ticks) {
  engine.timer.TM_StartTimer(0);
  for (;;) {
    const std::uint32_t elapsed = engine.timer.TM_ElapsedTime(0);
    if (elapsed >= ticks) return;
    engine.platform.frameHost.WhileWaiting(ticks - elapsed);
  }
}

void RunFrame(Engine& engine) {
  if (engine.state.ballY >= 470) return;
  // The ball's steps come with the ball's own work.
}

void MovePaddle(Engine& engine, std::int32_t x) {
  auto& dc = engine.dc;
  auto& s = engine.state;
  dc.SelectObject(blackBrush);
  dc.Rectangle(s.paddleX, 410, s.paddleX + 60, 420);
  if (x < 20) x = 20;
  dc.SelectObject(whiteBrush);
  dc.Rectangle(x, 410, x + 60, 420);
  s.paddleX = static_cast<std::int16_t>(x);
}

}  // namespace krelmo::engine
