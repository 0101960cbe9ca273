// The main window as the game sees it, in a page: the canvas is the client area, the pointer
// is held by the browser's Pointer Lock during play, and the window timers are the page's.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>

#include "platform/message_queue.h"
#include "platform/window_system.h"

namespace krelmo::web {

// Called on the page's one thread. A page has no frame and no place of its own on the screen:
// the window is its client area, at a place the game may choose and that nothing shows.
class WebWindowSystem final : public platform::WindowSystem {
 public:
  explicit WebWindowSystem(platform::MessageQueue& queue) : queue_(queue) {}
  ~WebWindowSystem() override;
  WebWindowSystem(const WebWindowSystem&) = delete;
  WebWindowSystem& operator=(const WebWindowSystem&) = delete;

  int ScreenWidth() const override;
  int ScreenHeight() const override;
  platform::Rect WindowRect() const override;
  void SetWindowPos(int x, int y, int width, int height, bool topmost) override;
  // A page can neither minimise itself nor come to the front on its own.
  void ShowWindow(platform::ShowCommand) override {}
  platform::Point ClientToScreen(platform::Point client) const override;

  void ShowCursor(bool show) override;
  // A strip asks the browser to lock the pointer; the strip itself is kept here, since a
  // locked pointer reports movements, not places.
  void ClipCursor(const platform::Rect* screenRect) override;
  void SetCursorPos(int screenX, int screenY) override;

  void SetTimer(std::uintptr_t id, unsigned periodMs) override;
  void KillTimer(std::uintptr_t id) override;

  // The pointer moved over the canvas, to (x, y) in client pixels, by `dx` client pixels
  // while locked: posts the move the game sees, held to the strip while one is set.
  void PointerMoved(double x, double y, double dx, bool locked, WPARAM buttons);
  // Whether the game holds the pointer to a strip (during play).
  bool Confined() const { return strip_.has_value(); }

 private:
  struct Timer {
    WebWindowSystem* owner;
    std::uintptr_t id;
    long handle;
  };
  static void TimerFired(void* timer);

  platform::MessageQueue& queue_;
  platform::Point place_;
  std::optional<platform::Rect> strip_;  // client pixels, right and bottom excluded
  double pointerX_ = 0;
  std::map<std::uintptr_t, std::unique_ptr<Timer>> timers_;
};

}  // namespace krelmo::web
