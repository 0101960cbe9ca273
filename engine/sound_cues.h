// The game's sound cues: which recording or speaker tone marks each event, and the two
// speaker operations that program counter 2 and the gate bits at port 0x61.
#pragma once

#include <cstdint>

#include "engine/engine.h"
#include "platform/sound.h"

namespace krelmo::engine {

// Every event the engine marks with a sound. The start-up sound is played by start-up itself,
// whatever the sound setting, and is not among these.
enum class Cue {
  kMagentaBrick,
  kBlueBrick,
  kGreenBrick,
  kYellowBrick,
  kOrangeBrick,
  kRedBrick,
  kWallOrPaddle,
  kWallCleared,
  kExtraBall,
  kMiss,
};

struct CueSound {
  int waveId;
  std::uint32_t flags;  // for PlaySound
  int toneHz;           // 0: silent on the speaker
};

// Brick and bounce recordings yield to one still playing; the others cut it off.
constexpr std::uint32_t kCutOffFlags = platform::SND_RESOURCE | platform::SND_ASYNC;
constexpr std::uint32_t kYieldingFlags = kCutOffFlags | platform::SND_NOSTOP;

constexpr CueSound SoundOf(Cue cue) {
  switch (cue) {
    case Cue::kMagentaBrick:
      return {129, kYieldingFlags, 950};
    case Cue::kBlueBrick:
      return {124, kYieldingFlags, 900};
    case Cue::kGreenBrick:
      return {125, kYieldingFlags, 850};
    case Cue::kYellowBrick:
      return {131, kYieldingFlags, 800};
    case Cue::kOrangeBrick:
      return {127, kYieldingFlags, 750};
    case Cue::kRedBrick:
      return {128, kYieldingFlags, 700};
    case Cue::kWallOrPaddle:
      return {130, kYieldingFlags, 1100};
    case Cue::kWallCleared:
      return {133, kCutOffFlags, 0};
    case Cue::kExtraBall:
      return {135, kCutOffFlags, 0};
    case Cue::kMiss:
      return {132, kCutOffFlags, 0};
  }
  return {0, 0, 0};
}

// Counter 2 counts at this rate for the speaker (not quite the 1,193,182 of counter 0).
constexpr std::int32_t kSpeakerClockHz = 1'193'180;

// Plays the cue as the sound mode asks: nothing, its recording, or its speaker tone.
void PlayCue(Engine& engine, Cue cue);
// Loads counter 2 with the divisor for `hz` as a square wave. Only with sound on.
void SpeakerTone(Engine& engine, std::int32_t hz);
// Sets (non-zero, only with sound on) or clears (always) bits 0 and 1 of port 0x61.
void SpeakerEnable(Engine& engine, int on);

}  // namespace krelmo::engine
