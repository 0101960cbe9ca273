// What the ball meets: bricks found by the colours of eight probe pixels, the latch of a pass
// through the band, walls and paddle by coordinates, points, extra balls and new walls.
#include "engine/collision.h"

#include "engine/frame.h"
#include "engine/sound_cues.h"
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
  bool Latched() const { return engine.state.brickHitLatch; }
  std::int16_t DX() const { return engine.state.ballDX; }
  std::int16_t DY() const { return engine.state.ballDY; }
};

using BrickProbe = CollisionTest;
using BrickLatch = CollisionTest;
using SideContact = CollisionTest;
using DamagedBrick = CollisionTest;
using VarnakBall = CollisionTest;
using FrameWall = CollisionTest;

// Cells are named by row (0 at the top) and column (0 at the left).
constexpr int kRedRow = 5, kOrangeRow = 4, kYellowRow = 3, kMagentaRow = 0;

TEST_F(BrickProbe, UpRightUnderTheRedRowStrikesWithTheTopRightProbeFirst) {
  PlaceBall(100, 132, 1, -1);
  CheckBrickContacts(engine);
  EXPECT_TRUE(CellIsBlack(kRedRow, 2)) << "cell (81, 120)";
  EXPECT_FALSE(CellIsBlack(kRedRow, 3));
  EXPECT_EQ(Score(), 5);
  EXPECT_EQ(WavesPlayed(), std::vector<int>{128});
  EXPECT_EQ(DY(), 1);
  EXPECT_EQ(DX(), 1);
  EXPECT_TRUE(Latched());
}

TEST_F(BrickProbe, TopRightProbeStrikesTheCellToTheRightOfTheBallsOwn) {
  // x 104: the top-left probe is in column 2, the top-right one (112) in column 3.
  PlaceBall(104, 132, 1, -1);
  CheckBrickContacts(engine);
  EXPECT_TRUE(CellIsBlack(kRedRow, 3));
  EXPECT_FALSE(CellIsBlack(kRedRow, 2)) << "the top-left probe fired too, but the latch was set";
  EXPECT_EQ(Score(), 5);
}

TEST_F(BrickProbe, UpLeftStrikesWithTheTopLeftProbeFirst) {
  PlaceBall(104, 132, -1, -1);
  CheckBrickContacts(engine);
  EXPECT_TRUE(CellIsBlack(kRedRow, 2));
  EXPECT_FALSE(CellIsBlack(kRedRow, 3));
  EXPECT_EQ(DY(), 1);
  EXPECT_EQ(DX(), -1);
}

TEST_F(BrickProbe, DownLeftAboveTheMagentaRowStrikesTheCellUnderItsBottomLeft) {
  PlaceBall(300, 51, -1, 1);
  CheckBrickContacts(engine);
  EXPECT_TRUE(CellIsBlack(kMagentaRow, 9)) << "cell (291, 60)";
  EXPECT_EQ(Score(), 250);
  EXPECT_EQ(WavesPlayed(), std::vector<int>{129});
  EXPECT_EQ(DY(), -1);
}

TEST_F(BrickProbe, DownRightStrikesWithTheBottomRightProbeFirst) {
  // x 104: bottom-left in column 2, bottom-right in column 3.
  PlaceBall(104, 51, 1, 1);
  CheckBrickContacts(engine);
  EXPECT_TRUE(CellIsBlack(kMagentaRow, 3));
  EXPECT_FALSE(CellIsBlack(kMagentaRow, 2));
  EXPECT_EQ(DY(), -1);
  EXPECT_EQ(DX(), 1);
}

TEST_F(BrickProbe, ProbesLookOnlyWhileTheBallsTopIsInTheBand) {
  RemoveColumn(2);
  PlaceBall(111, 50, -1, -1);  // beside the wall, just above the band
  CheckBrickContacts(engine);
  PlaceBall(111, 134, -1, 1);
  engine.state.brickHitLatch = true;
  CheckBrickContacts(engine);
  EXPECT_EQ(Score(), 0);
  EXPECT_EQ(DX(), -1);
  EXPECT_FALSE(Latched()) << "outside the band the latch clears";
  engine.state.brickHitLatch = true;
  PlaceBall(300, 133, 1, 1);
  CheckBrickContacts(engine);
  EXPECT_TRUE(Latched()) << "133 is still in the band";
}

TEST_F(BrickLatch, WithTheLatchSetABrickAboveNeitherTurnsTheBallNorIsStruck) {
  engine.state.brickHitLatch = true;
  PlaceBall(100, 132, 1, -1);
  CheckBrickContacts(engine);
  EXPECT_EQ(Score(), 0);
  EXPECT_FALSE(CellIsBlack(kRedRow, 2));
  EXPECT_EQ(DY(), -1);
}

TEST_F(BrickLatch, SecondPassThroughTheBandBouncesAgainAfterTheLatchClears) {
  PlaceBall(100, 132, 1, -1);
  CheckBrickContacts(engine);  // first contact sets it
  PlaceBall(100, 200, 1, 1);
  CheckBrickContacts(engine);  // out in the field it clears
  PlaceBall(200, 132, 1, -1);
  CheckBrickContacts(engine);
  EXPECT_EQ(Score(), 10);
  EXPECT_EQ(DY(), 1);
}

// A ball in the shaft of column 3 (x 111 to 140), its left side against column 2.
TEST_F(SideContact, WithTheLatchClearTurnsTheBallBothWays) {
  RemoveColumn(3);
  PlaceBall(111, 100, -1, -1);
  CheckBrickContacts(engine);
  EXPECT_EQ(DX(), 1);
  EXPECT_EQ(DY(), 1);
  EXPECT_TRUE(Latched());
  EXPECT_TRUE(CellIsBlack(kYellowRow, 2)) << "left-high acts first moving up";
  EXPECT_FALSE(CellIsBlack(kOrangeRow, 2)) << "left-low fired too but acts only alone";
  EXPECT_EQ(Score(), 25);
}

TEST_F(SideContact, WithTheLatchSetTurnsTheBallOnlySideways) {
  RemoveColumn(3);
  engine.state.brickHitLatch = true;
  PlaceBall(111, 100, -1, -1);
  CheckBrickContacts(engine);
  EXPECT_EQ(DX(), 1);
  EXPECT_EQ(DY(), -1);
  EXPECT_EQ(Score(), 25) << "side contacts strike whatever the latch";
}

TEST_F(SideContact, MovingDownTheLowProbeActsFirst) {
  RemoveColumn(3);
  PlaceBall(111, 100, -1, 1);
  CheckBrickContacts(engine);
  EXPECT_TRUE(CellIsBlack(kOrangeRow, 2));
  EXPECT_FALSE(CellIsBlack(kYellowRow, 2));
  EXPECT_EQ(Score(), 10);
  EXPECT_EQ(DY(), -1);
}

TEST_F(SideContact, SecondSideProbeActsWhenTheFirstFindsNothing) {
  RemoveColumn(3);
  RemoveBrick(kYellowRow, 2);
  PlaceBall(111, 100, -1, -1);
  CheckBrickContacts(engine);
  EXPECT_TRUE(CellIsBlack(kOrangeRow, 2));
  EXPECT_EQ(Score(), 10);
  EXPECT_EQ(DX(), 1);
}

TEST_F(SideContact, RightProbesLookOneColumnFurtherThanTheLeftOnes) {
  RemoveColumn(3);
  PlaceBall(131, 100, 1, 1);  // right-hand probes at x 140, still in the shaft
  CheckBrickContacts(engine);
  EXPECT_EQ(Score(), 0);
  PlaceBall(132, 100, 1, 1);
  CheckBrickContacts(engine);
  EXPECT_TRUE(CellIsBlack(kOrangeRow, 4));
  EXPECT_EQ(DX(), -1);
}

TEST_F(SideContact, ATwoPixelStepProbesTwoColumnsAway) {
  RemoveColumn(3);
  PlaceBall(112, 100, -2, 1);  // left probes at x 110: column 2
  CheckBrickContacts(engine);
  EXPECT_TRUE(CellIsBlack(kOrangeRow, 2));
  EXPECT_EQ(DX(), 2);
}

TEST_F(SideContact, VerticalAndSideNamingTheSameCellScoreItOnceButTurnBothWays) {
  // The ball overlaps row 3 in the shaft of column 1 (x 51 to 80), its right side against
  // column 2: the top-right and right-high probes both name cell (81, 96).
  RemoveColumn(1);
  PlaceBall(73, 100, 1, -1);
  CheckBrickContacts(engine);
  EXPECT_EQ(Score(), 25);
  EXPECT_EQ(WavesPlayed(), std::vector<int>{131}) << "the second strike reads black: no cue";
  EXPECT_EQ(DX(), -1);
  EXPECT_EQ(DY(), 1);
  EXPECT_TRUE(CellIsBlack(kYellowRow, 2));
  EXPECT_FALSE(CellIsBlack(kOrangeRow, 2));
}

TEST_F(DamagedBrick, BlackColourPointRemovesTheBrickWithoutPointsOrCue) {
  Fill(86, 125, 87, 126, kBlack);  // the colour point of cell (81, 120)
  PlaceBall(100, 132, 1, -1);
  CheckBrickContacts(engine);
  EXPECT_TRUE(CellIsBlack(kRedRow, 2));
  EXPECT_EQ(Score(), 0);
  EXPECT_TRUE(host.sound.plays.empty());
  EXPECT_EQ(DY(), 1) << "the ball still bounces";
  EXPECT_GT(hooks.scoreboards, 0) << "the scoreboard is redrawn all the same";
}

TEST_F(DamagedBrick, MovingUpLeftTheTopLeftProbeReadsThreePixelsIntoTheCell) {
  // Moving up-right the usual point (86, 125) is read; moving up-left (84, 123) instead.
  Fill(84, 123, 85, 124, kBlack);
  PlaceBall(100, 132, 1, -1);
  CheckBrickContacts(engine);
  EXPECT_EQ(Score(), 5);

  DrawFullWall(engine);
  Fill(84, 123, 85, 124, kBlack);
  engine.state.brickHitLatch = false;
  PlaceBall(100, 132, -1, -1);
  CheckBrickContacts(engine);
  EXPECT_TRUE(CellIsBlack(kRedRow, 2));
  EXPECT_EQ(Score(), 5) << "no points for the second strike";
}

TEST_F(DamagedBrick, MovingUpLeftTheLeftHighProbeReadsTheCellsTopLeftPixel) {
  RemoveColumn(3);
  Fill(81, 96, 82, 97, kBlack);  // only the top-left pixel of cell (81, 96)
  PlaceBall(111, 100, -1, -1);
  CheckBrickContacts(engine);
  EXPECT_TRUE(CellIsBlack(kYellowRow, 2));
  EXPECT_EQ(Score(), 0);
  EXPECT_TRUE(host.sound.plays.empty());
  EXPECT_EQ(DX(), 1);

  // Moving down-left the same damage does not matter: the point is (86, 101).
  DrawFullWall(engine);
  RemoveColumn(3);
  Fill(81, 96, 82, 97, kBlack);
  RemoveBrick(kOrangeRow, 2);
  engine.state.brickHitLatch = false;
  PlaceBall(111, 100, -1, 1);
  CheckBrickContacts(engine);
  EXPECT_EQ(Score(), 25);
}

TEST_F(VarnakBall, StrikesBricksButKeepsItsDirection) {
  engine.settings.gameVariant = 1;
  RemoveColumn(1);
  PlaceBall(73, 100, 1, -1);
  CheckBrickContacts(engine);
  EXPECT_EQ(Score(), 25);
  EXPECT_TRUE(CellIsBlack(kYellowRow, 2));
  EXPECT_EQ(DX(), 1);
  EXPECT_EQ(DY(), -1);
  EXPECT_TRUE(Latched()) << "the latch is kept as in the other variant";
}

TEST_F(VarnakBall, RunsOnThroughTheWallScoringTheBricksItsLeadingSideTouches) {
  engine.settings.gameVariant = 1;
  RemoveColumn(3);
  PlaceBall(111, 100, -2, -1);
  CheckBrickContacts(engine);
  // Further up and into the wall: the latch is set, so only the leading side strikes.
  PlaceBall(109, 95, -2, -1);
  CheckBrickContacts(engine);
  EXPECT_EQ(DX(), -2);
  EXPECT_EQ(DY(), -1);
  EXPECT_EQ(Score(), 25 + 50) << "yellow, then green a row higher";
  EXPECT_FALSE(CellIsBlack(1, 2)) << "the brick above was not struck";
}

// The ball over the paddle at 290, moving down into the catch zone at y 405.
class PaddleCatch : public CollisionTest {
 protected:
  PaddleCatch() { MovePaddle(engine, 290); }
  void CatchAt(int x, int dx = 1) {
    PlaceBall(x, 405, dx, 1);
    ResolveCollisions(engine);
  }
};

TEST_F(PaddleCatch, EachZoneGivesItsSidewaysStep) {
  struct Zone {
    int d;
    int dx;
  };
  // The ball comes in with +1: the zones that turn it give their own step.
  const Zone zones[] = {{-6, -2}, {5, -2}, {6, -1}, {20, -1}, {32, 1}, {48, 1}, {49, 2}, {58, 2}};
  for (const Zone& zone : zones) {
    CatchAt(290 + zone.d, 1);
    EXPECT_EQ(DX(), zone.dx) << "d = " << zone.d;
    EXPECT_EQ(DY(), -1);
    EXPECT_EQ(engine.state.ballY, 405) << "inside the paddle's ends the ball is not moved";
  }
  for (const int d : {21, 26, 31}) {
    CatchAt(290 + d, -1);
    EXPECT_EQ(DX(), -1) << "d = " << d << " keeps the step it came with";
    CatchAt(290 + d, 2);
    EXPECT_EQ(DX(), 2) << "d = " << d;
  }
}

TEST_F(PaddleCatch, BallAtFarRightEdgeIsMovedToOuterCell) {
  CatchAt(350);
  EXPECT_EQ(engine.state.ballX, 351);
  EXPECT_EQ(engine.state.ballY, 402);
  EXPECT_EQ(DX(), 2);
  EXPECT_EQ(DY(), -1);
  CatchAt(349);  // d = 59, past the paddle's last pixel
  EXPECT_EQ(engine.state.ballX, 351);
  CatchAt(348);
  EXPECT_EQ(engine.state.ballX, 348) << "over the paddle it stays where it is";
  EXPECT_EQ(engine.state.ballY, 405);
}

TEST_F(PaddleCatch, BallAtFarLeftEdgeIsMovedToOuterCell) {
  CatchAt(283);
  EXPECT_EQ(engine.state.ballX, 282);
  EXPECT_EQ(engine.state.ballY, 402);
  EXPECT_EQ(DX(), -2);
}

TEST_F(PaddleCatch, ZoneEndsAreCaughtAndJustBeyondThemIsMissed) {
  CatchAt(282);
  EXPECT_EQ(DY(), -1);
  CatchAt(351);
  EXPECT_EQ(DY(), -1);
  CatchAt(281);
  EXPECT_EQ(DY(), 1);
  CatchAt(352);
  EXPECT_EQ(DY(), 1);
  PlaceBall(320, 401, 1, 1);
  ResolveCollisions(engine);
  EXPECT_EQ(DY(), 1) << "above the zone";
  PlaceBall(320, 415, 1, 1);
  ResolveCollisions(engine);
  EXPECT_EQ(DY(), 1) << "below the zone";
}

TEST_F(PaddleCatch, CatchPlaysTheBounceCueAndRedrawsThePaddle) {
  Fill(300, 412, 310, 416, kBlack);  // a hole the ball left in the paddle
  CatchAt(320);
  EXPECT_EQ(WavesPlayed(), std::vector<int>{130});
  EXPECT_EQ(dc.GetPixel(305, 414), kWhite);
  EXPECT_EQ(Score(), 0);
}

TEST_F(PaddleCatch, BallLowInTheZoneIsCaughtOnEveryStepUpTo402) {
  engine.settings.useMouse = 1;
  PlaceBall(316, 409, 1, 1);  // d = 26 and the next nine steps keep it over the paddle
  RunFrame(engine);
  EXPECT_EQ(WavesPlayed(), std::vector<int>(9, 130)) << "catches at 410, 409, ..., 402";
  EXPECT_EQ(engine.state.ballY, 402 - 110);
}

TEST_F(FrameWall, CornerGivesTwoWallContactsAndSendsTheBallBack) {
  PlaceBall(21, 22, -1, -1);
  ResolveCollisions(engine);
  EXPECT_EQ(WavesPlayed(), (std::vector<int>{130, 130}));
  EXPECT_EQ(DX(), 1);
  EXPECT_EQ(DY(), 1);
  EXPECT_EQ(engine.state.ballX, 21);
  EXPECT_EQ(engine.state.ballY, 22);
  EXPECT_EQ(Score(), 0);
}

TEST_F(FrameWall, WallsHoldTheBallInsideTheFrame) {
  PlaceBall(612, 200, 2, 1);
  ResolveCollisions(engine);
  EXPECT_EQ(engine.state.ballX, 611);
  EXPECT_EQ(DX(), -2);
  PlaceBall(19, 200, -2, 1);
  ResolveCollisions(engine);
  EXPECT_EQ(engine.state.ballX, 21);
  EXPECT_EQ(DX(), 2);
  PlaceBall(300, 21, 1, -1);
  ResolveCollisions(engine);
  EXPECT_EQ(engine.state.ballY, 22);
  EXPECT_EQ(DY(), 1);
}

class WallRepaint : public CollisionTest {
 protected:
  WallRepaint() {
    // Clear around the ball's way out so that no probe finds a brick, and damage a distant
    // brick without touching its repaint point (cell left + 14).
    for (int column = 8; column <= 10; ++column) RemoveColumn(column);
    Fill(CellLeft(15), CellTop(2), CellLeft(15) + 8, CellTop(2) + 8, kBlack);
    Fill(100, 300, 108, 308, kGreen);  // something left in the play area
  }
  bool Repainted() const {
    return dc.GetPixel(CellLeft(15) + 2, CellTop(2) + 2) == kGreen && dc.GetPixel(104, 304) == 0;
  }
};

TEST_F(WallRepaint, LeavingTheBandUpwardsAt52RepaintsTheWall) {
  PlaceBall(300, 52, 1, -1);
  ResolveCollisions(engine);
  EXPECT_TRUE(Repainted());
  EXPECT_TRUE(CellIsBlack(1, 9)) << "a brick gone stays gone";
}

TEST_F(WallRepaint, LeavingTheBandDownwardsAt133RepaintsTheWall) {
  PlaceBall(300, 133, 1, 1);
  ResolveCollisions(engine);
  EXPECT_TRUE(Repainted());
}

TEST_F(WallRepaint, NoRepaintOnTheWayIntoTheBand) {
  PlaceBall(300, 52, 1, 1);
  ResolveCollisions(engine);
  PlaceBall(300, 133, 1, -1);
  ResolveCollisions(engine);
  PlaceBall(300, 53, 1, -1);
  ResolveCollisions(engine);
  EXPECT_EQ(dc.GetPixel(CellLeft(15) + 2, CellTop(2) + 2), 0u);
  EXPECT_EQ(dc.GetPixel(104, 304), kGreen);
}

TEST(ExtraBallMark, CrossedOnlyIntoANewMultipleOf15000) {
  EXPECT_TRUE(CrossedExtraBallMark(14'990, 15'000));
  EXPECT_FALSE(CrossedExtraBallMark(15'000, 15'250));
  EXPECT_TRUE(CrossedExtraBallMark(29'999, 30'000));
  EXPECT_TRUE(CrossedExtraBallMark(26'000, 31'000));
  EXPECT_FALSE(CrossedExtraBallMark(0, 14'999));
  EXPECT_FALSE(CrossedExtraBallMark(12'000, 12'000));
}

class ScoreTest : public CollisionTest {
 protected:
  void SetScore(std::int32_t score) {
    engine.state.playerScore[0] = score;
    engine.state.shownScore = score;
    engine.state.ballsLeft[0] = 2;
  }
};

TEST_F(ScoreTest, PointsGoToThePlayerWhoseTurnItIs) {
  engine.state.currentPlayer = 2;
  ScoreHit(engine, kBlue);
  EXPECT_EQ(engine.state.playerScore[2], 100);
  EXPECT_EQ(engine.state.playerScore[0], 0);
  EXPECT_EQ(engine.state.shownScore, 100);
}

TEST_F(ScoreTest, ReachingFifteenThousandEarnsOneBallWithItsCue) {
  SetScore(14'990);
  ScoreHit(engine, kOrange);
  EXPECT_EQ(Score(), 15'000);
  EXPECT_EQ(engine.state.ballsLeft[0], 3);
  EXPECT_EQ(WavesPlayed(), (std::vector<int>{127, 135}));
  ScoreHit(engine, kMagenta);
  EXPECT_EQ(engine.state.ballsLeft[0], 3) << "15,000 to 15,250 earns none";
}

TEST_F(ScoreTest, WallBonusAcrossAMarkPlaysTheBonusThenTheExtraBall) {
  SetScore(27'000);
  ScoreHit(engine, kWallBonus);
  EXPECT_EQ(Score(), 32'000);
  EXPECT_EQ(engine.state.ballsLeft[0], 3);
  EXPECT_EQ(WavesPlayed(), (std::vector<int>{133, 135}));
}

class WallCleared : public ScoreTest {
 protected:
  void ClearWall() { Fill(21, 60, 621, 132, kBlack); }
};

TEST_F(WallCleared, OneBrickLeftIsNotAClearedWall) {
  ClearWall();
  Fill(CellLeft(19), CellTop(5), CellLeft(19) + 30, CellTop(5) + 12, kRed);
  CheckWallCleared(engine);
  EXPECT_EQ(Score(), 0);
  EXPECT_EQ(engine.state.stepDelay, 4500);
}

TEST_F(WallCleared, BrickDamagedAtItsSavePointCountsAsGone) {
  ClearWall();
  Fill(CellLeft(4), CellTop(0), CellLeft(4) + 30, CellTop(0) + 12, kMagenta);
  Fill(SavePointX(4), SamplePointY(0), SavePointX(4) + 1, SamplePointY(0) + 1, kBlack);
  CheckWallCleared(engine);
  EXPECT_EQ(Score(), 5000);
}

TEST_F(WallCleared, EmptyWallScoresTheBonusAndDrawsAFullWall) {
  ClearWall();
  CheckWallCleared(engine);
  EXPECT_EQ(Score(), 5000);
  EXPECT_EQ(WavesPlayed(), std::vector<int>{133});
  EXPECT_EQ(dc.GetPixel(SavePointX(0), SamplePointY(0)), kMagenta);
  EXPECT_EQ(dc.GetPixel(SavePointX(19), SamplePointY(5)), kRed);
  EXPECT_EQ(engine.state.stepDelay, 3850);
}

TEST_F(WallCleared, EachClearedWallSpeedsTheBallUpDownTo2200) {
  SetScore(0);
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

TEST_F(WallCleared, PaddleCatchChecksTheWall) {
  ClearWall();
  MovePaddle(engine, 290);
  PlaceBall(316, 405, 1, 1);
  ResolveCollisions(engine);
  EXPECT_EQ(Score(), 5000);
  EXPECT_EQ(dc.GetPixel(SavePointX(10), SamplePointY(3)), kYellow);
}

}  // namespace
}  // namespace krelmo::engine
