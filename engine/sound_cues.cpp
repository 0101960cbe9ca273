// Sound cues: recordings through the platform's sound call, or a square wave on the PC
// speaker programmed port by port.
#include "engine/sound_cues.h"

#include "platform/pc_hardware.h"

namespace krelmo::engine {

using platform::PcHardware;

void PlayCue(Engine& engine, Cue cue) {
  const auto& settings = engine.settings;
  if (!settings.soundOn) return;
  const CueSound sound = SoundOf(cue);
  if (settings.digitalSound) {
    engine.platform.sound.PlaySound(sound.waveId, sound.flags);
    return;
  }
  if (sound.toneHz == 0) return;
  SpeakerTone(engine, sound.toneHz);
  SpeakerEnable(engine, 1);
}

void SpeakerTone(Engine& engine, std::int32_t hz) {
  if (!engine.settings.soundOn || hz == 0) return;
  const std::int32_t divisor = kSpeakerClockHz / hz;
  auto& pc = engine.platform.pc;
  pc.Outp(PcHardware::kControlPort, PcHardware::kCounter2SquareWave);
  pc.Outp(PcHardware::kCounter2Port, static_cast<std::uint8_t>(divisor & 0xFF));
  pc.Outp(PcHardware::kCounter2Port, static_cast<std::uint8_t>((divisor >> 8) & 0xFF));
}

void SpeakerEnable(Engine& engine, int on) {
  auto& pc = engine.platform.pc;
  if (!engine.settings.soundOn) {
    // A tone started just before the sound was turned off must still stop: switching off
    // never depends on the sound mode. With the gate already shut there is nothing to write.
    if (on || (pc.Inp(PcHardware::kSpeakerPort) & PcHardware::kSpeakerGateBits) == 0) return;
  }
  const std::uint8_t gate = pc.Inp(PcHardware::kSpeakerPort);
  pc.Outp(PcHardware::kSpeakerPort,
          on ? static_cast<std::uint8_t>(gate | PcHardware::kSpeakerGateBits)
             : static_cast<std::uint8_t>(gate & ~PcHardware::kSpeakerGateBits));
}

}  // namespace krelmo::engine
