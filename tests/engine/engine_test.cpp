// The play engine: the frame of ball steps (its length, the input each step takes, the early
// end on a right click, the lost ball); what the ball meets (bricks found by the colours of
// eight probe pixels, the latch of a pass through the band, walls and paddle by coordinates,
// points, extra balls and new walls); the playfield; and the sound cues on the speaker.
#include "engine/engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/collision.h"
#include "engine/frame.h"
#include "engine/palette.h"
#include "engine/playfield.h"
#include "engine/sound_cues.h"
#include "tests/support/speaker_ports.h"
#include "tests/support/test_game.h"

namespace krelmo::engine {
namespace {

// Stands in for the match flow and the scoreboard: counts what the engine asks of them.
struct RecordingHooks : EngineHooks {
  explicit RecordingHooks(Engine& e) : engine(e) {}
  int LoseBall() override {
    ++lostBalls;
    return loseBallResult;
  }
  void EndMatch() override { ++endedMatches; }
  // As the scoreboard does: what it shows is the current player's score.
  void DrawScoreboard() override {
    ++scoreboards;
    engine.state.shownScore = engine.state.playerScore[engine.state.currentPlayer];
  }
  void PollJoystick() override { pollsAtStep.push_back(stepsEnded); }

  Engine& engine;
  int loseBallResult = 1, lostBalls = 0, endedMatches = 0, scoreboards = 0, stepsEnded = 0;
  std::vector<int> pollsAtStep;
};

// A game on the headless front end with the timing module running, the pen of play selected
// and the hooks above in place of the match flow.
class EngineTest : public ::testing::Test {
 protected:
  EngineTest() {
    t.game.timer.TM_Init(1);
    engine.hooks = &hooks;
    engine.onStepEnd = [this] { ++hooks.stepsEnded; };
    dc.SelectObject(blackPen);
    host.portWrites.clear();
  }

  void PlaceBall(int x, int y, int dx, int dy) {
    auto& s = engine.state;
    std::tie(s.ballX, s.ballY, s.ballDX, s.ballDY) =
        std::tuple<std::int16_t, std::int16_t, std::int16_t, std::int16_t>(x, y, dx, dy);
  }
  // Paints a solid area in one colour, as something drawn over the playfield would.
  void Fill(int left, int top, int right, int bottom, Colour colour) {
    dc.SelectObject(Brush{colour});
    dc.SelectObject(Pen{colour});
    dc.Rectangle(left, top, right, bottom);
    dc.SelectObject(blackPen);
  }
  // Every brick of one column of the wall gone: a shaft through the wall.
  void RemoveColumn(int column) {
    for (int row = 0; row < kBrickRows; ++row) krelmo::testing::RemoveBrick(dc, row, column);
  }
  bool CellIsBlack(int row, int column) const {
    for (int y = CellTop(row); y < CellTop(row + 1); ++y) {
      for (int x = CellLeft(column); x < CellLeft(column + 1); ++x) {
        if (dc.GetPixel(x, y) != 0) return false;
      }
    }
    return true;
  }
  std::int32_t Score() const { return engine.state.playerScore[0]; }
  std::vector<int> WavesPlayed() const {
    std::vector<int> waves;
    for (const auto& play : host.sound.plays) waves.push_back(play.waveId);
    return waves;
  }
  void UseDigitalSound() {
    engine.settings.soundOn = true;
    engine.settings.digitalSound = true;
  }

  krelmo::testing::TestGame t;
  headless::HeadlessPlatform& host = t.host;
  Engine& engine = t.engine;
  platform::Surface& dc = t.dc;
  RecordingHooks hooks{engine};
};

class CollisionTest : public EngineTest {
 protected:
  CollisionTest() {
    engine.match.gameActive = true;
    DrawFullWall(engine);
    UseDigitalSound();
  }
  void Catch(int x, int y = 405, int dx = 1) {
    PlaceBall(x, y, dx, 1);
    ResolveCollisions(engine);
  }
  void ClearWall() {
    Fill(CellLeft(0), CellTop(0), CellLeft(kBrickColumns), CellTop(kBrickRows), kBlack);
  }
  const EngineState& s = engine.state;
};

struct Cell {
  int row, column;  // row 0 at the top; {-1, -1} for none
};

// One contact with the full wall, set up from scratch.
struct Contact {
  int shaft;            // a column of the wall emptied first, or -1
  Cell damaged;         // a cell whose colour point (cell + 3, cell + 3) is blackened first
  int latched, varnak;  // the latch and the variant before the contact
  int x, y, dx, dy;     // the ball
  Cell struck, spared;  // a cell the contact clears and one it leaves
  std::int32_t points;
  int dxAfter, dyAfter;
};

TEST_F(CollisionTest, EachProbeStrikesItsCellScoresItsColourAndTurnsTheBall) {
  const Contact contacts[] = {
      // Under the red row moving up: the leading top probe acts, the latch stops the other.
      {-1, {-1, -1}, 0, 0, 100, 132, 1, -1, {5, 2}, {5, 3}, 5, 1, 1},
      {-1, {-1, -1}, 1, 0, 100, 132, 1, -1, {-1, -1}, {5, 2}, 0, 1, -1},  // latched
      {-1, {-1, -1}, 0, 0, 300, 51, -1, 1, {0, 9}, {0, 8}, 250, -1, -1},  // down to magenta
      // In the shaft of column 3 (x 111 to 140), against column 2: a side contact turns the
      // ball both ways with the latch clear, only sideways with it set.
      {3, {-1, -1}, 0, 0, 111, 100, -1, -1, {3, 2}, {4, 2}, 25, 1, 1},
      {3, {-1, -1}, 1, 0, 111, 100, -1, -1, {3, 2}, {4, 2}, 25, 1, -1},
      {3, {-1, -1}, 0, 0, 131, 100, 1, 1, {-1, -1}, {4, 4}, 0, 1, 1},  // probes at x 140
      {1, {-1, -1}, 0, 1, 73, 100, 1, -1, {3, 2}, {4, 2}, 25, 1, -1},  // Varnak: no turn
      {-1, {5, 2}, 0, 0, 100, 132, -1, -1, {5, 2}, {5, 3}, 0, -1, 1},  // no points, no cue
  };
  for (const Contact& c : contacts) {
    SCOPED_TRACE(::testing::Message() << "ball at " << c.x << "," << c.y << " moving " << c.dx
                                      << "," << c.dy << " in shaft " << c.shaft);
    DrawFullWall(engine);
    engine.state.playerScore[0] = engine.state.shownScore = 0;
    host.sound.plays.clear();
    hooks.scoreboards = 0;
    if (c.shaft >= 0) RemoveColumn(c.shaft);
    const int dx = CellLeft(c.damaged.column) + 3, dy = CellTop(c.damaged.row) + 3;
    if (c.damaged.row >= 0) Fill(dx, dy, dx + 1, dy + 1, kBlack);
    engine.state.brickHitLatch = c.latched;
    engine.settings.gameVariant = c.varnak ? Variant::kVarnak : Variant::kKrelmo;
    PlaceBall(c.x, c.y, c.dx, c.dy);
    CheckBrickContacts(engine);
    if (c.struck.row >= 0) {
      EXPECT_TRUE(CellIsBlack(c.struck.row, c.struck.column));
      EXPECT_TRUE(s.brickHitLatch);
      EXPECT_GT(hooks.scoreboards, 0) << "the scoreboard is redrawn even for no points";
    }
    EXPECT_FALSE(CellIsBlack(c.spared.row, c.spared.column));
    EXPECT_EQ(Score(), c.points);
    EXPECT_EQ(host.sound.plays.size(), c.points ? 1u : 0u);
    EXPECT_EQ((std::pair{s.ballDX, s.ballDY}),
              (std::pair<std::int16_t, std::int16_t>(c.dxAfter, c.dyAfter)));
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
  PlaceBall(300, 50, 1, -1);
  CheckBrickContacts(engine);
  EXPECT_FALSE(s.brickHitLatch) << "above the band it clears too";
}

// Where ResolveCollisions leaves the ball after its move (x, y, dx, dy): the frame walls turn
// it at their inner edges and stop it there; the paddle, at 290, catches it from 401 to 414 up
// to its ends, lifting a ball caught at an end beside it, and misses it beyond them.
TEST_F(CollisionTest, TheWallsAndThePaddlesEndsTurnTheBallAtTheirInnerEdges) {
  MovePaddle(engine, 290);
  using Ball = std::array<int, 4>;
  const std::pair<Ball, Ball> rows[] = {
      {{300, 23, 1, -1}, {300, 23, 1, -1}},   {{300, 22, 1, -1}, {300, 22, 1, 1}},
      {{22, 300, -1, 1}, {22, 300, -1, 1}},   {{21, 300, -1, 1}, {21, 300, 1, 1}},
      {{610, 300, 1, 1}, {610, 300, 1, 1}},   {{611, 300, 1, 1}, {611, 300, -1, 1}},
      {{20, 21, -2, -1}, {21, 22, 2, 1}},  // a corner: both walls at once
      {{348, 405, 1, 1}, {348, 405, 2, -1}},  {{349, 405, 1, 1}, {351, 402, 2, -1}},
      {{350, 405, 1, 1}, {351, 402, 2, -1}},  {{351, 405, 1, 1}, {351, 402, 2, -1}},
      {{352, 405, 1, 1}, {352, 405, 1, 1}},   {{283, 405, 1, 1}, {282, 402, -2, -1}},
      {{282, 405, 1, 1}, {282, 402, -2, -1}}, {{281, 405, 1, 1}, {281, 405, 1, 1}},
      {{320, 401, 1, 1}, {320, 401, 1, 1}},   {{320, 414, 1, 1}, {320, 414, 1, -1}},
      {{320, 415, 1, 1}, {320, 415, 1, 1}},
  };
  for (const auto& [before, after] : rows) {
    PlaceBall(before[0], before[1], before[2], before[3]);
    ResolveCollisions(engine);
    EXPECT_EQ((Ball{s.ballX, s.ballY, s.ballDX, s.ballDY}), after) << before[0] << "," << before[1];
  }
}

TEST_F(CollisionTest, EachZoneOfThePaddleGivesItsSidewaysStep) {
  MovePaddle(engine, 290);
  // d is the ball's x less the paddle's; a step of 0 keeps the one the ball came with. Each
  // zone's step differs from one of the two the ball comes with.
  const std::pair<int, int> zones[] = {{-6, -2}, {5, -2}, {6, -1}, {20, -1}, {21, 0}, {26, 0},
                                       {31, 0},  {32, 1}, {48, 1}, {49, 2},  {58, 2}};
  for (const auto& [d, dx] : zones) {
    for (const int dxBefore : {-1, 2}) {
      Catch(290 + d, 405, dxBefore);
      EXPECT_EQ(s.ballDX, dx == 0 ? dxBefore : dx) << "d = " << d << " coming with " << dxBefore;
      EXPECT_EQ(s.ballDY, -1);
      EXPECT_EQ(s.ballY, 405) << "inside the paddle's ends the ball is not moved";
    }
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
  engine.settings.useMouse = true;
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
  EXPECT_EQ((std::array{engine.state.playerScore[2], engine.state.shownScore, Score()}),
            (std::array{100, 100, 0}));

  engine.state.currentPlayer = 0;
  engine.state.playerScore[0] = engine.state.shownScore = 14'990;
  engine.state.ballsLeft[0] = 2;
  host.sound.plays.clear();
  ScoreHit(engine, kOrange);
  EXPECT_EQ(engine.state.ballsLeft[0], 3);
  EXPECT_EQ(WavesPlayed(), (std::vector<int>{127, 135})) << "a brick, then an extra ball";
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
  Fill(CellLeft(19), CellTop(5), CellLeft(20), CellTop(6), kRed);
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

constexpr Colour kRowColours[kBrickRows] = {kMagenta, kBlue, kGreen, kYellow, kOrange, kRed};

using PlayfieldTest = EngineTest;

TEST_F(PlayfieldTest, AFullWallFillsEveryCellInItsRowColourEndingAtColumn619) {
  DrawFullWall(engine);
  for (int row = 0; row < kBrickRows; ++row) {
    const int top = CellTop(row);
    for (int column = 0; column < kBrickColumns; ++column) {
      const int left = CellLeft(column);
      for (const auto& [x, y] : {std::pair{left, top}, {left + 14, top + 11}, {left + 28, top}}) {
        EXPECT_EQ(dc.GetPixel(x, y), kRowColours[row]) << "row " << row << " at " << x;
      }
    }
    EXPECT_EQ(dc.GetPixel(620, top + 6), 0u) << "the band stops a pixel short of the edge";
    EXPECT_EQ(dc.GetPixel(20, top + 6), 0u);
  }
  EXPECT_EQ(dc.GetPixel(100, 59), 0u);
  EXPECT_EQ(dc.GetPixel(100, 132), 0u);
  EXPECT_EQ(dc.SelectedPen(), kBlack) << "the black pen is in force afterwards";
}

TEST_F(PlayfieldTest, SavingReadsEachBricksSavePointIntoOneSlotOrAll) {
  DrawFullWall(engine);
  krelmo::testing::RemoveBrick(dc, 2, 7);
  Fill(SavePointX(3), SamplePointY(1), SavePointX(3) + 1, SamplePointY(1) + 1, kBlack);
  SaveWall(engine, 2);
  const auto& slots = engine.state.savedWall;
  EXPECT_EQ(slots[2][2 * kBrickColumns + 7], 0u);
  EXPECT_EQ(slots[2][1 * kBrickColumns + 3], 0u) << "only the save point is read";
  EXPECT_EQ(slots[2][0], kMagenta);
  EXPECT_EQ(slots[2][5 * kBrickColumns + 19], kRed);
  for (const int other : {0, 1, 3}) {
    for (const Colour c : slots[other]) EXPECT_EQ(c, 0u) << "slot " << other;
  }
  SaveWall(engine, kAllSlots);
  for (int slot = 0; slot < kPlayerSlots; ++slot) EXPECT_EQ(slots[slot], slots[2]);
}

TEST_F(PlayfieldTest, ClearingThePlayAreaLeavesTheWallsAndThePaddleRow) {
  Fill(0, 0, platform::Surface::kWidth, platform::Surface::kHeight, kWhite);
  ClearPlayArea(engine);
  EXPECT_EQ(dc.GetPixel(22, 133), 0u);
  EXPECT_EQ(dc.GetPixel(618, 408), 0u);
  EXPECT_EQ(dc.GetPixel(21, 133), kWhite);
  EXPECT_EQ(dc.GetPixel(619, 408), kWhite);
  EXPECT_EQ(dc.GetPixel(300, 409), kWhite) << "the paddle row is outside the play area";
}

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
  engine.settings.soundOn = true;
  const std::uint64_t generation = dc.Generation();
  for (const int y : {470, 480}) {
    engine.state.ballY = static_cast<std::int16_t>(y);
    RunFrame(engine);
  }
  EXPECT_EQ(Waits(), 0u);
  EXPECT_TRUE(host.portWrites.empty());
  EXPECT_EQ(dc.Generation(), generation);
}

TEST_F(FrameTest, WithTheMouseEachStepTakesTheNewestWaitingMoveKeepingThePaddleInsideTheWalls) {
  // Moves in a row merge into the newest; a key between two keeps them apart. The pointer's x
  // is the low 16 bits of lParam, read unsigned; past the right end the paddle stops at 561,
  // and left of 20, where the strip lets the pointer go, at 20.
  PostMouse(MakePointLParam(60, 420));
  for (const int x : {100, 200, 633, 0xFFFF, 19}) {
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
  engine.settings.useMouse = false;
  PostMouse(MakePointLParam(100, 420));
  RunFrame(engine);
  // Each poll happens inside a step: after 11, 23, ... steps have ended.
  EXPECT_EQ(hooks.pollsAtStep, (std::vector<int>{11, 23, 35, 47, 59, 71, 83, 95, 107}));
  EXPECT_EQ(engine.state.paddleX, 290);
  EXPECT_EQ(host.queue.Size(), 1u);
}

TEST_F(FrameTest, WithTheJoystickARightClickEndsTheFrameBeforeTheEraseAndStaysQueued) {
  engine.settings.useMouse = false;
  engine.settings.soundOn = true;
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

TEST_F(FrameTest, TheBallsWholeCellIsErasedWhileItsLeftEdgeIsAt22OrLess) {
  for (const auto& [x, whole] : {std::pair{22, true}, {23, false}}) {
    Fill(x, 100, x + 8, 108, kRed);  // a brick repainted where the ball stands
    PlaceBall(x, 100, 1, 1);
    BallStep(engine, 1);
    EXPECT_EQ(dc.GetPixel(x, 104) == 0, whole) << x;
  }
}

// A step erases what the ball leaves behind, each way it moves in the field, and when a catch
// at the paddle's end lifts it to 351.
TEST_F(FrameTest, ABallLeavesNoWhiteBehindMovingEveryWayOrLiftedBesideThePaddle) {
  const std::array<int, 4> rows[] = {
      {300, 200, 2, 1}, {300, 200, -2, -1}, {300, 200, 1, -1}, {300, 200, -1, 1}, {347, 400, 1, 1}};
  for (const auto& [x, y, dx, dy] : rows) {
    Fill(x - 8, y - 8, x + 24, std::min(y + 24, kPaddleTop), kBlack);
    PlaceBall(x, y, dx, dy);
    BallStep(engine, 1);  // drawn one step on
    BallStep(engine, 2);
    const auto& b = engine.state;
    for (int py = y - 4; py < std::min(y + 16, kPaddleTop); ++py) {
      for (int px = x - 4; px < x + 16; ++px) {
        const bool inBall =
            px >= b.ballX && px < b.ballX + kBallSize && py >= b.ballY && py < b.ballY + kBallSize;
        EXPECT_TRUE(inBall || dc.GetPixel(px, py) != kWhite) << px << "," << py << " from " << x;
      }
    }
  }
  EXPECT_EQ(engine.state.ballX, 351);
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
  EXPECT_EQ(host.sound.plays[0].flags, kCutOffFlags);
  EXPECT_FALSE(paddleWhole[1]);
  EXPECT_TRUE(paddleWhole[2]) << "redrawn when the ball reaches 421";
}

using platform::PcHardware;
using Writes = std::vector<std::pair<int, int>>;

using SoundCueTest = EngineTest;

// Each tone loads counter 2 with a square wave of its divisor, low byte first, then opens the
// gate; the long cues are silent on the speaker.
TEST_F(SoundCueTest, EachToneLoadsItsDivisorThenOpensTheGate) {
  engine.settings.soundOn = true;
  engine.settings.digitalSound = false;
  const std::pair<Cue, int> tones[] = {{Cue::kRedBrick, 1704},     {Cue::kOrangeBrick, 1590},
                                       {Cue::kYellowBrick, 1491},  {Cue::kGreenBrick, 1403},
                                       {Cue::kBlueBrick, 1325},    {Cue::kMagentaBrick, 1255},
                                       {Cue::kWallOrPaddle, 1084}, {Cue::kMiss, 0},
                                       {Cue::kWallCleared, 0},     {Cue::kExtraBall, 0}};
  for (const auto& [cue, divisor] : tones) {
    host.portWrites.clear();
    PlayCue(engine, cue);
    Writes written;
    for (const auto& w : host.portWrites) written.emplace_back(w.port, w.value);
    const Writes expected =
        divisor ? Writes{{PcHardware::kControlPort, PcHardware::kCounter2SquareWave},
                         {PcHardware::kCounter2Port, divisor & 0xFF},
                         {PcHardware::kCounter2Port, divisor >> 8},
                         {PcHardware::kSpeakerPort, PcHardware::kSpeakerGateBits}}
                : Writes{};
    EXPECT_EQ(written, expected) << divisor;
  }
  EXPECT_EQ(host.pc.Counter2Divisor(), 1084);
  EXPECT_TRUE(host.sound.plays.empty());
}

TEST_F(SoundCueTest, EveryStepStillClearsTheSpeakerGate) {
  UseDigitalSound();
  testing::SetSpeakerGate(host.pc, PcHardware::kSpeakerGateBits);
  PlaceBall(300, 300, 1, -1);
  BallStep(engine, 1);
  EXPECT_EQ(host.pc.SpeakerPortValue(), 0x00);
  EXPECT_EQ(host.pc.Counter2Divisor(), 0) << "no tone was programmed";
}

TEST_F(SoundCueTest, NoSoundPlaysNothingAndTouchesNoPortDuringAFrame) {
  engine.settings.soundOn = false;
  engine.settings.digitalSound = true;
  DrawFullWall(engine);
  PlaceBall(300, 140, 1, -1);  // on its way into the wall: bricks and walls are struck
  RunFrame(engine);
  ASSERT_GT(Score(), 0);
  EXPECT_TRUE(host.sound.plays.empty());
  for (const auto& w : host.portWrites) {
    EXPECT_EQ(w.port, PcHardware::kControlPort) << "only the timing module's latches";
    EXPECT_EQ(w.value, 0x00);
  }
}

}  // namespace
}  // namespace krelmo::engine
