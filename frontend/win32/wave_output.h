// The audio device on Windows: waveOut, fed by a thread of its own with the mixer's samples,
// a ring of buffers handed to the device and back. When to open and close it is
// platform::AudioPower's.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "frontend/win32/win32.h"
#include "platform/audio_mixer.h"
#include "platform/audio_power.h"

namespace krelmo::win32 {

// The device's calls that the hand-over makes, as the system's waveOut calls behave: a buffer
// written is the device's until it sets WHDR_DONE in the buffer's header, and each buffer it
// is done with signals `done`. Tests stand in for the device with one of their own.
class WaveDevice {
 public:
  virtual ~WaveDevice() = default;
  // False, with the system's reason, when no device opens.
  virtual bool Open(const WAVEFORMATEX& format, HANDLE done, std::string& error) = 0;
  virtual void Prepare(WAVEHDR& buffer) = 0;
  virtual void Write(WAVEHDR& buffer) = 0;
  // Stops playing and gives every buffer back, done.
  virtual void Reset() = 0;
  virtual void Unprepare(WAVEHDR& buffer) = 0;
  virtual void Close() = 0;
};

// The system's default wave output (WAVE_MAPPER).
std::unique_ptr<WaveDevice> SystemWaveDevice();

// UI thread, but for the feeding thread. 22,050 mono 16-bit samples, in kBuffers buffers of
// AudioMixer::kBufferSamples: the feeding thread waits for the device to give a buffer back,
// has the mixer render into it and hands it over again, always the oldest first, so that
// what it hands over plays in order. `mixer` must outlive it.
class WaveOutput final : public platform::AudioOutput {
 public:
  static constexpr int kBuffers = 3;

  explicit WaveOutput(platform::AudioMixer& mixer,
                      std::unique_ptr<WaveDevice> device = SystemWaveDevice());
  ~WaveOutput() override;
  WaveOutput(const WaveOutput&) = delete;
  WaveOutput& operator=(const WaveOutput&) = delete;

  bool Open(std::string& error) override;
  // Returns once the feeding thread has ended and the device has given every buffer back.
  void Close() override;
  bool IsOpen() const { return open_; }

 private:
  struct Buffer {
    WAVEHDR header{};
    std::array<std::int16_t, platform::AudioMixer::kBufferSamples> samples{};
    bool queued = false;
  };
  void Feed();

  platform::AudioMixer& mixer_;
  std::unique_ptr<WaveDevice> device_;
  std::array<Buffer, kBuffers> buffers_{};
  HANDLE done_ = nullptr;
  std::thread feeder_;
  std::atomic<bool> stopping_{false};
  bool open_ = false;
};

}  // namespace krelmo::win32
