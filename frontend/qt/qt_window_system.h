// The main window as the game sees it, over the Qt window: placement, show state, the
// pointer and the window timers.
#pragma once

#include <QTimer>
#include <map>
#include <memory>

#include "frontend/qt/game_window.h"
#include "platform/message_queue.h"
#include "platform/window_system.h"

namespace krelmo::qt {

class QtWindowSystem final : public platform::WindowSystem {
 public:
  QtWindowSystem(GameWindow& window, platform::MessageQueue& queue);
  ~QtWindowSystem() override;

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

  void SetTimer(std::uintptr_t id, unsigned periodMs) override;
  void KillTimer(std::uintptr_t id) override;
  bool HasTimer(std::uintptr_t id) const { return timers_.count(id) != 0; }

 private:
  GameWindow& window_;
  platform::MessageQueue& queue_;
  std::map<std::uintptr_t, std::unique_ptr<QTimer>> timers_;
};

}  // namespace krelmo::qt
