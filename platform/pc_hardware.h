// The PC hardware the game programs through I/O ports, emulated: counter 0 of the interval
// timer with the BIOS tick count beside it, counter 2 and the speaker gate at port 0x61.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/clock.h"

namespace krelmo::platform {

// Told about every change of the speaker's tone or gate, stamped with the clock's ticks,
// so that an audio voice can render a click at its true length.
class SpeakerSink {
 public:
  virtual ~SpeakerSink() = default;
  // divisor: counter 2's reload value (the tone is 1,193,182 / divisor Hz);
  // on: both gate bits (kSpeakerGateBits) of port 0x61 are set.
  virtual void SpeakerChanged(std::uint64_t ticks, std::uint16_t divisor, bool on) = 0;
};

struct PortWrite {
  std::uint16_t port;
  std::uint8_t value;
};

// Called on the UI thread only.
class PcHardware {
 public:
  static constexpr std::uint16_t kCounter0Port = 0x40;
  static constexpr std::uint16_t kCounter2Port = 0x42;
  static constexpr std::uint16_t kControlPort = 0x43;
  static constexpr std::uint16_t kSpeakerPort = 0x61;
  // Bit 0 of the speaker port gates counter 2, bit 1 lets its output reach the speaker.
  static constexpr std::uint8_t kSpeakerGateBits = 0x03;
  // The control byte that programs counter 2 for the speaker: low byte then high byte, mode 3
  // (square wave), binary.
  static constexpr std::uint8_t kCounter2SquareWave = 0xB6;

  explicit PcHardware(const Clock& clock) : clock_(clock) {}

  void Outp(std::uint16_t port, std::uint8_t value);
  std::uint8_t Inp(std::uint16_t port);

  // The BIOS count of completed counter-0 periods. It is taken from the same clock reading
  // as the last latch of counter 0, so the two halves of a time value always agree.
  std::uint32_t BiosTickCount() const;

  void SetSpeakerSink(SpeakerSink* sink) { speaker_ = sink; }
  // When set, every port write is appended here (tests and the simulator read it).
  void RecordWritesTo(std::vector<PortWrite>* log) { writeLog_ = log; }

  std::uint16_t Counter2Divisor() const { return counter2Reload_; }
  std::uint8_t SpeakerPortValue() const { return port61_; }

 private:
  void Latch();
  bool SpeakerGateOpen() const { return (port61_ & kSpeakerGateBits) == kSpeakerGateBits; }

  const Clock& clock_;
  SpeakerSink* speaker_ = nullptr;
  std::vector<PortWrite>* writeLog_ = nullptr;

  std::uint64_t latchTicks_ = 0;
  bool latched_ = false;
  bool latchHighNext_ = false;
  std::uint16_t latchedCount_ = 0;

  bool counter2HighNext_ = false;
  std::uint16_t counter2Reload_ = 0;
  std::uint8_t port61_ = 0;
};

}  // namespace krelmo::platform
