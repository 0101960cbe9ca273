// SDL's virtual joystick playing on the Qt front end, polled by its UI-thread timer: the
// stick moves the paddle, button 1 serves, button 2 pauses, pulling it out ends nothing, one
// plugged in again is read by the poll, and shutdown stops the poll.
#include "frontend/sdl/sdl_joystick.h"

#include <QtCore/qtestsupport_core.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <cstdlib>

#include "app/game.h"
#include "frontend/qt/qt_platform.h"
#include "status/joystick.h"

namespace krelmo::sdl {
namespace {

TEST(SdlJoystick, VirtualDeviceMovesServesPausesAndMayBePulledOutAndPluggedInAgain) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  int argc = 1;
  char name[] = "sdl_tests";
  char* argv[] = {name, nullptr};
  QApplication application(argc, argv);
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
  if (SDL_NumJoysticks() != 0) GTEST_SKIP() << "a real joystick is attached";

  for (const bool gameController : {true, false}) {
    SCOPED_TRACE(gameController ? "game controller" : "plain joystick");
    const SDL_JoystickType type =
        gameController ? SDL_JOYSTICK_TYPE_GAMECONTROLLER : SDL_JOYSTICK_TYPE_UNKNOWN;
    const int index = SDL_JoystickAttachVirtual(type, 2, 2, 0);
    SDL_Joystick* stick = SDL_JoystickOpen(index);
    ASSERT_NE(stick, nullptr) << SDL_GetError();
    qt::QtPlatform host;
    app::Game game(host.Get());
    game.InitApplication();
    game.SelectController(engine::Controller::kMouse);  // a first run greys "Joystick"
    game.SelectController(engine::Controller::kJoystick);
    game.StartNewGame();
    const auto& s = game.engine.state;
    auto awaits = [&](auto done) {
      return QTest::qWaitFor([&] { return game.DispatchPending() && done(); }, 5000);
    };
    const auto at = [&](int x) { return awaits([&] { return s.paddleX == x; }); };
    // The stick at either end puts the paddle at either of its limits.
    const auto movesThePaddle = [&](SDL_Joystick* device) {
      SDL_JoystickSetVirtualAxis(device, 0, SDL_JOYSTICK_AXIS_MIN);
      EXPECT_TRUE(at(engine::kPaddleLeftmost));
      EXPECT_EQ(host.joystick.IsGameController(), gameController);
      SDL_JoystickSetVirtualAxis(device, 0, SDL_JOYSTICK_AXIS_MAX);
      EXPECT_TRUE(at(status::kJoystickPaddleRightmost));
    };

    movesThePaddle(stick);
    SDL_JoystickSetVirtualButton(stick, 0, SDL_PRESSED);
    EXPECT_TRUE(awaits([&] { return s.ballY < engine::kBallOutOfPlay; })) << "button 1 serves";
    SDL_JoystickSetVirtualButton(stick, 1, SDL_PRESSED);
    EXPECT_TRUE(awaits([&] { return game.engine.match.paused; })) << "button 2 pauses";
    game.SetPaused(false);

    SDL_JoystickClose(stick);
    ASSERT_EQ(SDL_JoystickDetachVirtual(index), 0) << SDL_GetError();
    EXPECT_TRUE(at(platform::kJoystickCentre / status::kJoystickUnitsPerPixel))
        << "pulled out, it reads as centred";
    const auto ballY = s.ballY;
    host.queue.PostTimer(app::kPlayTimerId);
    game.DispatchPending();
    EXPECT_NE(s.ballY, ballY) << "the ball goes on";
    EXPECT_FALSE(game.engine.match.paused) << "no button is read";

    // Plugged in again (to SDL a new device, at the stick's rest): the poll opens and reads it.
    const int again = SDL_JoystickAttachVirtual(type, 2, 2, 0);
    SDL_Joystick* replugged = SDL_JoystickOpen(again);
    ASSERT_NE(replugged, nullptr) << SDL_GetError();
    movesThePaddle(replugged);
    SDL_JoystickSetVirtualButton(replugged, 1, SDL_PRESSED);
    EXPECT_TRUE(awaits([&] { return game.engine.match.paused; })) << "its buttons too";
    SDL_JoystickClose(replugged);
    ASSERT_EQ(SDL_JoystickDetachVirtual(again), 0) << SDL_GetError();

    game.ShutdownApplication();
    game.engine.state.paddleX = 100;
    game.engine.state.lastJoyX = engine::kNoJoystickMoveYet;  // a poll would move it
    // A poll still running fires before a timer of twice its period started after it.
    bool marked = false;
    QTimer::singleShot(2 * status::kJoystickPollPeriodMs, Qt::PreciseTimer, [&] { marked = true; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return marked; }, 60'000));
    EXPECT_EQ(s.paddleX, 100) << "the poll stopped at shutdown";
  }
  SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

}  // namespace
}  // namespace krelmo::sdl
