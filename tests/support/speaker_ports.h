// The speaker's ports programmed as the game programs them, for the tests of the emulated
// hardware and of the audio voices that follow it.
#pragma once

#include <cstdint>

#include "platform/pc_hardware.h"

namespace krelmo::testing {

// Counter 2 loaded with `divisor`: a square wave of 1,193,182 / divisor Hz.
inline void LoadCounter2(platform::PcHardware& pc, std::uint16_t divisor) {
  using platform::PcHardware;
  pc.Outp(PcHardware::kControlPort, PcHardware::kCounter2SquareWave);
  pc.Outp(PcHardware::kCounter2Port, static_cast<std::uint8_t>(divisor & 0xFF));
  pc.Outp(PcHardware::kCounter2Port, static_cast<std::uint8_t>(divisor >> 8));
}

// Writes the speaker port: kSpeakerGateBits sounds counter 2, bit 0 alone lets it count with
// the speaker off, 0 stops it.
inline void SetSpeakerGate(platform::PcHardware& pc, std::uint8_t bits) {
  pc.Outp(platform::PcHardware::kSpeakerPort, bits);
}

// Whether the speaker port lets counter 2 sound.
inline bool GateOpen(const platform::PcHardware& pc) {
  return (pc.SpeakerPortValue() & platform::PcHardware::kSpeakerGateBits) != 0;
}

// A tone of 700 Hz, as the game plays it for a red brick, with the gate opened.
constexpr std::uint16_t k700HzDivisor = 0x06A8;
inline void StartTone(platform::PcHardware& pc, std::uint16_t divisor = k700HzDivisor) {
  LoadCounter2(pc, divisor);
  SetSpeakerGate(pc, platform::PcHardware::kSpeakerGateBits);
}

}  // namespace krelmo::testing
