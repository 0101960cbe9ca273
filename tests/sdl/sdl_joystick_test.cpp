// SDL's virtual joystick driving the game: a match through the real SDL device (the stick
// moves the paddle, button 1 serves, button 2 pauses, pulling it out ends nothing), and the
// Qt front end's periodic poll, which shutdown stops.
#include "frontend/sdl/sdl_joystick.h"

#include <QtCore/qtestsupport_core.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "app/game.h"
#include "frontend/headless/headless_platform.h"
#include "frontend/qt/qt_platform.h"
#include "resources/menu.h"

namespace krelmo::sdl {
namespace {

// The SDL device with its periodic poll run by hand.
class HandPolledJoystick final : public SdlJoystick {
 public:
  std::uint32_t StartPoll(std::uint32_t, void (*poll)(void*), void* context) override {
    poll_ = poll;
    context_ = context;
    return 1;
  }
  void StopPoll(std::uint32_t) override { poll_ = nullptr; }
  void Tick() {
    ASSERT_TRUE(poll_) << "the periodic poll runs";
    poll_(context_);
  }

 private:
  void (*poll_)(void*) = nullptr;
  void* context_ = nullptr;
};

TEST(SdlJoystick, VirtualDeviceMovesServesPausesAndMayBePulledOut) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  const struct {
    SDL_JoystickType type;
    bool gameController;
  } devices[] = {{SDL_JOYSTICK_TYPE_GAMECONTROLLER, true}, {SDL_JOYSTICK_TYPE_UNKNOWN, false}};
  for (const auto& device : devices) {
    SCOPED_TRACE(device.gameController ? "game controller" : "plain joystick");
    HandPolledJoystick joystick;
    if (SDL_NumJoysticks() != 0) GTEST_SKIP() << "a real joystick is attached";
    const int index = SDL_JoystickAttachVirtual(device.type, 2, 2, 0);
    ASSERT_GE(index, 0) << SDL_GetError();
    SDL_Joystick* stick = SDL_JoystickOpen(index);
    ASSERT_NE(stick, nullptr) << SDL_GetError();

    headless::HeadlessPlatform host;
    platform::Platform platform{host.surface, host.queue,   host.pc,   host.frameHost,
                                host.window,  host.dialogs, host.menu, host.sound,
                                joystick,     host.registry};
    app::Game game(platform);
    game.timer.SetReportSink([](std::string_view) {});
    game.InitApplication();
    EXPECT_EQ(joystick.IsGameController(), device.gameController);
    game.SelectController(resources::IDM_MOUSE);  // a first run: "Joystick" is greyed
    game.SelectController(resources::IDM_JOYSTICK);
    game.StartNewGame();
    auto& s = game.engine.state;

    SDL_JoystickSetVirtualAxis(stick, 0, SDL_JOYSTICK_AXIS_MIN);
    joystick.Tick();
    EXPECT_EQ(s.paddleX, 20);
    SDL_JoystickSetVirtualAxis(stick, 0, SDL_JOYSTICK_AXIS_MAX);
    joystick.Tick();
    EXPECT_EQ(s.paddleX, 560);

    SDL_JoystickSetVirtualButton(stick, 0, SDL_PRESSED);
    joystick.Tick();
    game.DispatchPending();
    EXPECT_LT(s.ballY, 470) << "button 1 serves";
    SDL_JoystickSetVirtualButton(stick, 1, SDL_PRESSED);
    joystick.Tick();
    game.DispatchPending();
    EXPECT_EQ(game.engine.match.paused, 1u) << "button 2 pauses";
    SDL_JoystickSetVirtualButton(stick, 1, SDL_RELEASED);
    joystick.Tick();
    SDL_JoystickSetVirtualButton(stick, 1, SDL_PRESSED);
    joystick.Tick();
    game.DispatchPending();
    ASSERT_EQ(game.engine.match.paused, 0u) << "and again resumes";

    SDL_JoystickClose(stick);
    ASSERT_EQ(SDL_JoystickDetachVirtual(index), 0) << SDL_GetError();
    joystick.Tick();
    EXPECT_EQ(s.paddleX, 297) << "a device pulled out reads as centred";
    const auto ballY = s.ballY;
    host.queue.PostTimer(app::kPlayTimerId);
    game.DispatchPending();
    EXPECT_NE(s.ballY, ballY) << "the ball goes on";
    EXPECT_EQ(game.engine.match.gameActive, 1u);
    EXPECT_EQ(game.engine.match.paused, 0u) << "no buttons are read";
    game.ShutdownApplication();
  }
}

TEST(QtJoystick, PollsOnTheUiThreadsTimerUntilShutdown) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  int argc = 1;
  char name[] = "sdl_tests";
  char* argv[] = {name, nullptr};
  QApplication application(argc, argv);
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
  if (SDL_NumJoysticks() != 0) GTEST_SKIP() << "a real joystick is attached";
  const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 2, 0);
  SDL_Joystick* stick = SDL_JoystickOpen(index);
  ASSERT_NE(stick, nullptr) << SDL_GetError();
  {
    qt::QtPlatform host;
    app::Game game(host.Get());
    game.InitApplication();
    game.SelectController(resources::IDM_MOUSE);
    game.SelectController(resources::IDM_JOYSTICK);
    const auto& s = game.engine.state;
    SDL_JoystickSetVirtualAxis(stick, 0, SDL_JOYSTICK_AXIS_MIN);
    EXPECT_TRUE(QTest::qWaitFor([&] { return s.paddleX == 20; }, 5000));

    game.ShutdownApplication();
    SDL_JoystickSetVirtualAxis(stick, 0, SDL_JOYSTICK_AXIS_MAX);
    QTest::qWait(300);
    EXPECT_EQ(s.paddleX, 20) << "the poll stopped at shutdown";
  }
  SDL_JoystickClose(stick);
  SDL_JoystickDetachVirtual(index);
  SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

}  // namespace
}  // namespace krelmo::sdl
