// The frame host: events and presents inside the step waits, the idle wait outside them.
#include "frontend/qt/qt_frame_host.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <cstdio>

namespace krelmo::qt {

void QtFrameHost::WhileWaiting(std::uint32_t ticksLeft) {
  if (inWait_) return;  // an event handler can never start a wait, but stay safe
  inWait_ = true;
  const std::uint64_t now = clock_.Ticks();
  if (waited_ && now - lastWait_ < kFrameGapTicks) frameTicks_ += now - lastWait_;
  waited_ = true;
  lastWait_ = now;
  if (now - lastEvents_ >= kEventIntervalTicks) {
    lastEvents_ = now;
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::X11ExcludeTimers);
  }
  if (cadence_.DueInWait(ticksLeft) && view_.SurfaceChanged()) {
    cadence_.Presented();
    view_.repaint();
    ++framePresents_;
  }
  inWait_ = false;
}

void QtFrameHost::WaitForEvents() {
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  // No toolkit event loop ever runs its course here, so objects let go of with
  // deleteLater() are collected at this point.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

std::string QtFrameHost::StatsLine() const {
  const double seconds = FrameSeconds();
  char line[160];
  std::snprintf(line, sizeof line,
                "krelmo99: %llu presents in %.1f s of frames (%.1f presents/s), %llu in all",
                static_cast<unsigned long long>(framePresents_), seconds,
                seconds > 0 ? static_cast<double>(framePresents_) / seconds : 0.0,
                static_cast<unsigned long long>(view_.PresentCount()));
  return line;
}

}  // namespace krelmo::qt
