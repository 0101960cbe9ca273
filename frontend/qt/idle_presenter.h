// Showing what the game drew between frames: once the window's event loop has nothing left
// to do, at the present cadence.
#pragma once

#include <QObject>
#include <QTimer>

#include "frontend/qt/surface_view.h"
#include "platform/present_cadence.h"

namespace krelmo::qt {

// While nothing changes, nothing wakes the game to look: a present is made as the event loop
// is about to sleep, or, when the last one was too recent, by a timer at the next refresh.
// The presents inside a frame's steps are the frame host's (QtFrameHost).
class IdlePresenter final : public QObject {
 public:
  IdlePresenter(SurfaceView& view, platform::PresentCadence& cadence);

 private:
  void PresentWhenDue();

  SurfaceView& view_;
  platform::PresentCadence& cadence_;
  QTimer timer_;
};

}  // namespace krelmo::qt
