// Window placement, the pointer and the window timers on Qt.
#include "frontend/qt/qt_window_system.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>
#include <algorithm>

namespace krelmo::qt {

QtWindowSystem::QtWindowSystem(GameWindow& window, platform::MessageQueue& queue)
    : window_(window), queue_(queue) {}

QtWindowSystem::~QtWindowSystem() = default;

int QtWindowSystem::ScreenWidth() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry().width() : 0;
}

int QtWindowSystem::ScreenHeight() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry().height() : 0;
}

platform::Rect QtWindowSystem::WindowRect() const {
  // The real outer size: the client area, the menu bar and the window system's frame.
  const QRect frame = window_.frameGeometry();
  return {frame.left(), frame.top(), frame.left() + frame.width(), frame.top() + frame.height()};
}

void QtWindowSystem::SetWindowPos(int x, int y, int, int, bool topmost) {
  window_.ExpectOwnMove();
  if (topmost && !window_.windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
    // QWidget::setWindowFlag would hide the window to re-create it, and the window that
    // hides loses the focus, which the game takes for the player switching away. The
    // native window takes the flag as it stands; the widget is told without a re-creation.
    window_.overrideWindowFlags(window_.windowFlags() | Qt::WindowStaysOnTopHint);
    if (QWindow* native = window_.windowHandle()) {
      native->setFlags(native->flags() | Qt::WindowStaysOnTopHint);
    }
  }
  window_.move(x, y);
  if (!window_.isVisible()) window_.show();
}

void QtWindowSystem::ShowWindow(platform::ShowCommand command) {
  if (command == platform::ShowCommand::kMinimize) {
    window_.showMinimized();
    return;
  }
  window_.ExpectOwnMove();
  if (window_.isMinimized() || !window_.isVisible()) window_.showNormal();
  window_.raise();
  window_.activateWindow();
}

platform::Point QtWindowSystem::ClientToScreen(platform::Point client) const {
  const QPoint global = window_.View().mapToGlobal(QPoint(client.x, client.y));
  return {global.x(), global.y()};
}

void QtWindowSystem::ShowCursor(bool show) {
  window_.View().SetCursorHidden(!show);
}

void QtWindowSystem::ClipCursor(const platform::Rect* screenRect) {
  if (!screenRect) {
    window_.View().ConfinePointer(std::nullopt);
    return;
  }
  // Right and bottom edges are outside the rectangle; an empty one pins the pointer.
  const QPoint topLeft(screenRect->left, screenRect->top);
  const QPoint bottomRight(std::max(screenRect->right - 1, screenRect->left),
                           std::max(screenRect->bottom - 1, screenRect->top));
  window_.View().ConfinePointer(QRect(topLeft, bottomRight));
}

void QtWindowSystem::SetCursorPos(int screenX, int screenY) {
  QCursor::setPos(window_.screen(), screenX, screenY);
}

void QtWindowSystem::SetTimer(std::uintptr_t id, unsigned periodMs) {
  auto& timer = timers_[id];
  if (!timer) {
    timer = std::make_unique<QTimer>();
    timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer.get(), &QTimer::timeout, [this, id] { queue_.PostTimer(id); });
  }
  timer->start(static_cast<int>(periodMs));
}

void QtWindowSystem::KillTimer(std::uintptr_t id) {
  timers_.erase(id);
}

}  // namespace krelmo::qt
