// The registry file store: what it keeps across runs, the files it reads, and how it keeps
// the old file whole when a save fails or is cut short; and the sound: the one-voice play
// rules, and the mixer rendering the speaker's square wave and the recordings into one stream.
#include "platform/registry.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#endif

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <vector>

#include "platform/audio_mixer.h"
#include "resources/waves.h"

namespace krelmo::platform {
namespace {

namespace fs = std::filesystem;

const std::string kKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\By Tenvarre\\Krelmo'99\\v2";

struct TempFolder {
  TempFolder() {
    std::random_device random;
    do {
      path = fs::temp_directory_path() / ("krelmo-registry-" + std::to_string(random()));
    } while (!fs::create_directory(path));
  }
  ~TempFolder() { fs::remove_all(path); }
  std::string File(std::string_view name) const { return (path / name).string(); }
  fs::path path;
};

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteAll(const std::string& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

// Creates the game's key, sets the values given, and closes it (which saves).
LONG SetValues(Registry& registry, const std::vector<std::pair<std::string, RegValue>>& values) {
  HKEY software = 0, key = 0;
  registry.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_ALL_ACCESS, &software);
  std::uint32_t disposition = 0;
  registry.RegCreateKeyExA(software, "By Tenvarre\\Krelmo'99\\v2", 0, "", 0, KEY_ALL_ACCESS,
                           nullptr, &key, &disposition);
  for (const auto& [name, value] : values) {
    registry.RegSetValueExA(key, name, 0, value.type, value.data.data(),
                            static_cast<std::uint32_t>(value.data.size()));
  }
  registry.RegCloseKey(software);
  return registry.RegCloseKey(key);
}

TEST(RegistryFile, EveryValueComesBackFromTheFileAndAnExportedFileIsRead) {
  TempFolder folder;
  const std::vector<std::pair<std::string, RegValue>> values = {
      {"HSScore1", {REG_DWORD, {0x40, 0x1F, 0, 0}}},
      {"Quote \"and\" back\\slash", {REG_SZ, Bytes(std::string_view("a\"b\\c\\\0", 8))}},
      // Windows-1252 above 127, including the euro sign and a byte the code page leaves free.
      {"Z\xF6\x80", {REG_SZ, Bytes(std::string_view("Zo\xEB \x80\x81\x9F\xFF\0", 9))}},
      {"No terminator", {REG_SZ, Bytes("Player 12345")}},
      {"", {3, {0, 0xFF, 0x10}}},
  };
  Registry written(folder.File("krelmo.reg"));
  ASSERT_EQ(SetValues(written, values), ERROR_SUCCESS) << written.WriteError();
  EXPECT_EQ(Registry(folder.File("krelmo.reg")).Tree(), written.Tree());
  EXPECT_NE(ReadAll(folder.File("krelmo.reg")).find("\"HSScore1\"=dword:00001f40\r\n"),
            std::string::npos)
      << "plain values stay legible";
  // The registry editor's own export: UTF-16 with a byte-order mark, hex(1) over two lines.
  const std::u16string exported =
      u"\uFEFFWindows Registry Editor Version 5.00\r\n\r\n"
      u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\By Tenvarre\\Krelmo'99\\v2]\r\n"
      u"\"HSName1\"=\"Zo\u00EB \u20AC\"\r\n"
      u"\"HSName2\"=hex(1):41,00,\\\r\n  42,00,00,00\r\n";
  const auto tree = ParseRegText(
      std::string(reinterpret_cast<const char*>(exported.data()), exported.size() * 2));
  ASSERT_TRUE(tree);
  EXPECT_EQ(tree->at(kKey).at("HSName1").data, Bytes(std::string_view("Zo\xEB \x80\0", 6)));
  EXPECT_EQ(tree->at(kKey).at("hsname2").data, Bytes(std::string_view("AB\0", 3)));
}

TEST(RegistryFile, ADamagedFileIsMovedAsideNeverOverwrittenAndReadsAsAFirstRun) {
  TempFolder folder;
  const std::string path = folder.File("krelmo.reg");
  Registry good(path);
  SetValues(good, {{"HSName1", {REG_SZ, Bytes(std::string_view("Ann\0", 4))}}});
  const std::string whole = ReadAll(path);
  // A file cut short inside a string, and one that is no registry file at all.
  const std::string damaged[] = {whole.substr(0, whole.find("Ann") + 2), "not a registry file"};
  for (std::size_t i = 0; i < std::size(damaged); ++i) {
    WriteAll(path, damaged[i]);
    ::testing::internal::CaptureStderr();
    Registry registry(path);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(registry.Tree().empty()) << "a first run";
    EXPECT_FALSE(fs::exists(path));
    const std::string aside = path + ".damaged-" + std::to_string(i + 1);
    EXPECT_EQ(ReadAll(aside), damaged[i]) << "kept under a name of its own";
    EXPECT_NE(said.find(aside), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
  }
}

#ifndef _WIN32
// Sets the soft limit on file sizes for as long as it lives: writes beyond it fail as on a
// full disk.
struct FileSizeLimit {
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, SIG_DFL);
  }
  rlimit saved{};
};
#endif

TEST(RegistryFile, AFailedSaveLeavesTheOldFileWholeSaysWhyAndTriesAgainLater) {
  TempFolder folder;
  const std::string path = folder.File("krelmo.reg");
  Registry registry(path);
  ASSERT_EQ(SetValues(registry, {{"HSName1", {REG_SZ, Bytes(std::string_view("Ann\0", 4))}}}),
            ERROR_SUCCESS);
#ifndef _WIN32  // the full disk is a limit on file sizes, which Windows does not have
  const std::string old = ReadAll(path);
  const std::string longName(400, 'x');
  {
    FileSizeLimit full(old.size() + 10);
    EXPECT_NE(SetValues(registry, {{longName, {REG_SZ, Bytes(std::string_view("B\0", 2))}}}),
              ERROR_SUCCESS);
  }
  EXPECT_EQ(ReadAll(path), old);
  EXPECT_NE(registry.WriteError().find("too large"), std::string::npos) << registry.WriteError();
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.path), fs::directory_iterator()), 1)
      << "no temporary file is left behind";
  // With room again, the next save writes what the failed one could not.
  HKEY key = 0;
  registry.RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey.substr(19), 0, KEY_ALL_ACCESS, &key);
  EXPECT_EQ(registry.RegFlushKey(key), ERROR_SUCCESS);
  EXPECT_EQ(Registry(path).Tree().at(kKey).count(longName), 1u);
#endif

  // A file that cannot be replaced: a folder stands in its place.
  Registry taken(folder.File("taken.reg"));
  fs::create_directories(folder.path / "taken.reg" / "x");
  EXPECT_NE(SetValues(taken, {}), ERROR_SUCCESS);
  // The reason names what stood in the way (Windows words the rest otherwise).
  EXPECT_EQ(taken.WriteError().rfind(folder.File("taken.reg") + ": ", 0), 0u) << taken.WriteError();
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.path), fs::directory_iterator()), 2)
      << "no temporary file is left behind";
}

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
  click();  // the first was shut mid-period: the next starts its period afresh

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
