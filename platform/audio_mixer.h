// The game's audio in plain C++: one voice of wave recordings with the platform's play and
// stop rules, and the PC speaker as a square-wave voice rendered at the times it changed.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/clock.h"
#include "platform/pc_hardware.h"
#include "platform/sound.h"

namespace krelmo::platform {

// The samples (unsigned 8-bit, 128 silent) of a RIFF WAVE file in the game's format: PCM,
// mono, 8 bits, 22,050 per second. Empty for a file in any other form or cut short.
std::span<const std::uint8_t> WaveSamples(std::span<const std::uint8_t> file);

// Threads: the UI thread calls PlaySound and SpeakerChanged (as the sound service and the
// emulated speaker's sink); the audio device's thread calls Render (or Pull), and only that
// thread touches the voices. They meet in a single-producer, single-consumer ring of commands
// and one atomic counter: neither side ever waits for the other.
class AudioMixer final : public SoundOutput, public SpeakerSink {
 public:
  static constexpr int kSampleRate = 22'050;
  // The device asks for this many samples at a time (11.6 ms).
  static constexpr int kBufferSamples = 256;
  // The speaker voice plays this far behind the clock, so that by the time a tone's first
  // sample is rendered its end is known as well, and a click of 2 ms lasts 2 ms.
  static constexpr int kSpeakerDelaySamples = kBufferSamples;
  // A full-scale recording sample becomes +-32,512; the speaker's square wave sits lower.
  static constexpr int kWaveGain = 256;
  static constexpr int kSpeakerAmplitude = 3'000;

  using WaveLookup = std::span<const std::uint8_t> (*)(int waveId);

  // `clock` is read by Pull on the audio thread: it must be safe to read from there.
  AudioMixer(WaveLookup waves, const Clock& clock) : waves_(waves), clock_(clock) {}

  // UI thread, before the first sound: whether anything will ever render. Without an
  // output every PlaySound fails, which is how start-up learns there is no wave audio.
  void SetOutputOpen(bool open) { outputOpen_ = open; }

  // UI thread: every command given has been taken, and the audio thread's last Render left
  // nothing to play (no recording, no speaker change due, the speaker's gate shut). Only then
  // may the device be closed: a reopened device starts from silence, with no old speaker
  // state left to replay. Stays true while no device renders.
  bool Idle() const { return quietAfter_.load(std::memory_order_acquire) == given_ + 1; }

  // UI thread. One voice: without SND_NOSTOP the recording cuts off the one playing; with it,
  // the call is dropped (false) while another recording plays.
  bool PlaySound(int waveId, std::uint32_t flags) override;
  // UI thread, from the emulated port 0x61 and counter 2.
  void SpeakerChanged(std::uint64_t ticks, std::uint16_t divisor, bool on) override;

  // Audio thread: the next samples of both voices, mixed and held within 16 bits. `nowTicks`
  // is the clock at the call; the speaker's changes are placed by it. Tests call it directly.
  void Render(std::span<std::int16_t> out, std::uint64_t nowTicks);
  void Pull(std::span<std::int16_t> out) { Render(out, clock_.Ticks()); }

  // Any thread, for the latency tool: clock ticks at the Render call that produced the first
  // sample of the latest recording, and the time its first speaker sample of the latest
  // opening of the gate was due out (the call's ticks plus its place in the buffer).
  std::uint64_t LastWaveStartTicks() const {
    return lastWaveStart_.load(std::memory_order_acquire);
  }
  std::uint64_t LastToneStartTicks() const {
    return lastToneStart_.load(std::memory_order_acquire);
  }

 private:
  struct Command {
    enum Kind : std::uint8_t { kPlay, kSpeaker } kind;
    std::uint32_t generation;  // kPlay: counts recordings started
    const std::uint8_t* samples;
    std::size_t length;
    std::uint64_t ticks;  // kSpeaker
    std::uint16_t divisor;
    bool on;
  };
  // Lock-free, one writer (UI) and one reader (audio). Full: the writer's command is dropped.
  class CommandRing {
   public:
    bool Push(const Command& command);
    bool Pop(Command& command);

   private:
    static constexpr std::size_t kCapacity = 1024;
    std::array<Command, kCapacity> items_{};
    std::atomic<std::size_t> head_{0};
    std::atomic<std::size_t> tail_{0};
  };
  struct SpeakerEvent {
    std::int64_t position;  // in samples rendered since the mixer was made
    std::uint16_t divisor;
    bool on;
  };

  void Take(const Command& command, std::uint64_t nowTicks);
  void Apply(const SpeakerEvent& event);

  WaveLookup waves_;
  const Clock& clock_;
  CommandRing commands_;

  // UI thread only.
  bool outputOpen_ = false;
  std::uint32_t started_ = 0;
  std::uint64_t given_ = 0;  // commands pushed
  // Written by the audio thread when a recording plays to its end.
  std::atomic<std::uint32_t> finished_{0};
  std::atomic<std::uint64_t> lastWaveStart_{0};
  std::atomic<std::uint64_t> lastToneStart_{0};
  // Written by the audio thread after each Render: one more than the commands taken so far
  // when nothing was left to play, else 0.
  std::atomic<std::uint64_t> quietAfter_{1};

  // Audio thread only.
  std::int64_t rendered_ = 0;
  std::uint64_t taken_ = 0;
  const std::uint8_t* wave_ = nullptr;
  std::size_t waveLength_ = 0;
  std::size_t wavePosition_ = 0;
  std::uint32_t waveGeneration_ = 0;

  // Pending speaker changes, in order of position; the burst's first change fixes how clock
  // ticks map to sample positions until the speaker falls quiet again.
  std::array<SpeakerEvent, 256> events_{};
  std::size_t eventsHead_ = 0;
  std::size_t eventsCount_ = 0;
  bool anchored_ = false;
  std::uint64_t anchorTicks_ = 0;
  std::int64_t anchorPosition_ = 0;
  std::int64_t lastPosition_ = 0;
  bool speakerOn_ = false;
  double phaseStep_ = 0.0;
  double phase_ = 0.0;
};

}  // namespace krelmo::platform
