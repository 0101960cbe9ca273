// krelmo-sim --replay: a recorded match played back headless, as fast as it goes.
#pragma once

#include <string>

namespace krelmo::sim {

constexpr int kReplayMatched = 0;
constexpr int kReplayDiffers = 1;
constexpr int kReplayUnreadable = 2;

// Prints the summary on stdout and any refusal or parting on stderr; writes the last
// picture to `pngPath` when it is not empty. Returns one of the codes above.
int PlayReplay(const std::string& path, const std::string& pngPath);

}  // namespace krelmo::sim
