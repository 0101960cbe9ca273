// The window, the pointer and the timers of the page.
#include "frontend/web/web_window_system.h"

#include <emscripten/emscripten.h>
#include <emscripten/eventloop.h>

#include <algorithm>

#include "frontend/web/web_page.h"

namespace krelmo::web {

WebWindowSystem::~WebWindowSystem() {
  for (const auto& [id, timer] : timers_) emscripten_clear_interval(timer->handle);
  if (strip_) krelmo_pointer_lock(0);
}

int WebWindowSystem::ScreenWidth() const {
  int width = 0, height = 0;
  emscripten_get_screen_size(&width, &height);
  return std::max(width, platform::kClientWidth);
}

int WebWindowSystem::ScreenHeight() const {
  int width = 0, height = 0;
  emscripten_get_screen_size(&width, &height);
  return std::max(height, platform::kClientHeight);
}

platform::Rect WebWindowSystem::WindowRect() const {
  return {place_.x, place_.y, place_.x + platform::kClientWidth,
          place_.y + platform::kClientHeight};
}

void WebWindowSystem::SetWindowPos(int x, int y, int, int, bool) {
  place_ = {x, y};
}

platform::Point WebWindowSystem::ClientToScreen(platform::Point client) const {
  return {place_.x + client.x, place_.y + client.y};
}

void WebWindowSystem::ShowCursor(bool show) {
  krelmo_pointer_hidden(show ? 0 : 1);
}

void WebWindowSystem::ClipCursor(const platform::Rect* screenRect) {
  if (!screenRect) {
    if (strip_) krelmo_pointer_lock(0);
    strip_.reset();
    return;
  }
  const bool wasConfined = strip_.has_value();
  strip_ = platform::Rect{screenRect->left - place_.x, screenRect->top - place_.y,
                          std::max(screenRect->right, screenRect->left + 1) - place_.x,
                          std::max(screenRect->bottom, screenRect->top + 1) - place_.y};
  pointerX_ = std::clamp<double>(pointerX_, strip_->left, strip_->right - 1);
  if (!wasConfined) krelmo_pointer_lock(1);
}

void WebWindowSystem::SetCursorPos(int screenX, int) {
  pointerX_ = screenX - place_.x;
  if (strip_) pointerX_ = std::clamp<double>(pointerX_, strip_->left, strip_->right - 1);
}

void WebWindowSystem::PointerMoved(double x, double y, double dx, bool locked, WPARAM buttons) {
  if (strip_) {
    // Locked, the pointer reports how far it went; until the lock takes, where it is.
    pointerX_ = std::clamp(locked ? pointerX_ + dx : x, static_cast<double>(strip_->left),
                           static_cast<double>(strip_->right - 1));
    x = pointerX_;
    y = strip_->top;
  } else {
    pointerX_ = x;
  }
  queue_.PostMessage(
      WM_MOUSEMOVE, buttons,
      MakePointLParam(std::max(static_cast<int>(x), 0), std::max(static_cast<int>(y), 0)));
}

void WebWindowSystem::SetTimer(std::uintptr_t id, unsigned periodMs) {
  auto& timer = timers_[id];
  if (timer) emscripten_clear_interval(timer->handle);
  timer = std::make_unique<Timer>(Timer{this, id, 0});
  timer->handle = emscripten_set_interval(&WebWindowSystem::TimerFired, periodMs, timer.get());
}

void WebWindowSystem::KillTimer(std::uintptr_t id) {
  const auto it = timers_.find(id);
  if (it == timers_.end()) return;
  emscripten_clear_interval(it->second->handle);
  timers_.erase(it);
}

void WebWindowSystem::TimerFired(void* data) {
  auto* timer = static_cast<Timer*>(data);
  timer->owner->queue_.PostTimer(timer->id);
  krelmo_wake();
}

}  // namespace krelmo::web
