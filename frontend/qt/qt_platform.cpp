// Building the Qt front end's services in the order they depend on one another.
#include "frontend/qt/qt_platform.h"

namespace krelmo::qt {

QtPlatform::QtPlatform(std::string registryPath)
    : window(surface, queue, menu),
      registry(std::move(registryPath)),
      platform_{surface, queue, pc,    frameHost, windowSystem,
                dialogs, menu,  audio, joystick,  registry} {
  if (!StartAudio(audio)) return;
  audioCheck_.setTimerType(Qt::CoarseTimer);
  audioCheck_.callOnTimeout([this] { CheckAudio(audio); });
  audioCheck_.start(static_cast<int>(platform::AudioPower::kCheckPeriodMs));
}

QtPlatform::~QtPlatform() = default;

}  // namespace krelmo::qt
