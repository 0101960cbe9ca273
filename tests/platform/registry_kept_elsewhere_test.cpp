// The settings file kept elsewhere as well, as the page keeps it in the browser's storage: a
// copy that fails fails the save, says why, and is tried again at the next flush.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "platform/registry.h"

namespace krelmo::platform {
namespace {

namespace fs = std::filesystem;

LONG SetName(Registry& registry, std::string_view name) {
  HKEY key = 0;
  registry.RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\By Tenvarre\\Krelmo'99\\v2", 0, "", 0,
                           KEY_ALL_ACCESS, nullptr, &key, nullptr);
  registry.RegSetValueExA(key, "HSName1", 0, REG_SZ,
                          reinterpret_cast<const std::uint8_t*>(name.data()),
                          static_cast<std::uint32_t>(name.size()));
  return registry.RegCloseKey(key);
}

TEST(RegistryKeptElsewhere, ACopyThatFailsFailsTheSaveSaysWhyAndIsTriedAgain) {
  std::random_device random;
  fs::path folder;
  do {
    folder = fs::temp_directory_path() / ("krelmo-kept-" + std::to_string(random()));
  } while (!fs::create_directory(folder));
  const std::string path = (folder / "krelmo99.reg").string();

  Registry registry(path);
  int copies = 0;
  bool storageFull = true;
  registry.onWritten = [&](std::string& error) {
    ++copies;
    // The copy is made of the file as written.
    EXPECT_EQ(Registry(path).Tree().size(), 1u);
    if (storageFull) error = "the browser did not keep it: QuotaExceededError";
    return !storageFull;
  };
  EXPECT_EQ(SetName(registry, std::string_view("Ann\0", 4)), ERROR_WRITE_FAULT);
  EXPECT_EQ(registry.WriteError(), "the browser did not keep it: QuotaExceededError");
  EXPECT_EQ(copies, 1);

  storageFull = false;
  HKEY key = 0;
  registry.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\By Tenvarre\\Krelmo'99\\v2", 0,
                         KEY_ALL_ACCESS, &key);
  EXPECT_EQ(registry.RegFlushKey(key), ERROR_SUCCESS);
  EXPECT_EQ(registry.WriteError(), "");
  EXPECT_EQ(copies, 2);
  // Nothing changed since: nothing to write, nothing to copy.
  EXPECT_EQ(registry.RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(copies, 2);
  fs::remove_all(folder);
}

}  // namespace
}  // namespace krelmo::platform
