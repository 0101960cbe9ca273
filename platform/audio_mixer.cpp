// The wave voice and the speaker voice, mixed sample by sample on the audio thread from
// commands the UI thread leaves in a lock-free ring.
#include "platform/audio_mixer.h"

#include <algorithm>
#include <cstring>

namespace krelmo::platform {

namespace {

std::uint32_t ReadU32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t ReadU16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::int16_t Saturated(std::int32_t v) {
  return static_cast<std::int16_t>(std::clamp<std::int32_t>(v, -32'768, 32'767));
}

}  // namespace

std::span<const std::uint8_t> WaveSamples(std::span<const std::uint8_t> file) {
  if (file.size() < 12 || std::memcmp(file.data(), "RIFF", 4) != 0 ||
      std::memcmp(file.data() + 8, "WAVE", 4) != 0) {
    return {};
  }
  bool formatOk = false;
  std::span<const std::uint8_t> data;
  std::size_t at = 12;
  while (at + 8 <= file.size()) {
    const std::uint8_t* chunk = file.data() + at;
    const std::size_t size = ReadU32(chunk + 4);
    if (size > file.size() - at - 8) return {};  // cut short
    if (std::memcmp(chunk, "fmt ", 4) == 0 && size >= 16) {
      formatOk = ReadU16(chunk + 8) == 1 && ReadU16(chunk + 10) == 1 &&
                 ReadU32(chunk + 12) == AudioMixer::kSampleRate && ReadU16(chunk + 22) == 8;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      data = file.subspan(at + 8, size);
    }
    at += 8 + size + (size & 1);
  }
  return formatOk ? data : std::span<const std::uint8_t>{};
}

bool AudioMixer::CommandRing::Push(const Command& command) {
  const std::size_t tail = tail_.load(std::memory_order_relaxed);
  if (tail - head_.load(std::memory_order_acquire) == kCapacity) return false;
  items_[tail % kCapacity] = command;
  tail_.store(tail + 1, std::memory_order_release);
  return true;
}

bool AudioMixer::CommandRing::Pop(Command& command) {
  const std::size_t head = head_.load(std::memory_order_relaxed);
  if (head == tail_.load(std::memory_order_acquire)) return false;
  command = items_[head % kCapacity];
  head_.store(head + 1, std::memory_order_release);
  return true;
}

bool AudioMixer::PlaySound(int waveId, std::uint32_t flags) {
  if (!outputOpen_) return false;
  const auto samples = WaveSamples(waves_(waveId));
  if (samples.empty()) return false;
  if ((flags & SND_NOSTOP) && started_ != finished_.load(std::memory_order_acquire)) {
    return false;  // another recording is still playing
  }
  if (!commands_.Push(
          {Command::kPlay, started_ + 1, samples.data(), samples.size(), 0, 0, false})) {
    return false;
  }
  ++started_;
  ++given_;
  return true;
}

void AudioMixer::SpeakerChanged(std::uint64_t ticks, std::uint16_t divisor, bool on) {
  if (!outputOpen_) return;
  if (commands_.Push({Command::kSpeaker, 0, nullptr, 0, ticks, divisor, on})) ++given_;
}

void AudioMixer::Take(const Command& command, std::uint64_t nowTicks) {
  if (command.kind == Command::kPlay) {
    wave_ = command.samples;
    waveLength_ = command.length;
    wavePosition_ = 0;
    waveGeneration_ = command.generation;
    lastWaveStart_.store(nowTicks, std::memory_order_release);
    return;
  }
  if (!anchored_) {
    // The first change after a quiet spell: place it one delay after it happened.
    const std::uint64_t late = nowTicks > command.ticks ? nowTicks - command.ticks : 0;
    const auto lateSamples = static_cast<std::int64_t>(late * kSampleRate / kPitTicksPerSecond);
    anchored_ = true;
    anchorTicks_ = command.ticks;
    anchorPosition_ = rendered_ + std::max<std::int64_t>(0, kSpeakerDelaySamples - lateSamples);
  }
  const std::uint64_t since = command.ticks > anchorTicks_ ? command.ticks - anchorTicks_ : 0;
  std::int64_t position =
      anchorPosition_ + static_cast<std::int64_t>(since * kSampleRate / kPitTicksPerSecond);
  if (position < rendered_) {
    // Too late (the device ran ahead of the clock): heard at once, and the rest of the burst
    // keeps its lengths from here.
    anchorTicks_ = command.ticks;
    anchorPosition_ = position = rendered_;
  }
  position = std::max(position, lastPosition_);
  lastPosition_ = position;
  if (eventsCount_ == events_.size()) {
    Apply(events_[eventsHead_]);
    eventsHead_ = (eventsHead_ + 1) % events_.size();
    --eventsCount_;
  }
  events_[(eventsHead_ + eventsCount_) % events_.size()] = {position, command.divisor, command.on};
  ++eventsCount_;
}

void AudioMixer::Apply(const SpeakerEvent& event) {
  // Counter 2 reloaded with 0 counts 65,536.
  const double divisor = event.divisor == 0 ? 65'536.0 : event.divisor;
  phaseStep_ = static_cast<double>(kPitTicksPerSecond) / divisor / kSampleRate;
  if (event.on && !speakerOn_) phase_ = 0.0;  // opening the gate restarts the counter
  speakerOn_ = event.on;
}

void AudioMixer::Render(std::span<std::int16_t> out, std::uint64_t nowTicks) {
  Command command;
  while (commands_.Pop(command)) {
    Take(command, nowTicks);
    ++taken_;
  }

  for (std::size_t i = 0; i < out.size(); ++i) {
    std::int32_t mixed = 0;
    if (wave_) {
      mixed += (static_cast<std::int32_t>(wave_[wavePosition_]) - 128) * kWaveGain;
      if (++wavePosition_ == waveLength_) {
        wave_ = nullptr;
        finished_.store(waveGeneration_, std::memory_order_release);
      }
    }
    while (eventsCount_ > 0 && events_[eventsHead_].position <= rendered_) {
      const bool wasOn = speakerOn_;
      Apply(events_[eventsHead_]);
      eventsHead_ = (eventsHead_ + 1) % events_.size();
      --eventsCount_;
      if (speakerOn_ && !wasOn) {
        lastToneStart_.store(nowTicks + i * kPitTicksPerSecond / kSampleRate,
                             std::memory_order_release);
      }
    }
    if (speakerOn_) {
      mixed += phase_ < 0.5 ? kSpeakerAmplitude : -kSpeakerAmplitude;
      phase_ += phaseStep_;
      if (phase_ >= 1.0) phase_ -= 1.0;
    }
    out[i] = Saturated(mixed);
    ++rendered_;
  }
  if (eventsCount_ == 0 && !speakerOn_) anchored_ = false;
  const bool quiet = !wave_ && eventsCount_ == 0 && !speakerOn_;
  quietAfter_.store(quiet ? taken_ + 1 : 0, std::memory_order_release);
}

}  // namespace krelmo::platform
