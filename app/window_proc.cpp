// The main window procedure: turns the platform's messages (keys, buttons, the timer, moves,
// activation and the menu) into the operations of the match, the engine and the records.
#include <cstdint>

#include "app/game.h"
#include "engine/frame.h"
#include "engine/palette.h"
#include "resources/menu.h"

namespace krelmo::app {

namespace {

using platform::MB_ICONEXCLAMATION;
using platform::MB_OK;
using platform::MB_YESNO;

// A key is acted on only when bits 16 to 31 of its lParam are at most this: a first press,
// with or without the extended-key bit. Auto-repeat (bit 30) and Alt (bit 29) lift it above.
constexpr std::uint32_t kMaxKeyHighWord = 0x300;
// The lParam of the key messages that the menu's "New/Abort" and "Pause/Resume" send.
constexpr LPARAM kMenuKeyLParam = 0x4000;
// Every eleventh move message while the window is dragged redraws the picture.
constexpr std::uint32_t kMovesPerRedraw = 11;

constexpr std::uint32_t kAbortQuestionStyle = MB_YESNO | MB_ICONEXCLAMATION;

std::uint32_t KeyHighWord(LPARAM lParam) {
  return static_cast<std::uint32_t>((static_cast<std::uint64_t>(lParam) >> 16) & 0xFFFF);
}

}  // namespace

LRESULT Game::MainWindowProc(MessageId message, WPARAM wParam, LPARAM lParam) {
  auto& match = engine.match;

  // A second start of the program hands over to this one: come back and be seen.
  if (message == app.activateMessage) {
    platform.window.ShowWindow(platform::ShowCommand::kRestore);
    SendMessage(WM_SETFOCUS, 0, 0);
    return 0;
  }

  switch (message) {
    case WM_MOVE:
      if (++app.moveCount == kMovesPerRedraw) {
        app.moveCount = 0;
        RedrawGameWindow();
      }
      break;

    case WM_SETFOCUS:
    case WM_EXITSIZEMOVE:
      ReplaceWindow();
      return 0;

    case WM_PAINT:
      // Outside boxes and dialogs the default erase is all a paint gets: the picture comes
      // back with the focus message. A box or dialog over the window needs it at once.
      if (app.messageBoxOpen || app.dialogOpen) RedrawGameWindow();
      break;

    case WM_CLOSE:
      platform.queue.PostQuitMessage(0);
      return 0;

    case WM_ACTIVATEAPP:
      // The deactivation that comes while the window is destroyed, and the one a dialog of
      // our own causes, change nothing.
      if (app.quitting || app.dialogOpen) break;
      app.appActive = wParam != 0;
      if (app.appActive) return 0;
      if (!match.paused && !match.cursorVisible) SetPaused(true);
      platform.window.ShowWindow(platform::ShowCommand::kMinimize);
      return 0;

    case WM_KEYDOWN:
      if (KeyHighWord(lParam) > kMaxKeyHighWord) return 0;
      return HandleKey(wParam, lParam);

    case WM_COMMAND:
      return HandleCommand(wParam);

    case WM_TIMER:
      if (!match.paused && match.gameActive && app.appActive) engine::RunFrame(engine);
      return 0;

    case WM_MOUSEMOVE:
      if (!match.cursorVisible && app.appActive && engine.settings.useMouse) {
        engine::MovePaddleToPointer(engine, static_cast<std::uint16_t>(lParam & 0xFFFF));
      }
      break;

    // The joystick's buttons arrive as these even while a dialog or a question is open over
    // the window: nothing may serve or resume behind it.
    case WM_LBUTTONDOWN:
      if (!ModalOpen()) ServeBall();
      return 0;

    case WM_RBUTTONDOWN:
      if (app.appActive && match.gameActive && !ModalOpen()) SetPaused(!match.paused);
      return 0;

    default:
      break;
  }
  return DefWindowProc(message, wParam, lParam);
}

LRESULT Game::DefWindowProc(MessageId, WPARAM, LPARAM) {
  // The front end has already done what the system's default handling would do.
  return kDefaultResult;
}

LRESULT Game::HandleKey(WPARAM key, LPARAM lParam) {
  auto& match = engine.match;
  switch (key) {
    case VK_F2:
      if (match.cursorVisible && !match.gameActive) {
        StartNewGame();
        return DefWindowProc(WM_KEYDOWN, key, lParam);
      }
      if (!match.gameActive) return 0;
      if (!match.paused) SetPaused(true);
      if (AskPlayer("Abort Game?", "Warning", kAbortQuestionStyle) == platform::IDYES) EndMatch();
      app.messageBoxOpen = false;
      return 0;

    case VK_F3:
      if (match.paused) {
        if (app.appActive) SetPaused(false);
      } else if (app.appActive && !match.cursorVisible && match.gameActive) {
        SetPaused(true);
      }
      return 0;

    case VK_ESCAPE:
      if (!match.paused) {
        if (!app.appActive || !match.gameActive) return 0;
        SetPaused(true);
      }
      if (AskPlayer("Abort game?", "Warning", kAbortQuestionStyle) == platform::IDYES) EndMatch();
      app.messageBoxOpen = false;
      return 0;

    default:
      return 0;
  }
}

LRESULT Game::HandleCommand(WPARAM wParam) {
  using namespace resources;
  const int id = static_cast<int>(wParam & 0xFFFF);
  switch (id) {
    case IDM_NEW_ABORT:
      SendMessage(WM_KEYDOWN, VK_F2, kMenuKeyLParam);
      break;
    case IDM_PAUSE_RESUME:
      SendMessage(WM_KEYDOWN, VK_F3, kMenuKeyLParam);
      break;
    case IDM_EXIT:
      platform.queue.PostQuitMessage(0);
      return 0;

    case IDM_RESET_HIGH_SCORES:
      ResetHighScores(true);
      RedrawGameWindow();
      break;

    case IDM_CONTENTS:
      // A help that cannot be shown is the player's to know about, never a reason to stop.
      if (!platform.dialogs.ShowHelp()) Tell("The help could not be shown.");
      break;

    case IDM_ABOUT:
      // The dialog is open from its first message until "OK"; the window gets the focus back
      // as the dialog goes, before the dialog call returns.
      app.dialogOpen = true;
      platform.dialogs.ShowAbout();
      app.dialogOpen = false;
      SendMessage(WM_SETFOCUS, 0, 0);
      return 0;

    default:
      // A choice in one of the Game menu's groups.
      if (SelectFromMenu(id)) RedrawGameWindow();
      break;
  }
  return DefWindowProc(WM_COMMAND, wParam, 0);
}

// Sets messageBoxOpen, which stays set until the caller has acted on the answer and clears
// it. The focus message that a closing box gives its owner window comes before the box's
// call returns, so the window is re-placed and redrawn before the answer is acted on.
int Game::AskPlayer(std::string_view text, std::string_view caption, std::uint32_t style) {
  app.messageBoxOpen = true;
  const int answer = platform.dialogs.MessageBox(text, caption, style);
  SendMessage(WM_SETFOCUS, 0, 0);
  return answer;
}

void Game::ResetHighScores(bool ask) {
  records::ResetHighScores(engine, *this, ask);
}

int Game::ShowMessageBox(std::string_view text, std::string_view caption, std::uint32_t style) {
  const int answer = AskPlayer(text, caption, style);
  app.messageBoxOpen = false;
  return answer;
}

void Game::Tell(std::string_view text) {
  ShowMessageBox(text, "Krelmo '99", MB_OK | MB_ICONEXCLAMATION);
}

void Game::ReplaceWindow() {
  auto& window = platform.window;
  const platform::Rect rect = window.WindowRect();
  app.windowX = rect.left;
  app.windowY = rect.top;
  // The window as it really is outside (the client area with the menu bar and the frame the
  // window system draws), not the 640 x 480 it was asked for: the whole of it stays on screen.
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  // Each bound reads the screen again. The left and top bounds come first, so on a screen no
  // larger than the window the window still fits it, at (0, 0).
  if (app.windowX < 1) app.windowX = 1;
  if (app.windowX > window.ScreenWidth() - width) {
    app.windowX = window.ScreenWidth() - width;
  }
  if (app.windowY < 1) app.windowY = 1;
  if (app.windowY > window.ScreenHeight() - height) {
    app.windowY = window.ScreenHeight() - height;
  }
  window.SetWindowPos(app.windowX, app.windowY, width, height, true);
  engine.dc.SetTextColor(engine::kWhite);
  engine.dc.SetBkColor(engine::kBlack);
  RedrawGameWindow();
}

}  // namespace krelmo::app
