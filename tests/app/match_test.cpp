// Whole matches on the headless front end: turns for one to four players, each with an own
// wall, pausing, aborting, game over, and the pace shared by all players.
#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/frame.h"
#include "engine/palette.h"
#include "engine/playfield.h"
#include "resources/menu.h"
#include "tests/support/test_game.h"

namespace krelmo::app {
namespace {

using engine::CellLeft;
using engine::CellTop;
using namespace resources;

// Ink of the block font at the start of a text drawn at (x, y).
Colour TextInk(const platform::Surface& dc, int x, int y) {
  return dc.GetPixel(x + 1, y + 5);
}

class MatchTest : public ::testing::Test {
 protected:
  void Choose(int commandId) {
    game.SendMessage(WM_COMMAND, static_cast<WPARAM>(commandId), 0);
    game.DispatchPending();
  }
  void Press(WPARAM key) {
    game.SendMessage(WM_KEYDOWN, key, MakeKeyLParam(0x3C, false, false, false));
    game.DispatchPending();
  }
  void Frames(int n) {
    for (int i = 0; i < n; ++i) {
      t.host.queue.PostTimer(kPlayTimerId);
      game.DispatchPending();
    }
  }
  // Serves, then sends the ball down past the paddle, which stands far away from it.
  void LoseBall() {
    game.ServeBall();
    auto& s = engine.state;
    engine::MovePaddle(engine, 500);
    s.ballX = 100;
    s.ballY = 460;
    s.ballDX = 1;
    s.ballDY = 1;
    Frames(1);
  }
  void RemoveBrick(int row, int column) {
    dc.SelectObject(engine::blackBrush);
    dc.Rectangle(CellLeft(column), CellTop(row), CellLeft(column) + 30, CellTop(row) + 12);
  }
  bool BrickStands(int row, int column) const {
    return dc.GetPixel(engine::SavePointX(column), engine::SamplePointY(row)) != 0;
  }

  testing::StartedGame t;
  Game& game = t.game;
  engine::Engine& engine = t.engine;
  platform::Surface& dc = t.dc;
};

TEST_F(MatchTest, NewKrelmoMatchGivesFourBallsTheSlowPaceAndHoldsThePointer) {
  Press(VK_F2);
  const auto& s = engine.state;
  const auto& window = t.host.window;
  EXPECT_EQ(s.ballsLeft, (std::array<std::int32_t, 4>{4, 4, 4, 4}));
  EXPECT_EQ(s.stepDelay, 4500);
  EXPECT_FALSE(window.cursorShown);
  ASSERT_TRUE(window.cursorClip.has_value());
  const auto clip = *window.cursorClip;
  EXPECT_EQ((std::array{clip.left, clip.top, clip.right, clip.bottom}),
            (std::array{window.rect.left + 21, window.rect.bottom - 41, window.rect.right - 75,
                        window.rect.bottom - 40}));
  EXPECT_EQ(window.cursorPos.x, window.rect.left + 3 + s.paddleX) << "the pointer on the paddle";
  EXPECT_EQ(t.host.menu.GetState(IDM_KRELMO), 8u | 3u) << "greyed, keeping its check";
  EXPECT_EQ(t.host.menu.GetState(IDM_PLAYERS_2), 3u);
  EXPECT_EQ(TextInk(dc, 10, 0), engine::kRed) << "the scoreboard shows during a match";
}

TEST_F(MatchTest, TwoVarnakPlayersAlternateEachWithTheirOwnWall) {
  Choose(IDM_VARNAK);
  Choose(IDM_PLAYERS_2);
  Press(VK_F2);
  EXPECT_EQ(engine.state.ballsLeft[0], 3);
  EXPECT_EQ(engine.state.stepDelay, 3850);
  EXPECT_EQ(TextInk(dc, 260, 220), engine::kWhite) << "\"Player 1 Up\"";

  RemoveBrick(5, 3);  // player 1 hits a brick
  LoseBall();
  EXPECT_EQ(engine.state.currentPlayer, 1u);
  EXPECT_TRUE(BrickStands(5, 3)) << "player 2's own wall is full";
  EXPECT_EQ(TextInk(dc, 260, 220), engine::kWhite) << "\"Player 2 Up\"";
  RemoveBrick(0, 0);

  LoseBall();
  EXPECT_EQ(engine.state.currentPlayer, 0u);
  EXPECT_FALSE(BrickStands(5, 3)) << "player 1's wall comes back as it was left";
  EXPECT_TRUE(BrickStands(0, 0));

  LoseBall();
  EXPECT_EQ(engine.state.currentPlayer, 1u);
  EXPECT_FALSE(BrickStands(0, 0));
  EXPECT_TRUE(BrickStands(5, 3));
  EXPECT_EQ(engine.state.ballsLeft[0], 1);
  EXPECT_EQ(engine.state.ballsLeft[1], 2);
}

TEST_F(MatchTest, TurnsSkipPlayersWhoAreOutAndTheLastOneServesUntilTheEnd) {
  Choose(IDM_PLAYERS_4);
  Press(VK_F2);
  engine.state.ballsLeft[1] = 0;
  LoseBall();
  EXPECT_EQ(engine.state.currentPlayer, 2u) << "player 1 hands over to player 3";
  engine.state.ballsLeft[3] = 0;
  LoseBall();
  EXPECT_EQ(engine.state.currentPlayer, 0u) << "player 3 hands back to player 1";
  engine.state.ballsLeft = {0, 0, 0, 2};
  engine.state.currentPlayer = 3;
  LoseBall();
  EXPECT_EQ(engine.match.gameActive, 1u);
  EXPECT_EQ(engine.state.currentPlayer, 3u);
  EXPECT_EQ(TextInk(dc, 260, 220), engine::kWhite) << "\"Player 4 Up\" again";
  LoseBall();
  EXPECT_EQ(engine.match.gameActive, 0u);
}

TEST_F(MatchTest, AServeStartsTheBallOnThePaddleGoingUpSidewaysByTheRandomDraw) {
  Press(VK_F2);
  game.app.randomSeed = 1;  // the generator's first draw from seed 1 is 41
  game.ServeBall();
  const auto& s = engine.state;
  EXPECT_EQ(s.ballY, 402);
  EXPECT_EQ(s.ballDY, -1);
  EXPECT_EQ(s.ballX, s.paddleX + 26);
  EXPECT_EQ(s.ballDX, -1) << "sideways by the random draw: 41 is odd";
  engine.state.ballX = 200;
  game.ServeBall();
  EXPECT_EQ(s.ballX, 200) << "a second serve with the ball in play is ignored";
}

// A pause while waiting for a serve resumes waiting; a pause in play parks the ball, the timer
// does nothing meanwhile, and the resume continues it from where it was.
TEST_F(MatchTest, PauseFreesThePointerParksTheBallAndResumeContinuesFromWhereItWas) {
  Press(VK_F2);
  Press(VK_F3);
  EXPECT_TRUE(t.host.window.cursorShown);
  EXPECT_FALSE(t.host.window.cursorClip.has_value());
  EXPECT_EQ(TextInk(dc, 220, 220), engine::kWhite) << "\"Paused - <F3> to resume\"";
  Press(VK_F3);
  EXPECT_EQ(engine.state.ballY, 480);
  EXPECT_EQ(TextInk(dc, 220, 220), 0u) << "the pause text is cleared";
  EXPECT_FALSE(t.host.window.cursorShown);
  game.ServeBall();
  Frames(1);
  const auto before = engine.state;
  ASSERT_LT(before.ballY, 402);
  Press(VK_F3);
  EXPECT_EQ(engine.state.ballY, 480);
  EXPECT_EQ(dc.GetPixel(before.ballX + 3, before.ballY + 3), 0u) << "the ball is erased";
  Frames(3);
  EXPECT_EQ(engine.state.ballY, 480);
  Press(VK_F3);
  EXPECT_EQ(engine.state.ballY, before.ballY);
  EXPECT_EQ(engine.state.ballX, before.ballX);
  Frames(1);
  EXPECT_NE(engine.state.ballY, before.ballY) << "the ball moves on";
}

TEST_F(MatchTest, AClearedWallInPlayerOnesTurnSpeedsUpPlayerTwo) {
  Choose(IDM_PLAYERS_2);
  Press(VK_F2);
  // Player 1 clears the wall; the bonus comes at the next serve.
  dc.SelectObject(engine::blackBrush);
  dc.Rectangle(21, 60, 621, 132);
  LoseBall();
  EXPECT_EQ(engine.state.playerScore[0], 5000);
  EXPECT_EQ(engine.state.currentPlayer, 1u);
  EXPECT_EQ(engine.state.stepDelay, 3850);
}

// One player plays four balls to game over: the last wall stays on screen with "Game Over",
// and the pointer and the menu come back.
TEST_F(MatchTest, OnePlayerPlaysFourBallsToGameOverWhichStaysDrawnByTheRedraw) {
  Press(VK_F2);
  RemoveBrick(5, 10);
  engine.state.playerScore[0] = 150;
  for (int ball = 1; ball <= 4; ++ball) {
    ASSERT_EQ(engine.match.gameActive, 1u) << "ball " << ball;
    LoseBall();
    EXPECT_EQ(engine.state.ballsLeft[0], 4 - ball);
    if (ball < 4) {
      EXPECT_EQ(TextInk(dc, 260, 220), 0u) << "no \"Player 1 Up\" for one player";
    }
  }
  EXPECT_EQ(engine.match.gameActive, 0u);
  EXPECT_TRUE(t.host.window.cursorShown);
  EXPECT_FALSE(t.host.window.cursorClip.has_value());
  EXPECT_EQ(t.host.menu.GetState(IDM_KRELMO), 8u) << "the menu comes back";
  EXPECT_EQ(t.host.menu.GetState(IDM_PLAYERS_4), 0u);
  EXPECT_GE(engine.state.ballY, 470) << "the ball stays out of play";
  EXPECT_FALSE(BrickStands(5, 10)) << "the last wall stays on screen";
  EXPECT_EQ(TextInk(dc, 280, 190), engine::kWhite) << "\"Game Over\"";
  game.RedrawGameWindow();
  EXPECT_FALSE(BrickStands(5, 10));
  EXPECT_EQ(TextInk(dc, 10, 0), engine::kRed) << "player 1 scored: the scoreboard stays";
}

}  // namespace
}  // namespace krelmo::app
