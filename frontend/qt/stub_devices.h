// Stand-ins for the devices the Qt front end does not drive yet: no audio output.
// Settings are kept in memory for the run (the headless front end's registry).
#pragma once

#include <cstdint>

#include "platform/sound.h"

namespace krelmo::qt {

// Nothing can be played: the game carries on silently and greys "Digital Audio".
class SilentSound final : public platform::SoundOutput {
 public:
  bool PlaySound(int, std::uint32_t) override { return false; }
};

}  // namespace krelmo::qt
