// The settings store on the system's registry, run under Wine: the game's values in and out of
// a key of the test's own, text kept as Unicode, refused writes told, and a machine-wide store
// adopted once.
#include "frontend/win32/system_registry.h"

#include <gtest/gtest.h>

#include <string>

#include "frontend/win32/win32.h"
#include "records/records.h"
#include "records/registry_values.h"

namespace {

using namespace krelmo;
namespace p = krelmo::platform;

// The system's own machine hive (its name means the game's root in this front end).
const HKEY kMachine = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000002));

// A key of this run's own below the user's hive, standing for the game's root; gone after.
class SystemRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = L"Software\\KrelmoTests\\" + std::to_wstring(::GetCurrentProcessId());
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, p::KEY_ALL_ACCESS,
                                nullptr, &root_, nullptr),
              p::ERROR_SUCCESS);
  }
  void TearDown() override {
    ::RegCloseKey(root_);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
  }
  // The game's key, created as the records create it.
  p::HKEY GameKey(win32::SystemRegistry& store) {
    p::HKEY key = 0;
    std::uint32_t disposition = 0;
    EXPECT_EQ(store.RegCreateKeyExA(p::HKEY_LOCAL_MACHINE, records::kGameKey, 0, "", 0,
                                    p::KEY_ALL_ACCESS, nullptr, &key, &disposition),
              p::ERROR_SUCCESS);
    return key;
  }
  std::wstring path_;
  HKEY root_ = nullptr;
};

TEST_F(SystemRegistryTest, SettingsAndTablesComeBackAsWrittenWithNamesInUnicode) {
  {
    win32::SystemRegistry store(root_, "root");
    const p::HKEY key = GameKey(store);
    engine::Settings settings;
    settings.numPlayers = 2;
    settings.gameVariant = engine::Variant::kVarnak;
    settings.useMouse = false;
    records::WriteSettings(store, key, settings);
    records::HighScoreTable table;
    for (int r = 0; r < records::kTableRows; ++r)
      table[r] = {9000 - 1000 * r, "Rank" + std::to_string(r)};
    table[0].name = "Ren\xE9\x80";  // "René€" in the game's code page
    ASSERT_TRUE(records::WriteHighScoreTable(store, key, engine::Variant::kVarnak, table));
    EXPECT_EQ(store.RegCloseKey(key), p::ERROR_SUCCESS);
  }
  // A new store, as the next start reads it.
  win32::SystemRegistry store(root_, "root");
  p::HKEY key = 0;
  ASSERT_EQ(
      store.RegOpenKeyExA(p::HKEY_LOCAL_MACHINE, records::kGameKey, 0, p::KEY_ALL_ACCESS, &key),
      p::ERROR_SUCCESS);
  EXPECT_EQ(records::ReadDword(store, key, "NumPlayers", 7), 2u);
  EXPECT_EQ(records::ReadDword(store, key, "DefaultGame", 7), 1u);
  EXPECT_EQ(records::ReadDword(store, key, "UseMouse", 7), 0u);
  const records::HighScoreTable table =
      records::ReadHighScoreTable(store, engine::Variant::kVarnak);
  EXPECT_EQ(table[0].name, "Ren\xE9\x80");
  EXPECT_EQ(table[0].score, 9000);
  EXPECT_EQ(table[4].name, "Rank4");
  EXPECT_EQ(table[4].score, 5000);

  // Other programs read the name as the player typed it.
  HKEY game = nullptr;
  ASSERT_EQ(::RegOpenKeyExW(root_, L"SOFTWARE\\By Tenvarre\\Krelmo'99\\v2", 0, KEY_READ, &game),
            p::ERROR_SUCCESS);
  wchar_t name[16] = {};
  DWORD type = 0, bytes = sizeof name;
  const std::wstring value = L"HSName" + std::to_wstring(5 * 1 + 1);
  ASSERT_EQ(::RegQueryValueExW(game, value.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(name),
                               &bytes),
            p::ERROR_SUCCESS);
  ::RegCloseKey(game);
  EXPECT_EQ(type, p::REG_SZ);
  EXPECT_EQ(std::wstring(name), L"Ren\u00E9\u20AC");
}

TEST_F(SystemRegistryTest, QueriesTellTheSizeAndRefuseABufferTooSmall) {
  win32::SystemRegistry store(root_, "root");
  const p::HKEY key = GameKey(store);
  ASSERT_EQ(records::WriteName(store, key, "HSName1", "\x80\x80\x80"), p::ERROR_SUCCESS);
  std::uint32_t type = 0, size = 0;
  // The game's single-byte text with its terminator: 4 bytes, not the 8 kept in Unicode.
  ASSERT_EQ(store.RegQueryValueExA(key, "HSName1", nullptr, &type, nullptr, &size),
            p::ERROR_SUCCESS);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(type, p::REG_SZ);
  std::uint8_t small[2] = {0xAA, 0xAA};
  size = sizeof small;
  EXPECT_EQ(store.RegQueryValueExA(key, "HSName1", nullptr, &type, small, &size),
            p::ERROR_MORE_DATA);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(small[0], 0xAA) << "a buffer too small gets nothing";
  EXPECT_EQ(records::ReadName(store, key, "HSName1"), "\x80\x80\x80");
  EXPECT_EQ(records::ReadDword(store, key, "Missing", 42), 42u);
  store.RegCloseKey(key);
}

TEST_F(SystemRegistryTest, ARefusedWriteFailsTheCloseAndNamesTheKey) {
  win32::SystemRegistry store(root_, "HKEY_CURRENT_USER");
  store.RegCloseKey(GameKey(store));
  p::HKEY key = 0;
  // A key the user may only read: its settings still read, its writes are refused.
  ASSERT_EQ(store.RegOpenKeyExA(p::HKEY_LOCAL_MACHINE, records::kGameKey, 0, KEY_READ, &key),
            p::ERROR_SUCCESS);
  EXPECT_NE(records::WriteDword(store, key, "NumPlayers", 3), p::ERROR_SUCCESS);
  EXPECT_NE(store.WriteError().find("HKEY_CURRENT_USER\\SOFTWARE\\By Tenvarre"), std::string::npos)
      << store.WriteError();
  // Later writes that succeed do not hide it: the close still says the save failed.
  EXPECT_NE(store.RegFlushKey(key), p::ERROR_SUCCESS);
  EXPECT_NE(store.RegCloseKey(key), p::ERROR_SUCCESS);
  EXPECT_EQ(store.RegCloseKey(key), p::ERROR_INVALID_HANDLE) << "closed once";
}

TEST_F(SystemRegistryTest, AMachineStoreIsAdoptedOnlyWhileTheUserHasNone) {
  // Wine lets a test write the machine's hive, as an administrator could.
  const std::wstring key = L"SOFTWARE\\KrelmoTests" + std::to_wstring(::GetCurrentProcessId());
  const std::string gameKey(key.begin(), key.end());
  HKEY machine = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(kMachine, key.c_str(), 0, nullptr, 0, p::KEY_ALL_ACCESS, nullptr,
                              &machine, nullptr),
            p::ERROR_SUCCESS);
  DWORD players = 3;
  ::RegSetValueExW(machine, L"NumPlayers", 0, p::REG_DWORD, reinterpret_cast<BYTE*>(&players), 4);

  EXPECT_TRUE(win32::AdoptMachineStore(root_, gameKey));
  players = 1;
  ::RegSetValueExW(machine, L"NumPlayers", 0, p::REG_DWORD, reinterpret_cast<BYTE*>(&players), 4);
  EXPECT_FALSE(win32::AdoptMachineStore(root_, gameKey)) << "the user's key is never replaced";
  ::RegCloseKey(machine);
  ::RegDeleteTreeW(kMachine, key.c_str());

  DWORD read = 0, size = 4;
  EXPECT_EQ(
      ::RegGetValueW(root_, key.c_str(), L"NumPlayers", RRF_RT_REG_DWORD, nullptr, &read, &size),
      p::ERROR_SUCCESS);
  EXPECT_EQ(read, 3u);
  EXPECT_FALSE(win32::AdoptMachineStore(root_, "SOFTWARE\\NoSuchKrelmoStore"));
  HKEY none = nullptr;
  EXPECT_NE(::RegOpenKeyExW(root_, L"SOFTWARE\\NoSuchKrelmoStore", 0, KEY_READ, &none),
            p::ERROR_SUCCESS)
      << "nothing to adopt leaves no key behind";
}

}  // namespace
