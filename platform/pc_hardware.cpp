// Emulated interval timer and speaker gate. Counter 0 runs as the game programs it (rate
// generator, reload 65,536), so its count is 0xFFFF minus the low 16 bits of the clock.
#include "platform/pc_hardware.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <chrono>
#endif

namespace krelmo::platform {

#ifdef _WIN32

// Windows' performance counter, the finest steady clock it has, at the rate it reports.
std::uint64_t SteadyClock::Ticks() const {
  static const auto frequency = [] {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return static_cast<std::uint64_t>(f.QuadPart);
  }();
  LARGE_INTEGER count;
  ::QueryPerformanceCounter(&count);
  return PitTicksOf(static_cast<std::uint64_t>(count.QuadPart), frequency);
}

#else

std::uint64_t SteadyClock::Ticks() const {
  const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
                      std::chrono::steady_clock::now().time_since_epoch())
                      .count();
  return PitTicksOf(static_cast<std::uint64_t>(ns), 1'000'000'000);
}

#endif

void PcHardware::Latch() {
  latchTicks_ = clock_.Ticks();
  latchedCount_ = static_cast<std::uint16_t>(0xFFFF - (latchTicks_ & 0xFFFF));
  latched_ = true;
  latchHighNext_ = false;
}

void PcHardware::Outp(std::uint16_t port, std::uint8_t value) {
  if (writeLog_) writeLog_->push_back({port, value});
  switch (port) {
    case kControlPort:
      if ((value & 0xF0) == 0x00) {
        Latch();  // counter-latch command for counter 0
      } else if ((value >> 6) == 2) {
        counter2HighNext_ = false;  // counter 2 is being programmed: low byte first
      }
      // Programming counter 0 changes nothing: the emulated counter always runs at the
      // standard rate.
      break;
    case kCounter2Port:
      if (counter2HighNext_) {
        counter2Reload_ = static_cast<std::uint16_t>((counter2Reload_ & 0x00FF) | (value << 8));
        if (speaker_) speaker_->SpeakerChanged(clock_.Ticks(), counter2Reload_, SpeakerGateOpen());
      } else {
        counter2Reload_ = static_cast<std::uint16_t>((counter2Reload_ & 0xFF00) | value);
      }
      counter2HighNext_ = !counter2HighNext_;
      break;
    case kSpeakerPort: {
      const bool wasOn = SpeakerGateOpen();
      port61_ = value;
      const bool on = SpeakerGateOpen();
      if (speaker_ && on != wasOn) speaker_->SpeakerChanged(clock_.Ticks(), counter2Reload_, on);
      break;
    }
    default:
      break;
  }
}

std::uint8_t PcHardware::Inp(std::uint16_t port) {
  switch (port) {
    case kCounter0Port: {
      if (!latched_) Latch();  // an unlatched read sees the running count
      const bool high = latchHighNext_;
      latchHighNext_ = !latchHighNext_;
      if (high) {
        latched_ = false;
        return static_cast<std::uint8_t>(latchedCount_ >> 8);
      }
      return static_cast<std::uint8_t>(latchedCount_ & 0xFF);
    }
    case kSpeakerPort:
      return port61_;
    default:
      return 0xFF;
  }
}

std::uint32_t PcHardware::BiosTickCount() const {
  return static_cast<std::uint32_t>(latchTicks_ >> 16);
}

}  // namespace krelmo::platform
