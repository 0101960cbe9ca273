// The main window as the game sees it: its place on the screen, its show state, the mouse
// cursor, and the window timer that drives play.
#pragma once

#include <cstdint>

namespace krelmo::platform {

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

struct Point {
  int x = 0;
  int y = 0;
};

enum class ShowCommand { kRestore, kMinimize };

// The main window is 640 x 480 outside as the game places it; the game draws on its
// 634 x 436 client area, the top-left of the 640 x 480 surface. Every front end shows that.
constexpr int kWindowWidth = 640;
constexpr int kWindowHeight = 480;
constexpr int kClientWidth = 634;
constexpr int kClientHeight = 436;

// Called on the UI thread only. The front end implements it over the real window.
class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  virtual int ScreenWidth() const = 0;
  virtual int ScreenHeight() const = 0;
  // The outer frame of the window on the screen, in its normal (restored) state, at its real
  // size: the client area with the menu bar and whatever frame the window system draws.
  virtual Rect WindowRect() const = 0;
  // Places the window's outer frame at (x, y), on top and shown. The window keeps its own
  // size (the client area, the menu bar and the frame): width and height are only asked for.
  virtual void SetWindowPos(int x, int y, int width, int height, bool topmost) = 0;
  virtual void ShowWindow(ShowCommand command) = 0;
  // Client point to screen point.
  virtual Point ClientToScreen(Point client) const = 0;

  virtual void ShowCursor(bool show) = 0;
  // Confines the pointer to a screen rectangle; null frees it.
  virtual void ClipCursor(const Rect* screenRect) = 0;
  virtual void SetCursorPos(int screenX, int screenY) = 0;

  // Window timer 1: posts a coalesced WM_TIMER every periodMs into the game's queue.
  virtual void SetTimer(std::uintptr_t id, unsigned periodMs) = 0;
  virtual void KillTimer(std::uintptr_t id) = 0;
};

}  // namespace krelmo::platform
