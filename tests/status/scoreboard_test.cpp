// The scoreboard in the top wall: its texts, colours and places for every number of players,
// the score it notes as shown, and what it leaves of the surface's settings and older texts.
#include "status/scoreboard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <tuple>

#include "engine/palette.h"
#include "engine/playfield.h"
#include "resources/fonts/game_font.h"
#include "tests/support/test_game.h"

namespace krelmo::status {
namespace {

using engine::kBlack;
using engine::kBlue;
using engine::kRed;
using engine::kSilver;

class ScoreboardTest : public ::testing::Test {
 protected:
  ScoreboardTest() {
    engine::DrawFrameWalls(engine);
    engine.match.gameActive = true;
  }
  void Players(int count, int current) {
    engine.settings.numPlayers = static_cast<std::uint32_t>(count - 1);
    engine.state.currentPlayer = static_cast<std::uint32_t>(current - 1);
  }
  testing::TestGame t;
  engine::Engine& engine = t.engine;
  platform::Surface& dc = t.dc;
};

// Each text of the bar for one to four players, read in the game's font, where every digit has
// its own shape: player n has 11 * n points and n - 1 balls, so player 1 is out.
TEST_F(ScoreboardTest, EachPlayerCountShowsItsTextsInTheirPlacesAndColours) {
  dc.SetFont(&resources::kGameFont);
  engine.state.playerScore = {11, 22, 33, 44};
  engine.state.ballsLeft = {0, 1, 2, 3};
  // The texts at x 10, 150, 310, 410 and 510: the current player's red, the others' blue, or
  // black for player 1.
  constexpr int kX[] = {10, 150, 310, 410, 510};
  const std::tuple<int, int, std::array<const char*, 5>> rows[] = {
      {1, 1, {"Player 1) 11", "B:0"}},
      {2, 2, {"Player 2) 22", "B:1", nullptr, nullptr, "1) 11"}},
      {3, 1, {"Player 1) 11", "B:0", nullptr, "2) 22", "3) 33"}},
      {4, 3, {"Player 3) 33", "B:2", "1) 11", "2) 22", "4) 44"}},
  };
  for (const auto& [players, current, texts] : rows) {
    engine::DrawFrameWalls(engine);
    platform::Surface expected = dc;
    expected.SetBkColor(kSilver);
    for (int i = 0; i < 5; ++i) {
      if (texts[i] == nullptr) continue;
      expected.SetTextColor(i < 2 ? kRed : texts[i][0] == '1' ? kBlack : kBlue);
      expected.TextOutA(kX[i], 0, texts[i]);
    }
    Players(players, current);
    dc.SetBkColor(engine::kYellow);
    dc.SelectObject(engine::silverPen);
    DrawScoreboard(engine);
    EXPECT_EQ(engine.state.shownScore, 11 * current);
    EXPECT_EQ(dc.BkColor(), engine::kYellow) << "the background is given back";
    EXPECT_EQ(dc.SelectedPen(), kBlack);
    EXPECT_TRUE(std::equal(dc.Pixels(),
                           dc.Pixels() + platform::Surface::kWidth * platform::Surface::kHeight,
                           expected.Pixels()))
        << players << " players, player " << current;
  }
}

// A shorter text leaves the tail of the longer one before it until the wall is repainted. The
// block font inks every character in columns 1-6 and rows 3-12 of its 8 x 16 cell.
TEST_F(ScoreboardTest, TheTailOfALongerOldTextStaysUntilTheWallIsRepainted) {
  Players(1, 1);
  engine.state.ballsLeft[0] = 10;
  DrawScoreboard(engine);
  engine.state.ballsLeft[0] = 9;
  DrawScoreboard(engine);
  EXPECT_EQ(dc.GetPixel(150 + 3 * 8 + 1, 5), kRed) << "the 0 of B:10 is still there";
}

}  // namespace
}  // namespace krelmo::status
