// The audio device's power policy on a hand-driven clock, with a stand-in device and the
// real mixer (the test renders its buffers as the audio thread would while the device is
// open): closed after the idle seconds outside a match and never in one, opened again by the
// next recording or tone, which is then heard from its beginning with nothing old replayed,
// and a device that no longer opens leaves the game playing on silently. And the mixer's rules:
// one voice, where a recording asked not to stop another yields, and the speaker added to it.
#include "platform/audio_power.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/sound_cues.h"
#include "platform/audio_mixer.h"
#include "platform/clock.h"
#include "platform/pc_hardware.h"
#include "resources/waves.h"
#include "tests/support/speaker_ports.h"

namespace krelmo::platform {
namespace {

using engine::Cue;

class FakeOutput final : public AudioOutput {
 public:
  explicit FakeOutput(const AudioMixer& mixer) : mixer_(mixer) {}
  bool Open(std::string& error) override {
    EXPECT_FALSE(open) << "opened twice";
    if (!works) {
      error = "the device has gone";
      return false;
    }
    open = true;
    ++opens;
    return true;
  }
  void Close() override {
    EXPECT_TRUE(open) << "closed twice";
    EXPECT_TRUE(mixer_.Idle()) << "closed with something left to play";
    open = false;
    ++closes;
  }

  bool works = true;
  bool open = false;
  int opens = 0;
  int closes = 0;

 private:
  const AudioMixer& mixer_;
};

constexpr std::uint64_t Ticks(std::uint64_t ms) {
  return ms * kPitTicksPerSecond / 1'000;
}
constexpr std::uint64_t kBufferTicks =
    kPitTicksPerSecond * AudioMixer::kBufferSamples / AudioMixer::kSampleRate;
constexpr std::uint64_t kIdleMs = AudioPower::kIdleTicks * 1'000 / kPitTicksPerSecond;
constexpr std::uint64_t kRetryMs = AudioPower::kRetryTicks * 1'000 / kPitTicksPerSecond;
constexpr int kStartupChime = 123;

class Power : public ::testing::Test {
 protected:
  Power() {
    clock.Set(1'000 * kPitTicksPerSecond);
    std::string error;
    EXPECT_TRUE(power.Start(error)) << error;
    pc.SetSpeakerSink(&power);
    power.onReopenFailed = [this](const std::string& error) { told.push_back(error); };
    nextCheck = clock.Ticks() + Ticks(AudioPower::kCheckPeriodMs);
    nextBuffer = clock.Ticks() + kBufferTicks;
  }

  // Time passes: while the device is open it renders a buffer every 11.6 ms, as it is due,
  // and the front end's timer checks once a second. What the device played comes back.
  std::vector<std::int16_t> Run(std::uint64_t ms) {
    std::vector<std::int16_t> heard;
    const std::uint64_t end = clock.Ticks() + Ticks(ms);
    while (clock.Ticks() < end) {
      clock.Set(std::min({nextBuffer, nextCheck, end}));
      if (clock.Ticks() == nextBuffer) {
        nextBuffer += kBufferTicks;
        if (output.open) {
          std::vector<std::int16_t> out(AudioMixer::kBufferSamples);
          mixer.Render(out, clock.Ticks());
          heard.insert(heard.end(), out.begin(), out.end());
        }
      }
      if (clock.Ticks() == nextCheck) {
        nextCheck += Ticks(AudioPower::kCheckPeriodMs);
        power.Check(matchRunning);
      }
    }
    return heard;
  }
  // The device's next `n` samples at once (it must be open).
  std::vector<std::int16_t> Render(std::size_t n) {
    EXPECT_TRUE(output.open);
    std::vector<std::int16_t> out(n);
    mixer.Render(out, clock.Ticks());
    return out;
  }
  bool Play(Cue cue) { return power.PlaySound(SoundOf(cue).waveId, SoundOf(cue).flags); }
  static std::span<const std::uint8_t> Samples(Cue cue) {
    return WaveSamples(resources::WaveResource(SoundOf(cue).waveId));
  }
  // What the cue's recording sounds like from its sample `from`, for `n` samples.
  static std::vector<std::int16_t> Heard(Cue cue, std::size_t from, std::size_t n) {
    std::vector<std::int16_t> out;
    for (auto s : Samples(cue).subspan(from, n))
      out.push_back(static_cast<std::int16_t>((s - 128) * AudioMixer::kWaveGain));
    return out;
  }
  // The game's click: 700 Hz, gate open, 2 ms, gate shut.
  void Click() {
    testing::StartTone(pc);
    clock.Advance(Ticks(2));
    testing::SetSpeakerGate(pc, 0);
  }

  ManualClock clock;
  AudioMixer mixer{resources::WaveResource, clock};
  FakeOutput output{mixer};
  AudioPower power{mixer, output, clock};
  PcHardware pc{clock};
  bool matchRunning = false;
  std::uint64_t nextCheck = 0;
  std::uint64_t nextBuffer = 0;
  std::vector<std::string> told;
};

TEST_F(Power, ClosesTheIdleSecondsAfterWhatPlaysHasEndedOutsideAMatchAndNeverInOne) {
  ASSERT_TRUE(output.open);
  // Start-up's chime, then nothing: open for the idle seconds after it, closed within the
  // next check, and opened by nothing while nothing plays.
  ASSERT_TRUE(power.PlaySound(kStartupChime, engine::kCutOffFlags));
  Run(kIdleMs - 100);
  EXPECT_TRUE(output.open);
  Run(1'100);
  EXPECT_FALSE(output.open);
  Run(60'000);
  EXPECT_EQ(output.opens, 1);

  // A match opens it at the next check, and it stays open however long nothing sounds
  // (waiting for a serve, paused). The match ends: the idle seconds run from then.
  matchRunning = true;
  Run(1'000);
  EXPECT_TRUE(output.open);
  Run(120'000);
  EXPECT_EQ(output.closes, 1);
  matchRunning = false;
  Run(kIdleMs - 1'000);
  EXPECT_TRUE(output.open);
  Run(2'000);
  EXPECT_FALSE(output.open);

  // They run from the end of what plays: the miss lasts 1.15 s, and the speaker's tone is
  // held with its gate open for 8 s.
  ASSERT_TRUE(Play(Cue::kMiss));
  Run(kIdleMs + 800);
  EXPECT_TRUE(output.open) << "the idle time has not passed since a check found it playing";
  Run(1'500);
  EXPECT_FALSE(output.open);
  testing::StartTone(pc);
  EXPECT_TRUE(output.open) << "the tone opened it";
  Run(8'000);
  EXPECT_TRUE(output.open) << "a tone sounding is not silence";
  testing::SetSpeakerGate(pc, 0);
  Run(kIdleMs - 500);
  EXPECT_TRUE(output.open);
  Run(1'500);
  EXPECT_FALSE(output.open);
}

TEST_F(Power, ARecordingOpensTheDeviceAndIsHeardFromItsBeginning) {
  Run(7'000);
  ASSERT_FALSE(output.open);
  // A bounce yields to a recording still playing: none is, after a close.
  EXPECT_TRUE(Play(Cue::kWallOrPaddle));
  EXPECT_EQ(Render(200), Heard(Cue::kWallOrPaddle, 0, 200));
  Run(7'000);
  ASSERT_FALSE(output.open);

  // Started just as the device would close: it stays open, and the recording plays whole.
  ASSERT_TRUE(Play(Cue::kWallOrPaddle));
  Run(kIdleMs - 1);
  ASSERT_TRUE(output.open);
  ASSERT_TRUE(Play(Cue::kExtraBall));  // the check 1 ms from now would close it
  auto heard = Run(1'001);
  const auto whole = Heard(Cue::kExtraBall, 0, 10'000);
  heard.resize(whole.size());
  EXPECT_EQ(heard, whole);
}

TEST_F(Power, AClickAfterALongSilenceSoundsAtItsLengthAndPitchWithNothingOldReplayed) {
  Click();
  Run(6'000);
  ASSERT_FALSE(output.open);
  // The gate shut again and again, counter 2 reprogrammed and counting with its output kept
  // off the speaker: no sound, and no reason to open.
  for (int i = 0; i < 5; ++i) {
    testing::SetSpeakerGate(pc, 0), testing::LoadCounter2(pc, testing::k700HzDivisor);
    testing::SetSpeakerGate(pc, 0x01);
    Run(1'000);
  }
  testing::SetSpeakerGate(pc, 0);
  EXPECT_EQ(output.opens, 1);

  Run(60'000);
  Click();
  const auto out = Render(1'024);
  const auto sounding = [](auto s) { return s != 0; };
  const auto on = std::find_if(out.begin(), out.end(), sounding);
  EXPECT_LE(on - out.begin(), AudioMixer::kSpeakerDelaySamples) << "not late";
  EXPECT_EQ(std::count_if(out.begin(), out.end(), sounding), AudioMixer::kSampleRate * 2 / 1'000)
      << "one click of 2 ms, nothing else";
  // A square wave from the start of its period, though the last click was shut mid-period:
  // half a 700 Hz period (15.75 samples) high, then low.
  EXPECT_EQ(std::find_if(on, out.end(), [](auto s) { return s < 0; }) - on, 16);
}

TEST_F(Power, ADeviceThatNoLongerOpensLeavesTheGamePlayingOnSilently) {
  Run(6'000);
  ASSERT_FALSE(output.open);
  output.works = false;
  EXPECT_FALSE(Play(Cue::kWallOrPaddle));
  Click();
  matchRunning = true;
  Run(kRetryMs + 1'000);  // one more try has failed
  EXPECT_FALSE(output.open);
  EXPECT_EQ(told, std::vector<std::string>{"the device has gone"}) << "said once";
  // Tried again now and then, not at every cue; when it opens again, all is heard as ever.
  output.works = true;
  EXPECT_FALSE(Play(Cue::kWallOrPaddle)) << "too soon after the failure";
  Run(kRetryMs);
  EXPECT_TRUE(output.open) << "the match's check opened it";
  EXPECT_EQ(told.size(), 1u);
  EXPECT_TRUE(Play(Cue::kRedBrick)) << "no dropped recording is waited for";
  EXPECT_EQ(Render(100), Heard(Cue::kRedBrick, 0, 100));
}

TEST_F(Power, NoStopYieldsToAPlayingRecordingAndTheOthersCutItOff) {
  // A brick during the miss is dropped, and the miss plays on.
  ASSERT_TRUE(Play(Cue::kMiss));
  EXPECT_EQ(Render(100), Heard(Cue::kMiss, 0, 100));
  EXPECT_FALSE(Play(Cue::kRedBrick));
  EXPECT_EQ(Render(100), Heard(Cue::kMiss, 100, 100));
  Render(Samples(Cue::kMiss).size());  // to its end: now a brick plays
  EXPECT_TRUE(Play(Cue::kRedBrick));
  EXPECT_EQ(Render(50), Heard(Cue::kRedBrick, 0, 50));
  // A miss cuts the brick off.
  EXPECT_TRUE(Play(Cue::kMiss));
  EXPECT_EQ(Render(50), Heard(Cue::kMiss, 0, 50));
  // A wall bonus across a mark: the cleared wall, at once cut off by the extra ball.
  EXPECT_TRUE(Play(Cue::kWallCleared));
  EXPECT_TRUE(Play(Cue::kExtraBall));
  EXPECT_EQ(Render(300), Heard(Cue::kExtraBall, 0, 300));
  EXPECT_FALSE(power.PlaySound(126, engine::kCutOffFlags)) << "no such recording";
}

std::span<const std::uint8_t> LoudestWave(int) {
  static const auto file = [] {
    std::vector<std::uint8_t> f = {'R', 'I', 'F',  'F',  0,   0,   0,    0,    'W', 'A', 'V',
                                   'E', 'f', 'm',  't',  ' ', 16,  0,    0,    0,   1,   0,
                                   1,   0,   0x22, 0x56, 0,   0,   0x22, 0x56, 0,   0,   1,
                                   0,   8,   0,    'd',  'a', 't', 'a',  0,    4,   0,   0};
    f.resize(f.size() + 1'024, 255);
    return f;
  }();
  return file;
}

TEST(SpeakerVoice, AddsToTheRecordingWithoutWrapping) {
  ManualClock clock;
  PcHardware pc{clock};
  AudioMixer loud{LoudestWave, clock};
  loud.SetOutputOpen(true);
  pc.SetSpeakerSink(&loud);
  testing::StartTone(pc);
  ASSERT_TRUE(loud.PlaySound(1, engine::kCutOffFlags));
  std::vector<std::int16_t> out(1'024);
  loud.Render(out, clock.Ticks());
  const int loudest = 127 * AudioMixer::kWaveGain;
  // Speaker high (held at the limit) and speaker low.
  const int expectedMix[] = {32'767, loudest - AudioMixer::kSpeakerAmplitude};
  EXPECT_EQ(out[0], loudest) << "the recording alone until the speaker's delay has passed";
  EXPECT_EQ(std::count(out.begin(), out.end(), expectedMix[0]) +
                std::count(out.begin(), out.end(), expectedMix[1]),
            1'024 - AudioMixer::kSpeakerDelaySamples);
}

TEST(PowerWithoutADevice, NothingEverOpensAndNothingPlays) {
  ManualClock clock;
  AudioMixer mixer{resources::WaveResource, clock};
  FakeOutput output{mixer};
  output.works = false;
  AudioPower power{mixer, output, clock};
  std::string error;
  EXPECT_FALSE(power.Start(error));
  output.works = true;
  EXPECT_FALSE(power.PlaySound(kStartupChime, engine::kCutOffFlags))
      << "which is how start-up greys Digital Audio";
  power.Check(true);
  power.SpeakerChanged(0, 1'000, true);
  EXPECT_EQ(output.opens, 0);
}

}  // namespace
}  // namespace krelmo::platform
