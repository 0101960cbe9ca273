// The idle presents: asked for as the event loop is about to block, painted by it.
#include "frontend/qt/idle_presenter.h"

#include <QAbstractEventDispatcher>

namespace krelmo::qt {

IdlePresenter::IdlePresenter(SurfaceView& view, platform::PresentCadence& cadence)
    : view_(view), cadence_(cadence) {
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &IdlePresenter::PresentWhenDue);
  connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
          [this] {
            if (!timer_.isActive()) PresentWhenDue();
          });
}

void IdlePresenter::PresentWhenDue() {
  if (!view_.SurfaceChanged()) return;
  if (cadence_.TicksUntilDue() == 0) {
    cadence_.Presented();
    view_.update();
    return;
  }
  timer_.start(static_cast<int>(cadence_.MsUntilDue()));
}

}  // namespace krelmo::qt
