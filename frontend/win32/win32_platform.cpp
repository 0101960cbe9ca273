// Building the Windows front end's services in the order they depend on one another.
#include "frontend/win32/win32_platform.h"

#include <cstdio>

#include "resources/fonts/game_font.h"
#include "resources/menu.h"
#include "resources/waves.h"

namespace krelmo::win32 {

namespace {
constexpr UINT_PTR kAudioCheckTimer = 3;
}

Win32Platform::Win32Platform(HINSTANCE instance, platform::RegistryStore& registry,
                             const std::wstring& title)
    : window(instance, surface, queue, resources::LoadMainMenu(menu)),
      sound(resources::WaveResource, clock),
      registry(registry),
      platform_{surface, queue, pc, frameHost, window, dialogs, menu, audio, joystick, registry} {
  // The same glyphs as every other front end: text is drawn pixel for pixel alike.
  surface.SetFont(&resources::kGameFont);
  if (!window.Create(title, windowError_)) return;
  if (!audio.Start(audioError)) return;
  pc.SetSpeakerSink(&audio);
  audio.onReopenFailed = [](const std::string& error) {
    std::fprintf(stderr,
                 "krelmo99: the audio device did not open again (%s); playing on silently\n",
                 error.c_str());
  };
  window.StartTimer(kAudioCheckTimer, platform::AudioPower::kCheckPeriodMs,
                    [this] { audio.Check(matchRunning && matchRunning()); });
}

Win32Platform::~Win32Platform() {
  window.StopTimer(kAudioCheckTimer);
}

}  // namespace krelmo::win32
