// The one-voice play rules, and the mixer rendering the speaker's square wave and the
// recordings into one stream.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/audio_mixer.h"
#include "resources/waves.h"

namespace krelmo::platform {
namespace {

class Mixer : public ::testing::Test {
 protected:
  Mixer() { mixer.SetOutputOpen(true); }
  std::vector<std::int16_t> Render(std::size_t n) {
    std::vector<std::int16_t> out(n);
    mixer.Render(out, clock.Ticks());
    return out;
  }
  // What recording `id` sounds like from its sample `from`, for `n` samples.
  static std::vector<std::int16_t> Heard(int id, std::size_t from, std::size_t n) {
    const auto samples = WaveSamples(resources::WaveResource(id)).subspan(from, n);
    std::vector<std::int16_t> out;
    for (auto s : samples) out.push_back(static_cast<std::int16_t>((s - 128) * 256));
    return out;
  }

  ManualClock clock;
  AudioMixer mixer{resources::WaveResource, clock};
  PcHardware pc{clock};
};

using OneVoice = Mixer;
using SpeakerVoice = Mixer;

TEST_F(OneVoice, NoStopYieldsToAPlayingRecordingAndTheOthersCutItOff) {
  constexpr std::uint32_t kCutOff = 0x40005, kYield = 0x40015;
  // A brick during the miss is dropped, and the miss plays on.
  ASSERT_TRUE(mixer.PlaySound(132, kCutOff));
  EXPECT_EQ(Render(100), Heard(132, 0, 100));
  EXPECT_FALSE(mixer.PlaySound(128, kYield));
  EXPECT_EQ(Render(100), Heard(132, 100, 100));
  Render(25'203);  // to its end: now a brick plays
  EXPECT_TRUE(mixer.PlaySound(128, kYield));
  EXPECT_EQ(Render(50), Heard(128, 0, 50));
  // A miss cuts the brick off.
  EXPECT_TRUE(mixer.PlaySound(132, kCutOff));
  EXPECT_EQ(Render(50), Heard(132, 0, 50));
  // A wall bonus across a mark: the cleared wall, at once cut off by the extra ball.
  EXPECT_TRUE(mixer.PlaySound(133, kCutOff));
  EXPECT_TRUE(mixer.PlaySound(135, kCutOff));
  EXPECT_EQ(Render(300), Heard(135, 0, 300));
  // With no audio device nothing plays, which is how start-up greys "Digital Audio".
  AudioMixer silent{resources::WaveResource, clock};
  EXPECT_FALSE(silent.PlaySound(123, kCutOff));
  EXPECT_FALSE(mixer.PlaySound(126, kCutOff));
}

TEST_F(SpeakerVoice, AClickOf2MsAt700HzIsHeardAtItsTrueLengthAndPitch) {
  pc.SetSpeakerSink(&mixer);
  // As the game programs it: 700 Hz, gate open, one step of 2 ms, gate shut.
  const auto click = [&] {
    for (auto [port, value] : {std::pair{0x43, 0xB6}, {0x42, 0xA8}, {0x42, 0x06}, {0x61, 0x03}}) {
      pc.Outp(static_cast<std::uint16_t>(port), static_cast<std::uint8_t>(value));
    }
    clock.Advance(2'386);
    pc.Outp(0x61, 0x00);
    const auto out = Render(1'024);
    const auto first = std::find_if(out.begin(), out.end(), [](auto s) { return s != 0; });
    const auto last = std::find_if(out.rbegin(), out.rend(), [](auto s) { return s != 0; });
    ASSERT_NE(first, out.end());
    EXPECT_EQ(out.rend() - last - (first - out.begin()), 44) << "2 ms at 22,050 per second";
    EXPECT_LE(first - out.begin(), AudioMixer::kSpeakerDelaySamples);
    // A square wave from the start of its period: half a 700 Hz period (15.75 samples) high,
    // then low.
    const auto fall = std::find_if(first, out.end(), [](auto s) { return s < 0; });
    EXPECT_EQ(fall - first, 16);
    EXPECT_TRUE(std::all_of(first, first + 44, [](auto s) { return std::abs(s) == 3'000; }));
  };
  click();

  // A held tone keeps its pitch: 700 cycles in a second.
  pc.Outp(0x61, 0x03);
  auto second = Render(22'050 + 512);
  int rises = 0;
  for (std::size_t i = 512; i < second.size(); ++i) rises += second[i - 1] < 0 && second[i] > 0;
  EXPECT_NEAR(rises, 700, 1);
  // Shut mid-period, the next click starts its period afresh.
  pc.Outp(0x61, 0x00);
  Render(1'024);
  click();

  // Counter 2 reprogrammed with the gate never opened, and counting with its output kept off
  // the speaker (bit 1 clear): not a sample of sound.
  pc.Outp(0x61, 0x00);
  Render(1'024);
  pc.Outp(0x43, 0xB6), pc.Outp(0x42, 0x3C), pc.Outp(0x42, 0x04);
  clock.Advance(2'500);
  pc.Outp(0x61, 0x01);
  clock.Advance(2'500);
  const auto quiet = Render(1'024);
  EXPECT_TRUE(std::all_of(quiet.begin(), quiet.end(), [](auto s) { return s == 0; }));
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

TEST_F(SpeakerVoice, AddsToTheRecordingWithoutWrapping) {
  AudioMixer loud{LoudestWave, clock};
  loud.SetOutputOpen(true);
  pc.SetSpeakerSink(&loud);
  pc.Outp(0x43, 0xB6), pc.Outp(0x42, 0xA8), pc.Outp(0x42, 0x06), pc.Outp(0x61, 0x03);
  ASSERT_TRUE(loud.PlaySound(1, 0x40005));
  std::vector<std::int16_t> out(1'024);
  loud.Render(out, clock.Ticks());
  const int expectedMix[] = {32'767, 32'512 - 3'000};  // speaker high (held), speaker low
  EXPECT_EQ(out[0], 32'512) << "the recording alone until the speaker's delay has passed";
  EXPECT_EQ(std::count(out.begin(), out.end(), expectedMix[0]) +
                std::count(out.begin(), out.end(), expectedMix[1]),
            1'024 - AudioMixer::kSpeakerDelaySamples);
}

}  // namespace
}  // namespace krelmo::platform
