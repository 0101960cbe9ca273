// Start-up: the window's place, the services started, the idle loop, and shutdown.
#include <gtest/gtest.h>

#include "resources/menu.h"
#include "tests/support/test_game.h"

namespace krelmo::app {
namespace {

using testing::StartedGame;
using testing::TestGame;

TEST(StartUp, CentresTheWindowOnTheScreen) {
  TestGame t;
  t.host.window.screenWidth = 1280;
  t.host.window.screenHeight = 1025;
  t.game.InitApplication();
  EXPECT_EQ(t.game.app.windowX, 320);
  EXPECT_EQ(t.game.app.windowY, 272) << "the division truncates";
}

// The play timer, the timing module and the chime start whatever is found; a joystick that
// answers gets its poll, stopped at shutdown; the mouse stays the controller on a first run.
TEST(StartUp, StartsTheServicesFoundAndShutdownStopsThem) {
  struct Case {
    bool wave, joystick, readable;
  };
  for (const Case c : {Case{true, false, true}, Case{false, true, false}, Case{true, true, true}}) {
    SCOPED_TRACE(::testing::Message() << c.wave << c.joystick << c.readable);
    TestGame t;
    t.host.sound.available = c.wave;
    t.host.joystick.present = c.joystick;
    t.host.joystick.readable = c.readable;
    t.game.InitApplication();
    const bool polled = c.joystick && c.readable;
    EXPECT_EQ(t.host.window.timers.at(kPlayTimerId), 100u);
    EXPECT_TRUE(t.game.timer.Initialized());
    ASSERT_FALSE(t.host.sound.plays.empty());
    EXPECT_EQ(t.host.sound.plays[0].waveId, 123);
    EXPECT_EQ(t.host.sound.plays[0].flags, 0x40005u);
    EXPECT_EQ(t.game.app.waveAvailable, c.wave ? 1u : 0u);
    EXPECT_EQ(t.game.app.joystickPresent, polled ? 1u : 0u);
    EXPECT_EQ(t.game.app.joystickTimerId != 0, polled);
    EXPECT_EQ(t.engine.settings.useMouse, 1u);
    EXPECT_EQ(t.host.menu.GetState(resources::IDM_MOUSE), 8u);
    EXPECT_EQ(t.host.menu.GetState(resources::IDM_JOYSTICK), 3u);
    t.game.ShutdownApplication();
    EXPECT_EQ(t.host.joystick.stopCount, polled ? 1 : 0);
    EXPECT_TRUE(t.host.window.timers.empty());
    EXPECT_FALSE(t.game.timer.Initialized());
    EXPECT_EQ(t.game.app.quitting, 1u);
  }
}

TEST(MessageLoop, WaitsForEventsWhileIdleInsteadOfSpinning) {
  StartedGame t;
  auto& frames = t.host.frameHost;
  frames.idleWaits = 0;
  // The third idle wait posts the close request; the loop must wait, then end.
  frames.onIdle = [&] {
    if (frames.idleWaits == 3) t.host.queue.PostMessage(WM_CLOSE);
  };
  t.game.RunMessageLoop();
  EXPECT_EQ(frames.idleWaits, 3u);
}

}  // namespace
}  // namespace krelmo::app
