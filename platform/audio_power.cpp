// Closing the audio device while nothing plays and opening it again for the next sound.
#include "platform/audio_power.h"

namespace krelmo::platform {

bool AudioPower::Start(std::string& error) {
  if (available_) return true;
  if (!output_.Open(error)) return false;
  available_ = open_ = true;
  mixer_.SetOutputOpen(true);
  lastSound_ = clock_.Ticks();
  return true;
}

bool AudioPower::Wake(std::uint64_t now) {
  if (open_) return true;
  if (failed_ && now - failedAt_ < kRetryTicks) return false;
  std::string error;
  if (!output_.Open(error)) {
    failed_ = true;
    failedAt_ = now;
    if (!told_) {
      told_ = true;
      if (onReopenFailed) onReopenFailed(error);
    }
    return false;
  }
  failed_ = false;
  open_ = true;
  ++reopens_;
  return true;
}

void AudioPower::Check(bool matchRunning) {
  if (!available_) return;
  const std::uint64_t now = clock_.Ticks();
  if (matchRunning) {
    lastSound_ = now;
    Wake(now);
    return;
  }
  if (!open_) return;
  // A recording or tone still playing counts as sound: the idle time runs from its end (as
  // this check sees it).
  if (!mixer_.Idle()) {
    lastSound_ = now;
    return;
  }
  if (now - lastSound_ < kIdleTicks) return;
  output_.Close();
  open_ = false;
  ++closes_;
}

bool AudioPower::PlaySound(int waveId, std::uint32_t flags) {
  if (available_) {
    const std::uint64_t now = clock_.Ticks();
    lastSound_ = now;
    // Dropped while the device cannot open: not started, so no recording is left pending
    // for a later SND_NOSTOP to wait on.
    if (!Wake(now)) return false;
  }
  return mixer_.PlaySound(waveId, flags);
}

void AudioPower::SpeakerChanged(std::uint64_t ticks, std::uint16_t divisor, bool on) {
  if (!available_) return;
  // A closed device left the speaker silent, its gate shut: a change that keeps it silent
  // needs no device (each change carries the divisor and the gate both, so the one that
  // opens the gate says everything).
  if (!open_ && !on) return;
  const std::uint64_t now = clock_.Ticks();
  lastSound_ = now;
  if (!Wake(now)) return;
  mixer_.SpeakerChanged(ticks, divisor, on);
}

}  // namespace krelmo::platform
