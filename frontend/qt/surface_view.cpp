// The client area widget: zero-copy presentation of the surface, and input to messages.
#include "frontend/qt/surface_view.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "app/game.h"
#include "frontend/qt/key_translation.h"

namespace krelmo::qt {

namespace {

constexpr WPARAM kMkLButton = 0x0001;
constexpr WPARAM kMkRButton = 0x0002;

WPARAM ButtonFlags(Qt::MouseButtons buttons) {
  return ((buttons & Qt::LeftButton) ? kMkLButton : 0) |
         ((buttons & Qt::RightButton) ? kMkRButton : 0);
}

// X11 and Wayland report Linux input codes offset by 8 as native scan codes.
bool PlatformReportsEvdevCodes() {
  const QString name = QGuiApplication::platformName();
  return name == QLatin1String("xcb") || name.startsWith(QLatin1String("wayland"));
}

}  // namespace

SurfaceView::SurfaceView(const platform::Surface& surface, platform::MessageQueue& queue,
                         QWidget* parent)
    : QWidget(parent),
      surface_(surface),
      queue_(queue),
      // The surface's 0x00BBGGRR words are the bytes R, G, B, 0 in memory: RGBX8888 reads
      // them in place.
      image_(reinterpret_cast<const uchar*>(surface.Pixels()), platform::Surface::kWidth,
             platform::Surface::kHeight, platform::Surface::kWidth * 4, QImage::Format_RGBX8888) {
  setFixedSize(platform::kClientWidth, platform::kClientHeight);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
}

void SurfaceView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  // Whole-number device pixel ratios and no smoothing: each surface pixel becomes a crisp
  // square on high-density screens.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  const QRect client(0, 0, platform::kClientWidth, platform::kClientHeight);
  painter.drawImage(client, image_, client);
  presentedGeneration_ = surface_.Generation();
  if (++presents_ == 1 && onFirstPresent) onFirstPresent();
}

void SurfaceView::keyPressEvent(QKeyEvent* event) {
  const bool alt = (event->modifiers() & Qt::AltModifier) != 0;
  if (alt && event->key() == Qt::Key_F4) {
    // What the system menu does for Alt+F4, even with no window manager around.
    queue_.PostMessage(WM_CLOSE);
    return;
  }
  const auto vk = VirtualKeyFor(event->key());
  if (!vk) {
    QWidget::keyPressEvent(event);
    return;
  }
  const ScanCode scan = ScanCodeFor(event->nativeScanCode(), PlatformReportsEvdevCodes(), *vk);
  queue_.PostMessage(WM_KEYDOWN, *vk,
                     MakeKeyLParam(scan.code, scan.extended, alt, event->isAutoRepeat()));
}

void SurfaceView::PostMouse(std::uint32_t message, QPoint local, Qt::MouseButtons buttons) {
  // Client coordinates are never negative while the pointer is over the client area or
  // confined to it.
  queue_.PostMessage(message, ButtonFlags(buttons),
                     MakePointLParam(std::max(local.x(), 0), std::max(local.y(), 0)));
}

void SurfaceView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint global = event->globalPosition().toPoint();
  if (warpEcho_ && *warpEcho_ == global) {
    // The move our own warp onto the strip caused: already posted.
    warpEcho_.reset();
    return;
  }
  if (confinement_ && !confinement_->contains(global)) {
    const QPoint inside(std::clamp(global.x(), confinement_->left(), confinement_->right()),
                        std::clamp(global.y(), confinement_->top(), confinement_->bottom()));
    QCursor::setPos(screen(), inside);
    warpEcho_ = inside;
    PostMouse(WM_MOUSEMOVE, mapFromGlobal(inside), event->buttons());
    return;
  }
  PostMouse(WM_MOUSEMOVE, event->position().toPoint(), event->buttons());
}

void SurfaceView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    PostMouse(WM_LBUTTONDOWN, event->position().toPoint(), event->buttons());
  } else if (event->button() == Qt::RightButton) {
    PostMouse(WM_RBUTTONDOWN, event->position().toPoint(), event->buttons());
  }
}

void SurfaceView::focusInEvent(QFocusEvent* event) {
  // A menu popping down hands focus back without the window ever losing it.
  if (event->reason() != Qt::PopupFocusReason) queue_.PostMessage(WM_SETFOCUS);
  QWidget::focusInEvent(event);
}

void SurfaceView::ConfinePointer(std::optional<QRect> screenRect) {
  confinement_ = screenRect;
  warpEcho_.reset();
  if (screenRect) {
    grabMouse();
    const QPoint now = QCursor::pos(screen());
    if (!screenRect->contains(now)) {
      const QPoint inside(std::clamp(now.x(), screenRect->left(), screenRect->right()),
                          std::clamp(now.y(), screenRect->top(), screenRect->bottom()));
      QCursor::setPos(screen(), inside);
      warpEcho_ = inside;
    }
  } else {
    releaseMouse();
  }
}

void SurfaceView::SetCursorHidden(bool hidden) {
  if (hidden) {
    setCursor(Qt::BlankCursor);
  } else {
    unsetCursor();
  }
}

}  // namespace krelmo::qt
