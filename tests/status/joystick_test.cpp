// The joystick on a fake device: the paddle follows the stick beyond the dead band, each press
// of a button is posted as one click, and a first run keeps the joystick off until chosen.
#include "status/joystick.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/geometry.h"
#include "engine/palette.h"
#include "resources/menu.h"
#include "tests/support/test_game.h"

namespace krelmo::status {
namespace {

using platform::MFS_GRAYED;

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
      {32768 + 112, 298}, {0, 20},             // 112 either way moves
      {65535, 560},       {61599, 559},
  };
  for (const auto& poll : polls) {
    t.Poll(poll.x);
    EXPECT_EQ(t.engine.state.paddleX, poll.paddleX) << "x " << poll.x;
  }
  EXPECT_EQ(t.dc.GetPixel(559 + 30, engine::kPaddleTop + 5), engine::kWhite)
      << "the paddle is drawn";
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
  t.game.InitApplication();
  ASSERT_NE(t.host.joystick.pollFunction, nullptr);
  auto tick = [&] { t.host.joystick.pollFunction(t.host.joystick.pollContext); };
  EXPECT_EQ(t.host.menu.GetState(resources::IDM_JOYSTICK), MFS_GRAYED);
  tick();
  EXPECT_EQ(t.engine.state.joyInfo.buttons, 0u) << "the mouse mode reads nothing";

  testing::Choose(t.game, resources::IDM_MOUSE);
  EXPECT_EQ(t.host.menu.GetState(resources::IDM_JOYSTICK), platform::MFS_ENABLED);
  testing::Choose(t.game, resources::IDM_JOYSTICK);
  tick();
  EXPECT_EQ(t.engine.state.paddleX, engine::kPaddleLeftmost);
  EXPECT_EQ(t.TakePosted(), std::vector<MessageId>{WM_LBUTTONDOWN});
}

}  // namespace
}  // namespace krelmo::status
