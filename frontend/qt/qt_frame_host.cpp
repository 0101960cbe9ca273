// The frame host: events and presents inside the step waits, the idle wait outside them.
#include "frontend/qt/qt_frame_host.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace krelmo::qt {

void QtFrameHost::WhileWaiting(std::uint32_t ticksLeft) {
  if (inWait_) return;  // an event handler can never start a wait, but stay safe
  inWait_ = true;
  const std::uint64_t now = clock_.Ticks();
  runs_.Waited(now);
  if (runs_.EventsDue(now)) {
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::X11ExcludeTimers);
  }
  if (cadence_.DueInWait(ticksLeft) && view_.SurfaceChanged()) {
    cadence_.Presented();
    view_.repaint();
    runs_.Presented();
  }
  inWait_ = false;
}

void QtFrameHost::WaitForEvents() {
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  // No toolkit event loop ever runs its course here, so objects let go of with
  // deleteLater() are collected at this point.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace krelmo::qt
