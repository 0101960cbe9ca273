// The scoreboard: its texts, colours and positions for every number of players and every
// current player, and when it is not drawn at all.
#include "status/scoreboard.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/palette.h"
#include "engine/playfield.h"
#include "tests/support/test_game.h"

namespace krelmo::status {
namespace {

using engine::kBlack;
using engine::kBlue;
using engine::kRed;
using engine::kSilver;

// The block font draws every printable character as a block of ink in columns 1-6 and
// rows 3-12 of an 8 x 16 cell, so a text's colour can be read at (x + 1, 5) and its
// length from where the silver box ends.
Colour InkAt(const platform::Surface& dc, int x) {
  return dc.GetPixel(x + 1, 5);
}

class ScoreboardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    engine::DrawFrameWalls(engine);
    engine.match.gameActive = 1;
  }
  void Players(int count, int current) {
    engine.settings.numPlayers = static_cast<std::uint32_t>(count - 1);
    engine.state.currentPlayer = static_cast<std::uint32_t>(current - 1);
  }
  testing::TestGame t;
  engine::Engine& engine = t.engine;
  platform::Surface& dc = t.dc;
};

TEST_F(ScoreboardTest, OnePlayerShowsOnlyTheRedScoreAndBallsAndLeavesTheDcAsItWas) {
  Players(1, 1);
  engine.state.playerScore[0] = 1234;
  engine.state.ballsLeft[0] = 4;
  dc.SetBkColor(engine::kYellow);
  dc.SelectObject(engine::silverPen);
  DrawScoreboard(engine);
  // "Player 1) 1234" is 14 characters: the box ends at x 10 + 112.
  EXPECT_EQ(InkAt(dc, 10), kRed);
  EXPECT_EQ(InkAt(dc, 10 + 13 * 8), kRed);
  EXPECT_EQ(dc.GetPixel(10 + 14 * 8 + 1, 5), kSilver);
  EXPECT_EQ(InkAt(dc, 150 + 2 * 8), kRed) << "\"B:4\"";
  EXPECT_EQ(InkAt(dc, 150 + 3 * 8), kSilver);
  for (const int x : {310, 410, 510}) EXPECT_EQ(InkAt(dc, x), kSilver) << x;
  EXPECT_EQ(engine.state.shownScore, 1234);
  EXPECT_EQ(dc.BkColor(), engine::kYellow);
  EXPECT_EQ(dc.SelectedPen(), kBlack);

  // The tail of a longer old text stays until the wall is repainted.
  engine.state.ballsLeft[0] = 10;
  DrawScoreboard(engine);
  engine.state.ballsLeft[0] = 9;
  DrawScoreboard(engine);
  EXPECT_EQ(InkAt(dc, 150 + 3 * 8), kRed) << "the 0 of B:10 is still there";
}

TEST_F(ScoreboardTest, OtherPlayersStandInAscendingOrderEndingAt510) {
  // (players, current player) and the player numbers shown at x 310, 410 and 510.
  const std::pair<std::pair<int, int>, std::vector<int>> rows[] = {
      {{2, 1}, {0, 0, 2}}, {{2, 2}, {0, 0, 1}}, {{3, 1}, {0, 2, 3}},
      {{3, 2}, {0, 1, 3}}, {{3, 3}, {0, 1, 2}}, {{4, 1}, {2, 3, 4}},
      {{4, 2}, {1, 3, 4}}, {{4, 3}, {1, 2, 4}}, {{4, 4}, {1, 2, 3}},
  };
  for (const auto& [players, expected] : rows) {
    engine::DrawFrameWalls(engine);
    Players(players.first, players.second);
    // Player n's score has n + 1 digits, so the length of a text tells whose score it is.
    for (int p = 0, score = 10; p < 4; ++p, score *= 10) {
      engine.state.playerScore[p] = (p + 1) * score;
      engine.state.ballsLeft[p] = 1;
    }
    DrawScoreboard(engine);
    std::vector<int> shown;
    for (const int x : {310, 410, 510}) {
      int digits = 0;  // after "n) "
      while (dc.GetPixel(x + (3 + digits) * 8 + 1, 5) == kBlue) ++digits;
      shown.push_back(digits == 0 ? 0 : digits - 1);
    }
    EXPECT_EQ(shown, expected) << players.first << " players, player " << players.second;
  }
}

TEST_F(ScoreboardTest, APlayerWithoutBallsIsBlackAndTheCurrentPlayerAlwaysRed) {
  Players(3, 2);
  engine.state.ballsLeft = {0, 0, 2, 0};
  engine.state.playerScore = {50, 60, 70, 0};
  DrawScoreboard(engine);
  EXPECT_EQ(InkAt(dc, 10), kRed);
  EXPECT_EQ(InkAt(dc, 150), kRed) << "the current player's balls stay red at 0";
  EXPECT_EQ(InkAt(dc, 410), kBlack);
  EXPECT_EQ(InkAt(dc, 510), kBlue);
}

}  // namespace
}  // namespace krelmo::status
