// Start-up, the message loop and shutdown, in the order the game has always done them.
#include <ctime>

#include "app/game.h"
#include "engine/frame.h"
#include "engine/playfield.h"
#include "engine/sound_cues.h"
#include "resources/menu.h"
#include "status/joystick.h"
#include "status/scoreboard.h"

namespace krelmo::app {

MessageId RegisterWindowMessageA(std::string_view name) {
  // A stable hash of the name into the registered-message range.
  std::uint32_t hash = 2166136261u;
  for (const char c : name) hash = (hash ^ static_cast<std::uint8_t>(c)) * 16777619u;
  return kFirstRegisteredMessage + hash % 0x4000;
}

namespace {
void PollJoystickThunk(void* game) {
  static_cast<Game*>(game)->PollJoystick();
}
}  // namespace

Game::Game(platform::Platform& platform)
    : platform(platform), timer(platform.pc), engine(platform, timer) {
  engine.hooks = this;
  app.activateMessage = RegisterWindowMessageA("Krelmo");
}

Game::~Game() {
  // The periodic poll calls back into this game: it must not outlive it.
  StopJoystickPoll();
}

void Game::StopJoystickPoll() {
  if (app.joystickTimerId != 0) platform.joystick.StopPoll(app.joystickTimerId);
  app.joystickTimerId = 0;
}

int Game::InitApplication() {
  auto& window = platform.window;
  app.windowX = (window.ScreenWidth() - kWindowWidth) / 2;
  app.windowY = (window.ScreenHeight() - kWindowHeight) / 2;
  window.SetWindowPos(app.windowX, app.windowY, kWindowWidth, kWindowHeight, false);

  timer.TM_Init(1);
  window.SetTimer(kPlayTimerId, kPlayTimerPeriodMs);
  app.randomSeed = static_cast<std::uint32_t>(std::time(nullptr));

  app.waveAvailable = platform.sound.PlaySound(123, engine::kCutOffFlags);

  records::LoadSettings(engine, *this, app.waveAvailable);

  auto& joystick = platform.joystick;
  platform::JoystickReading reading;
  if (!joystick.GetDevCaps()) {
    SelectMouseWithoutJoystick();
  } else {
    app.joystickPresent = true;
    if (!joystick.GetPos(reading)) {
      app.joystickPresent = false;
      SelectMouseWithoutJoystick();
    } else {
      app.joystickTimerId =
          joystick.StartPoll(status::kJoystickPollPeriodMs, &PollJoystickThunk, this);
    }
  }

  engine.state.currentPlayer = 0;
  engine::DrawFullWall(engine);
  engine::SaveWall(engine, 0);
  engine::RedrawWall(engine, 0);
  engine::MovePaddle(engine, engine.state.paddleX);
  DrawTitleScreen();
  return 0;
}

bool Game::DispatchPending() {
  Message message;
  while (platform.queue.PeekMessage(message, 0, 0, true)) {
    if (message.message == WM_QUIT) return false;
    MainWindowProc(message.message, message.wParam, message.lParam);
  }
  return true;
}

void Game::RunMessageLoop() {
  // The game polls its own queue; the front end's wait returns as soon as anything comes
  // in, so an idle game costs no processor time.
  while (DispatchPending()) platform.frameHost.WaitForEvents();
}

void Game::ShutdownApplication() {
  app.quitting = true;
  // The poll draws the paddle: it stops before anything it uses is released.
  StopJoystickPoll();
  platform.window.KillTimer(kPlayTimerId);
  records::SaveSettings(engine);
  timer.TM_Close();
}

int RunGame(Game& game) {
  if (game.InitApplication() != 0) return 0;
  game.RunMessageLoop();
  game.ShutdownApplication();
  return 0;
}

void Game::DrawTitleScreen() {
  records::DrawTitleScreen(engine);
}

void Game::DrawScoreboard() {
  status::DrawScoreboard(engine);
}
void Game::PollJoystick() {
  status::PollJoystick(engine);
}

}  // namespace krelmo::app
