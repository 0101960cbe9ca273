// The application: start-up, the message loop and shutdown, the window procedure with the
// menu's selection groups, and the flow of a match. One Game is built by the front end.
#pragma once

#include <cstdint>
#include <string_view>

#include "engine/engine.h"
#include "engine/geometry.h"
#include "platform/platform.h"
#include "records/records.h"
#include "timing/timer_module.h"

namespace krelmo::app {

// The id of the window message registered under `name`: the same name gives the same id
// in every process.
MessageId RegisterWindowMessageA(std::string_view name);

// What MainWindowProc returns for a message it leaves to the default handling. The front end
// does everything a system default procedure would (erasing to the class background, moving,
// activation), so there is no result to pass on; this value, which no handled message
// returns, tells the callers and the tests that the default was taken.
constexpr LRESULT kDefaultResult = -1;

constexpr std::uintptr_t kPlayTimerId = 1;
constexpr unsigned kPlayTimerPeriodMs = 100;

using platform::kClientHeight;
using platform::kClientWidth;
using platform::kWindowHeight;
using platform::kWindowWidth;

// During a match the pointer is held in a strip one pixel high just above the paddle, in
// which its client x runs from 18 to the paddle's rightmost place under the mouse.
constexpr int kPointerStripLeft = 18;
constexpr int kPointerStripRight = engine::kPaddleRightmostByMouse;
constexpr int kPointerStripY = 398;

// The C library's random generator as the game's compiler made it, on every system alike:
// draws of 0 to 32,767 from a seed that it steps.
int NextRandom(std::uint32_t& seed);

struct AppState {
  MessageId activateMessage = 0;
  std::uint32_t randomSeed = 1;  // the serves' generator
  std::int32_t windowX = 0;
  std::int32_t windowY = 0;
  bool appActive = true;
  bool quitting = false;
  bool waveAvailable = false;
  bool joystickPresent = false;
  std::uint32_t joystickTimerId = 0;
  bool dialogOpen = false;
  bool messageBoxOpen = false;
  std::uint32_t moveCount = 0;
};

// Told when a match starts and ends (the replay recorder listens).
class MatchObserver {
 public:
  virtual ~MatchObserver() = default;
  // A new match starts: nothing of it has been drawn or reset yet.
  virtual void MatchStarting() = 0;
  virtual void MatchEnded() = 0;
};

class Game : public engine::EngineHooks, public records::RecordsHooks {
 public:
  explicit Game(platform::Platform& platform);
  ~Game() override;
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;

  // Start-up after the window exists: 0 on success, -1 on failure.
  int InitApplication();
  // Takes and dispatches messages until the quit message; waits for events while idle.
  void RunMessageLoop();
  // Marks the quit taken and releases everything in order.
  void ShutdownApplication();

  // Dispatches every queued message; false once the quit message was taken. Used by nested
  // loops (modal dialogs), the tests and the simulator.
  bool DispatchPending();

  LRESULT MainWindowProc(MessageId message, WPARAM wParam, LPARAM lParam);
  LRESULT SendMessage(MessageId message, WPARAM wParam, LPARAM lParam) {
    return MainWindowProc(message, wParam, lParam);
  }

  // The menu's selection groups and the full redraw. A match greys the Players and Game
  // groups; its end selects their settings again.
  void SelectSound(engine::SoundMode mode) override;
  void SelectPlayers(std::uint32_t numPlayers) override;
  void GreyPlayersGroup();
  void SelectVariant(engine::Variant variant) override;
  void GreyVariantGroup();
  void SelectController(engine::Controller controller) override;
  void SelectMouseWithoutJoystick() override;
  // The choice a menu command makes in one of the groups; false for any other command.
  bool SelectFromMenu(int id);
  void RedrawGameWindow();

  // Match flow.
  void StartNewGame();
  void ServeBall();
  void SetPaused(bool on);
  int LoseBall() override;
  int PassTurn();
  void EndMatch() override;
  void ShowPlayerUp(std::uint32_t player);
  // The last ball of a player is lost: offer the score to the current variant's table.
  void CheckHighScore(std::int32_t score);

  void DrawScoreboard() override;
  void PollJoystick() override;

  // What the records need of the window: message boxes, the dialog flag, the pointer strip.
  int ShowMessageBox(std::string_view text, std::string_view caption, std::uint32_t style) override;
  void Tell(std::string_view text) override;
  void SetDialogOpen(bool open) override { app.dialogOpen = open; }
  void ConfinePointerToStrip() override { ConfineCursor(false); }

  platform::Platform& platform;
  timing::TimerModule timer;
  engine::Engine engine;
  AppState app;
  records::RecordsState recordsState;
  MatchObserver* matchObserver = nullptr;

 private:
  // Confines the pointer to the paddle strip; optionally moves it onto the paddle.
  void ConfineCursor(bool moveToPaddle);
  void ReplaceWindow();
  void StopJoystickPoll();
  bool ModalOpen() const { return app.dialogOpen || app.messageBoxOpen; }
  // The window procedure's parts: the default handling, the keys F2, F3 and Esc, the menu.
  LRESULT DefWindowProc(MessageId message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleKey(WPARAM key, LPARAM lParam);
  LRESULT HandleCommand(WPARAM wParam);
  // A message box as the window's own modal loop runs it: see window_proc.cpp.
  int AskPlayer(std::string_view text, std::string_view caption, std::uint32_t style);
  void ResetHighScores(bool ask);
  void DrawTitleScreen();
  // "Paused - <F3> to resume", over the play area while the match is paused.
  void DrawPausedText();
};

// The whole run after the window exists: start-up, the loop, shutdown. Returns the exit
// code, 0.
int RunGame(Game& game);

}  // namespace krelmo::app
