// Start-up: the first screen, the window's place, the services started, and shutdown.
#include <gtest/gtest.h>

#include "engine/palette.h"
#include "engine/playfield.h"
#include "resources/menu.h"
#include "tests/support/test_game.h"

namespace krelmo::app {
namespace {

using engine::CellLeft;
using engine::CellTop;
using testing::StartedGame;
using testing::TestGame;

constexpr Colour kRowColours[engine::kBrickRows] = {engine::kMagenta, engine::kBlue,
                                                    engine::kGreen,   engine::kYellow,
                                                    engine::kOrange,  engine::kRed};

TEST(StartUp, DrawsPlayerOnesFullWallInsideTheFrameWalls) {
  StartedGame t;
  const auto& dc = t.dc;
  for (int row = 0; row < engine::kBrickRows; ++row) {
    for (int column = 0; column < engine::kBrickColumns; ++column) {
      const int left = CellLeft(column), top = CellTop(row);
      // Sample points, corners and edges of every cell. A redraw from the slot draws
      // single bricks, so the last column reaches x 620.
      for (const auto& [x, y] : {std::pair{left + 4, top + 6}, {left + 14, top + 6},
                                {left, top}, {left + 29, top}, {left, top + 11},
                                {left + 29, top + 11}}) {
        ASSERT_EQ(dc.GetPixel(x, y), kRowColours[row]) << "cell " << row << "," << column
                                                       << " at " << x << "," << y;
      }
    }
    EXPECT_EQ(dc.GetPixel(20, CellTop(row) + 6), 0u);
  }
  EXPECT_EQ(dc.GetPixel(300, 59), 0u);
  EXPECT_EQ(dc.GetPixel(300, 132), 0u);
  EXPECT_EQ(dc.GetPixel(5, 5), engine::kSilver);
  EXPECT_EQ(dc.GetPixel(19, 470), engine::kSilver);
  EXPECT_EQ(dc.GetPixel(20, 470), 0u);
  EXPECT_EQ(dc.GetPixel(621, 470), engine::kSilver);
  EXPECT_EQ(dc.GetPixel(633, 100), engine::kSilver);
  EXPECT_EQ(dc.GetPixel(300, 19), engine::kSilver);
  EXPECT_EQ(dc.GetPixel(300, 20), 0u);
}

TEST(StartUp, DrawsThePaddleAt290WithABlackRing) {
  StartedGame t;
  EXPECT_EQ(t.engine.state.paddleX, 290);
  EXPECT_EQ(t.dc.GetPixel(290, 410), engine::kBlack);
  EXPECT_EQ(t.dc.GetPixel(291, 411), engine::kWhite);
  EXPECT_EQ(t.dc.GetPixel(348, 418), engine::kWhite);
  EXPECT_EQ(t.dc.GetPixel(349, 419), engine::kBlack);
  EXPECT_EQ(t.dc.GetPixel(350, 414), engine::kBlack);
}

TEST(StartUp, SavesPlayerOnesWallAndNoMatchIsRunning) {
  StartedGame t;
  for (const Colour c : t.engine.state.savedWall[0]) EXPECT_NE(c, 0u);
  EXPECT_EQ(t.engine.match.gameActive, 0u);
  EXPECT_EQ(t.engine.match.paused, 0u);
  EXPECT_EQ(t.engine.state.currentPlayer, 0u);
  EXPECT_EQ(t.dc.GetPixel(100, 5), engine::kSilver) << "no scoreboard before the first match";
}

TEST(StartUp, CentresTheWindowOnTheScreen) {
  TestGame t;
  t.host.window.screenWidth = 1280;
  t.host.window.screenHeight = 1025;
  t.game.InitApplication();
  EXPECT_EQ(t.game.app.windowX, 320);
  EXPECT_EQ(t.game.app.windowY, 272) << "the division truncates";

  TestGame small;
  small.host.window.screenWidth = 640;
  small.host.window.screenHeight = 480;
  small.game.InitApplication();
  EXPECT_EQ(small.host.window.rect.left, 0);
  EXPECT_EQ(small.host.window.rect.top, 0);
}

TEST(StartUp, StartsThePlayTimerAndTheTimingModuleAndPlaysTheStartUpSound) {
  StartedGame t;
  EXPECT_EQ(t.host.window.timers.at(kPlayTimerId), 100u);
  EXPECT_TRUE(t.game.timer.Initialized());
  ASSERT_FALSE(t.host.sound.plays.empty());
  EXPECT_EQ(t.host.sound.plays[0].waveId, 123);
  EXPECT_EQ(t.host.sound.plays[0].flags, 0x40005u);
  EXPECT_EQ(t.game.app.waveAvailable, 1u);
}

TEST(StartUp, WithoutSoundDigitalAudioCannotBeChosen) {
  TestGame t;
  t.host.sound.available = false;
  t.game.InitApplication();
  EXPECT_EQ(t.game.app.waveAvailable, 0u);
}

TEST(StartUp, WithoutAJoystickTheMouseIsForcedAndJoystickGreyed) {
  StartedGame t;
  EXPECT_EQ(t.engine.settings.useMouse, 1u);
  EXPECT_EQ(t.host.menu.GetState(resources::IDM_MOUSE), 8u);
  EXPECT_EQ(t.host.menu.GetState(resources::IDM_JOYSTICK), 3u);
  EXPECT_EQ(t.game.app.joystickTimerId, 0u);
}

TEST(StartUp, AJoystickThatCannotBeReadIsTreatedAsAbsent) {
  TestGame t;
  t.host.joystick.present = true;
  t.host.joystick.readable = false;
  t.game.InitApplication();
  EXPECT_EQ(t.game.app.joystickPresent, 0u);
  EXPECT_EQ(t.host.menu.GetState(resources::IDM_JOYSTICK), 3u);
  EXPECT_EQ(t.game.app.joystickTimerId, 0u);
}

TEST(StartUp, AJoystickStartsItsPollAndShutdownStopsIt) {
  TestGame t;
  t.host.joystick.present = true;
  t.game.InitApplication();
  EXPECT_EQ(t.game.app.joystickPresent, 1u);
  EXPECT_NE(t.game.app.joystickTimerId, 0u);
  EXPECT_EQ(t.host.menu.GetState(resources::IDM_JOYSTICK), 3u)
      << "a first run selects the mouse, and a joystick found does not enable Joystick";
  t.game.ShutdownApplication();
  EXPECT_EQ(t.host.joystick.stopCount, 1);
  EXPECT_TRUE(t.host.window.timers.empty());
  EXPECT_FALSE(t.game.timer.Initialized());
  EXPECT_EQ(t.game.app.quitting, 1u);
}

TEST(MessageLoop, EndsAtTheQuitMessageAfterEarlierMessages) {
  StartedGame t;
  t.host.queue.PostMessage(WM_CLOSE);
  EXPECT_EQ(RunGame(t.game), 0);
  EXPECT_TRUE(t.host.queue.Empty());
}

TEST(MessageLoop, WaitsForEventsWhileIdleInsteadOfSpinning) {
  StartedGame t;
  int waits = 0;
  t.host.frameHost.onWait = nullptr;
  // The first idle wait posts the close request; the loop must wait, then end.
  struct ClosingHost : platform::FrameHost {
    platform::MessageQueue& q;
    int& waits;
    ClosingHost(platform::MessageQueue& q, int& w) : q(q), waits(w) {}
    void WhileWaiting(std::uint32_t) override {}
    void WaitForEvents() override {
      if (++waits == 3) q.PostMessage(WM_CLOSE);
    }
  } host(t.host.queue, waits);
  platform::Platform p{t.host.surface, t.host.queue,  t.host.pc,    host,
                       t.host.window,  t.host.dialogs, t.host.menu, t.host.sound,
                       t.host.joystick, t.host.registry};
  Game game(p);
  game.RunMessageLoop();
  EXPECT_EQ(waits, 3);
}

TEST(HandOver, RegisteredMessageIdIsStableAndInTheRegisteredRange) {
  EXPECT_EQ(RegisterWindowMessageA("Krelmo"), RegisterWindowMessageA("Krelmo"));
  EXPECT_NE(RegisterWindowMessageA("Krelmo"), RegisterWindowMessageA("Krelmo2"));
  EXPECT_GE(RegisterWindowMessageA("Krelmo"), 0xC000u);
  EXPECT_LE(RegisterWindowMessageA("Krelmo"), 0xFFFFu);
}

}  // namespace
}  // namespace krelmo::app
