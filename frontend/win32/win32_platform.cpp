// Building the Windows front end's services in the order they depend on one another.
#include "frontend/win32/win32_platform.h"

namespace krelmo::win32 {

namespace {
constexpr UINT_PTR kAudioCheckTimer = 3;
}

Win32Platform::Win32Platform(HINSTANCE instance, platform::RegistryStore& registry,
                             const std::wstring& title)
    : window(instance, surface, queue, menu), registry(registry), platform_{surface,  queue,
                                                                            pc,       frameHost,
                                                                            window,   dialogs,
                                                                            menu,     audio,
                                                                            joystick, registry} {
  if (!window.Create(title, windowError_)) return;
  if (!StartAudio(audio)) return;
  window.StartTimer(kAudioCheckTimer, platform::AudioPower::kCheckPeriodMs,
                    [this] { CheckAudio(audio); });
}

Win32Platform::~Win32Platform() {
  window.StopTimer(kAudioCheckTimer);
}

}  // namespace krelmo::win32
