// The frame of ball steps: its length, the input each step takes, the early end on a right
// click, the lost ball, and what each step erases, moves and draws.
#include "engine/frame.h"

#include "engine/collision.h"
#include "tests/engine/engine_test_support.h"

namespace krelmo::engine {
namespace {

class FrameTest : public EngineTest {
 protected:
  FrameTest() { MovePaddle(engine, 290); }
  std::uint64_t Waits() const { return host.frameHost.waits; }
  void PostMouse(int x) { host.queue.PostMessage(WM_MOUSEMOVE, 0, MakePointLParam(x, 420)); }
};

using FrameLength = FrameTest;
using FrameInput = FrameTest;
using LostBall = FrameTest;
using BallErase = FrameTest;

TEST_F(FrameLength, FrameMakes119StepsEachAfterItsOwnWait) {
  PlaceBall(300, 300, 1, -1);
  const std::uint64_t start = host.clock.Ticks();
  RunFrame(engine);
  EXPECT_EQ(hooks.stepsEnded, 119);
  EXPECT_EQ(Waits(), 119u);
  EXPECT_GE(host.clock.Ticks() - start, 119u * 4500u);
  EXPECT_EQ(engine.state.ballY, 300 - 119);
  EXPECT_EQ(engine.state.ballX, 300 + 119);
}

TEST_F(FrameLength, BallOutOfPlayMakesNoWaitNoPortWriteAndNoDrawing) {
  engine.settings.soundOn = 1;
  engine.state.ballY = 470;
  const std::uint64_t generation = dc.Generation();
  RunFrame(engine);
  engine.state.ballY = 480;
  RunFrame(engine);
  EXPECT_EQ(Waits(), 0u);
  EXPECT_TRUE(host.portWrites.empty());
  EXPECT_EQ(dc.Generation(), generation);
  EXPECT_EQ(hooks.stepsEnded, 0);
}

TEST_F(FrameLength, AFrameNeverStartsInsideAnother) {
  PlaceBall(300, 300, 1, -1);
  int nested = 0;
  host.frameHost.onWait = [&] {
    if (nested++ == 0) RunFrame(engine);
  };
  RunFrame(engine);
  EXPECT_EQ(hooks.stepsEnded, 119);
  RunFrame(engine);
  EXPECT_EQ(hooks.stepsEnded, 238) << "the guard is down again after the frame";
}

TEST_F(FrameLength, WaitLastsStepDelayTicks) {
  engine.state.stepDelay = 2200;
  PlaceBall(300, 300, 1, -1);
  std::vector<std::uint64_t> ends;
  engine.onStepEnd = [&] { ends.push_back(host.clock.Ticks()); };
  RunFrame(engine);
  ASSERT_EQ(ends.size(), 119u);
  for (std::size_t i = 1; i < ends.size(); ++i) EXPECT_EQ(ends[i] - ends[i - 1], 2200u);
}

TEST_F(FrameInput, MouseModeTakesOneMovePerStepTheNewestOfEachRun) {
  PlaceBall(300, 300, 1, -1);
  PostMouse(100);
  PostMouse(150);  // merged into the waiting move
  host.queue.PostMessage(WM_KEYDOWN, VK_F3);
  PostMouse(200);  // a key stands between: queued apart
  std::vector<int> paddle;
  engine.onStepEnd = [&] { paddle.push_back(engine.state.paddleX); };
  RunFrame(engine);
  ASSERT_GE(paddle.size(), 3u);
  EXPECT_EQ(paddle[0], 150);
  EXPECT_EQ(paddle[1], 200);
  EXPECT_EQ(paddle[2], 200);
  EXPECT_EQ(dc.GetPixel(230, 415), kWhite);
  EXPECT_EQ(dc.GetPixel(300, 415), 0u) << "the old paddle is gone";
}

TEST_F(FrameInput, MouseXIsTheLowSixteenBitsReadUnsigned) {
  PlaceBall(300, 300, 1, -1);
  host.queue.PostMessage(WM_MOUSEMOVE, 0, (LPARAM{1} << 32) | (LPARAM{470} << 16) | 401);
  RunFrame(engine);
  EXPECT_EQ(engine.state.paddleX, 401);
}

TEST_F(FrameInput, MouseKeepsThePaddleBetweenTheSideWalls) {
  // Where the pointer cannot be confined, a far-right pointer still stops the paddle at
  // 561, and one left of the strip at 20.
  PlaceBall(300, 300, 1, -1);
  const int pointer[] = {633, 0xFFFF, 5};
  host.frameHost.onWait = [&] {
    if (host.frameHost.waits <= 3) PostMouse(pointer[host.frameHost.waits - 1]);
  };
  std::vector<int> paddle;
  engine.onStepEnd = [&] { paddle.push_back(engine.state.paddleX); };
  RunFrame(engine);
  ASSERT_GE(paddle.size(), 3u);
  EXPECT_EQ(paddle[0], 561);
  EXPECT_EQ(paddle[1], 561);
  EXPECT_EQ(paddle[2], 20);
  EXPECT_EQ(dc.GetPixel(620, 415), 0u) << "the paddle never reaches the right wall";
}

TEST_F(FrameInput, MouseModeLeavesARightClickForAfterTheFrame) {
  PlaceBall(300, 300, 1, -1);
  host.queue.PostMessage(WM_RBUTTONDOWN);
  RunFrame(engine);
  EXPECT_EQ(hooks.stepsEnded, 119);
  Message message;
  EXPECT_TRUE(host.queue.PeekMessage(message, WM_RBUTTONDOWN, WM_RBUTTONDOWN, false));
}

TEST_F(FrameInput, JoystickIsPolledOnEveryTwelfthStep) {
  engine.settings.useMouse = 0;
  PlaceBall(300, 300, 1, -1);
  PostMouse(100);
  RunFrame(engine);
  // Each poll happens inside a step: after 11, 23, ... steps have ended.
  EXPECT_EQ(hooks.pollsAtStep, (std::vector<int>{11, 23, 35, 47, 59, 71, 83, 95, 107}));
  EXPECT_EQ(engine.state.paddleX, 290) << "mouse moves are not taken";
  EXPECT_EQ(host.queue.Size(), 1u);
}

TEST_F(FrameInput, JoystickRightClickEndsTheFrameBeforeTheEraseAndStaysQueued) {
  engine.settings.useMouse = 0;
  engine.settings.soundOn = 1;
  PlaceBall(300, 300, 1, -1);
  DrawBall();
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

TEST_F(LostBall, StepReaching470HandsTheBallToTheMatchAndEndsTheFrame) {
  PlaceBall(100, 469, 1, 1);
  RunFrame(engine);
  EXPECT_EQ(hooks.lostBalls, 1);
  EXPECT_EQ(hooks.endedMatches, 0);
  EXPECT_EQ(Waits(), 1u);
  EXPECT_EQ(hooks.stepsEnded, 1);
  EXPECT_EQ(engine.state.ballY, 470);
  EXPECT_EQ(dc.GetPixel(104, 473), 0u) << "no ball drawn at 470";
}

TEST_F(LostBall, LastBallEndsTheMatch) {
  hooks.loseBallResult = 0;
  PlaceBall(100, 469, 1, 1);
  RunFrame(engine);
  EXPECT_EQ(hooks.endedMatches, 1);
}

TEST_F(LostBall, PassingBelowThePaddlePlaysTheMissCueThenRedrawsThePaddle) {
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

TEST_F(FrameInput, ServedBallIsDrawnOnePixelHigherByTheFirstStep) {
  PlaceBall(290 + 26, 402, 1, -1);
  BallStep(engine, 1);
  EXPECT_EQ(engine.state.ballX, 317);
  EXPECT_EQ(engine.state.ballY, 401);
  EXPECT_EQ(dc.GetPixel(317, 401), kBlack);
  EXPECT_EQ(dc.GetPixel(318, 402), kWhite);
  EXPECT_EQ(dc.GetPixel(323, 407), kWhite);
  EXPECT_EQ(dc.GetPixel(324, 408), kBlack);
}

// Something drawn over the ball's cell shows which of the old cell's pixels a step erases:
// only those the erase rectangles paint turn black.
class BallEraseTest : public FrameTest {
 protected:
  // Steps once from (x, y) and returns, for each pixel of the old cell that the new ball
  // does not cover, whether it was painted black.
  std::vector<std::pair<int, int>> ErasedBy(int x, int y, int dx, int dy) {
    PlaceBall(x, y, dx, dy);
    Fill(x, y, x + 8, y + 8, kGreen);
    BallStep(engine, 1);
    const auto& s = engine.state;
    std::vector<std::pair<int, int>> erased;
    for (int py = y; py < y + 8; ++py) {
      for (int px = x; px < x + 8; ++px) {
        const bool underBall =
            px >= s.ballX && px < s.ballX + 8 && py >= s.ballY && py < s.ballY + 8;
        if (!underBall && dc.GetPixel(px, py) == 0) erased.emplace_back(px, py);
      }
    }
    return erased;
  }
  static std::vector<std::pair<int, int>> Columns(int x0, int x1, int y0, int y1) {
    std::vector<std::pair<int, int>> out;
    for (int y = y0; y <= y1; ++y) {
      for (int x = x0; x <= x1; ++x) out.emplace_back(x, y);
    }
    return out;
  }
};

TEST_F(BallEraseTest, OnePixelMovesPaintNothingBehind) {
  for (const int dx : {1, -1}) {
    for (const int dy : {1, -1}) {
      EXPECT_TRUE(ErasedBy(200, 200, dx, dy).empty()) << dx << "," << dy;
    }
  }
}

TEST_F(BallEraseTest, TwoPixelMovesBlackenTheTwoTrailingColumns) {
  const auto right = ErasedBy(200, 200, 2, 1);
  EXPECT_EQ(right, Columns(200, 201, 200, 207));
  const auto left = ErasedBy(200, 200, -2, -1);
  EXPECT_EQ(left, Columns(206, 207, 200, 207));
}

TEST_F(BallEraseTest, NearTheLeftWallTheWholeCellIsErased) {
  // From x 22 the ball reaches the wall at 21; the uncovered part is column 29 and a row.
  auto erased = ErasedBy(22, 200, -1, 1);
  EXPECT_EQ(erased.size(), 15u);
  erased = ErasedBy(23, 200, -1, 1);
  EXPECT_TRUE(erased.empty()) << "x 23 is away from the wall";
}

TEST_F(BallEraseTest, AtThePaddlesHeightTheWholeCellIsErased) {
  EXPECT_EQ(ErasedBy(200, 400, 1, -1).size(), 15u);
  EXPECT_TRUE(ErasedBy(200, 399, 1, -1).empty());
}

}  // namespace
}  // namespace krelmo::engine
