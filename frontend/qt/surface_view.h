// The game's client area: shows the drawing surface and turns the mouse and keyboard into
// messages in the game's queue.
#pragma once

#include <QImage>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>

#include "platform/message_queue.h"
#include "platform/surface.h"

namespace krelmo::qt {

// Paints the surface's top-left client area straight from its buffer. Every event handler
// only posts into the queue: no game code runs from here.
class SurfaceView final : public QWidget {
  Q_OBJECT

 public:
  SurfaceView(const platform::Surface& surface, platform::MessageQueue& queue,
              QWidget* parent = nullptr);

  // The surface generation last shown, and whether the surface changed since, for the
  // presenters (IdlePresenter and QtFrameHost).
  std::uint64_t PresentedGeneration() const { return presentedGeneration_; }
  bool SurfaceChanged() const { return surface_.Generation() != presentedGeneration_; }
  std::uint64_t PresentCount() const { return presents_; }
  // Called once, as the first present is made.
  std::function<void()> onFirstPresent;

  // Pointer confinement in screen coordinates, right and bottom edges excluded; none frees it.
  void ConfinePointer(std::optional<QRect> screenRect);
  std::optional<QRect> PointerConfinement() const { return confinement_; }

  void SetCursorHidden(bool hidden);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  bool focusNextPrevChild(bool) override { return false; }  // Tab is a key like any other

 private:
  void PostMouse(std::uint32_t message, QPoint local, Qt::MouseButtons buttons);

  const platform::Surface& surface_;
  platform::MessageQueue& queue_;
  QImage image_;
  std::uint64_t presentedGeneration_ = ~std::uint64_t{0};
  std::uint64_t presents_ = 0;
  std::optional<QRect> confinement_;
  std::optional<QPoint> warpEcho_;
};

}  // namespace krelmo::qt
