// krelmo99.exe --replay FILE: a recorded match shown in a window of its own, at the match's
// pace, beside any game that runs.
#pragma once

#include <string>

#include "frontend/win32/win32.h"

namespace krelmo::win32 {

// Plays the file in a window titled by its name, with its sound, says on stderr how it ended
// and returns 0 or one of replay::kExitReplay*. The viewer's input is left out but for Esc and
// closing the window, which end the playback; the last picture stays until then.
int ShowReplay(HINSTANCE instance, const std::string& path);

}  // namespace krelmo::win32
