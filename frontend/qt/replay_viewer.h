// krelmo99 --replay FILE: a recorded match shown in a window of its own, at the match's pace,
// beside any game that runs.
#pragma once

#include <string>

namespace krelmo::qt {

// The exit codes of a playback besides 0 (played as recorded, or ended by the viewer before
// its end).
constexpr int kExitReplayDiffers = 1;
constexpr int kExitReplayUnreadable = 2;

// After the application object exists. Plays the file in a window titled by its name, with
// its sound, and says on stderr how it ended; the viewer's input is left out but for Esc and
// closing the window, which end the playback, and the last picture stays until then.
int ShowReplay(const std::string& path);

}  // namespace krelmo::qt
