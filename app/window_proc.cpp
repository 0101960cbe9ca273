// The main window procedure: turns the platform's messages into the game's operations.
#include "app/game.h"
#include "engine/frame.h"
#include "resources/menu.h"

namespace krelmo::app {

LRESULT Game::MainWindowProc(MessageId message, WPARAM wParam, LPARAM lParam) {
  (void)lParam;
  if (message == app.activateMessage) {
    platform.window.ShowWindow(platform::ShowCommand::kRestore);
    SendMessage(WM_SETFOCUS, 0, 0);
    return 0;
  }
  switch (message) {
    case WM_SETFOCUS:
    case WM_EXITSIZEMOVE:
      ReplaceWindow();
      return 0;
    case WM_CLOSE:
      platform.queue.PostQuitMessage(0);
      return 0;
    case WM_COMMAND:
      if ((wParam & 0xFFFF) == resources::IDM_EXIT) {
        platform.queue.PostQuitMessage(0);
        return 0;
      }
      return 0;
    case WM_TIMER:
      if (!engine.match.paused && engine.match.gameActive && app.appActive) {
        engine::RunFrame(engine);
      }
      return 0;
    default:
      return 0;
  }
}

void Game::ReplaceWindow() {
  auto& window = platform.window;
  const platform::Rect rect = window.WindowRect();
  app.windowX = rect.left;
  app.windowY = rect.top;
  if (app.windowX < 1) app.windowX = 1;
  if (app.windowX > window.ScreenWidth() - kWindowWidth) {
    app.windowX = window.ScreenWidth() - kWindowWidth;
  }
  if (app.windowY < 1) app.windowY = 1;
  if (app.windowY > window.ScreenHeight() - kWindowHeight) {
    app.windowY = window.ScreenHeight() - kWindowHeight;
  }
  window.SetWindowPos(app.windowX, app.windowY, kWindowWidth, kWindowHeight, true);
  engine.dc.SetTextColor(RGB(255, 255, 255));
  engine.dc.SetBkColor(RGB(0, 0, 0));
  RedrawGameWindow();
}

}  // namespace krelmo::app
