// Building the Qt front end's services in the order they depend on one another.
#include "frontend/qt/qt_platform.h"

#include <cstdio>

#include "resources/fonts/game_font.h"
#include "resources/menu.h"
#include "resources/waves.h"

namespace krelmo::qt {

QtPlatform::QtPlatform(std::string registryPath)
    : window(surface, queue, resources::LoadMainMenu(menu)),
      sound(resources::WaveResource, clock),
      registry(std::move(registryPath)),
      platform_{surface, queue, pc,    frameHost, windowSystem,
                dialogs, menu,  audio, joystick,  registry} {
  // The same glyphs as the headless front end: both draw text pixel for pixel alike.
  surface.SetFont(&resources::kGameFont);
  if (!audio.Start(audioError)) return;
  pc.SetSpeakerSink(&audio);
  audio.onReopenFailed = [](const std::string& error) {
    std::fprintf(stderr,
                 "krelmo99: the audio device did not open again (%s); playing on silently\n",
                 error.c_str());
  };
  audioCheck_.setTimerType(Qt::CoarseTimer);
  audioCheck_.callOnTimeout([this] { audio.Check(matchRunning && matchRunning()); });
  audioCheck_.start(static_cast<int>(platform::AudioPower::kCheckPeriodMs));
}

QtPlatform::~QtPlatform() = default;

}  // namespace krelmo::qt
