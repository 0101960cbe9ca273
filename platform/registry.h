// The settings store, with the registry's model and calls: keys opened and created by
// handle, typed values queried into the caller's buffer. The game reaches it through
// RegistryStore; Registry keeps it in one ".reg" file, or in memory only for tests and the
// simulator.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "platform/reg_text.h"

namespace krelmo::platform {

using HKEY = std::uint32_t;
using LONG = std::int32_t;

constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002;
constexpr std::uint32_t KEY_ALL_ACCESS = 0xF003F;
constexpr std::uint32_t REG_OPTION_NON_VOLATILE = 0;
constexpr std::uint32_t REG_SZ = 1;
constexpr std::uint32_t REG_DWORD = 4;
constexpr std::uint32_t REG_CREATED_NEW_KEY = 1;
constexpr std::uint32_t REG_OPENED_EXISTING_KEY = 2;

constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_ACCESS_DENIED = 5;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_WRITE_FAULT = 29;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_MORE_DATA = 234;

// The registry's calls, over whichever store keeps the keys: the file store below (the Linux
// game, the tests, a playback's memory) or the system's own registry (the Windows game).
// Called on the UI thread only.
class RegistryStore {
 public:
  virtual ~RegistryStore() = default;

  virtual LONG RegOpenKeyExA(HKEY parent, std::string_view subKey, std::uint32_t options,
                             std::uint32_t access, HKEY* result) = 0;
  virtual LONG RegCreateKeyExA(HKEY parent, std::string_view subKey, std::uint32_t reserved,
                               std::string_view className, std::uint32_t options,
                               std::uint32_t access, const void* security, HKEY* result,
                               std::uint32_t* disposition) = 0;
  // With `data` null, tells the size only. A buffer too small for the value gets nothing:
  // ERROR_MORE_DATA, with the size needed in *size. Text is the game's single-byte text.
  virtual LONG RegQueryValueExA(HKEY key, std::string_view name, std::uint32_t* reserved,
                                std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) = 0;
  virtual LONG RegSetValueExA(HKEY key, std::string_view name, std::uint32_t reserved,
                              std::uint32_t type, const std::uint8_t* data, std::uint32_t size) = 0;
  // Both answer whether what was written through the key reached the store for good;
  // WriteError() says why it did not.
  virtual LONG RegFlushKey(HKEY key) = 0;
  virtual LONG RegCloseKey(HKEY key) = 0;

  // The store and the system's reason of the last failed write; empty after a success.
  virtual const std::string& WriteError() const = 0;

 protected:
  RegistryStore() = default;
  RegistryStore(const RegistryStore&) = default;
  RegistryStore& operator=(const RegistryStore&) = default;
};

// Called on the UI thread only. The file is read once, when the store is made; changes
// reach it when a changed key is flushed or closed, written whole to a temporary file in
// the same folder, flushed to disk and renamed over the old one, so that the file on disk
// is always either the old one or the new one. A file edited by hand meanwhile is
// overwritten, as the registry would be.
class Registry final : public RegistryStore {
 public:
  // Kept in memory only.
  Registry() = default;
  // Kept in the file at `path` (in memory when it is empty). A missing file is an empty registry. A
  // file that is not a registry file is moved aside under a new name, with one line on the error
  // stream, and the registry starts empty. A file that exists but cannot be read is left alone: the
  // registry starts empty and every save fails, saying why.
  explicit Registry(std::string path);

  LONG RegOpenKeyExA(HKEY parent, std::string_view subKey, std::uint32_t options,
                     std::uint32_t access, HKEY* result) override;
  LONG RegCreateKeyExA(HKEY parent, std::string_view subKey, std::uint32_t reserved,
                       std::string_view className, std::uint32_t options, std::uint32_t access,
                       const void* security, HKEY* result, std::uint32_t* disposition) override;
  LONG RegQueryValueExA(HKEY key, std::string_view name, std::uint32_t* reserved,
                        std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) override;
  LONG RegSetValueExA(HKEY key, std::string_view name, std::uint32_t reserved, std::uint32_t type,
                      const std::uint8_t* data, std::uint32_t size) override;
  // Both write the file when the registry has changed since it was last written (closing
  // only a handle that created its key or set a value: reads never write), and answer
  // whether that worked; WriteError() says why it did not.
  LONG RegFlushKey(HKEY key) override;
  LONG RegCloseKey(HKEY key) override;

  // Told after each write of the file, which it may keep elsewhere as well (the browser's
  // storage keeps the page's); false, with the reason in `error`, fails the save as a failed
  // write of the file does, and the next flush or close tries again. Unset: the file is all.
  std::function<bool(std::string& error)> onWritten;

  // The file and the system's reason of the last failed write; empty after a success.
  const std::string& WriteError() const override { return writeError_; }
  const std::string& Path() const { return path_; }
  const RegTree& Tree() const { return tree_; }

 private:
  bool KeyExists(const std::string& path) const;
  // The full path of `subKey` below the key `parent`; false for a bad handle or name.
  LONG Resolve(HKEY parent, std::string_view subKey, std::string& path) const;
  HKEY NewHandle(const std::string& path, bool wrote);
  LONG Save();

  std::string path_;
  RegTree tree_;
  struct Handle {
    std::string path;
    bool wrote = false;
  };
  std::map<HKEY, Handle> handles_;
  HKEY nextHandle_ = 0x100;
  bool changed_ = false;
  std::string noSaveReason_;  // set when the file must be left as it is
  std::string writeError_;
};

}  // namespace krelmo::platform
