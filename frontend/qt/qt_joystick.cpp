// The joystick's periodic poll on a Qt timer.
#include "frontend/qt/qt_joystick.h"

namespace krelmo::qt {

QtJoystick::QtJoystick() {
  timer_.callOnTimeout([this] {
    if (poll_) poll_(context_);
  });
}

std::uint32_t QtJoystick::StartPoll(std::uint32_t periodMs, void (*poll)(void*), void* context) {
  if (timer_.isActive()) return 0;
  poll_ = poll;
  context_ = context;
  timer_.start(static_cast<int>(periodMs));
  return kPollId;
}

void QtJoystick::StopPoll(std::uint32_t id) {
  if (id != kPollId) return;
  timer_.stop();
  poll_ = nullptr;
  context_ = nullptr;
}

}  // namespace krelmo::qt
