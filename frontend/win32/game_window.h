// The main window on Windows: the class "KrMo" and its fixed window, the menu bar built from the
// game's menu table and kept in step with its state words, the surface shown at a whole-number
// scale of the screen's density, input and window events turned into the game's messages, and
// the window as the game sees it (placement, pointer, timers).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>

#include "frontend/win32/win32.h"
#include "platform/menu_model.h"
#include "platform/message_queue.h"
#include "platform/surface.h"
#include "platform/window_system.h"

namespace krelmo::win32 {

// What the window answers to a second start's hand-over once the game has taken it.
constexpr LRESULT kHandOverTaken = 0x4B72;
// The icons of the program's resources, large and small.
constexpr int kLargeIconId = 102;
constexpr int kSmallIconId = 103;

// Called on the UI thread. Every window procedure of this front end only posts into the game's
// queue (or calls the front end's own timers): no game code runs from here, but through the
// timers the front end sets for the purpose.
class GameWindow final : public platform::WindowSystem {
 public:
  GameWindow(HINSTANCE instance, const platform::Surface& surface, platform::MessageQueue& queue,
             platform::MenuModel& menu);
  ~GameWindow() override;
  GameWindow(const GameWindow&) = delete;
  GameWindow& operator=(const GameWindow&) = delete;

  // Makes the window, hidden, centred on the screen; false, with the reason, when it cannot.
  bool Create(const std::wstring& title, std::string& error);
  // Shows it and brings it to the front.
  void Show();
  HWND Handle() const { return window_; }
  HINSTANCE Instance() const { return instance_; }
  // Surface pixels to screen pixels: 1, or the whole number of times the screen's density is
  // the usual 96 dots an inch.
  int Scale() const { return scale_; }

  int ScreenWidth() const override;
  int ScreenHeight() const override;
  platform::Rect WindowRect() const override;
  // The size is fixed by the client area and the menu bar; only the place is taken.
  void SetWindowPos(int x, int y, int width, int height, bool topmost) override;
  void ShowWindow(platform::ShowCommand command) override;
  platform::Point ClientToScreen(platform::Point client) const override;
  void ShowCursor(bool show) override;
  void ClipCursor(const platform::Rect* screenRect) override;
  void SetCursorPos(int screenX, int screenY) override;
  // The game's timers post a coalesced WM_TIMER into its queue.
  void SetTimer(std::uintptr_t id, unsigned periodMs) override;
  void KillTimer(std::uintptr_t id) override;

  // The front end's own timers on the window: `onTick` runs whenever the window's messages
  // are dispatched (by the idle wait, a modal box's loop or a frame's wait) and it is due.
  void StartTimer(UINT_PTR id, unsigned periodMs, std::function<void()> onTick);
  void StopTimer(UINT_PTR id);

  // Shows the surface's client area at once.
  void Present();
  bool SurfaceChanged() const { return surface_.Generation() != presentedGeneration_; }
  std::uint64_t PresentCount() const { return presents_; }
  // Called once, as the first present is made.
  std::function<void()> onFirstPresent;

  // A second start's registered message: `onHandOver` runs when it arrives, and the window
  // answers kHandOverTaken when it says the game took it; else (or unset) 0, and the start
  // runs a game of its own once this one has let it.
  void SetHandOver(UINT message, std::function<bool()> onHandOver);
  // The session ends: the process goes once the window has answered. Called then.
  std::function<void()> onEndSession;
  // A window of ours that stands for another program (the help): while it is active, the
  // game hears that it is not. It tells the window as it gains and loses the activation.
  void OtherProgramActivated(bool active);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  HMENU BuildMenuBar();
  void ShowState(int id, std::uint32_t state);
  void PostMouse(std::uint32_t message, WPARAM wParam, LPARAM lParam);
  void ReportActivation();
  void PresentTo(HDC dc);
  // The outer size for the client area at the scale of `dpi`.
  SIZE OuterSize(UINT dpi) const;
  void Rescale(UINT dpi, const RECT* suggested);
  bool PointerOverClient() const;

  HINSTANCE instance_;
  const platform::Surface& surface_;
  platform::MessageQueue& queue_;
  platform::MenuModel& menu_;
  HWND window_ = nullptr;
  HMENU menuBar_ = nullptr;
  int scale_ = 1;
  std::uint64_t presentedGeneration_ = ~std::uint64_t{0};
  std::uint64_t presents_ = 0;
  bool cursorHidden_ = false;
  std::set<std::uintptr_t> gameTimers_;
  std::map<UINT_PTR, std::function<void()>> ownTimers_;
  UINT handOverMessage_ = 0;
  std::function<bool()> onHandOver_;
  bool applicationActive_ = true;
  bool otherProgramActive_ = false;
  bool postedActive_ = true;  // the game starts out active
};

}  // namespace krelmo::win32
