// What the ball meets: bricks found by the colours of eight probe pixels, the latch of a pass
// through the band, walls and paddle by coordinates, points, extra balls and new walls.
#include "engine/collision.h"

#include "engine/frame.h"
#include "tests/engine/engine_test_support.h"

namespace krelmo::engine {
namespace {

class CollisionTest : public EngineTest {
 protected:
  CollisionTest() {
    engine.match.gameActive = 1;
    DrawFullWall(engine);
    UseDigitalSound();
  }
  void Catch(int x, int y = 405, int dx = 1) {
    PlaceBall(x, y, dx, 1);
    ResolveCollisions(engine);
  }
  void ClearWall() { Fill(21, 60, 621, 132, kBlack); }
  const EngineState& s = engine.state;
};

struct Point {
  int x, y;
};
struct Cell {
  int row, column;  // row 0 at the top; {-1, -1} for none struck
};

// One contact with the full wall, set up from scratch.
struct Contact {
  int shaft;            // a column of the wall emptied first, or -1
  Point damage;         // a pixel of a brick blackened first, or {0, 0}
  int latched, varnak;  // the latch and the variant before the contact
  int x, y, dx, dy;     // the ball
  Cell struck, spared;  // a cell the contact clears and one it leaves
  std::int32_t points;
  std::size_t cues;
  Point after;  // the ball's steps after the contact
};

TEST_F(CollisionTest, EachProbeStrikesItsCellScoresItsColourAndTurnsTheBall) {
  const Contact contacts[] = {
      // Under the red row moving up: the leading top probe acts, the latch stops the other.
      {-1, {0, 0}, 0, 0, 100, 132, 1, -1, {5, 2}, {5, 3}, 5, 1, {1, 1}},
      {-1, {0, 0}, 0, 0, 104, 132, 1, -1, {5, 3}, {5, 2}, 5, 1, {1, 1}},
      {-1, {0, 0}, 0, 0, 104, 132, -1, -1, {5, 2}, {5, 3}, 5, 1, {-1, 1}},
      {-1, {0, 0}, 1, 0, 100, 132, 1, -1, {-1, -1}, {5, 2}, 0, 0, {1, -1}},  // latched
      // Above the magenta row moving down.
      {-1, {0, 0}, 0, 0, 300, 51, -1, 1, {0, 9}, {0, 8}, 250, 1, {-1, -1}},
      {-1, {0, 0}, 0, 0, 104, 51, 1, 1, {0, 3}, {0, 2}, 250, 1, {1, -1}},
      // In the shaft of column 3 (x 111 to 140), the ball's left side against column 2: a side
      // contact turns the ball both ways with the latch clear, only sideways with it set.
      {3, {0, 0}, 0, 0, 111, 100, -1, -1, {3, 2}, {4, 2}, 25, 1, {1, 1}},
      {3, {0, 0}, 1, 0, 111, 100, -1, -1, {3, 2}, {4, 2}, 25, 1, {1, -1}},
      {3, {0, 0}, 0, 0, 111, 100, -1, 1, {4, 2}, {3, 2}, 10, 1, {1, -1}},
      {3, {0, 0}, 0, 0, 131, 100, 1, 1, {-1, -1}, {4, 4}, 0, 0, {1, 1}},  // probes at x 140
      {3, {0, 0}, 0, 0, 132, 100, 1, 1, {4, 4}, {3, 4}, 10, 1, {-1, -1}},
      {3, {0, 0}, 0, 0, 112, 100, -2, 1, {4, 2}, {3, 2}, 10, 1, {2, -1}},  // two columns away
      // The top-right and right-high probes both name cell (81, 96): one score, one cue.
      {1, {0, 0}, 0, 0, 73, 100, 1, -1, {3, 2}, {4, 2}, 25, 1, {-1, 1}},
      {1, {0, 0}, 0, 1, 73, 100, 1, -1, {3, 2}, {4, 2}, 25, 1, {1, -1}},  // Varnak: no turn
      // A brick whose colour point is black goes without points or cue. Moving up-left the
      // top-left probe reads (cell + 3, cell + 3) and the left-high one the cell's corner.
      {-1, {86, 125}, 0, 0, 100, 132, 1, -1, {5, 2}, {5, 3}, 0, 0, {1, 1}},
      {-1, {84, 123}, 0, 0, 100, 132, 1, -1, {5, 2}, {5, 3}, 5, 1, {1, 1}},
      {-1, {84, 123}, 0, 0, 100, 132, -1, -1, {5, 2}, {5, 3}, 0, 0, {-1, 1}},
      {3, {81, 96}, 0, 0, 111, 100, -1, -1, {3, 2}, {4, 2}, 0, 0, {1, 1}},
      {3, {81, 120}, 0, 0, 111, 125, -1, 1, {5, 2}, {4, 2}, 5, 1, {1, -1}},
  };
  for (const Contact& c : contacts) {
    SCOPED_TRACE(::testing::Message() << "ball at " << c.x << "," << c.y << " moving " << c.dx
                                      << "," << c.dy << " in shaft " << c.shaft);
    DrawFullWall(engine);
    engine.state.playerScore[0] = engine.state.shownScore = 0;
    host.sound.plays.clear();
    hooks.scoreboards = 0;
    if (c.shaft >= 0) RemoveColumn(c.shaft);
    if (c.damage.x) Fill(c.damage.x, c.damage.y, c.damage.x + 1, c.damage.y + 1, kBlack);
    engine.state.brickHitLatch = c.latched;
    engine.settings.gameVariant = c.varnak;
    PlaceBall(c.x, c.y, c.dx, c.dy);
    CheckBrickContacts(engine);
    if (c.struck.row >= 0) {
      EXPECT_TRUE(CellIsBlack(c.struck.row, c.struck.column));
      EXPECT_TRUE(s.brickHitLatch);
      EXPECT_GT(hooks.scoreboards, 0) << "the scoreboard is redrawn even for no points";
    }
    EXPECT_FALSE(CellIsBlack(c.spared.row, c.spared.column));
    EXPECT_EQ(Score(), c.points);
    EXPECT_EQ(host.sound.plays.size(), c.cues);
    EXPECT_EQ(s.ballDX, c.after.x);
    EXPECT_EQ(s.ballDY, c.after.y);
  }
}

TEST_F(CollisionTest, TheLatchHoldsWhileTheBallsTopIsInTheBandFrom51To133) {
  PlaceBall(100, 132, 1, -1);
  CheckBrickContacts(engine);  // the first contact sets it
  PlaceBall(100, 133, 1, 1);
  CheckBrickContacts(engine);
  EXPECT_TRUE(s.brickHitLatch) << "133 is still in the band";
  PlaceBall(100, 134, 1, 1);
  CheckBrickContacts(engine);
  EXPECT_FALSE(s.brickHitLatch) << "out in the field it clears";
  PlaceBall(200, 132, 1, -1);
  CheckBrickContacts(engine);
  EXPECT_EQ(Score(), 10) << "a second pass strikes again";
  EXPECT_EQ(s.ballDY, 1);
}

TEST_F(CollisionTest, EachZoneOfThePaddleGivesItsSidewaysStep) {
  MovePaddle(engine, 290);
  // The ball comes in with +1: d is its x less the paddle's.
  const std::pair<int, int> zones[] = {{-6, -2}, {5, -2}, {6, -1}, {20, -1},
                                       {32, 1},  {48, 1}, {49, 2}, {58, 2}};
  for (const auto& [d, dx] : zones) {
    Catch(290 + d);
    EXPECT_EQ(s.ballDX, dx) << "d = " << d;
    EXPECT_EQ(s.ballDY, -1);
    EXPECT_EQ(s.ballY, 405) << "inside the paddle's ends the ball is not moved";
  }
  for (const int d : {21, 26, 31}) {
    for (const int dx : {-1, 2}) {
      Catch(290 + d, 405, dx);
      EXPECT_EQ(s.ballDX, dx) << "d = " << d << " keeps the step it came with";
    }
  }
}

TEST_F(CollisionTest, BallsAtThePaddlesEndsAreLiftedBesideItAndBeyondThemMissed) {
  MovePaddle(engine, 290);
  struct Row {
    int x, y;
    bool caught;
    int xAfter, yAfter;
  };
  const Row rows[] = {
      {348, 405, true, 348, 405}, {349, 405, true, 351, 402},  {350, 405, true, 351, 402},
      {351, 405, true, 351, 402}, {352, 405, false, 352, 405}, {283, 405, true, 282, 402},
      {282, 405, true, 282, 402}, {281, 405, false, 281, 405}, {320, 401, false, 320, 401},
      {320, 414, true, 320, 414}, {320, 415, false, 320, 415},
  };
  for (const Row& r : rows) {
    Catch(r.x, r.y);
    EXPECT_EQ(s.ballDY, r.caught ? -1 : 1) << r.x << "," << r.y;
    EXPECT_EQ(s.ballX, r.xAfter) << r.x << "," << r.y;
    EXPECT_EQ(s.ballY, r.yAfter) << r.x << "," << r.y;
  }
}

TEST_F(CollisionTest, ACatchPlaysTheBounceCueRedrawsThePaddleAndChecksTheWall) {
  MovePaddle(engine, 290);
  Fill(300, 412, 310, 416, kBlack);  // a hole the ball left in the paddle
  Catch(320);
  EXPECT_EQ(WavesPlayed(), std::vector<int>{130});
  EXPECT_EQ(dc.GetPixel(305, 414), kWhite);
  EXPECT_EQ(Score(), 0);
  ClearWall();
  Catch(316);
  EXPECT_EQ(Score(), 5000);
  EXPECT_EQ(dc.GetPixel(SavePointX(10), SamplePointY(3)), kYellow);
}

TEST_F(CollisionTest, ABallLowInTheZoneIsCaughtOnEveryStepUpTo402) {
  engine.settings.useMouse = 1;
  MovePaddle(engine, 290);
  PlaceBall(316, 409, 1, 1);
  RunFrame(engine);
  EXPECT_EQ(WavesPlayed(), std::vector<int>(9, 130)) << "catches at 410, 409, ..., 402";
  EXPECT_EQ(s.ballY, 402 - 110);
}

TEST_F(CollisionTest, LeavingTheBandEitherWayRepaintsTheWall) {
  // Columns 8 to 10 cleared so that no probe finds a brick.
  for (int column = 8; column <= 10; ++column) RemoveColumn(column);
  const struct {
    int y, dy;
    bool repaints;
  } rows[] = {{52, -1, true}, {133, 1, true}, {52, 1, false}, {133, -1, false}, {53, -1, false}};
  for (const auto& r : rows) {
    // A distant brick damaged away from its repaint point, and something left in the field.
    Fill(CellLeft(15), CellTop(2), CellLeft(15) + 8, CellTop(2) + 8, kBlack);
    Fill(100, 300, 108, 308, kGreen);
    PlaceBall(300, r.y, 1, r.dy);
    ResolveCollisions(engine);
    EXPECT_EQ(dc.GetPixel(CellLeft(15) + 2, CellTop(2) + 2) == kGreen, r.repaints) << r.y;
    EXPECT_EQ(dc.GetPixel(104, 304) == 0, r.repaints) << r.y;
  }
  EXPECT_TRUE(CellIsBlack(1, 9)) << "a brick gone stays gone";
}

TEST_F(CollisionTest, PointsGoToThePlayerWhoseTurnItIsWithABallForEach15000) {
  engine.state.currentPlayer = 2;
  ScoreHit(engine, kBlue);
  EXPECT_EQ(engine.state.playerScore[2], 100);
  EXPECT_EQ(engine.state.shownScore, 100);
  EXPECT_EQ(Score(), 0);

  engine.state.currentPlayer = 0;
  engine.state.playerScore[0] = engine.state.shownScore = 14'990;
  engine.state.ballsLeft[0] = 2;
  host.sound.plays.clear();
  ScoreHit(engine, kOrange);
  EXPECT_EQ(engine.state.ballsLeft[0], 3);
  EXPECT_EQ(WavesPlayed(), (std::vector<int>{127, 135}));
  ScoreHit(engine, kMagenta);
  EXPECT_EQ(engine.state.ballsLeft[0], 3) << "15,000 to 15,250 earns none";

  engine.state.playerScore[0] = engine.state.shownScore = 27'000;
  host.sound.plays.clear();
  ScoreHit(engine, kWallBonus);
  EXPECT_EQ(Score(), 32'000);
  EXPECT_EQ(engine.state.ballsLeft[0], 4);
  EXPECT_EQ(WavesPlayed(), (std::vector<int>{133, 135}));
}

TEST_F(CollisionTest, AWallIsClearedWhenNoSavePointIsColoured) {
  ClearWall();
  Fill(CellLeft(19), CellTop(5), CellLeft(19) + 30, CellTop(5) + 12, kRed);
  CheckWallCleared(engine);
  EXPECT_EQ(Score(), 0) << "one brick left";
  Fill(SavePointX(19), SamplePointY(5), SavePointX(19) + 1, SamplePointY(5) + 1, kBlack);
  CheckWallCleared(engine);
  EXPECT_EQ(Score(), 5000) << "a brick damaged at its save point counts as gone";
  EXPECT_EQ(WavesPlayed(), std::vector<int>{133});
  EXPECT_EQ(dc.GetPixel(SavePointX(0), SamplePointY(0)), kMagenta) << "a full wall again";
  EXPECT_EQ(dc.GetPixel(SavePointX(19), SamplePointY(5)), kRed);
}

TEST_F(CollisionTest, EachClearedWallSpeedsTheBallUpDownTo2200) {
  engine.state.ballsLeft[0] = 2;
  const std::int32_t expected[] = {3850, 3200, 2550, 2500, 2450, 2400,
                                   2350, 2300, 2250, 2200, 2200};
  for (const std::int32_t delay : expected) {
    ClearWall();
    CheckWallCleared(engine);
    EXPECT_EQ(engine.state.stepDelay, delay);
  }
  EXPECT_EQ(Score(), 11 * 5000);
  EXPECT_EQ(engine.state.ballsLeft[0], 2 + 3) << "marks at 15,000, 30,000 and 45,000";
}

}  // namespace
}  // namespace krelmo::engine
