// The registry file store: what it keeps across runs, the files it reads, and how it keeps
// the old file whole when a save fails or is cut short.
#include "platform/registry.h"

#include <gtest/gtest.h>
#ifdef _WIN32
#include <process.h>
#else
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

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
      {"Negative", {REG_DWORD, {0xFB, 0xFF, 0xFF, 0xFF}}},
      {"Quote \"and\" back\\slash", {REG_SZ, Bytes(std::string_view("a\"b\\c\\\0", 8))}},
      // Windows-1252 above 127, including the euro sign and a byte the code page leaves free.
      {"Z\xF6\x80", {REG_SZ, Bytes(std::string_view("Zo\xEB \x80\x81\x9F\xFF\0", 9))}},
      {"Line break", {REG_SZ, Bytes(std::string_view("two\r\nlines\0", 11))}},
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
  ASSERT_EQ(read.Tree().count(kKey), 1u);
  for (const auto& [name, value] : values) {
    ASSERT_EQ(read.Tree().at(kKey).count(name), 1u) << name;
    EXPECT_EQ(read.Tree().at(kKey).at(name), value) << name;
  }
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

TEST(RegistryModel, CreateTellsCreatedFromOpenedAndOpenNeverCreates) {
  TempFolder folder;
  Registry registry(folder.File("krelmo.reg"));
  HKEY key = 0;
  std::uint32_t disposition = 0;
  EXPECT_EQ(
      registry.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\By Tenvarre", 0, KEY_ALL_ACCESS, &key),
      ERROR_FILE_NOT_FOUND);
  ASSERT_EQ(SetValues(registry, {}), ERROR_SUCCESS);
  EXPECT_EQ(
      registry.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "software\\by tenvarre", 0, KEY_ALL_ACCESS, &key),
      ERROR_SUCCESS)
      << "the keys above a created key exist, whatever the case of their names";
  registry.RegCloseKey(key);

  Registry again(folder.File("krelmo.reg"));
  again.RegCreateKeyExA(HKEY_LOCAL_MACHINE, std::string("SOFTWARE\\By Tenvarre\\Krelmo'99\\v2"), 0,
                        "", 0, KEY_ALL_ACCESS, nullptr, &key, &disposition);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
  again.RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Other", 0, "", 0, KEY_ALL_ACCESS, nullptr,
                        &key, &disposition);
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
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

  // A folder that cannot be made (a file stands in its place), and a file that cannot be
  // replaced (a folder stands in its place).
  WriteAll(folder.File("file"), "x");
  Registry nowhere(folder.File("file") + "/krelmo.reg");
  EXPECT_NE(SetValues(nowhere, {}), ERROR_SUCCESS);
  Registry taken(folder.File("taken.reg"));
  fs::create_directories(folder.path / "taken.reg" / "x");
  EXPECT_NE(SetValues(taken, {}), ERROR_SUCCESS);
#ifdef _WIN32
  // Windows words its reasons otherwise: each names what stood in the way.
  EXPECT_EQ(nowhere.WriteError().rfind(folder.File("file") + ": ", 0), 0u) << nowhere.WriteError();
  EXPECT_EQ(taken.WriteError().rfind(folder.File("taken.reg") + ": ", 0), 0u) << taken.WriteError();
#else
  EXPECT_NE(nowhere.WriteError().find("Not a directory"), std::string::npos)
      << nowhere.WriteError();
  EXPECT_NE(taken.WriteError().find("directory"), std::string::npos) << taken.WriteError();
#endif
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.path), fs::directory_iterator()), 3)
      << "no temporary file is left behind";
}

const RegValue kFirst{REG_SZ, Bytes(std::string(3000, 'a') + '\0')};
const RegValue kSecond{REG_SZ, Bytes(std::string(5000, 'b') + '\0')};

[[noreturn]] void SaveUntilKilled(const std::string& path) {
  Registry registry(path);
  for (int i = 0;; ++i) SetValues(registry, {{"HSName1", i % 2 ? kSecond : kFirst}});
}

// A process saving the file over and over until it is killed: a fork() of this one. On
// Windows it is this test program started again, which saves before any test when
// KRELMO_SAVE_UNTIL_KILLED names the file, and ends itself abruptly, from another thread, a
// given time after it starts.
#ifdef _WIN32
const bool kSavingProcess = [] {
  const char* path = std::getenv("KRELMO_SAVE_UNTIL_KILLED");
  if (!path) return false;
  const int milliseconds = std::atoi(std::getenv("KRELMO_SAVE_MILLISECONDS"));
  std::thread([milliseconds] {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    std::_Exit(9);
  }).detach();
  SaveUntilKilled(path);
}();

struct SavingProcess {
  SavingProcess(const std::string& path, int milliseconds) {
    const std::string self = (*__p___argv())[0];  // argv[0]: this program
    _putenv_s("KRELMO_SAVE_UNTIL_KILLED", path.c_str());
    _putenv_s("KRELMO_SAVE_MILLISECONDS", std::to_string(milliseconds).c_str());
    process = _spawnl(_P_NOWAIT, self.c_str(), ("\"" + self + "\"").c_str(), nullptr);
    _putenv_s("KRELMO_SAVE_UNTIL_KILLED", "");
    started = process != -1;
  }
  void End() {  // it ends itself
    int status = 0;
    _cwait(&status, process, 0);
  }
  intptr_t process = -1;
  bool started = false;
};
#else
struct SavingProcess {
  SavingProcess(const std::string& path, int milliseconds) : child(fork()), started(child >= 0) {
    if (child == 0) SaveUntilKilled(path);
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
  void End() {
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
  }
  pid_t child;
  bool started;
};
#endif

TEST(RegistryFile, AProcessKilledInTheMiddleOfSavesLeavesAWholeFile) {
  TempFolder folder;
  const std::string path = folder.File("krelmo.reg");
  Registry before(path);
  ASSERT_EQ(SetValues(before, {{"HSName1", kFirst}}), ERROR_SUCCESS);
  for (int round = 0; round < 12; ++round) {
    SavingProcess saving(path, 5 + 7 * round);
    ASSERT_TRUE(saving.started);
    saving.End();
    const auto tree = ParseRegText(ReadAll(path));
    ASSERT_TRUE(tree) << "round " << round;
    const RegValue& name = tree->at(kKey).at("HSName1");
    EXPECT_TRUE(name == kFirst || name == kSecond) << "round " << round;
  }
  Registry next(path);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.path), fs::directory_iterator()), 1)
      << "the next start clears what the killed saves left behind";
}

}  // namespace
}  // namespace krelmo::platform
