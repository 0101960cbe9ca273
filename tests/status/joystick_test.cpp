// The joystick poll on a fake joystick: when the paddle follows the stick, how the buttons
// become clicks, the mouse mode, and the controller menu on a first run.
#include "status/joystick.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/palette.h"
#include "resources/menu.h"
#include "tests/support/test_game.h"

namespace krelmo::status {
namespace {

struct JoystickGame : testing::TestGame {
  JoystickGame() {
    host.joystick.present = true;
    engine.settings.useMouse = 0;
  }
  void Poll(std::uint32_t x, std::uint32_t buttons = 0) {
    host.joystick.reading.x = x;
    host.joystick.reading.buttons = buttons;
    PollJoystick(engine);
  }
  // Takes every queued message out, oldest first.
  std::vector<MessageId> Posted() {
    std::vector<MessageId> ids;
    Message m;
    while (host.queue.PeekMessage(m, 0, 0, true)) {
      EXPECT_EQ(m.wParam, 0u);
      EXPECT_EQ(m.lParam, 0);
      ids.push_back(m.message);
    }
    return ids;
  }
};

TEST(JoystickPoll, StickReadingsPlaceThePaddleBetweenTheWalls) {
  const struct {
    std::uint32_t x;
    std::int16_t paddleX;
  } rows[] = {{0, 20},      {2309, 20},   {2310, 21},  {32768, 297},
              {61599, 559}, {61600, 560}, {65535, 560}};
  for (const auto& row : rows) {
    JoystickGame t;
    t.Poll(row.x);
    EXPECT_EQ(t.engine.state.paddleX, row.paddleX) << "x " << row.x;
    EXPECT_EQ(t.dc.GetPixel(row.paddleX + 30, 415), engine::kWhite) << "x " << row.x;
  }
}

TEST(JoystickPoll, FirstPollMovesThePaddleThenOnlyMovesBeyondTheDeadBand) {
  JoystickGame t;
  t.Poll(32768);
  EXPECT_EQ(t.engine.state.paddleX, 297) << "the first poll moves the paddle";
  // Every step of 111 lands on another pixel of the mapping, yet the paddle stays.
  const struct {
    std::uint32_t x;
    std::int16_t paddleX;
  } rows[] = {{32768 + 111, 297},
              {32768 - 111, 297},
              {32768 + 112, 298},
              {32880 - 111, 298},
              {32880 - 112, 297}};
  for (const auto& row : rows) {
    t.Poll(row.x);
    EXPECT_EQ(t.engine.state.paddleX, row.paddleX) << "x " << row.x;
  }
  EXPECT_EQ(t.engine.state.lastJoyX, 32880u - 112) << "the X of the last move";
}

TEST(JoystickPoll, EachPressPostsOneClickLeftBeforeRight) {
  JoystickGame t;
  const struct {
    std::uint32_t buttons;
    std::vector<MessageId> posted;
  } polls[] = {
      {3, {WM_LBUTTONDOWN, WM_RBUTTONDOWN}},  // both in one poll
      {3, {}},                                // held
      {1, {}},                                // button 2 let go: nothing is posted
      {0, {}},
      {1, {WM_LBUTTONDOWN}},  // pressed again
      {2, {WM_RBUTTONDOWN}},
  };
  for (const auto& poll : polls) {
    t.Poll(32768, poll.buttons);
    EXPECT_EQ(t.Posted(), poll.posted) << "buttons " << poll.buttons;
  }
}

TEST(JoystickPoll, MouseModeReadsAndPostsNothing) {
  JoystickGame t;
  t.engine.settings.useMouse = 1;
  t.Poll(0, 3);
  EXPECT_TRUE(t.host.queue.Empty());
  EXPECT_EQ(t.engine.state.paddleX, 290);
  EXPECT_EQ(t.engine.state.joyInfo.buttons, 0u) << "the joystick was not read";
}

// On a first run the mouse is chosen with "Joystick" greyed, and finding a joystick does not
// change that: its poll runs but idles until the player chooses "Mouse", then "Joystick".
TEST(JoystickStartUp, FirstRunKeepsJoystickGreyedUntilMouseIsChosen) {
  testing::TestGame t;
  t.host.joystick.present = true;
  t.host.joystick.reading = {0, 0, 0, 1};
  ASSERT_TRUE(t.host.registry.keys.empty());
  t.game.InitApplication();
  auto tick = [&] { t.host.joystick.pollFunction(t.host.joystick.pollContext); };
  ASSERT_NE(t.host.joystick.pollFunction, nullptr);
  EXPECT_EQ(t.host.menu.GetState(resources::IDM_JOYSTICK), 3u);
  tick();
  EXPECT_TRUE(t.host.queue.Empty());
  EXPECT_EQ(t.engine.state.paddleX, 290);

  t.game.SendMessage(WM_COMMAND, resources::IDM_MOUSE, 0);
  EXPECT_EQ(t.host.menu.GetState(resources::IDM_JOYSTICK), 0u);
  t.game.SendMessage(WM_COMMAND, resources::IDM_JOYSTICK, 0);
  tick();
  EXPECT_EQ(t.engine.state.paddleX, 20);
  Message m;
  EXPECT_TRUE(t.host.queue.PeekMessage(m, WM_LBUTTONDOWN, WM_LBUTTONDOWN, false));
}

}  // namespace
}  // namespace krelmo::status
