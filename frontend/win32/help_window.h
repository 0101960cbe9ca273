// The game's help on Windows: its own pages in a window of their own that stands for the
// separate help program the game was made to call on, shown by the system's rich edit control.
// Above the game, clear of its menu bar, closed from the keyboard; the contents' links lead to
// their sections.
#pragma once

#include <string>
#include <vector>

#include "frontend/win32/game_window.h"
#include "frontend/win32/help_text.h"
#include "frontend/win32/win32.h"

namespace krelmo::win32 {

// UI thread. Owned by no window, so that it stays up when the game minimises on losing the
// activation to it, which it tells the game's window.
class HelpWindow {
 public:
  explicit HelpWindow(GameWindow& game);
  ~HelpWindow();
  HelpWindow(const HelpWindow&) = delete;
  HelpWindow& operator=(const HelpWindow&) = delete;

  // Shows the pages at their contents, placed on the game's screen, and activates the help.
  // False when the pages or the rich edit control cannot be had.
  bool ShowContents();
  HWND Handle() const { return window_; }

  // The client area the pages want, in pixels at 96 dots an inch.
  static constexpr SIZE kWantedSize{560, 520};

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ViewerProc(HWND viewer, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR self);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  bool Create();
  void Load(const HelpText& help);
  void Place();
  void FollowLink(const CHARRANGE& clicked);
  void ScrollTo(LONG position);

  GameWindow& game_;
  HMODULE richEdit_ = nullptr;
  HWND window_ = nullptr;
  HWND viewer_ = nullptr;
  // Each link's place in the pages, and where the heading it leads to stands.
  struct LinkPlace {
    CHARRANGE link;
    LONG target;
  };
  std::vector<LinkPlace> links_;
};

}  // namespace krelmo::win32
