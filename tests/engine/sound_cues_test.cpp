// The speaker's tones programmed through counter 2 and the gate bits of port 0x61, and the
// silence of the other sound modes.
#include "engine/sound_cues.h"

#include <utility>
#include <vector>

#include "engine/frame.h"
#include "tests/engine/engine_test_support.h"

namespace krelmo::engine {
namespace {

using Writes = std::vector<std::pair<int, int>>;

class SoundCueTest : public EngineTest {
 protected:
  void UsePcSpeaker() {
    engine.settings.soundOn = 1;
    engine.settings.digitalSound = 0;
  }
  Writes PortWrites() const {
    Writes out;
    for (const auto& w : host.portWrites) out.emplace_back(w.port, w.value);
    return out;
  }
};

using SpeakerCue = SoundCueTest;
using DigitalCue = SoundCueTest;
using SilentCue = SoundCueTest;

// Each tone loads counter 2 with a square wave of its divisor, low byte first, then opens the
// gate; the long cues are silent on the speaker.
TEST_F(SpeakerCue, EachToneLoadsItsDivisorThenOpensTheGate) {
  UsePcSpeaker();
  const std::pair<Cue, int> tones[] = {{Cue::kRedBrick, 1704},     {Cue::kOrangeBrick, 1590},
                                       {Cue::kYellowBrick, 1491},  {Cue::kGreenBrick, 1403},
                                       {Cue::kBlueBrick, 1325},    {Cue::kMagentaBrick, 1255},
                                       {Cue::kWallOrPaddle, 1084}, {Cue::kMiss, 0},
                                       {Cue::kWallCleared, 0},     {Cue::kExtraBall, 0}};
  for (const auto& [cue, divisor] : tones) {
    host.portWrites.clear();
    PlayCue(engine, cue);
    const Writes expected =
        divisor ? Writes{{0x43, 0xB6}, {0x42, divisor & 0xFF}, {0x42, divisor >> 8}, {0x61, 0x03}}
                : Writes{};
    EXPECT_EQ(PortWrites(), expected) << divisor;
  }
  EXPECT_EQ(host.pc.Counter2Divisor(), 1084);
  EXPECT_TRUE(host.sound.plays.empty());
}

TEST_F(DigitalCue, EveryStepStillClearsTheSpeakerGate) {
  UseDigitalSound();
  host.pc.Outp(0x61, 0x03);
  PlaceBall(300, 300, 1, -1);
  BallStep(engine, 1);
  EXPECT_EQ(host.pc.SpeakerPortValue(), 0x00);
  EXPECT_EQ(host.pc.Counter2Divisor(), 0) << "no tone was programmed";
}

TEST_F(SilentCue, NoSoundPlaysNothingAndTouchesNoPortDuringAFrame) {
  engine.settings.soundOn = 0;
  engine.settings.digitalSound = 1;
  DrawFullWall(engine);
  PlaceBall(300, 140, 1, -1);  // on its way into the wall: bricks and walls are struck
  RunFrame(engine);
  ASSERT_GT(Score(), 0);
  EXPECT_TRUE(host.sound.plays.empty());
  for (const auto& w : host.portWrites) {
    EXPECT_EQ(w.port, 0x43) << "only the timing module's latches";
    EXPECT_EQ(w.value, 0x00);
  }
}

}  // namespace
}  // namespace krelmo::engine
