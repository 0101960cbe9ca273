// When the audio device is open. An open device costs an audio thread that wakes for every
// buffer (11.6 ms) even in silence, so it is closed after some seconds with nothing to play
// outside a match, and opened again for the next sound. The policy in plain C++, between the
// game and the mixer; the front end supplies the device's opening and closing, and a timer.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/audio_mixer.h"
#include "platform/clock.h"
#include "platform/pc_hardware.h"
#include "platform/sound.h"

namespace krelmo::platform {

// The front end's audio device, whose callback pulls from the mixer. UI thread.
class AudioOutput {
 public:
  virtual ~AudioOutput() = default;
  // Opens the device and starts its callback; false, with `error` saying why, when it cannot.
  virtual bool Open(std::string& error) = 0;
  // Closes an open device; its callback has stopped for good when this returns.
  virtual void Close() = 0;
};

// UI thread only. Stands between the game and the mixer as the sound service and the speaker's
// sink: a sound while the device is closed opens it first (the first sound after a long
// silence may therefore come late, once), and a command reaches the mixer only while the
// device is open, so nothing old is left in the mixer to replay when it opens.
//
// The device closes only when the mixer is idle, no match runs and nothing was played for
// kIdleTicks; while a match runs it is kept open, and opened at the next check if closed,
// so that every cue of a match comes within the usual latency.
class AudioPower final : public SoundOutput, public SpeakerSink {
 public:
  static constexpr std::uint64_t kIdleTicks = 2 * kPitTicksPerSecond;
  // After an opening failed, none is tried again for this long: a device that has gone does
  // not hold up every cue of the game.
  static constexpr std::uint64_t kRetryTicks = 5 * kPitTicksPerSecond;
  // How often the front end calls Check.
  static constexpr unsigned kCheckPeriodMs = 1'000;

  AudioPower(AudioMixer& mixer, AudioOutput& output, const Clock& clock)
      : mixer_(mixer), output_(output), clock_(clock) {}

  // Start-up: opens the device. Where it opens, the mixer has an output from now on, whether
  // or not the device is open at a later moment ("Digital Audio" can be chosen); where it does
  // not, every recording fails to play, as without this policy, and no opening is tried again.
  bool Start(std::string& error);

  // The front end's timer, every kCheckPeriodMs: closes the device or opens it, as above.
  void Check(bool matchRunning);

  bool PlaySound(int waveId, std::uint32_t flags) override;
  void SpeakerChanged(std::uint64_t ticks, std::uint16_t divisor, bool on) override;

  bool IsOpen() const { return open_; }
  // Times the device was opened again and closed, for tests and statistics.
  unsigned Reopens() const { return reopens_; }
  unsigned Closes() const { return closes_; }

  // Told once, the first time an opening after start-up fails (the game then plays on
  // silently, and tries again now and then). Unset: nothing is said.
  std::function<void(const std::string& error)> onReopenFailed;

 private:
  // Opens the device if it is closed; false when it stays closed.
  bool Wake(std::uint64_t now);

  AudioMixer& mixer_;
  AudioOutput& output_;
  const Clock& clock_;
  bool available_ = false;
  bool open_ = false;
  std::uint64_t lastSound_ = 0;
  bool failed_ = false;
  bool told_ = false;
  std::uint64_t failedAt_ = 0;
  unsigned reopens_ = 0;
  unsigned closes_ = 0;
};

}  // namespace krelmo::platform
