// Sound cues: recordings through the platform's sound call, or a square wave on the PC
// speaker programmed port by port.
#include "engine/sound_cues.h"

namespace krelmo::engine {

namespace {
constexpr std::uint16_t kControlPort = 0x43;
constexpr std::uint16_t kCounter2Port = 0x42;
constexpr std::uint16_t kSpeakerPort = 0x61;
// Counter 2, low byte then high byte, mode 3 (square wave), binary.
constexpr std::uint8_t kCounter2SquareWave = 0xB6;
// Bit 0 gates counter 2, bit 1 lets its output reach the speaker.
constexpr std::uint8_t kSpeakerGateBits = 0x03;
}  // namespace

void PlayCue(Engine& engine, Cue cue) {
  const auto& settings = engine.settings;
  if (settings.soundOn == 0) return;
  const CueSound sound = SoundOf(cue);
  if (settings.digitalSound == 1) {
    engine.platform.sound.PlaySound(sound.waveId, sound.flags);
    return;
  }
  if (sound.toneHz == 0) return;
  SpeakerTone(engine, sound.toneHz);
  SpeakerEnable(engine, 1);
}

void SpeakerTone(Engine& engine, std::int32_t hz) {
  if (engine.settings.soundOn != 1 || hz == 0) return;
  const std::int32_t divisor = kSpeakerClockHz / hz;
  auto& pc = engine.platform.pc;
  pc.Outp(kControlPort, kCounter2SquareWave);
  pc.Outp(kCounter2Port, static_cast<std::uint8_t>(divisor & 0xFF));
  pc.Outp(kCounter2Port, static_cast<std::uint8_t>((divisor >> 8) & 0xFF));
}

void SpeakerEnable(Engine& engine, int on) {
  auto& pc = engine.platform.pc;
  if (engine.settings.soundOn != 1) {
    // A tone started just before the sound was turned off must still stop: switching off
    // never depends on the sound mode. With the gate already shut there is nothing to write.
    if (on || (pc.Inp(kSpeakerPort) & kSpeakerGateBits) == 0) return;
  }
  const std::uint8_t gate = pc.Inp(kSpeakerPort);
  pc.Outp(kSpeakerPort, on ? static_cast<std::uint8_t>(gate | kSpeakerGateBits)
                           : static_cast<std::uint8_t>(gate & ~kSpeakerGateBits));
}

}  // namespace krelmo::engine
