// The game's settings store on the system's own registry. The game keeps its key under
// HKEY_LOCAL_MACHINE, which on today's Windows only an administrator may write: here that hive
// stands for a root of the user's own, HKEY_CURRENT_USER unless told otherwise, so the game's key
// is HKEY_CURRENT_USER\SOFTWARE\By Tenvarre\Krelmo'99\v2. Names and strings are the game's text,
// kept in the registry as Unicode, so that every tool shows them as the game does.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "frontend/win32/win32.h"
#include "platform/registry.h"

namespace krelmo::win32 {

// Called on the UI thread only. Unlike the system's own calls, a key's flush and close answer
// whether every write made through it was taken (the records report a failed save so).
class SystemRegistry final : public platform::RegistryStore {
 public:
  // `root` stands for the game's HKEY_LOCAL_MACHINE and `rootName` names it in the reasons
  // given; the store never closes it.
  explicit SystemRegistry(HKEY root = HKEY_CURRENT_USER,
                          std::string rootName = "HKEY_CURRENT_USER");
  ~SystemRegistry() override;
  SystemRegistry(const SystemRegistry&) = delete;
  SystemRegistry& operator=(const SystemRegistry&) = delete;

  platform::LONG RegOpenKeyExA(platform::HKEY parent, std::string_view subKey,
                               std::uint32_t options, std::uint32_t access,
                               platform::HKEY* result) override;
  platform::LONG RegCreateKeyExA(platform::HKEY parent, std::string_view subKey,
                                 std::uint32_t reserved, std::string_view className,
                                 std::uint32_t options, std::uint32_t access, const void* security,
                                 platform::HKEY* result, std::uint32_t* disposition) override;
  platform::LONG RegQueryValueExA(platform::HKEY key, std::string_view name,
                                  std::uint32_t* reserved, std::uint32_t* type, std::uint8_t* data,
                                  std::uint32_t* size) override;
  platform::LONG RegSetValueExA(platform::HKEY key, std::string_view name, std::uint32_t reserved,
                                std::uint32_t type, const std::uint8_t* data,
                                std::uint32_t size) override;
  platform::LONG RegFlushKey(platform::HKEY key) override;
  platform::LONG RegCloseKey(platform::HKEY key) override;
  const std::string& WriteError() const override { return writeError_; }

 private:
  struct Handle {
    HKEY key;
    std::string path;
    platform::LONG failure = 0;  // of the first write through it that was refused
  };
  // The system's key and its name for a handle of the game's; null for a bad handle.
  HKEY Resolve(platform::HKEY parent, std::string& path) const;
  platform::HKEY NewHandle(HKEY key, std::string path);
  platform::LONG Refused(Handle* through, const std::string& path, LONG error);

  HKEY root_;
  std::string rootName_;
  std::map<platform::HKEY, Handle> handles_;
  platform::HKEY nextHandle_ = 0x100;
  std::string writeError_;
};

// Once, before the game first reads its settings: when the user has no key `key` (a path
// below the hive, "SOFTWARE\...") under `userRoot` yet, a store that an earlier game kept
// under HKEY_LOCAL_MACHINE is copied there whole, from where Windows kept it: the user's
// VirtualStore (where a game without administrator rights had its writes put), else the
// machine's hive itself, the 32-bit program's view first. True when one was copied.
bool AdoptMachineStore(HKEY userRoot, std::string_view key);

// The system's words for an error code, in the game's text, without the final full stop.
std::string SystemReason(DWORD error);

}  // namespace krelmo::win32
