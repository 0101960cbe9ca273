// Long rallies from a serve with the paddle following the ball, checking on every step that the
// ball stays inside, every point is earned by a brick or a wall, and no white is left behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/collision.h"
#include "engine/frame.h"
#include "engine/palette.h"
#include "engine/playfield.h"
#include "tests/support/test_game.h"

namespace krelmo::engine {
namespace {

constexpr std::int32_t kRowPoints[kBrickRows] = {250, 100, 50, 25, 10, 5};

struct Rect {
  int left, top, right, bottom;  // right and bottom excluded
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// A cell of the wall near the ball when a step began, with some pixel outside the ball coloured.
struct CellBefore {
  int row, column;
};

class BallScenario : public ::testing::Test {
 protected:
  BallScenario() {
    auto& s = engine.state;
    engine.match.gameActive = true;
    engine.match.cursorVisible = false;
    s.ballsLeft = {4, 4, 4, 4};
    DrawFrameWalls(engine);
    DrawFullWall(engine);
    ClearPlayArea(engine);
    MovePaddle(engine, 290);
    host.frameHost.onWait = [this] { Autopilot(); };
    engine.onStepEnd = [this] { CheckStep(); };
  }

  void Serve(int dx) {
    auto& s = engine.state;
    s.ballX = static_cast<std::int16_t>(s.paddleX + kBallOverPaddleMiddle);
    s.ballY = kBallOnPaddle;
    s.ballDX = static_cast<std::int16_t>(dx);
    s.ballDY = -1;
    ClearPlayArea(engine);
    TakeSnapshot();
  }

  void Play(int frames) {
    for (int i = 1; i <= frames && !HasFailure(); ++i) {
      RunFrame(engine);
      // Each step looks around the ball; now and then the whole field is searched too.
      if (i % 25 == 0 || i == frames) ScanForStrayWhite(Rect{20, 20, 621, 480});
    }
  }

  // One mouse move per step to where the paddle meets the ball, shifted by an offset that
  // changes with every catch so that the ball leaves the paddle at every angle.
  void Autopilot() {
    if (postedThisStep_) return;
    postedThisStep_ = true;
    const int x = std::clamp(engine.state.ballX - kBallOverPaddleMiddle + offset_,
                             app::kPointerStripLeft, app::kPointerStripRight);
    host.queue.PostMessage(WM_MOUSEMOVE, 0, MakePointLParam(x, 420));
  }

  Rect BallRect() const { return {s.ballX, s.ballY, s.ballX + 8, s.ballY + 8}; }
  Rect PaddleRect() const {
    return {s.paddleX, kPaddleTop, s.paddleX + kPaddleWidth, kPaddleBottom};
  }

  bool AllSavePoints(bool coloured) const {
    for (int row = 0; row < kBrickRows; ++row) {
      for (int column = 0; column < kBrickColumns; ++column) {
        const bool c = dc.GetPixel(SavePointX(column), SamplePointY(row)) != 0;
        if (c != coloured) return false;
      }
    }
    return true;
  }

  // Cells a strike of the coming step could reach: those within a few pixels of the ball.
  std::vector<CellBefore> CellsNearBall() const {
    const Rect ball = BallRect();
    std::vector<CellBefore> cells;
    for (int row = 0; row < kBrickRows; ++row) {
      for (int column = 0; column < kBrickColumns; ++column) {
        const Rect cell{CellLeft(column), CellTop(row), CellLeft(column + 1), CellTop(row + 1)};
        if (cell.right <= ball.left - 8 || cell.left >= ball.right + 8 ||
            cell.bottom <= ball.top - 4 || cell.top >= ball.bottom + 4 ||
            ClearedNow({row, column})) {
          continue;
        }
        cells.push_back({row, column});
      }
    }
    return cells;
  }

  bool ClearedNow(const CellBefore& cell) const {
    const Rect ball = BallRect();
    for (int y = CellTop(cell.row); y < CellTop(cell.row + 1); ++y) {
      for (int x = CellLeft(cell.column); x < CellLeft(cell.column + 1); ++x) {
        if (!ball.Contains(x, y) && dc.GetPixel(x, y) != 0) return false;
      }
    }
    return true;
  }

  void TakeSnapshot() {
    before_ = {BallRect(),           s.playerScore[0], s.ballsLeft[0],     s.ballDY,
               AllSavePoints(false), CellsNearBall(),  host.clock.Ticks(), s.stepDelay};
  }

  void ScanForStrayWhite(const Rect& area) {
    const Rect ball = BallRect();
    const Rect paddle = PaddleRect();
    for (int y = std::max(area.top, 20); y < std::min(area.bottom, 480); ++y) {
      for (int x = std::max(area.left, 20); x < std::min(area.right, 621); ++x) {
        if (dc.GetPixel(x, y) == kWhite && !ball.Contains(x, y) && !paddle.Contains(x, y)) {
          ADD_FAILURE() << "white pixel left at (" << x << ", " << y << ") on step " << steps_;
          return;
        }
      }
    }
  }

  void CheckStep() {
    ++steps_;
    postedThisStep_ = false;

    ASSERT_LT(s.ballY, kBallOutOfPlay) << "the paddle lost the ball on step " << steps_;
    ASSERT_EQ(host.clock.Ticks() - before_.ticks, static_cast<std::uint64_t>(before_.delay))
        << "each step comes after a wait of stepDelay ticks";
    ASSERT_TRUE(s.ballX >= 21 && s.ballX <= 611 && s.ballY >= 22) << s.ballX << "," << s.ballY;
    ASSERT_TRUE(s.ballDY == 1 || s.ballDY == -1);
    ASSERT_TRUE(s.ballDX == 1 || s.ballDX == -1 || s.ballDX == 2 || s.ballDX == -2);

    // Every point comes from a brick that went this step (a damaged brick may score nothing),
    // or from a cleared wall.
    const bool bonus = before_.wallGone && AllSavePoints(true);
    const std::int32_t gained = s.playerScore[0] - before_.score - (bonus ? 5000 : 0);
    std::vector<std::int32_t> sums{0};
    for (const CellBefore& cell : before_.cells) {
      if (!ClearedNow(cell)) continue;
      for (std::size_t i = 0, n = sums.size(); i < n; ++i)
        sums.push_back(sums[i] + kRowPoints[cell.row]);
    }
    ASSERT_NE(std::find(sums.begin(), sums.end(), gained), sums.end())
        << "step " << steps_ << ": score " << before_.score << " -> " << s.playerScore[0];
    walls_ += bonus ? 1 : 0;
    ASSERT_EQ(s.ballsLeft[0] - before_.balls, s.playerScore[0] / 15'000 - before_.score / 15'000)
        << "one extra ball for each 15,000 points";

    // Nothing white behind the ball: only the ball and the paddle are white.
    const Rect old = before_.ball;
    ScanForStrayWhite(Rect{old.left - 3, old.top - 3, old.right + 3, old.bottom + 3});

    if (before_.dy == 1 && s.ballDY == -1 && s.ballY >= 402) {
      ++catches_;
      seed_ = seed_ * 1103515245u + 12345u;
      offset_ = static_cast<int>((seed_ >> 16) % 61) - 30;
    }
    TakeSnapshot();
  }

  testing::StartedGame t;
  headless::HeadlessPlatform& host = t.host;
  Engine& engine = t.engine;
  const EngineState& s = engine.state;
  platform::Surface& dc = t.dc;

  struct {
    Rect ball{};
    std::int32_t score = 0, balls = 0;
    int dy = 0;
    bool wallGone = false;
    std::vector<CellBefore> cells;
    std::uint64_t ticks = 0;
    std::int32_t delay = 0;
  } before_;
  bool postedThisStep_ = false;
  int offset_ = 0;
  std::uint32_t seed_ = 7;
  int steps_ = 0;
  int catches_ = 0;
  int walls_ = 0;
};

TEST_F(BallScenario, KrelmoRallyKeepsTheBallInsideAndEveryPointAccountedFor) {
  Serve(1);
  Play(1500);
  EXPECT_EQ(steps_, 1500 * kStepsPerFrame);
  EXPECT_GT(catches_, 50);
  EXPECT_GE(walls_, 1) << "a whole wall is cleared in this rally";
  EXPECT_LT(engine.state.stepDelay, 4500);
}

TEST_F(BallScenario, VarnakRallyRunsThroughTheWallUnderTheSameRules) {
  engine.settings.gameVariant = Variant::kVarnak;
  engine.state.stepDelay = 3850;
  Serve(-1);
  Play(400);
  EXPECT_EQ(steps_, 400 * kStepsPerFrame);
  EXPECT_GE(walls_, 1);
  EXPECT_GE(engine.state.ballsLeft[0], 5) << "past 15,000 points";
}

}  // namespace
}  // namespace krelmo::engine
