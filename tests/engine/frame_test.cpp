// The frame of ball steps: its length, the input each step takes, the early end on a right
// click, the lost ball, and what each step erases, moves and draws.
#include "engine/frame.h"

#include "engine/collision.h"
#include "tests/engine/engine_test_support.h"

namespace krelmo::engine {
namespace {

class FrameTest : public EngineTest {
 protected:
  FrameTest() {
    MovePaddle(engine, 290);
    PlaceBall(300, 300, 1, -1);
  }
  std::uint64_t Waits() const { return host.frameHost.waits; }
  void PostMouse(LPARAM lParam) { host.queue.PostMessage(WM_MOUSEMOVE, 0, lParam); }
  // Runs a frame, noting the paddle's place at the end of each step.
  std::vector<int> PaddleAtEachStep() {
    std::vector<int> paddle;
    engine.onStepEnd = [&] { paddle.push_back(engine.state.paddleX); };
    RunFrame(engine);
    return paddle;
  }
};

TEST_F(FrameTest, AWaitEndsOnlyWhenAllItsTicksHavePassed) {
  // A host under which each wait lets a single tick pass: the clock is wound back before the
  // headless host moves it on by the ticks still to wait (5 less those already waited).
  host.frameHost.onWait = [&] {
    host.clock.Set(host.clock.Ticks() - (5 - (host.frameHost.waits - 1)) + 1);
  };
  const std::uint64_t start = host.clock.Ticks();
  WaitTicks(engine, 5);
  EXPECT_EQ(Waits(), 5u);
  EXPECT_EQ(host.clock.Ticks() - start, 5u);
}

TEST_F(FrameTest, ABallOutOfPlayMakesNoWaitNoPortWriteAndNoDrawing) {
  engine.settings.soundOn = 1;
  const std::uint64_t generation = dc.Generation();
  for (const int y : {470, 480}) {
    engine.state.ballY = static_cast<std::int16_t>(y);
    RunFrame(engine);
  }
  EXPECT_EQ(Waits(), 0u);
  EXPECT_TRUE(host.portWrites.empty());
  EXPECT_EQ(dc.Generation(), generation);
}

TEST_F(FrameTest, AFrameNeverStartsInsideAnother) {
  int nested = 0;
  host.frameHost.onWait = [&] {
    if (nested++ == 0) RunFrame(engine);
  };
  RunFrame(engine);
  EXPECT_EQ(hooks.stepsEnded, 119);
  RunFrame(engine);
  EXPECT_EQ(hooks.stepsEnded, 238) << "the guard is down again after the frame";
}

TEST_F(FrameTest, WithTheMouseEachStepTakesTheNewestWaitingMoveKeepingThePaddleInsideTheWalls) {
  // Moves in a row merge into the newest; a key between two keeps them apart. The pointer's x
  // is the low 16 bits of lParam, read unsigned; past the right end the paddle stops at 561,
  // left of the strip at 20.
  PostMouse(MakePointLParam(60, 420));
  for (const int x : {100, 200, 633, 0xFFFF, 5}) {
    PostMouse(MakePointLParam(x, 420));
    host.queue.PostMessage(WM_KEYDOWN, VK_F3);
  }
  PostMouse((LPARAM{1} << 32) | (LPARAM{470} << 16) | 401);
  host.queue.PostMessage(WM_RBUTTONDOWN);
  const std::vector<int> paddle = PaddleAtEachStep();
  ASSERT_EQ(paddle.size(), 119u) << "a right click does not end a frame in mouse mode";
  EXPECT_EQ(std::vector<int>(paddle.begin(), paddle.begin() + 7),
            (std::vector<int>{100, 200, 561, 561, 20, 401, 401}));
  EXPECT_EQ(dc.GetPixel(430, 415), kWhite);
  EXPECT_EQ(dc.GetPixel(300, 415), 0u) << "the old paddle is gone";
  Message message;
  EXPECT_TRUE(host.queue.PeekMessage(message, WM_RBUTTONDOWN, WM_RBUTTONDOWN, false))
      << "the click is left for after the frame";
}

TEST_F(FrameTest, WithTheJoystickItIsPolledOnEveryTwelfthStepAndMouseMovesWait) {
  engine.settings.useMouse = 0;
  PostMouse(MakePointLParam(100, 420));
  RunFrame(engine);
  // Each poll happens inside a step: after 11, 23, ... steps have ended.
  EXPECT_EQ(hooks.pollsAtStep, (std::vector<int>{11, 23, 35, 47, 59, 71, 83, 95, 107}));
  EXPECT_EQ(engine.state.paddleX, 290);
  EXPECT_EQ(host.queue.Size(), 1u);
}

TEST_F(FrameTest, WithTheJoystickARightClickEndsTheFrameBeforeTheEraseAndStaysQueued) {
  engine.settings.useMouse = 0;
  engine.settings.soundOn = 1;
  host.frameHost.onWait = [&] {
    if (host.frameHost.waits == 5) host.queue.PostMessage(WM_RBUTTONDOWN);
  };
  RunFrame(engine);
  EXPECT_EQ(Waits(), 5u);
  EXPECT_EQ(hooks.stepsEnded, 4);
  EXPECT_EQ(engine.state.ballY, 296);
  EXPECT_EQ(dc.GetPixel(engine.state.ballX + 3, engine.state.ballY + 3), kWhite)
      << "the ball stays drawn";
  EXPECT_EQ(host.pc.SpeakerPortValue() & 3, 0) << "the speaker went off after the wait";
  Message message;
  EXPECT_TRUE(host.queue.PeekMessage(message, 0, 0, false));
  EXPECT_EQ(message.message, WM_RBUTTONDOWN);
}

TEST_F(FrameTest, AStepReaching470HandsTheBallToTheMatchWhichMayEndIt) {
  for (const int ballsLeft : {1, 0}) {
    hooks.loseBallResult = ballsLeft;
    host.frameHost.waits = 0;
    hooks.stepsEnded = 0;
    PlaceBall(100, 469, 1, 1);
    RunFrame(engine);
    EXPECT_EQ(Waits(), 1u);
    EXPECT_EQ(hooks.stepsEnded, 1);
    EXPECT_EQ(engine.state.ballY, 470);
    EXPECT_EQ(dc.GetPixel(104, 473), 0u) << "no ball drawn at 470";
  }
  EXPECT_EQ(hooks.lostBalls, 2);
  EXPECT_EQ(hooks.endedMatches, 1) << "only when no balls are left";
}

TEST_F(FrameTest, PassingBelowThePaddlePlaysTheMissCueThenRedrawsThePaddle) {
  UseDigitalSound();
  PlaceBall(100, 418, 1, 1);
  Fill(300, 411, 320, 419, kBlack);  // a hole in the paddle
  std::vector<std::size_t> playsAtStep;
  std::vector<bool> paddleWhole;
  engine.onStepEnd = [&] {
    playsAtStep.push_back(host.sound.plays.size());
    paddleWhole.push_back(dc.GetPixel(310, 415) == kWhite);
  };
  RunFrame(engine);
  ASSERT_EQ(playsAtStep.size(), 52u) << "steps to 419, 420, 421, ..., 470";
  EXPECT_EQ(playsAtStep[0], 0u);
  EXPECT_EQ(playsAtStep[1], 1u);
  EXPECT_EQ(host.sound.plays[0].waveId, 132);
  EXPECT_EQ(host.sound.plays[0].flags, 0x40005u);
  EXPECT_FALSE(paddleWhole[1]);
  EXPECT_TRUE(paddleWhole[2]) << "redrawn when the ball reaches 421";
}

// Something drawn over the ball's cell shows which of the old cell's pixels a step erases:
// one-pixel moves leave nothing to erase, two-pixel moves the two trailing columns, and near
// the left wall or at the paddle's height the whole cell goes.
TEST_F(FrameTest, AStepErasesWhatTheBallLeavesBehind) {
  struct Row {
    int x, y, dx, dy;
    std::size_t erased;
    int firstX;  // the leftmost pixel erased
  };
  const Row rows[] = {
      {200, 200, 1, 1, 0, 0},      {200, 200, -1, -1, 0, 0}, {200, 200, 2, 1, 16, 200},
      {200, 200, -2, -1, 16, 206}, {22, 200, -1, 1, 15, 22}, {23, 200, -1, 1, 0, 0},
      {200, 400, 1, -1, 15, 200},  {200, 399, 1, -1, 0, 0},
  };
  for (const Row& r : rows) {
    PlaceBall(r.x, r.y, r.dx, r.dy);
    Fill(r.x, r.y, r.x + 8, r.y + 8, kGreen);
    BallStep(engine, 1);
    const auto& s = engine.state;
    std::size_t erased = 0;
    int firstX = 0;
    for (int px = r.x + 7; px >= r.x; --px) {
      for (int py = r.y; py < r.y + 8; ++py) {
        const bool underBall =
            px >= s.ballX && px < s.ballX + 8 && py >= s.ballY && py < s.ballY + 8;
        if (!underBall && dc.GetPixel(px, py) == 0) ++erased, firstX = px;
      }
    }
    EXPECT_EQ(erased, r.erased) << r.x << "," << r.y << " by " << r.dx << "," << r.dy;
    EXPECT_EQ(firstX, r.firstX) << r.x << "," << r.y << " by " << r.dx << "," << r.dy;
  }
}

}  // namespace
}  // namespace krelmo::engine
