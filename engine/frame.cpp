// The frame: up to 119 ball steps, each after a busy wait of stepDelay ticks.
#include "engine/frame.h"

#include <algorithm>

#include "engine/collision.h"
#include "engine/geometry.h"
#include "engine/palette.h"
#include "engine/sound_cues.h"

namespace krelmo::engine {

namespace {

// The rows at which the ball's top has passed the paddle, and a row later.
constexpr int kBallMissedPaddle = kPaddleBottom;
constexpr int kBallBelowPaddle = kPaddleBottom + 1;
constexpr int kJoystickPollEvery = 12;

// Takes the input a step may use. False when a right click waits in joystick mode: the
// frame ends so that the window procedure can pause.
bool TakeInput(Engine& engine, int step) {
  auto& queue = engine.platform.queue;
  Message message;
  if (engine.settings.useMouse) {
    if (queue.PeekMessage(message, WM_MOUSEMOVE, WM_MOUSEMOVE, true)) {
      MovePaddleToPointer(engine, static_cast<std::uint16_t>(message.lParam & 0xFFFF));
    }
    return true;
  }
  if (step % kJoystickPollEvery == 0) engine.hooks->PollJoystick();
  return !queue.PeekMessage(message, WM_RBUTTONDOWN, WM_RBUTTONDOWN, false);
}

// Blackens what the ball leaves behind as it moves. The new ball's black ring covers the
// edge of a one-pixel move, so those rectangles are empty; a two-pixel sideways move leaves
// a column of white that the last two clear. Near the walls and the paddle the whole cell
// goes.
void EraseBall(Engine& engine) {
  auto& dc = engine.dc;
  const auto& s = engine.state;
  const int x = s.ballX;
  const int y = s.ballY;
  dc.SelectObject(blackBrush);
  if (x >= 621 || x <= 22 || y >= 400) {
    dc.Rectangle(x, y, x + kBallSize, y + kBallSize);
    return;
  }
  const int row = s.ballDY == 1 ? y : y + 8;
  dc.Rectangle(x, row, x + 8, row);
  switch (s.ballDX) {
    case 1:
      dc.Rectangle(x, y, x, y + 8);
      break;
    case -1:
      dc.Rectangle(x + 8, y, x + 8, y + 8);
      break;
    case 2:
      dc.Rectangle(x, y, x + 2, y + 8);
      break;
    case -2:
      dc.Rectangle(x + 6, y, x + 8, y + 8);
      break;
    default:
      break;
  }
}

void EndStep(Engine& engine) {
  if (engine.onStepEnd) engine.onStepEnd();
}

}  // namespace

void WaitTicks(Engine& engine, std::uint32_t ticks) {
  engine.timer.TM_StartTimer(0);
  for (;;) {
    const std::uint32_t elapsed = engine.timer.TM_ElapsedTime(0);
    if (elapsed >= ticks) return;
    engine.platform.frameHost.WhileWaiting(ticks - elapsed);
  }
}

bool BallStep(Engine& engine, int step) {
  auto& s = engine.state;
  WaitTicks(engine, static_cast<std::uint32_t>(s.stepDelay));
  SpeakerEnable(engine, 0);
  if (!TakeInput(engine, step)) return false;

  EraseBall(engine);
  s.ballY = static_cast<std::int16_t>(s.ballY + s.ballDY);
  s.ballX = static_cast<std::int16_t>(s.ballX + s.ballDX);

  if (s.ballY >= kBallOutOfPlay) {
    if (engine.hooks->LoseBall() == 0) engine.hooks->EndMatch();
    EndStep(engine);
    return false;
  }

  ResolveCollisions(engine);
  if (s.ballY == kBallMissedPaddle) PlayCue(engine, Cue::kMiss);
  if (s.ballY == kBallBelowPaddle) MovePaddle(engine, s.paddleX);

  engine.dc.SelectObject(whiteBrush);
  engine.dc.Rectangle(s.ballX, s.ballY, s.ballX + kBallSize, s.ballY + kBallSize);
  EndStep(engine);
  return true;
}

void RunFrame(Engine& engine) {
  // A nested message loop (a dialog opened while a ball is lost) may deliver a timer tick.
  if (engine.frameRunning) return;
  if (engine.state.ballY >= kBallOutOfPlay) return;
  engine.frameRunning = true;
  ++engine.framesRun;
  for (int step = 1; step <= kStepsPerFrame; ++step) {
    engine.step = step;
    if (!BallStep(engine, step)) break;
  }
  engine.step = 0;
  engine.frameRunning = false;
}

void MovePaddle(Engine& engine, std::int32_t x) {
  auto& dc = engine.dc;
  auto& s = engine.state;
  dc.SelectObject(blackBrush);
  dc.Rectangle(s.paddleX, kPaddleTop, s.paddleX + kPaddleWidth, kPaddleBottom);
  if (x < kPaddleLeftmost) x = kPaddleLeftmost;
  dc.SelectObject(whiteBrush);
  dc.Rectangle(x, kPaddleTop, x + kPaddleWidth, kPaddleBottom);
  s.paddleX = static_cast<std::int16_t>(x);
}

void MovePaddleToPointer(Engine& engine, std::uint16_t pointerX) {
  MovePaddle(engine, std::min<std::int32_t>(pointerX, kPaddleRightmostByMouse));
}

}  // namespace krelmo::engine
