// krelmo-sim --replay: a recorded match played back headless, as fast as it goes.
#pragma once

#include <string>

namespace krelmo::sim {

// Prints the summary on stdout and any refusal or parting on stderr; writes the last
// picture to `pngPath` when it is not empty. Returns 0 or one of replay::kExitReplay*.
int PlayReplay(const std::string& path, const std::string& pngPath);

}  // namespace krelmo::sim
