// The registry file store: what it keeps across runs, the files it reads, and how it keeps
// the old file whole when a save fails or is cut short.
#include "platform/registry.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#endif

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

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

TEST(RegistryFile, EveryValueAndAwkwardNameComesBackFromTheFileExactly) {
  TempFolder folder;
  const std::vector<std::pair<std::string, RegValue>> values = {
      {"HSName1", {REG_SZ, Bytes(std::string_view("Player 1\0", 9))}},
      {"HSScore1", {REG_DWORD, {0x40, 0x1F, 0, 0}}},
      {"Quote \"and\" back\\slash", {REG_SZ, Bytes(std::string_view("a\"b\\c\\\0", 8))}},
      // Windows-1252 above 127, including the euro sign and a byte the code page leaves free.
      {"Z\xF6\x80", {REG_SZ, Bytes(std::string_view("Zo\xEB \x80\x81\x9F\xFF\0", 9))}},
      {"No terminator", {REG_SZ, Bytes("Player 12345")}},
      {"Short dword", {REG_DWORD, {1, 2}}},
      {"Binary", {3, {0, 0xFF, 0x10}}},
      {"", {REG_SZ, Bytes(std::string_view("default\0", 8))}},
  };
  Registry written(folder.File("krelmo.reg"));
  ASSERT_EQ(SetValues(written, values), ERROR_SUCCESS) << written.WriteError();
  HKEY empty = 0;
  written.RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Empty Key", 0, "", 0, KEY_ALL_ACCESS,
                          nullptr, &empty, nullptr);
  ASSERT_EQ(written.RegCloseKey(empty), ERROR_SUCCESS);

  const Registry read(folder.File("krelmo.reg"));
  EXPECT_EQ(read.Tree(), written.Tree());
  for (const auto& [name, value] : values) EXPECT_EQ(read.Tree().at(kKey).at(name), value) << name;
  EXPECT_EQ(read.Tree().count("HKEY_LOCAL_MACHINE\\SOFTWARE\\Empty Key"), 1u)
      << "an empty key survives";
  // The file is text a person reads: plain values stay legible.
  const std::string text = ReadAll(folder.File("krelmo.reg"));
  EXPECT_NE(text.find("\"HSName1\"=\"Player 1\"\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\"HSScore1\"=dword:00001f40\r\n"), std::string::npos);
  EXPECT_NE(text.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\By Tenvarre\\Krelmo'99\\v2]"),
            std::string::npos);
}

TEST(RegistryFile, ReadsWhatTheRegistryEditorWrites) {
  // Its own export: UTF-16 with a byte-order mark, strings in hex(1) over continued lines.
  const std::u16string exported =
      u"\uFEFFWindows Registry Editor Version 5.00\r\n\r\n"
      u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\By Tenvarre\\Krelmo'99\\v2]\r\n"
      u"\"HSName1\"=\"Zo\u00EB \u20AC\"\r\n"
      u"\"HSName2\"=hex(1):41,00,\\\r\n  42,00,00,00\r\n"
      u"@=dword:0000000A\r\n";
  const std::string bytes(reinterpret_cast<const char*>(exported.data()), exported.size() * 2);
  const auto tree = ParseRegText(bytes);
  ASSERT_TRUE(tree);
  const RegValues& values = tree->at(kKey);
  EXPECT_EQ(values.at("HSName1").data, Bytes(std::string_view("Zo\xEB \x80\0", 6)));
  EXPECT_EQ(values.at("hsname2").data, Bytes(std::string_view("AB\0", 3)));
  EXPECT_EQ(values.at("").type, REG_DWORD);
  // The older single-byte format, hand-written, with a comment.
  const auto old =
      ParseRegText("REGEDIT4\n; mine\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\A]\n\"N\"=\"x\"\n");
  ASSERT_TRUE(old);
  EXPECT_EQ(old->at("HKEY_LOCAL_MACHINE\\SOFTWARE\\A").at("N").data,
            Bytes(std::string_view("x\0", 2)));
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

}  // namespace
}  // namespace krelmo::platform
