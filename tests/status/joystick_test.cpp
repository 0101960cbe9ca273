// The status line and the joystick: the scoreboard's texts, colours and places for every number
// of players; the poll on a fake joystick, its buttons as clicks, and a first run's menu.
#include "status/joystick.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <tuple>
#include <vector>

#include "engine/palette.h"
#include "engine/playfield.h"
#include "resources/fonts/game_font.h"
#include "resources/menu.h"
#include "status/scoreboard.h"
#include "tests/support/test_game.h"

namespace krelmo::status {
namespace {

struct JoystickGame : testing::TestGame {
  JoystickGame() {
    host.joystick.present = true;
    engine.settings.useMouse = false;
  }
  void Poll(std::uint32_t x, std::uint32_t buttons = 0) {
    host.joystick.reading = {x, 0, 0, buttons};
    PollJoystick(engine);
  }
  std::vector<MessageId> TakePosted() {
    std::vector<MessageId> ids;
    for (Message m; host.queue.PeekMessage(m, 0, 0, true);) ids.push_back(m.message);
    return ids;
  }
};

TEST(JoystickPoll, PaddleFollowsTheStickOnlyBeyondTheDeadBand) {
  JoystickGame t;
  const struct {
    std::uint32_t x;
    std::int16_t paddleX;
  } polls[] = {
      {32768, 297},                            // the first poll always moves
      {32768 + 111, 297}, {32768 - 111, 297},  // 298 and 296 by the scale
      {32768 + 112, 298}, {32768, 297},        // 112 either way moves
      {2309, 20},         {0, 20},
      {61600, 560},       {65535, 560},
      {61599, 559},
  };
  for (const auto& poll : polls) {
    t.Poll(poll.x);
    EXPECT_EQ(t.engine.state.paddleX, poll.paddleX) << "x " << poll.x;
  }
  EXPECT_EQ(t.dc.GetPixel(559 + 30, 415), engine::kWhite) << "the paddle is drawn";
}

TEST(JoystickPoll, EachPressPostsOneClickLeftBeforeRight) {
  JoystickGame t;
  const struct {
    std::uint32_t buttons;
    std::vector<MessageId> posted;
  } polls[] = {
      {3, {WM_LBUTTONDOWN, WM_RBUTTONDOWN}},
      {3, {}},
      {1, {}},
      {0, {}},
      {1, {WM_LBUTTONDOWN}},
      {2, {WM_RBUTTONDOWN}},
  };
  for (const auto& poll : polls) {
    t.Poll(32768, poll.buttons);
    EXPECT_EQ(t.TakePosted(), poll.posted) << "buttons " << poll.buttons;
  }
}

// On a first run the mouse is chosen with "Joystick" greyed, even with a joystick: its poll
// runs but reads and posts nothing until the player chooses "Mouse", then "Joystick".
TEST(JoystickStartUp, FirstRunKeepsJoystickGreyedUntilMouseIsChosen) {
  JoystickGame t;
  t.host.joystick.reading = {0, 0, 0, 1};
  ASSERT_TRUE(t.host.registry.Tree().empty());
  t.game.InitApplication();
  ASSERT_NE(t.host.joystick.pollFunction, nullptr);
  auto tick = [&] { t.host.joystick.pollFunction(t.host.joystick.pollContext); };
  EXPECT_EQ(t.host.menu.GetState(resources::IDM_JOYSTICK), 3u);
  tick();
  EXPECT_EQ(t.engine.state.joyInfo.buttons, 0u) << "the mouse mode reads nothing";
  EXPECT_EQ(t.engine.state.paddleX, 290);

  t.game.SendMessage(WM_COMMAND, resources::IDM_MOUSE, 0);
  EXPECT_EQ(t.host.menu.GetState(resources::IDM_JOYSTICK), 0u);
  t.game.SendMessage(WM_COMMAND, resources::IDM_JOYSTICK, 0);
  tick();
  EXPECT_EQ(t.engine.state.paddleX, 20);
  EXPECT_EQ(t.TakePosted(), std::vector<MessageId>{WM_LBUTTONDOWN});
}

using engine::kBlack;
using engine::kBlue;
using engine::kRed;
using engine::kSilver;

// The block font draws every printable character as a block of ink in columns 1-6 and
// rows 3-12 of an 8 x 16 cell, so a text's colour can be read at (x + 1, 5).
Colour InkAt(const platform::Surface& dc, int x) {
  return dc.GetPixel(x + 1, 5);
}

class ScoreboardTest : public ::testing::Test {
 protected:
  void SetUp() override {
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

TEST_F(ScoreboardTest, ItNotesTheShownScoreLeavesTheDcAsItWasAndTheTailOfALongerText) {
  Players(1, 1);
  engine.state.playerScore[0] = 1234;
  engine.state.ballsLeft[0] = 10;
  dc.SetBkColor(engine::kYellow);
  dc.SelectObject(engine::silverPen);
  DrawScoreboard(engine);
  EXPECT_EQ(engine.state.shownScore, 1234);
  EXPECT_EQ(dc.BkColor(), engine::kYellow);
  EXPECT_EQ(dc.SelectedPen(), kBlack);
  // The tail of a longer old text stays until the wall is repainted.
  engine.state.ballsLeft[0] = 9;
  DrawScoreboard(engine);
  EXPECT_EQ(InkAt(dc, 150 + 3 * 8), kRed) << "the 0 of B:10 is still there";
}

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
    DrawScoreboard(engine);
    EXPECT_TRUE(std::equal(dc.Pixels(), dc.Pixels() + 640 * 480, expected.Pixels()))
        << players << " players, player " << current;
  }
}

}  // namespace
}  // namespace krelmo::status
